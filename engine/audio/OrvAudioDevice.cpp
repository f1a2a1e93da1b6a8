#include "audio/OrvAudioDevice.h"

#include "audio/OrvAudioStream.h"
#include "base/OrvRealTimeClock.h"

#include <SDL2/SDL.h>
#include <cstring>

OrvAudioDevice::OrvAudioDevice()
    : stream(nullptr), notedPosition(0), notedTicks(0), noted(false), open(false), device(0) {}

OrvAudioDevice::~OrvAudioDevice() {
    Close();
}

bool OrvAudioDevice::Open() {
    if (open)
        return false;
    // SDL counts the users of a subsystem: this device's use ends with Close().
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.freq = OrvAudioStream::OutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = OrvAudioStream::OutputChannels;
    wanted.samples = FramesPerCallback;
    wanted.callback = &OrvAudioDevice::Callback;
    wanted.userdata = this;
    // With no changes allowed SDL converts to whatever the hardware takes, so the callback
    // always works in exactly the format above.
    SDL_AudioSpec obtained;
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    open = true;
    return true;
}

void OrvAudioDevice::Close() {
    if (!open)
        return;
    // After SDL_Quit() the audio subsystem, the device and its thread are already gone.
    if (SDL_WasInit(SDL_INIT_AUDIO)) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    open = false;
    device = 0;
    stream = nullptr;
}

bool OrvAudioDevice::IsOpen() const {
    return open && SDL_WasInit(SDL_INIT_AUDIO) &&
           SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED;
}

void OrvAudioDevice::Attach(OrvAudioStream* attached) {
    Lock();
    stream = attached;
    Forget();
    Unlock();
}

void OrvAudioDevice::Forget() {
    noted = false;
}

bool OrvAudioDevice::PlayedPosition(uint64_t& bytes) const {
    if (!noted)
        return false;
    uint64_t start = notedPosition;
    unsigned since = OrvRealTimeClock::Now() - notedTicks;
    // The buffer handed over at the note plays for one callback's length, then the next note
    // comes; a late callback must not let the estimate run past what was handed over.
    const unsigned bufferMs = FramesPerCallback * 1000u / OrvAudioStream::OutputRate;
    if (since > bufferMs)
        since = bufferMs;
    uint64_t frames = uint64_t(since) * OrvAudioStream::OutputRate / 1000u;
    bytes = start + frames * OrvAudioStream::BytesPerFrame;
    return true;
}

void OrvAudioDevice::Pause(bool paused) {
    if (IsOpen())
        SDL_PauseAudioDevice(device, paused ? 1 : 0);
}

void OrvAudioDevice::Lock() {
    if (IsOpen())
        SDL_LockAudioDevice(device);
}

void OrvAudioDevice::Unlock() {
    if (IsOpen())
        SDL_UnlockAudioDevice(device);
}

// Runs on SDL's audio thread with SDL's audio lock held, so it never meets a seek half done.
void OrvAudioDevice::Callback(void* device, unsigned char* bytes, int length) {
    OrvAudioDevice* self = static_cast<OrvAudioDevice*>(device);
    int frames = length / OrvAudioStream::BytesPerFrame;
    if (self->stream) {
        self->notedPosition = self->stream->Position();
        self->notedTicks = OrvRealTimeClock::Now();
        self->noted = true;
        self->stream->Fill(reinterpret_cast<int16_t*>(bytes), frames);
    } else
        std::memset(bytes, 0, size_t(frames) * OrvAudioStream::BytesPerFrame);
    int rest = length - frames * OrvAudioStream::BytesPerFrame;
    if (rest > 0)
        std::memset(bytes + frames * OrvAudioStream::BytesPerFrame, 0, size_t(rest));
}
