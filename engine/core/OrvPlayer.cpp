#include "core/OrvPlayer.h"

#include "core/IOrvClock.h"
#include "core/OrvShow.h"
#include "core/OrvSystemInfo.h"
#include "core/OrvVideo.h"

#include <SDL/SDL.h>

#include <cstdio>

OrvPlayer::OrvPlayer(OrvShow& show, OrvVideo& video, IOrvClock& clock)
    : show(show), video(video), clock(clock), sink(nullptr), lastRate(0) {}

void OrvPlayer::Start() {
    clock.Start(show.StartPosition());
    // Picture and sound start together, also when the show starts later than 0.
    show.Music().SetPosition(clock.Position());
    show.Music().Play(0);
}

void OrvPlayer::Run() {
    Start();
    bool running = true;
    while (running) {
        // Every pending event is taken, also after one that ends playing: a jump released
        // in the same batch as Escape is still applied.
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (!HandleEvent(event))
                running = false;
        }
        if (running)
            running = Step();
    }
    show.Music().Stop();
}

bool OrvPlayer::HandleEvent(const SDL_Event& event) {
    if (event.type == SDL_QUIT)
        return false;
    if (event.type != SDL_KEYUP)
        return true;
    switch (event.key.keysym.sym) {
    case SDLK_ESCAPE:
        return false;
    case SDLK_RIGHT:
        Jump(true);
        return true;
    case SDLK_LEFT:
        Jump(false);
        return true;
    default:
        return true;
    }
}

void OrvPlayer::Jump(bool forward) {
    unsigned step = show.JumpStep();
    if (forward) {
        clock.Shift(static_cast<int>(step));
    } else {
        unsigned position = clock.Position();
        clock.Shift(-static_cast<int>(step < position ? step : position));
    }
    show.Music().SetPosition(clock.Position());
}

bool OrvPlayer::Step() {
    unsigned position = 0;
    unsigned elapsed = 0;
    clock.NextFrame(position, elapsed);
    unsigned end = show.EndPosition();
    bool more = end == 0 || position < end;

    if (elapsed > 0)
        lastRate = 1000.0 / elapsed;
    char text[96];
    std::snprintf(text, sizeof text, "FPS: %.0f / Position: %.1fs", lastRate, position * 0.001);
    video.SetCaption(text);

    show.Frame(position, elapsed);
    if (sink) {
        OrvSystemInfo* info = OrvSystemInfo::Instance();
        IOrvFrameSink::Frame frame = {position, elapsed, info->SurfaceWidth(),
                                      info->SurfaceHeight(),
                                      OrvGlUtils::FullViewport(false, -1, -1)};
        sink->FrameDrawn(frame);
    }
    video.Swap();
    return more;
}
