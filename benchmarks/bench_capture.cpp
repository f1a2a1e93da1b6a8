// Offline capture of the bundled show (or any show folder) beside rendering alone, in one
// run: the same frames rendered into the capture's off-screen picture at 60 frames a show
// second, first only rendered (each finished with glFinish), then rendered, read back and
// written as PNG files by the writer thread into a temporary folder. Prints both rates and
// their ratio (the aim is a capture at 80% of rendering alone or better), then what one
// frame's PNG costs with each filter and compression level, on the writer thread's encoder.
// The capture runs with one, two and three PNG writer threads.
// Needs an X display (under Xvfb: xvfb-run -a -s "-screen 0 1280x1024x24 -noreset"
// build/benchmarks/bench_capture [show folder] [width] [height] [seconds]).
// Defaults: build/show, 640 x 360, the whole show.

#include "OrvCaptureProgress.h"
#include "OrvCaptureRenderer.h"
#include "OrvCaptureTarget.h"
#include "OrvFrameQueue.h"
#include "OrvPngEncoder.h"
#include "OrvPngFolderOutput.h"

#include "core/IOrvLoadingObserver.h"
#include "core/OrvException.h"
#include "core/OrvShow.h"
#include "core/OrvVideo.h"
#include "entry/OrvErrorLog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

class NoObserver : public IOrvLoadingObserver {
public:
    void LoadingProgressed() override {}
};

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "build/show";
    int width = argc > 2 ? std::atoi(argv[2]) : 640;
    int height = argc > 3 ? std::atoi(argv[3]) : 360;
    double seconds = argc > 4 ? std::atof(argv[4]) : 0;
    if (chdir((folder + "/bin").c_str()) != 0) {
        std::fprintf(stderr, "bench_capture: no folder %s/bin\n", folder.c_str());
        return 1;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvShow show;
    OrvVideo video;
    OrvCaptureTarget target;
    std::string error;
    NoObserver observer;
    if (!show.ReadScript() || !video.Open(64, 64, 1.0, false, show.Loader())) {
        std::fprintf(stderr, "%s", OrvErrorLog::Text().c_str());
        return 1;
    }
    if (!target.Create(width, height, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    try {
        show.Load(observer);
    } catch (const OrvException& failure) {
        std::fprintf(stderr, "%s\n", failure.Message().c_str());
        return 1;
    }
    unsigned end = seconds > 0 ? static_cast<unsigned>(seconds * 1000) : show.EndPosition();
    if (end == 0)
        end = 60000;
    uint64_t frames = OrvCaptureRenderer::FrameCount(0, end, 60, 1);
    OrvCaptureRenderer renderer(show, target);

    Clock::time_point began = Clock::now();
    renderer.Render(0, 60, 1, frames, nullptr, nullptr);
    double renderRate = frames / Since(began);

    char pattern[] = "/tmp/orv-bench-capture-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::string out = pattern;
    std::printf("%d x %d, %llu frames (%.1f s of the show at 60 frames a second)\n", width, height,
                static_cast<unsigned long long>(frames), end / 1000.0);
    std::printf("rendering alone          %8.1f frames/s\n", renderRate);
    for (int writers = 1; writers <= 3; ++writers) {
        OrvPngFolderOutput output(out, width, height, OrvCaptureTarget::Order, writers);
        OrvFrameQueue queue(target.FrameBytes(), output);
        began = Clock::now();
        queue.Start();
        uint64_t captured = renderer.Render(0, 60, 1, frames, &queue, nullptr);
        bool written = queue.Finish();
        double captureRate = captured / Since(began);
        if (!written) {
            std::fprintf(stderr, "%s\n", output.Error().c_str());
            return 1;
        }
        std::printf("capture, %d PNG writer%s  %8.1f frames/s  (%.0f%% of rendering alone)\n",
                    writers, writers > 1 ? "s" : " ", captureRate,
                    100.0 * captureRate / renderRate);
    }
    std::string remove = "rm -rf '" + out + "'";
    if (std::system(remove.c_str()) != 0)
        return 1;

    // Eight frames spread over the show, encoded by each setting on this thread.
    const int samples = 8;
    std::vector<std::vector<uint8_t>> pictures(samples, std::vector<uint8_t>(target.FrameBytes()));
    for (int i = 0; i < samples; ++i) {
        target.Bind();
        show.Frame(static_cast<unsigned>(end / samples * i + end / samples / 2), 16);
        target.Read(pictures[i].data());
    }
    std::printf("%-30s %10s %12s\n", "PNG of a frame (mean)", "ms", "bytes");
    const OrvPngEncoder::Filter filters[] = {OrvPngEncoder::FilterNone, OrvPngEncoder::FilterSub,
                                             OrvPngEncoder::FilterUp};
    const char* filterNames[] = {"none", "sub", "up"};
    struct Setting {
        int level;
        int strategy;
        const char* name;
    };
    const Setting settings[] = {{0, 0, "stored"},          {1, 0, "level 1"}, {1, 3, "level 1 rle"},
                                {1, 2, "level 1 huffman"}, {3, 0, "level 3"}, {6, 0, "level 6"}};
    for (int f = 0; f < 3; ++f) {
        for (const Setting& setting : settings) {
            OrvPngEncoder encoder(width, height, setting.level, filters[f], setting.strategy);
            size_t bytes = 0;
            began = Clock::now();
            for (const std::vector<uint8_t>& picture : pictures) {
                encoder.Encode(picture.data(), OrvCaptureTarget::Order);
                bytes += encoder.Size();
            }
            char label[48];
            std::snprintf(label, sizeof label, "filter %s, %s", filterNames[f], setting.name);
            std::printf("%-30s %10.2f %12zu\n", label, 1000 * Since(began) / samples,
                        bytes / samples);
        }
    }
    target.Release();
    show.Unload();
    video.Close();
    return 0;
}
