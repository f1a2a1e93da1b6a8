// The pack command (scripts/pack.sh) on this machine: what the archive of the bundled show
// holds (packed once for all the pack tests, see tests/CMakeLists.txt), the version check that
// keeps a pack within what Ubuntu 22.04 has, the shows it refuses, and the video it makes
// beside the archive. Playing the archive elsewhere is OrvPackedShowTest's.

#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <algorithm>
#include <cstdlib>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {
const std::string sourceDir = ORV_TEST_SOURCE_DIR;
const std::string showDir = ORV_TEST_SHOW_DIR;
const std::string archive = std::string(ORV_PACK_DIR) + "/Afterglow.zip";
const std::string fixtures = ORV_PACK_FIXTURE_DIR;
const std::string pack = "bash '" + sourceDir + "/scripts/pack.sh'";
const std::string abiCheck = "bash '" + sourceDir + "/scripts/pack-abi-check.sh'";

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// The files below `folder`, as paths relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder) {
    std::string listing;
    OrvRunCommand("find " + Quoted(folder) + " -type f -printf '%P\\n' | LC_ALL=C sort", 30,
                  &listing);
    return Lines(listing);
}

bool Executable(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IXUSR) != 0;
}

// The library name patterns a packed show leaves to the system.
std::vector<std::string> SystemLibraryPatterns() {
    std::vector<std::string> patterns;
    for (std::string line : Lines(OrvReadFile(sourceDir + "/scripts/pack-system-libraries.txt"))) {
        line = line.substr(0, line.find('#'));
        line.erase(std::remove_if(line.begin(), line.end(), ::isspace), line.end());
        if (!line.empty())
            patterns.push_back(line);
    }
    return patterns;
}

bool LeftToSystem(const std::string& library) {
    for (const std::string& pattern : SystemLibraryPatterns())
        if (fnmatch(pattern.c_str(), library.c_str(), 0) == 0)
            return true;
    return false;
}

// The archive unpacked into a temporary folder; the show is its one top folder.
struct Unpacked {
    OrvTestFolder folder;
    std::string show;
    explicit Unpacked(const std::string& zip, const std::string& name = "Afterglow") {
        show = folder.Root() + "/" + name;
        EXPECT_EQ(0, OrvRunCommand("unzip -q " + Quoted(zip) + " -d " + Quoted(folder.Root()), 60))
            << zip;
    }
};

// A command's exit code with its standard output and error together.
int Shell(const std::string& command, std::string& output, int timeoutSeconds = 120) {
    return OrvRunCommand(command + " 2>&1", timeoutSeconds, &output);
}
} // namespace

// The archive holds the show as it was built, the libraries the system may lack, found beside
// the engine, and nothing that must be the system's own.
TEST(OrvPack, TheArchiveHoldsTheShowAndTheLibrariesTheSystemMayLack) {
    Unpacked unpacked(archive);
    const std::string& show = unpacked.show;

    // One top folder, nothing else beside it.
    std::string top;
    OrvRunCommand("ls -A " + Quoted(unpacked.folder.Root()), 10, &top);
    EXPECT_EQ("Afterglow\nbin\ndata\n", top) << "the test folder's own bin/ and data/ aside";

    // The show's data as the build made it, byte for byte.
    std::vector<std::string> data = FilesBelow(showDir + "/data");
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data, FilesBelow(show + "/data"));
    for (const std::string& file : data)
        EXPECT_TRUE(OrvReadFile(showDir + "/data/" + file) == OrvReadFile(show + "/data/" + file))
            << file;
    EXPECT_TRUE(OrvReadFile(showDir + "/bin/DejaVuSans.ttf") ==
                OrvReadFile(show + "/bin/DejaVuSans.ttf"));
    EXPECT_TRUE(Executable(show + "/Run"));
    EXPECT_TRUE(Executable(show + "/Capture"));

    // The programs without their debug information, which the build's have.
    std::string sections;
    for (const char* program : {"Run", "Capture", "bin/libOrvEngine.so"}) {
        OrvRunCommand("readelf -S --wide " + Quoted(show + "/" + program), 10, &sections);
        EXPECT_EQ(std::string::npos, sections.find(".debug_info")) << program;
        EXPECT_NE(std::string::npos, sections.find(".symtab")) << program << " keeps its names";
    }
    OrvRunCommand("readelf -S --wide " + Quoted(showDir + "/bin/libOrvEngine.so"), 10, &sections);
    EXPECT_NE(std::string::npos, sections.find(".debug_info")) << "the build's engine";

    // What bin/ carries: the libraries the issue found missing on a clean machine, Debian 12's
    // own image libraries, the sound file libraries, and none of the system's.
    std::vector<std::string> libraries;
    for (const std::string& file : FilesBelow(show + "/bin"))
        if (file.compare(0, 3, "lib") == 0 && file != "libOrvEngine.so")
            libraries.push_back(file);
    for (const char* needed :
         {"libGLU.so.1", "lib3ds-1.so.3", "libSDL2-2.0.so.0", "libSDL2_image-2.0.so.0",
          "libSDL2_ttf-2.0.so.0", "libepoxy.so.0", "libsamplerate.so.0", "libsndfile.so.1",
          "libvorbis.so.0", "libFLAC.so.12", "libjpeg.so.62", "libtiff.so.6", "libpng16.so.16",
          "libfreetype.so.6", "libdeflate.so.0"})
        EXPECT_NE(libraries.end(), std::find(libraries.begin(), libraries.end(), needed)) << needed;
    std::string dynamic;
    std::string packages = OrvReadFile(show + "/licenses/packages.txt");
    for (const std::string& library : libraries) {
        EXPECT_FALSE(LeftToSystem(library)) << library << " belongs to the system";
        // Found beside itself, whoever asks for it.
        OrvRunCommand("readelf -d " + Quoted(show + "/bin/" + library), 10, &dynamic);
        EXPECT_NE(std::string::npos, dynamic.find("Library runpath: [$ORIGIN]")) << library;
        // libGL.so.1 stands in for libOpenGL.so.0, which a fresh Ubuntu 22.04 may lack.
        EXPECT_EQ(std::string::npos, dynamic.find("[libOpenGL.so.0]")) << library;
        EXPECT_NE(std::string::npos, packages.find("bin/" + library + ": lib")) << library;
    }
    OrvRunCommand("readelf -d " + Quoted(show + "/bin/libGLU.so.1"), 10, &dynamic);
    EXPECT_NE(std::string::npos, dynamic.find("Shared library: [libGL.so.1]")) << dynamic;
    for (const char* system : {"libc.so.6", "libstdc++.so.6", "libgcc_s.so.1", "libGL.so.1",
                               "libX11.so.6", "libxcb.so.1", "libasound.so.2", "libpulse.so.0"})
        EXPECT_TRUE(LeftToSystem(system)) << system;
    OrvRunCommand("readelf -d " + Quoted(show + "/bin/libOrvEngine.so"), 10, &dynamic);
    EXPECT_NE(std::string::npos, dynamic.find("Library runpath: [$ORIGIN]"));
    OrvRunCommand("readelf -d " + Quoted(show + "/Capture"), 10, &dynamic);
    EXPECT_NE(std::string::npos, dynamic.find("Library runpath: [$ORIGIN/bin]"));

    // The licences of what bin/ carries, and the organisers' text.
    EXPECT_NE(std::string::npos,
              OrvReadFile(show + "/licenses/libsdl2-2.0-0.txt").find("zlib/libpng"));
    EXPECT_NE(std::string::npos, packages.find("bin/DejaVuSans.ttf: fonts-dejavu-core"));
    EXPECT_FALSE(OrvReadFile(show + "/licenses/fonts-dejavu-core.txt").empty());
    std::string readme = OrvReadFile(show + "/README.txt");
    for (const char* words : {"Orvanta - Afterglow", "./Run", "Escape", "glibc 2.35",
                              "SDL_AUDIODRIVER=alsa", "read-only"})
        EXPECT_NE(std::string::npos, readme.find(words)) << words;
}

// The version check: the newest C library of Ubuntu 22.04 passes, one release newer fails, and
// so does a newer C++ runtime; everything the archive holds passes.
TEST(OrvPack, TheVersionCheckKeepsAPackWithinUbuntu2204) {
    std::string output;
    EXPECT_EQ(0, Shell(abiCheck + " " + Quoted(fixtures + "/libOrvNeedsGlibc235.so"), output))
        << output;
    EXPECT_EQ("", output);

    std::string newer = fixtures + "/libOrvNeedsGlibc236.so";
    EXPECT_EQ(1, Shell(abiCheck + " " + Quoted(newer), output));
    EXPECT_EQ(newer + ": needs GLIBC_2.36 from libc.so.6, Ubuntu 22.04 has up to GLIBC_2.35\n",
              output);

    std::string cxx = fixtures + "/libOrvNeedsNewerCxx.so";
    EXPECT_EQ(
        1, Shell(abiCheck + " " + Quoted(cxx) + " " + Quoted(fixtures + "/libOrvNeedsGlibc235.so"),
                 output));
    EXPECT_EQ(cxx + ": needs GLIBCXX_3.4.31 from libstdc++.so.6, Ubuntu 22.04 has up to "
                    "GLIBCXX_3.4.30\n",
              output);

    EXPECT_EQ(2, Shell(abiCheck + " " + Quoted(sourceDir + "/README.md"), output));
    EXPECT_EQ(sourceDir + "/README.md: not a program or library\n", output);

    // Debian 12's own C++ runtime needs glibc 2.36: one reason the archive leaves it to the
    // system.
    EXPECT_EQ(1, Shell(abiCheck + " /usr/lib/x86_64-linux-gnu/libstdc++.so.6", output));
    EXPECT_NE(std::string::npos, output.find("GLIBC_2.36")) << output;

    Unpacked unpacked(archive);
    EXPECT_EQ(0, Shell(abiCheck + " " + Quoted(unpacked.show + "/Run") + " " +
                           Quoted(unpacked.show + "/Capture") + " " + Quoted(unpacked.show) +
                           "/bin/lib*.so*",
                       output))
        << output;
}

// A folder that is no show, or a show whose script has errors, is not packed, and no archive
// is left behind.
TEST(OrvPack, RefusesWhatWouldNotPlay) {
    OrvTestFolder show;
    OrvCopyPath(showDir + "/Run", show.Root() + "/Run");
    OrvCopyPath(showDir + "/bin/libOrvEngine.so", show.BinPath("libOrvEngine.so"));
    OrvCopyPath(showDir + "/data/.", show.DataPath(""));
    std::string zip = show.Root() + "/Out.zip";
    std::string output;
    EXPECT_EQ(1, Shell(pack + " --show " + Quoted(show.Root()) + " " + Quoted(zip), output));
    EXPECT_EQ("pack.sh: " + show.Root() + " is no show folder: it has no bin/DejaVuSans.ttf\n",
              output);

    OrvCopyPath(showDir + "/bin/DejaVuSans.ttf", show.BinPath("DejaVuSans.ttf"));
    show.WriteData("script.txt", "header {\n  title: Broken\n}\nobjects {\n}\nrenderLines {\n"
                                 "  screen {\n  }\n}\nscript {\n  0 screen.clear.q = 1\n"
                                 "  1 end\n}\n");
    EXPECT_EQ(1, Shell(pack + " --show " + Quoted(show.Root()) + " " + Quoted(zip), output));
    EXPECT_NE(std::string::npos, output.find("pack.sh: the show's script has errors (above)"))
        << output;
    EXPECT_NE(std::string::npos, output.find("script.txt:")) << output;

    EXPECT_EQ(1, Shell(pack + " --show " + Quoted(show.Root()) + " " + Quoted(show.Root() + "/Out"),
                       output));
    EXPECT_EQ("pack.sh: the archive's name must end in .zip: " + show.Root() + "/Out\n", output);
    EXPECT_EQ(1,
              Shell(pack + " --show " + Quoted(show.Root()) + " --video " + Quoted(zip), output));
    EXPECT_EQ("pack.sh: --video needs Capture in the show folder: " + show.Root() + " has none\n",
              output);
    EXPECT_EQ(std::vector<std::string>{}, Lines([&] {
                  std::string left;
                  OrvRunCommand("ls " + Quoted(show.Root()) + " | grep -i -E 'zip|part'", 10,
                                &left);
                  return left;
              }()));
}

// --video renders the show beside the archive as a party wants its video: 1920 x 1080 at 60
// frames a second, H.264 at 8 Mbit/s or more, AAC at 192 kbit/s, both as long as the show. A
// show of two seconds keeps it short; without a display the pack finds one of its own.
TEST(OrvPack, TheVideoBesideTheArchiveIsWhatAPartyAsksFor) {
    if (std::system("command -v ffmpeg > /dev/null && command -v ffprobe > /dev/null") != 0)
        FAIL() << "ffmpeg is not installed (scripts/install-deps.sh installs it)";
    OrvTestFolder show;
    OrvCopyPath(showDir + "/Run", show.Root() + "/Run");
    OrvCopyPath(showDir + "/Capture", show.Root() + "/Capture");
    OrvCopyPath(showDir + "/bin/libOrvEngine.so", show.BinPath("libOrvEngine.so"));
    OrvCopyPath(showDir + "/bin/DejaVuSans.ttf", show.BinPath("DejaVuSans.ttf"));
    OrvCopyPath(showDir + "/data/splash.jpg", show.DataPath("splash.jpg"));
    OrvCopyPath(showDir + "/data/loading.jpg", show.DataPath("loading.jpg"));
    // Noise for music: it fills every bit the sound may have.
    ASSERT_EQ(0, OrvRunCommand("ffmpeg -v error -f lavfi -i anoisesrc=d=3:c=pink:r=44100:a=0.3 "
                               "-ac 2 " +
                                   Quoted(show.DataPath("noise.wav")),
                               60));
    show.WriteData("script.txt", "header {\n  title: Short\n  music: noise.wav\n  width: 640\n"
                                 "  height: 360\n}\nobjects {\n}\nrenderLines {\n  screen {\n"
                                 "  }\n}\nscript {\n  0 screen.clear.a = 1\n"
                                 "  0 screen.clear.r = 0 to 1 in 2\n  2 end\n}\n");
    std::string zip = show.Root() + "/Short.zip";
    std::string output;
    ASSERT_EQ(0, Shell("env -u DISPLAY " + pack + " --show " + Quoted(show.Root()) + " --video " +
                           Quoted(zip),
                       output, 300))
        << output;
    EXPECT_NE(std::string::npos, output.find("pack.sh: wrote " + show.Root() + "/Short.mp4 in "))
        << output;

    std::string probe;
    ASSERT_EQ(0, OrvRunCommand("ffprobe -v error -show_entries stream=codec_name,width,height,"
                               "r_frame_rate,nb_frames,bit_rate,sample_rate,duration -of "
                               "default=noprint_wrappers=1 " +
                                   Quoted(show.Root() + "/Short.mp4"),
                               30, &probe));
    // Two streams, the video's fields first.
    std::vector<std::string> fields = Lines(probe);
    auto value = [&fields](int stream, const std::string& name) -> std::string {
        int seen = -1;
        for (const std::string& field : fields) {
            if (field.compare(0, 11, "codec_name=") == 0)
                ++seen;
            if (seen == stream && field.compare(0, name.size() + 1, name + "=") == 0)
                return field.substr(name.size() + 1);
        }
        return "<missing>";
    };
    EXPECT_EQ("h264", value(0, "codec_name")) << probe;
    EXPECT_EQ("1920", value(0, "width"));
    EXPECT_EQ("1080", value(0, "height"));
    EXPECT_EQ("60/1", value(0, "r_frame_rate"));
    EXPECT_EQ("120", value(0, "nb_frames"));
    EXPECT_GE(std::atof(value(0, "bit_rate").c_str()), 8e6) << probe;
    EXPECT_NEAR(2.0, std::atof(value(0, "duration").c_str()), 0.001) << probe;
    EXPECT_EQ("aac", value(1, "codec_name")) << probe;
    EXPECT_EQ("44100", value(1, "sample_rate"));
    EXPECT_NEAR(192000, std::atof(value(1, "bit_rate").c_str()), 192000 * 0.03) << probe;
    EXPECT_NEAR(2.0, std::atof(value(1, "duration").c_str()), 0.03) << probe;

    // The archive beside it holds the same show.
    Unpacked unpacked(zip, "Short");
    EXPECT_EQ(OrvReadFile(show.DataPath("script.txt")),
              OrvReadFile(unpacked.show + "/data/script.txt"));
}
