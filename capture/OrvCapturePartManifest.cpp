#include "OrvCapturePartManifest.h"

#include "OrvCaptureOptions.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

const char* const OrvCapturePartManifest::FileName = "part.txt";

namespace {

const char* const Magic = "orvanta-capture-part";
enum Key { KMagic, KPart, KFps, KSize, KFrom, KTo, KFrames, KSamples, KeyCount };
const char* const Keys[KeyCount] = {Magic,  "part", "fps",    "size",
                                    "from", "to",   "frames", "samples"};

bool Whole(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 18)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

// "a b c" into exactly `count` whole numbers.
bool Numbers(const std::string& text, uint64_t* values, size_t count) {
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        size_t space = text.find(' ', start);
        bool last = i + 1 == count;
        if (last != (space == std::string::npos))
            return false;
        if (!Whole(text.substr(start, last ? std::string::npos : space - start), values[i]))
            return false;
        start = space + 1;
    }
    return true;
}

bool Fail(OrvCapturePartManifest::Error& error, int line, OrvCapturePartManifest::Fault kind,
          const std::string& message) {
    error.line = line;
    error.kind = kind;
    error.message = message;
    return false;
}

} // namespace

std::string OrvCapturePartManifest::Text() const {
    auto n = [](uint64_t value) { return std::to_string(value); };
    return std::string(Magic) + " 1\n" + "part " + n(part.index) + "/" + n(part.count) + "\n" +
           "fps " + n(fpsNumerator) + "/" + n(fpsDenominator) + "\n" + "size " + n(width) + "x" +
           n(height) + "\n" + "from " + n(fromMs) + "\n" + "to " + n(toMs) + "\n" + "frames " +
           n(part.firstFrame) + " " + n(part.endFrame) + " " + n(part.totalFrames) + "\n" +
           "samples " + n(part.firstSample) + " " + n(part.endSample) + " " + n(part.totalSamples) +
           "\n";
}

bool OrvCapturePartManifest::SameCapture(const OrvCapturePartManifest& other) const {
    return fpsNumerator == other.fpsNumerator && fpsDenominator == other.fpsDenominator &&
           width == other.width && height == other.height && fromMs == other.fromMs &&
           toMs == other.toMs;
}

bool OrvCapturePartManifest::Parse(const std::string& text, OrvCapturePartManifest& manifest,
                                   Error& error) {
    if (text.size() > MaxBytes)
        return Fail(error, 0, Fault::TooLong,
                    "longer than " + std::to_string(MaxBytes) + " bytes: not a part.txt");
    bool seen[KeyCount] = {};
    uint64_t frames[3] = {}, samples[3] = {}, from = 0, to = 0;
    OrvCapturePartManifest read;
    int line = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return Fail(error, line + 1, Fault::BadLine, "the last line has no line end");
        std::string row = text.substr(start, end - start);
        start = end + 1;
        ++line;
        size_t space = row.find(' ');
        std::string key = row.substr(0, space);
        std::string value = space == std::string::npos ? "" : row.substr(space + 1);
        int k = 0;
        while (k < KeyCount && key != Keys[k])
            ++k;
        if (k == KeyCount)
            return Fail(error, line, Fault::BadLine, "unknown line \"" + key + "\"");
        if (seen[k])
            return Fail(error, line, Fault::Repeated, "\"" + key + "\" a second time");
        seen[k] = true;
        if (line == 1 && k != KMagic)
            return Fail(error, line, Fault::BadLine,
                        "not a part.txt: no \"" + std::string(Magic) + "\" line first");
        bool good = true;
        uint64_t a = 0, b = 0;
        switch (k) {
        case KMagic:
            good = value == "1";
            break;
        case KPart: {
            size_t slash = value.find('/');
            good = slash != std::string::npos && Whole(value.substr(0, slash), a) &&
                   Whole(value.substr(slash + 1), b) && a >= 1 && a <= b && b <= 100000;
            read.part.index = static_cast<unsigned>(a);
            read.part.count = static_cast<unsigned>(b);
            break;
        }
        case KFps:
            good = OrvCaptureOptions::ParseRate(value, read.fpsNumerator, read.fpsDenominator) &&
                   value.find('/') != std::string::npos;
            break;
        case KSize:
            good = OrvCaptureOptions::ParseSize(value, read.width, read.height);
            break;
        case KFrom:
            good = Whole(value, from) && from <= 4294967295u;
            break;
        case KTo:
            good = Whole(value, to) && to <= 4294967295u;
            break;
        case KFrames:
            good = Numbers(value, frames, 3);
            break;
        default:
            good = Numbers(value, samples, 3);
            break;
        }
        if (!good)
            return Fail(error, line, Fault::BadValue,
                        "bad value \"" + value + "\" for \"" + key + "\"");
    }
    for (int k = 0; k < KeyCount; ++k)
        if (!seen[k])
            return Fail(error, 0, Fault::Missing, "no \"" + std::string(Keys[k]) + "\" line");
    read.fromMs = static_cast<unsigned>(from);
    read.toMs = static_cast<unsigned>(to);
    // The ranges must be the ones this rate, range and part give: anything else was not
    // written by Capture --part and would make the join's arithmetic lie.
    std::string reason;
    OrvCapturePart expected;
    if (to <= from || !OrvCapturePart::Of(read.part.index, read.part.count, read.fromMs, read.toMs,
                                          read.fpsNumerator, read.fpsDenominator, expected, reason))
        return Fail(error, 0, Fault::Mismatch, "the part holds no frame of its range");
    if (frames[0] != expected.firstFrame || frames[1] != expected.endFrame ||
        frames[2] != expected.totalFrames)
        return Fail(error, 0, Fault::Mismatch,
                    "the frames are not those of part " + std::to_string(read.part.index) + "/" +
                        std::to_string(read.part.count) + " at this rate and range");
    if (samples[0] != expected.firstSample || samples[1] != expected.endSample ||
        samples[2] != expected.totalSamples)
        return Fail(error, 0, Fault::Mismatch,
                    "the samples are not those of part " + std::to_string(read.part.index) + "/" +
                        std::to_string(read.part.count) + " at this rate and range");
    read.part = expected;
    manifest = read;
    error = Error();
    return true;
}

bool OrvCapturePartManifest::ReadFile(const std::string& folder, std::string& text, Error& error) {
    std::string path = folder + "/" + FileName;
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return Fail(error, 0, Fault::Unreadable, std::strerror(errno));
    text.clear();
    char buffer[512];
    // One byte past the limit is enough to tell a file that is too long.
    while (text.size() <= MaxBytes) {
        ssize_t got = read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            int reason = errno;
            close(descriptor);
            return Fail(error, 0, Fault::Unreadable, std::strerror(reason));
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
    }
    close(descriptor);
    return true;
}
