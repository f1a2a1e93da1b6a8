#include "OrvCaptureOptions.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr uint64_t MaxRatePart = 1000000;
constexpr int MaxSide = 16384;
constexpr uint64_t MaxMilliseconds = 4294967295u;
constexpr uint64_t MaxMbits = 1000;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits only, at least one, at most 18 (so the value fits with room to spare).
bool ParseWhole(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

// "12", "12.5", ".5", "12.": whole part and fraction digits, without a sign or an exponent.
// Read by hand rather than with strtod so the result does not hang on the locale and a
// decimal like 4.35 is exactly 4350 ms, not 4349.999...
bool SplitDecimal(const std::string& text, std::string& whole, std::string& fraction) {
    size_t dot = text.find('.');
    whole = text.substr(0, dot);
    fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if (whole.empty() && fraction.empty())
        return false;
    for (char c : whole)
        if (!IsDigit(c))
            return false;
    for (char c : fraction)
        if (!IsDigit(c))
            return false;
    return whole.size() <= 12;
}

uint64_t Gcd(uint64_t a, uint64_t b) {
    while (b != 0) {
        uint64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

} // namespace

OrvCaptureOptions::OrvCaptureOptions()
    : help(false), fpsNumerator(60), fpsDenominator(1), width(0), height(0), hasFrom(false),
      fromMs(0), hasTo(false), toMs(0), outFolder("capture"), videoMbits(0), partIndex(0),
      partCount(0), join(false) {}

const char* OrvCaptureOptions::HelpText() {
    return "Usage: Capture [options]\n"
           "Renders the show of this folder (bin/ and data/ beside the program) frame by frame\n"
           "at a fixed rate into PNG files and its music into audio.wav, or into a video.\n"
           "\n"
           "  --fps N        frames per second, default 60; a fraction such as 30000/1001 or a\n"
           "                 decimal such as 29.97 is allowed\n"
           "  --size WxH     picture size, default the script's width x height\n"
           "  --from S       first frame's position in seconds, default the header's jump\n"
           "  --to S         end in seconds (not captured), default the script's end; a show\n"
           "                 without an end needs it\n"
           "  --out DIR      folder for frame-000000.png, frame-000001.png, ... and audio.wav,\n"
           "                 default capture/\n"
           "  --video FILE   an MP4 video (H.264 and AAC) made by ffmpeg instead of the PNG\n"
           "                 files; needs ffmpeg on the PATH\n"
           "  --bitrate M    with --video: H.264 at a constant M Mbit/s (1 to 1000) instead\n"
           "                 of constant quality, padded where the picture needs less, as\n"
           "                 a party's rules for the video of an entry ask\n"
           "  --part K/N     only the K-th of N equal runs of frames (K from 1 to N) and its\n"
           "                 share of the sound, as PNG files numbered as in the whole\n"
           "                 capture, and part.txt saying what the part holds: parts rendered\n"
           "                 apart, on other machines too, are together the whole capture\n"
           "  --join DIR...  the parts' folders into one --video FILE, in order; refuses\n"
           "                 parts that do not make one whole capture\n"
           "  --help         this list\n"
           "\n"
           "Frame n shows the position from + n * 1000 / fps milliseconds; the sound has\n"
           "exactly round((to - from) * 44100) sample frames, its first at `from`.\n";
}

bool OrvCaptureOptions::ParseRate(const std::string& text, unsigned& numerator,
                                  unsigned& denominator) {
    uint64_t n = 0;
    uint64_t d = 1;
    size_t slash = text.find('/');
    if (slash != std::string::npos) {
        if (!ParseWhole(text.substr(0, slash), n) || !ParseWhole(text.substr(slash + 1), d))
            return false;
    } else {
        std::string whole, fraction;
        if (!SplitDecimal(text, whole, fraction) || fraction.size() > 6)
            return false;
        uint64_t wholeValue = 0, fractionValue = 0;
        if (!whole.empty() && !ParseWhole(whole, wholeValue))
            return false;
        if (!fraction.empty() && !ParseWhole(fraction, fractionValue))
            return false;
        for (size_t i = 0; i < fraction.size(); ++i)
            d *= 10;
        if (wholeValue > 1000)
            return false;
        n = wholeValue * d + fractionValue;
    }
    if (n == 0 || d == 0)
        return false;
    uint64_t common = Gcd(n, d);
    n /= common;
    d /= common;
    // More than a thousand frames a second would all fall on the same few milliseconds.
    if (n > MaxRatePart || d > MaxRatePart || n > 1000 * d)
        return false;
    numerator = static_cast<unsigned>(n);
    denominator = static_cast<unsigned>(d);
    return true;
}

bool OrvCaptureOptions::ParseSize(const std::string& text, int& width, int& height) {
    size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    uint64_t w = 0, h = 0;
    if (!ParseWhole(text.substr(0, x), w) || !ParseWhole(text.substr(x + 1), h))
        return false;
    if (w < 1 || h < 1 || w > MaxSide || h > MaxSide)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool OrvCaptureOptions::ParseSeconds(const std::string& text, unsigned& milliseconds) {
    std::string whole, fraction;
    if (!SplitDecimal(text, whole, fraction))
        return false;
    uint64_t seconds = 0;
    if (!whole.empty() && !ParseWhole(whole, seconds))
        return false;
    // Milliseconds from the first three fraction digits, rounded by the fourth.
    uint64_t ms = 0;
    for (size_t i = 0; i < 3; ++i)
        ms = ms * 10 + (i < fraction.size() ? static_cast<uint64_t>(fraction[i] - '0') : 0);
    if (fraction.size() > 3 && fraction[3] >= '5')
        ++ms;
    uint64_t total = seconds * 1000 + ms;
    if (total > MaxMilliseconds)
        return false;
    milliseconds = static_cast<unsigned>(total);
    return true;
}

bool OrvCaptureOptions::ParsePart(const std::string& text, unsigned& index, unsigned& count) {
    size_t slash = text.find('/');
    uint64_t k = 0, n = 0;
    if (slash == std::string::npos || !ParseWhole(text.substr(0, slash), k) ||
        !ParseWhole(text.substr(slash + 1), n))
        return false;
    if (k < 1 || k > n || n > 100000)
        return false;
    index = static_cast<unsigned>(k);
    count = static_cast<unsigned>(n);
    return true;
}

bool OrvCaptureOptions::Parse(int argc, const char* const* argv, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        std::string name = word;
        std::string value;
        bool hasValue = false;
        size_t equals = word.find('=');
        if (word.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            help = true;
            continue;
        }
        if (name == "--join" && !hasValue) {
            join = true;
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0)
                joinFolders.push_back(argv[++i]);
            continue;
        }
        static const char* const withValue[] = {"--fps", "--size",  "--from",    "--to",
                                                "--out", "--video", "--bitrate", "--part"};
        bool known = false;
        for (const char* option : withValue)
            known = known || name == option;
        if (!known) {
            error = "Capture: unknown option " + word + " (Capture --help lists the options)";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = "Capture: " + name + " needs a value (Capture --help lists the options)";
                return false;
            }
            value = argv[++i];
        }
        const char* expected = nullptr;
        if (name == "--fps") {
            if (!ParseRate(value, fpsNumerator, fpsDenominator))
                expected = "frames per second above 0 and up to 1000, such as 60, 30000/1001 "
                           "or 29.97";
        } else if (name == "--size") {
            if (!ParseSize(value, width, height))
                expected = "width x height in pixels, such as 1280x720, each 1 to 16384";
        } else if (name == "--from") {
            hasFrom = ParseSeconds(value, fromMs);
            if (!hasFrom)
                expected = "seconds, 0 or more, such as 12 or 12.5";
        } else if (name == "--to") {
            hasTo = ParseSeconds(value, toMs);
            if (!hasTo)
                expected = "seconds, 0 or more, such as 12 or 12.5";
        } else if (name == "--out") {
            outFolder = value;
            if (value.empty())
                expected = "a folder";
        } else if (name == "--video") {
            videoFile = value;
            if (value.empty())
                expected = "a file name, such as show.mp4";
        } else if (name == "--part") {
            if (!ParsePart(value, partIndex, partCount))
                expected = "K/N, the K-th of N parts, 1 <= K <= N <= 100000, such as 3/8";
        } else {
            uint64_t mbits = 0;
            if (!ParseWhole(value, mbits) || mbits < 1 || mbits > MaxMbits)
                expected = "whole megabits a second, 1 to 1000, such as 12";
            videoMbits = static_cast<unsigned>(mbits);
        }
        if (expected) {
            error = "Capture: bad value \"" + value + "\" for " + name + ": expected " + expected;
            return false;
        }
    }
    if (join) {
        static const char* const fromParts[] = {"--fps", "--size", "--from",
                                                "--to",  "--out",  "--part"};
        for (int i = 1; i < argc; ++i)
            for (const char* option : fromParts)
                if (std::strncmp(argv[i], option, std::strlen(option)) == 0 &&
                    (argv[i][std::strlen(option)] == 0 || argv[i][std::strlen(option)] == '=')) {
                    error = std::string("Capture: --join takes the rate, size and range from the "
                                        "parts' part.txt: leave out ") +
                            option;
                    return false;
                }
        if (joinFolders.empty()) {
            error = "Capture: --join needs the parts' folders: Capture --join DIR... --video FILE";
            return false;
        }
        if (videoFile.empty()) {
            error = "Capture: --join makes a video: give --video FILE too";
            return false;
        }
    }
    if (partCount != 0 && !videoFile.empty()) {
        error = "Capture: --part writes PNG frames for --join: leave out --video (the join "
                "makes the video)";
        return false;
    }
    if (videoMbits != 0 && videoFile.empty()) {
        error = "Capture: --bitrate is the rate of a video: give --video FILE too";
        return false;
    }
    return true;
}
