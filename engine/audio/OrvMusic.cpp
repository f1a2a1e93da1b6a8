#include "audio/OrvMusic.h"

#include "base/OrvDiagnostics.h"

OrvMusic::OrvMusic() : playing(false) {}

OrvMusic::~OrvMusic() {
    Release();
}

void OrvMusic::Release() {
    // Detach before freeing, so the callback never plays a closed stream; then close the
    // device (a no-op when SDL_Quit() got there first).
    device.Attach(nullptr);
    stream.Close();
    device.Close();
    playing = false;
}

bool OrvMusic::Load(const std::string& path, OrvDiagnostics& diagnostics) {
    Release();
    if (!device.Open()) {
        diagnostics.Report(0, "Could not initialize audio");
        return false;
    }
    if (!stream.Open(path)) {
        diagnostics.Report(0, "Could not load the music file");
        return false;
    }
    device.Attach(&stream);
    return true;
}

void OrvMusic::Play(double) {
    if (stream.IsOpen()) {
        device.Pause(false);
        playing = true;
    }
}

void OrvMusic::SetPosition(unsigned ms) {
    if (!stream.IsOpen())
        return;
    uint64_t position = BytePosition(ms);
    device.Lock();
    stream.Seek(position);
    device.Forget();
    device.Unlock();
}

void OrvMusic::Stop() {
    device.Pause(true);
    playing = false;
}

bool OrvMusic::PlayPosition(unsigned& ms) const {
    uint64_t bytes = 0;
    if (!playing || !stream.IsOpen() || !device.PlayedPosition(bytes))
        return false;
    uint64_t frames = bytes / OrvAudioStream::BytesPerFrame;
    ms = static_cast<unsigned>(frames * 1000u / OrvAudioStream::OutputRate);
    return true;
}

uint64_t OrvMusic::BytePosition(unsigned ms) {
    unsigned seconds = ms / 1000;
    unsigned rest = ms % 1000;
    uint64_t a = OrvAudioStream::SecondsToBytes(seconds);
    uint64_t b = OrvAudioStream::SecondsToBytes(double(seconds) + 1.0);
    uint64_t position = a + (b - a) * rest / 1000;
    return position / OrvAudioStream::BytesPerFrame * OrvAudioStream::BytesPerFrame;
}
