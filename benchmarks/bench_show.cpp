// The bundled show (or any show folder) played frame by frame by a fixed-step clock, as fast
// as the renderer allows: frames per second for each stretch of the show, the whole show's
// average, the time to unload the show and load it again in the open window, and the time and
// resident memory of 200 live reloads. Needs an X
// display (under Xvfb: xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
// build/benchmarks/bench_show [show folder] [window width] [window height] [seconds per row]).
// Defaults: build/show, the script's own size, 4 s.

#include "base/IOrvLoadingObserver.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvFixedStepClock.h"
#include "base/OrvRunContext.h"
#include "runtime/OrvEngine.h"
#include "runtime/OrvPlayer.h"
#include "runtime/OrvShowReloader.h"
#include "show/OrvShow.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The process's resident set in KiB, from the kernel's own account.
long ResidentKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
            break;
    std::fclose(status);
    return kb;
}

class NoObserver : public IOrvLoadingObserver {
public:
    void LoadingProgressed() override {}
};

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "build/show";
    char absolute[PATH_MAX];
    if (!realpath((folder + "/data").c_str(), absolute)) {
        std::fprintf(stderr, "bench_show: no folder %s/data\n", folder.c_str());
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    OrvDiagnostics diagnostics;
    OrvRunContext run(absolute, diagnostics);
    OrvFixedStepClock clock(60);
    OrvEngine engine(run, clock);
    if (!engine.PreInit()) {
        std::fprintf(stderr, "%s", diagnostics.Text().c_str());
        return 1;
    }
    int width = argc > 2 ? std::atoi(argv[2]) : 0;
    int height = argc > 3 ? std::atoi(argv[3]) : 0;
    if (width <= 0 || height <= 0) {
        width = static_cast<int>(engine.NumericValue(IOrvScriptLoader::Width));
        height = static_cast<int>(engine.NumericValue(IOrvScriptLoader::Height));
    }
    unsigned rowMs = argc > 4 ? static_cast<unsigned>(std::atof(argv[4]) * 1000) : 4000;
    if (rowMs == 0)
        rowMs = 4000;
    if (!engine.Init(width, height, static_cast<double>(width) / height, 0)) {
        std::fprintf(stderr, "%s", diagnostics.Text().c_str());
        return 1;
    }
    unsigned end = engine.Show().EndPosition();
    if (end == 0)
        end = 60000;

    OrvPlayer& player = engine.Player();
    player.Start();
    std::printf("window %d x %d, show %.1f s at 60 frames a show second\n", width, height,
                end / 1000.0);
    std::printf("%-16s %10s\n", "show time", "frames/s");
    unsigned rowStart = clock.Position();
    int rowFrames = 0, frames = 0;
    Clock::time_point began = Clock::now(), rowBegan = began;
    bool more = true;
    while (more) {
        more = player.Step();
        ++rowFrames;
        ++frames;
        unsigned position = clock.Position();
        if (position - rowStart >= rowMs || !more) {
            Clock::time_point now = Clock::now();
            std::printf("%6.1f - %5.1f s %10.1f\n", rowStart / 1000.0, position / 1000.0,
                        rowFrames / Seconds(rowBegan, now));
            rowStart = position;
            rowFrames = 0;
            rowBegan = now;
        }
    }
    std::printf("whole show        %10.1f\n", frames / Seconds(began, Clock::now()));

    // Unloading and loading again in the same window, as a reload does.
    const int rounds = 5;
    Clock::time_point reloadBegan = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        engine.Show().Unload();
        NoObserver observer;
        if (!engine.Show().ReadScript())
            return 1;
        engine.Show().Load(observer);
    }
    std::printf("unload + load     %10.1f ms\n",
                1000.0 * Seconds(reloadBegan, Clock::now()) / rounds);

    // Live reloads as debug mode makes them: each new show loaded beside the playing one, which
    // then goes. Resident memory must stay flat however many there are.
    OrvShowReloader reloader;
    std::unique_ptr<OrvShow> held;
    OrvShow* current = &engine.Show();
    const int reloads = 200;
    long firstKb = 0;
    Clock::time_point reloadsBegan = Clock::now();
    std::printf("%-16s %10s\n", "live reloads", "RSS MiB");
    for (int i = 1; i <= reloads; ++i) {
        std::unique_ptr<OrvShow> next =
            reloader.Reload(run, *current, engine.Music(), std::set<std::string>(), 0, false);
        if (!next) {
            std::fprintf(stderr, "%s", reloader.Messages().c_str());
            return 1;
        }
        held = std::move(next);
        current = held.get();
        if (i == 1 || i % 50 == 0) {
            long kb = ResidentKb();
            if (i == 1)
                firstKb = kb;
            std::printf("%16d %10.1f\n", i, kb / 1024.0);
        }
    }
    std::printf("live reload       %10.1f ms\n",
                1000.0 * Seconds(reloadsBegan, Clock::now()) / reloads);
    std::printf("RSS growth after the first: %.1f MiB over %d reloads\n",
                (ResidentKb() - firstKb) / 1024.0, reloads - 1);
    return 0;
}
