#ifndef ORV_AUDIO_ORVAUDIODEVICE_H
#define ORV_AUDIO_ORVAUDIODEVICE_H

// The default sound output, opened through SDL's audio subsystem for 16-bit signed stereo at
// 44100 Hz (SDL converts if the hardware wants something else, so the stream always sees
// exactly that format). SDL calls back every 1024 frames, about 23 ms of sound; the callback
// asks the attached OrvAudioStream for them, or plays silence when none is attached.
//
// The device starts paused. Pause(false) plays, Pause(true) stops without losing the
// stream's place. Lock()/Unlock() keep the callback out while the engine's thread moves the
// stream (seeks, attaching, closing).
//
// Each OrvAudioDevice opens a device of its own (SDL mixes them); a second Open() of the same
// one fails. The device holds SDL's audio subsystem while open (SDL counts its users) and
// lets go of it on Close(). Close() is safe after SDL_Quit() has already shut audio down: it
// then has nothing to do.
//
// Where the sound is: every callback notes the stream's position before it filled the buffer
// (what the device has consumed, less the buffer it is being given) and the moment of the
// call; PlayedPosition adds the time since then, up to one buffer. A seek or an attach forgets
// the note until the next callback.
//
// Ownership: the attached stream is not owned; it must stay alive while attached, so detach
// it (or close the device) before destroying it. Not copyable.

#include <atomic>
#include <cstdint>

class OrvAudioStream;

class OrvAudioDevice {
public:
    static constexpr int FramesPerCallback = 1024;

    OrvAudioDevice();
    ~OrvAudioDevice();
    OrvAudioDevice(const OrvAudioDevice&) = delete;
    OrvAudioDevice& operator=(const OrvAudioDevice&) = delete;

    // Starts SDL audio if needed and opens the default device, paused. False when there is
    // no usable device (nothing is left open then).
    bool Open();
    void Close();
    // True between a successful Open() and Close(), as long as SDL's audio is still up.
    bool IsOpen() const;

    // Attaches a stream (or none, with nullptr) for the callback to play. Locks by itself.
    void Attach(OrvAudioStream* stream);
    // false plays, true pauses. Does nothing while the device is not open.
    void Pause(bool paused);

    // Holds the callback off. Pair every Lock() with an Unlock(). Do nothing while the
    // device is not open (there is no callback to hold off then).
    void Lock();
    void Unlock();

    // The stream position being heard now, in bytes; false while there is no note since the
    // last Forget() (no callback yet, or a seek just happened). Safe from the engine's thread.
    bool PlayedPosition(uint64_t& bytes) const;
    // Drops the note (call with the device locked, right after moving the stream).
    void Forget();

private:
    static void Callback(void* device, unsigned char* bytes, int length);

    OrvAudioStream* stream;
    // The last callback's note, written on the audio thread under SDL's audio lock.
    std::atomic<uint64_t> notedPosition;
    std::atomic<unsigned> notedTicks;
    std::atomic<bool> noted;
    bool open;
    unsigned device; // SDL's audio device id, 0 while closed
};

#endif
