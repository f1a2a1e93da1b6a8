#ifndef ORV_AUDIO_ORVMUSIC_H
#define ORV_AUDIO_ORVMUSIC_H

// The show's one music track. The engine loads it while loading the show, seeks it to the
// start position, plays it when the main loop starts, seeks it on every jump and stops it at
// the end. The music follows the show's clock and is never asked where it is, so a show
// whose music failed to load plays exactly the same, only silently.
//
// Load() opens the default sound device and streams the file from disk (any format the
// system's libsndfile reads; see OrvAudioStream). Both failures are warnings (severity 0),
// never errors: "Could not initialize audio" when there is no sound device,
// "Could not load the music file" when the file is missing, unreadable or not audio.
// Every other call is safe, and does nothing, when Load() failed or was never called.
//
// Positions: a time maps to a byte position in the decoded 44100 Hz 16-bit stereo output,
// 176400 bytes per second, whatever the file's own format (see BytePosition).
//
// Threads: call everything from one thread (the engine's). Decoding happens on SDL's audio
// thread; seeks and stops are locked against it.
//
// Ownership: owns its stream and the audio device it opened; the destructor frees the
// stream, then closes the device. It is safe to destroy after SDL_Quit() (which has already
// closed the device). Not copyable: one track, one owner.

#include "audio/OrvAudioDevice.h"
#include "audio/OrvAudioStream.h"

#include <cstdint>
#include <string>

class OrvDiagnostics;

class OrvMusic {
public:
    OrvMusic();
    ~OrvMusic();
    OrvMusic(const OrvMusic&) = delete;
    OrvMusic& operator=(const OrvMusic&) = delete;

    // Opens the sound device, then the file. Returns false after logging the warning.
    // A second Load() first releases what the first one opened, so it can be called again.
    // What fails is a warning in `diagnostics`: a show without its music still plays.
    bool Load(const std::string& path, OrvDiagnostics& diagnostics);
    // Starts playing, or resumes where Stop() left off; never restarts the track. The
    // argument is not used.
    void Play(double = 0.0);
    // Moves playback to `ms` milliseconds from the start of the track (BytePosition). Works
    // before Play() too: the track then starts from there.
    void SetPosition(unsigned ms);
    void Stop();
    // Where the sound being heard is, in ms of the track; false when that is not known now
    // (nothing loaded, not playing, or just sought and no sound handed over since).
    bool PlayPosition(unsigned& ms) const;
    bool IsLoaded() const { return stream.IsOpen(); }
    // Stops and closes the track and the sound device (a show that names no music any more).
    void Release();

    // The byte position SetPosition(ms) seeks to: whole seconds land exactly on their own
    // byte position, times within a second are interpolated linearly in integer arithmetic,
    // and the result is rounded down to a whole frame. 2500 ms gives 441000.
    static uint64_t BytePosition(unsigned ms);

private:
    OrvAudioDevice device;
    OrvAudioStream stream;
    bool playing;
};

#endif
