#include "runtime/OrvPlayer.h"

#include "audio/OrvMusic.h"
#include "base/IOrvClock.h"
#include "runtime/OrvVideo.h"
#include "script/IOrvScriptLoader.h"
#include "show/OrvShow.h"

#include "platform/OrvInputEvent.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

OrvPlayer::OrvPlayer(std::unique_ptr<OrvShow> played, OrvVideo& video, IOrvClock& clock,
                     const OrvDisplayFacts& display, OrvMusic& music)
    : show(std::move(played)), video(video), clock(clock), music(music),
      pipeline(clock, *show, display), sink(nullptr), lastRate(0), debug(false),
      reloadRequested(false), correctMusic(true), musicCorrections(0), driftingFrames(0) {}

OrvPlayer::~OrvPlayer() = default;

void OrvPlayer::ReplaceShow(std::unique_ptr<OrvShow> next) {
    std::unique_ptr<OrvShow> previous = std::move(show);
    show = std::move(next);
    pipeline.SetShow(*show);
    for (IOrvPlayerHook* hook : hooks)
        hook->ShowReplaced(*this, previous.get());
}

void OrvPlayer::UnloadShow() {
    if (show)
        show->Unload();
}

void OrvPlayer::Start() {
    clock.Start(show->StartPosition());
    // Picture and sound start together, also when the show starts later than 0.
    music.SetPosition(clock.Position());
    music.Play(0);
}

void OrvPlayer::Run() {
    Start();
    bool running = true;
    while (running) {
        // Every pending event is taken, also after one that ends playing: a jump released
        // in the same batch as Escape is still applied.
        OrvInputEvent event;
        while (video.Poll(event)) {
            if (!HandleEvent(event))
                running = false;
        }
        for (size_t i = 0; running && i < hooks.size(); ++i)
            hooks[i]->BeforeFrame(*this);
        if (running)
            running = Step();
        if (running && clock.Paused())
            // A still picture needs no hundreds of frames a second.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    music.Stop();
}

bool OrvPlayer::HandleEvent(const OrvInputEvent& event) {
    if (event.kind == OrvInputEvent::Quit)
        return false;
    if (event.kind != OrvInputEvent::KeyUp)
        return true;
    switch (event.key) {
    case OrvKey::Escape:
        return false;
    case OrvKey::Right:
        Jump(true);
        return true;
    case OrvKey::Left:
        Jump(false);
        return true;
    default:
        break;
    }
    if (!debug)
        return true;
    double bpm = show->Loader() ? show->Loader()->NumericValue(IOrvScriptLoader::Bpm) : 0;
    long long bar = bpm > 0 ? static_cast<long long>(std::trunc(240000.0 / bpm)) : 0;
    switch (event.key) {
    case OrvKey::Space:
        SetPaused(!Paused());
        break;
    case OrvKey::Home:
        Move(static_cast<long long>(show->StartPosition()) - clock.Position());
        break;
    case OrvKey::PageUp:
        Move(-bar);
        break;
    case OrvKey::PageDown:
        Move(bar);
        break;
    case OrvKey::F5:
        reloadRequested = true;
        break;
    case OrvKey::F6:
        saveRequested = true;
        break;
    default:
        break;
    }
    return true;
}

void OrvPlayer::Jump(bool forward) {
    unsigned step = show->JumpStep();
    if (forward) {
        clock.Shift(static_cast<int>(step));
    } else {
        unsigned position = clock.Position();
        clock.Shift(-static_cast<int>(step < position ? step : position));
    }
    music.SetPosition(clock.Position());
}

void OrvPlayer::Move(long long deltaMs) {
    long long position = clock.Position();
    if (position + deltaMs < 0)
        deltaMs = -position;
    if (deltaMs > 2147483647LL)
        deltaMs = 2147483647LL;
    clock.Shift(static_cast<int>(deltaMs));
    music.SetPosition(clock.Position());
}

void OrvPlayer::AddHook(IOrvPlayerHook& hook) {
    hooks.push_back(&hook);
    hook.ShowReplaced(*this, nullptr);
}

void OrvPlayer::RemoveHook(IOrvPlayerHook& hook) {
    hooks.erase(std::remove(hooks.begin(), hooks.end(), &hook), hooks.end());
}

unsigned OrvPlayer::Position() const {
    return clock.Position();
}

void OrvPlayer::Seek(unsigned position) {
    Move(static_cast<long long>(position) - static_cast<long long>(clock.Position()));
}

void OrvPlayer::SetPaused(bool paused) {
    if (paused == clock.Paused())
        return;
    clock.SetPaused(paused);
    if (paused) {
        music.Stop();
    } else {
        music.SetPosition(clock.Position());
        music.Play(0);
    }
}

bool OrvPlayer::Paused() const {
    return clock.Paused();
}

bool OrvPlayer::TakeReloadRequest() {
    bool requested = reloadRequested;
    reloadRequested = false;
    return requested;
}

bool OrvPlayer::TakeSaveRequest() {
    bool requested = saveRequested;
    saveRequested = false;
    return requested;
}

void OrvPlayer::KeepMusicInStep(unsigned position) {
    unsigned heard = 0;
    if (!correctMusic || clock.Paused() || !music.PlayPosition(heard))
        return;
    long long drift = static_cast<long long>(heard) - position;
    if (drift <= MaxMusicDrift && drift >= -MaxMusicDrift) {
        driftingFrames = 0;
        return;
    }
    if (++driftingFrames < DriftFrames)
        return;
    music.SetPosition(position);
    ++musicCorrections;
    driftingFrames = 0;
}

void OrvPlayer::SetFrameSink(IOrvFrameSink* newSink) {
    if (sink)
        pipeline.RemoveOutput(*sink);
    sink = newSink;
    if (sink)
        pipeline.AddOutput(*sink);
}

bool OrvPlayer::Step() {
    const IOrvFrameSink::Frame& frame = pipeline.Step();
    unsigned position = frame.position;
    unsigned elapsed = frame.elapsedMs;
    unsigned end = show->EndPosition();
    bool more = end == 0 || position < end;
    KeepMusicInStep(position);

    if (elapsed > 0)
        lastRate = 1000.0 / elapsed;
    char text[160];
    int length = std::snprintf(text, sizeof text, "FPS: %.0f / Position: %.1fs%s", lastRate,
                               position * 0.001, clock.Paused() ? " (paused)" : "");
    // Debug mode adds the bar and beat as the timeline writes them (@BAR.BEAT, from 0), so a
    // line can be timed by reading the caption.
    double beatLength = debug ? show->BeatLength() : 0;
    if (beatLength > 0 && length > 0 && length < static_cast<int>(sizeof text)) {
        long long beat = static_cast<long long>(std::floor(position / beatLength));
        std::snprintf(text + length, sizeof text - length, " / @%lld.%lld", beat / 4, beat % 4);
    }
    video.SetCaption(text);

    for (IOrvPlayerHook* hook : hooks)
        hook->AfterFrame(*this);
    video.Swap();
    return more;
}
