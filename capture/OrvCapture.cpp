#include "OrvCapture.h"

#include "OrvAbsolutePath.h"
#include "OrvCaptureAudio.h"
#include "OrvCapturePart.h"
#include "OrvCapturePartManifest.h"
#include "OrvCaptureProgress.h"
#include "OrvCaptureRenderer.h"
#include "OrvCaptureTarget.h"
#include "OrvFrameQueue.h"
#include "OrvOutputFile.h"
#include "OrvPngFolderOutput.h"
#include "OrvVideoPipe.h"

#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvOwnFolder.h"
#include "base/OrvQuietLoadingObserver.h"
#include "base/OrvRunContext.h"
#include "runtime/OrvVideo.h"
#include "script/IOrvScriptLoader.h"
#include "script/OrvScriptSize.h"
#include "show/OrvShow.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// PNG files are encoded by this many threads at once beside the rendering thread: one core
// is left to rendering (and the driver's own threads), the others encode, up to three.
int PngWriters() {
    unsigned cores = std::thread::hardware_concurrency();
    return cores >= 4 ? 3 : cores == 3 ? 2 : 1;
}
// The window only holds the context.
constexpr int WindowSide = 64;

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// The run's diagnostics as Run shows them: errors as its message box prints them, warnings
// alone as the engine prints them at the end of a run.
void PrintLog(const OrvDiagnostics& diagnostics) {
    const std::string& text = diagnostics.Log();
    if (text.empty())
        return;
    if (diagnostics.HasError())
        std::fprintf(stderr, "Error: %s%s", text.c_str(), text.back() == '\n' ? "" : "\n");
    else
        std::fputs(text.c_str(), stderr);
}

int FailWithLog(const OrvDiagnostics& diagnostics) {
    PrintLog(diagnostics);
    return 1;
}

// Like mkdir -p; false with the reason in errno.
bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// Made, and a file can be created in it.
bool CheckFolder(const std::string& folder, std::string& error) {
    std::string probe = folder + "/.capture-write-test";
    int descriptor = -1;
    if (MakeFolders(folder))
        descriptor = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        error =
            "Capture: cannot write to the output folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    close(descriptor);
    unlink(probe.c_str());
    return true;
}

std::string Seconds(unsigned ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u s", ms / 1000, ms % 1000);
    return text;
}

// Everything that lives while the show is loaded, given back in the engine's order: the
// capture's picture and the show's OpenGL objects while the context exists, then the window.
struct Session {
    explicit Session(OrvRunContext& run) : show(run), video(run) {}
    OrvShow show;
    OrvVideo video;
    OrvCaptureTarget target;
    bool windowOpen = false;
    ~Session() {
        if (windowOpen)
            target.Release();
        show.Unload();
        if (windowOpen)
            video.Close();
    }
};

} // namespace

int OrvCapture::Run(const OrvCaptureOptions& options) {
    std::string outFolder = OrvAbsolutePath::Of(options.outFolder);
    bool toVideo = !options.videoFile.empty();
    std::string videoFile = toVideo ? OrvAbsolutePath::Of(options.videoFile) : "";
    std::string ffmpeg;
    if (toVideo) {
        ffmpeg = OrvVideoPipe::FindProgram("ffmpeg");
        if (ffmpeg.empty())
            return Fail("Capture: --video needs ffmpeg, which is not on the PATH; install it "
                        "(apt-get install ffmpeg) or capture PNG frames without --video");
    }

    // The show beside the program: its data/ folder, whatever the working directory is.
    std::string own = OrvOwnFolder::Program();
    OrvDiagnostics diagnostics;
    OrvRunContext run(OrvOwnFolder::DataBesideBin(own.empty() ? std::string("bin") : own + "/bin"),
                      diagnostics);
    // Nothing may play: the show is loaded without its music, and should anything still open
    // a sound device, it is SDL's silent one.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // A video encoder that stops, or a file size limit, must come back as a write error.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);

    Session session(run);
    OrvShow& show = session.show;
    if (!show.ReadScript())
        return FailWithLog(diagnostics);

    IOrvScriptLoader* script = show.Loader();
    int width = options.width > 0 ? options.width : OrvScriptSize::SurfaceWidth(script);
    int height = options.height > 0 ? options.height : OrvScriptSize::SurfaceHeight(script);

    // Offscreen: Capture draws into a picture of its own and needs no display server.
    if (!session.video.OpenOffscreen(WindowSide, WindowSide, script))
        return FailWithLog(diagnostics);
    session.windowOpen = true;
    session.video.SetCaption("Capturing");
    std::string error;
    if (!session.target.Create(run.Display(), width, height, error))
        return Fail("Capture: " + error);
    try {
        // The music is decoded offline below: no sound device is opened at all.
        OrvQuietLoadingObserver observer;
        show.Load(observer);
    } catch (const OrvException& failure) {
        diagnostics.Report(1, failure.Message());
        return FailWithLog(diagnostics);
    }

    // The end command's position is known once the timeline has been processed.
    unsigned from = options.hasFrom ? options.fromMs : show.StartPosition();
    unsigned to = options.hasTo ? options.toMs : show.EndPosition();
    if (!options.hasTo && to == 0)
        return Fail("Capture: the show has no end command: say where the capture ends with "
                    "--to S");
    if (to <= from)
        return Fail("Capture: nothing to capture: the start (" + Seconds(from) +
                    ") is not before the end (" + Seconds(to) + ")");

    // The whole capture, or one part of it: frames and sample frames of its range only.
    OrvCapturePart part;
    bool isPart = options.partCount != 0;
    if (!isPart) {
        part.totalFrames = part.endFrame =
            OrvCaptureRenderer::FrameCount(from, to, options.fpsNumerator, options.fpsDenominator);
        part.totalSamples = part.endSample = OrvCaptureAudio::FrameCount(from, to);
    } else if (!OrvCapturePart::Of(options.partIndex, options.partCount, from, to,
                                   options.fpsNumerator, options.fpsDenominator, part, error)) {
        return Fail(error);
    }

    std::string audioPath;
    std::string manifestPath = outFolder + "/" + OrvCapturePartManifest::FileName;
    if (toVideo) {
        size_t slash = videoFile.rfind('/');
        if (!CheckFolder(videoFile.substr(0, slash ? slash : 1), error))
            return Fail(error);
        audioPath = videoFile + ".audio.wav";
    } else {
        if (!CheckFolder(outFolder, error))
            return Fail(error);
        audioPath = outFolder + "/audio.wav";
        // A part run again into its folder is unfinished until it writes part.txt anew.
        if (isPart)
            unlink(manifestPath.c_str());
    }

    std::string music = show.Files().Path(show.MusicName());
    bool musicFound = false;
    if (!OrvCaptureAudio::WriteRange(music, from, to, part.firstSample, part.endSample, audioPath,
                                     musicFound, error))
        return Fail("Capture: " + error);
    if (!musicFound)
        diagnostics.Report(0, "Could not load the music file"); // as loading warns when playing

    std::unique_ptr<IOrvFrameOutput> output;
    if (toVideo) {
        std::unique_ptr<OrvVideoPipe> pipe(new OrvVideoPipe());
        if (!pipe->Start(ffmpeg, videoFile, audioPath, width, height, options.fpsNumerator,
                         options.fpsDenominator, OrvCaptureTarget::Order, options.videoMbits)) {
            unlink(audioPath.c_str());
            return Fail("Capture: " + pipe->Error());
        }
        output = std::move(pipe);
    } else {
        output.reset(new OrvPngFolderOutput(outFolder, width, height, OrvCaptureTarget::Order,
                                            PngWriters(), part.firstFrame));
    }

    uint64_t total = part.endFrame - part.firstFrame;
    OrvCaptureProgress progress(total, isatty(2) != 0);
    OrvFrameQueue queue(session.target.FrameBytes(), *output);
    queue.Start();
    OrvCaptureRenderer renderer(show, session.target, run.Display());
    uint64_t rendered = renderer.Render(from, options.fpsNumerator, options.fpsDenominator,
                                        part.firstFrame, total, &queue, &progress);
    bool written = queue.Finish();
    written = output->Finish() && written;
    progress.End();
    if (toVideo)
        unlink(audioPath.c_str());
    if (!written)
        return Fail("Capture: " + output->Error());
    if (isPart) {
        // Last: a folder with part.txt holds the whole part.
        OrvCapturePartManifest manifest;
        manifest.fpsNumerator = options.fpsNumerator;
        manifest.fpsDenominator = options.fpsDenominator;
        manifest.width = width;
        manifest.height = height;
        manifest.fromMs = from;
        manifest.toMs = to;
        manifest.part = part;
        std::string text = manifest.Text();
        OrvOutputFile file;
        if (!file.Open(manifestPath) || !file.Write(text.data(), text.size()) || !file.Commit())
            return Fail("Capture: " + file.Error());
    }

    std::printf("%s\n", progress.Summary(rendered, toVideo ? videoFile : outFolder).c_str());
    std::fflush(stdout);
    PrintLog(diagnostics);
    return 0;
}
