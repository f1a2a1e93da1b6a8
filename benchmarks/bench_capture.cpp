// Offline capture of the bundled show (or any show folder) beside rendering alone, in one
// run: the same frames rendered into the capture's off-screen picture at 60 frames a show
// second, first only rendered (each finished with glFinish), then rendered and read back
// (the pictures dropped), then rendered, read back and written as PNG files by the writer
// threads into a temporary folder. Prints both rates and
// their ratio (the aim is a capture at 80% of rendering alone or better), then what one
// frame's PNG costs with each filter and compression level, on the writer thread's encoder.
// The capture runs with one, two and three PNG writer threads.
// Needs no display: its context is offscreen, as Capture's
// (build/benchmarks/bench_capture [show folder] [width] [height] [seconds] [from]).
// Defaults: build/show, 640 x 360, the whole show from 0.

#include "OrvCaptureProgress.h"
#include "OrvCaptureRenderer.h"
#include "OrvCaptureTarget.h"
#include "OrvFrameQueue.h"
#include "OrvPngEncoder.h"
#include "OrvPngFolderOutput.h"

#include "base/IOrvLoadingObserver.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvRunContext.h"
#include "runtime/OrvVideo.h"
#include "show/OrvShow.h"

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// This thread's processor time in seconds: steadier than the wall clock on a busy machine.
double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

class NoObserver : public IOrvLoadingObserver {
public:
    void LoadingProgressed() override {}
};

// Takes the frames and drops them: what reading back costs beside rendering.
class DroppingOutput : public IOrvFrameOutput {
public:
    int Writers() const override { return 1; }
    bool WriteFrame(int, uint64_t, const uint8_t*) override { return true; }
    bool Finish() override { return true; }
    const std::string& Error() const override { return error; }

private:
    std::string error;
};

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "build/show";
    int width = argc > 2 ? std::atoi(argv[2]) : 640;
    int height = argc > 3 ? std::atoi(argv[3]) : 360;
    double seconds = argc > 4 ? std::atof(argv[4]) : 0;
    double fromSeconds = argc > 5 ? std::atof(argv[5]) : 0;
    char absolute[PATH_MAX];
    if (!realpath((folder + "/data").c_str(), absolute)) {
        std::fprintf(stderr, "bench_capture: no folder %s/data\n", folder.c_str());
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvDiagnostics diagnostics;
    OrvRunContext run(absolute, diagnostics);
    OrvShow show(run);
    OrvVideo video(run);
    OrvCaptureTarget target;
    std::string error;
    NoObserver observer;
    if (!show.ReadScript() || !video.OpenOffscreen(64, 64, show.Loader())) {
        std::fprintf(stderr, "%s", diagnostics.Text().c_str());
        return 1;
    }
    if (!target.Create(run.Display(), width, height, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    try {
        show.Load(observer);
    } catch (const OrvException& failure) {
        std::fprintf(stderr, "%s\n", failure.Message().c_str());
        return 1;
    }
    unsigned from = static_cast<unsigned>(fromSeconds * 1000);
    unsigned end = seconds > 0 ? from + static_cast<unsigned>(seconds * 1000) : show.EndPosition();
    if (end == 0)
        end = 60000;
    uint64_t frames = OrvCaptureRenderer::FrameCount(from, end, 60, 1);
    OrvCaptureRenderer renderer(show, target, run.Display());
    char pattern[] = "/tmp/orv-bench-capture-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::string out = pattern;

    // Each way is timed once a round, the rounds one after another, and the best round
    // counts: on a machine shared with other work, that is the one least disturbed.
    const int rounds = 3;
    const int ways = 5; // rendering alone, reading back, 1 to 3 PNG writers
    double best[ways] = {0, 0, 0, 0, 0};
    for (int round = 0; round < rounds; ++round) {
        for (int way = 0; way < ways; ++way) {
            DroppingOutput dropping;
            OrvPngFolderOutput png(out, width, height, OrvCaptureTarget::Order,
                                   way >= 2 ? way - 1 : 1);
            IOrvFrameOutput& output = way == 1 ? static_cast<IOrvFrameOutput&>(dropping) : png;
            OrvFrameQueue queue(target.FrameBytes(), output);
            Clock::time_point began = Clock::now();
            queue.Start();
            uint64_t done =
                renderer.Render(from, 60, 1, 0, frames, way == 0 ? nullptr : &queue, nullptr);
            if (!queue.Finish()) {
                std::fprintf(stderr, "%s\n", output.Error().c_str());
                return 1;
            }
            double rate = done / Since(began);
            best[way] = rate > best[way] ? rate : best[way];
        }
    }
    std::string remove = "rm -rf '" + out + "'";
    if (std::system(remove.c_str()) != 0)
        return 1;

    std::printf("%d x %d, %llu frames (%.1f to %.1f s of the show at 60 frames a second), "
                "best of %d rounds\n",
                width, height, static_cast<unsigned long long>(frames), from / 1000.0, end / 1000.0,
                rounds);
    const char* names[ways] = {"rendering alone", "rendering, reading back",
                               "capture, 1 PNG writer", "capture, 2 PNG writers",
                               "capture, 3 PNG writers"};
    for (int way = 0; way < ways; ++way)
        std::printf("%-26s %8.1f frames/s  (%3.0f%% of rendering alone)\n", names[way], best[way],
                    100.0 * best[way] / best[0]);

    // Eight frames spread over the show, encoded by each setting on this thread.
    const int samples = 8;
    std::vector<std::vector<uint8_t>> pictures(samples, std::vector<uint8_t>(target.FrameBytes()));
    for (int i = 0; i < samples; ++i) {
        target.Bind();
        show.Frame(static_cast<unsigned>(end / samples * i + end / samples / 2), 16);
        target.Read(pictures[i].data());
    }
    std::printf("%-30s %10s %12s\n", "PNG of a frame (mean)", "cpu ms", "bytes");
    const OrvPngEncoder::Filter filters[] = {OrvPngEncoder::FilterNone, OrvPngEncoder::FilterSub,
                                             OrvPngEncoder::FilterUp};
    const char* filterNames[] = {"none", "sub", "up"};
    for (int f = 0; f < 3; ++f) {
        for (int level : {0, 1, 3, 6}) {
            OrvPngEncoder encoder(width, height, level, filters[f]);
            size_t bytes = 0;
            double cpuBegan = ThreadSeconds();
            for (const std::vector<uint8_t>& picture : pictures) {
                encoder.Encode(picture.data(), OrvCaptureTarget::Order);
                bytes += encoder.Size();
            }
            double cpu = ThreadSeconds() - cpuBegan;
            char label[48];
            std::snprintf(label, sizeof label, "filter %s, level %d", filterNames[f], level);
            std::printf("%-30s %10.2f %12zu\n", label, 1000 * cpu / samples, bytes / samples);
        }
    }
    target.Release();
    show.Unload();
    video.Close();
    return 0;
}
