#ifndef ORV_CAPTURE_ORVCAPTUREPARTMANIFEST_H
#define ORV_CAPTURE_ORVCAPTUREPARTMANIFEST_H

// part.txt: what a part of a capture (Capture --part K/N) holds, written beside its frames as
// the last thing the part does, so a folder with one is complete; the join (Capture --join)
// reads it to check that the parts fit together without guessing from file names. The text:
//
//   orvanta-capture-part 1
//   part 2/4
//   fps 60/1
//   size 1920x1080
//   from 0
//   to 120000
//   frames 1800 3600 7200        first, end (not in the part), the whole capture's count
//   samples 1323000 2646000 5292000
//
// Parse reads at most MaxBytes (a longer text is refused, not cut), each line once, every
// line required, numbers as plain digits (at most 18); it checks that the values agree with
// each other (K within N, ranges within the totals, the totals those of the rate and range).
// It never touches a file: ReadFile does, bounded by MaxBytes too.
//
// Errors are records: the line (0 for the file as a whole), the kind and a message.
// A plain value; copyable.

#include "OrvCapturePart.h"

#include <string>

class OrvCapturePartManifest {
public:
    static constexpr size_t MaxBytes = 1024;
    static const char* const FileName; // "part.txt"

    enum class Fault { None, Unreadable, TooLong, BadLine, Missing, Repeated, BadValue, Mismatch };
    struct Error {
        int line = 0;
        Fault kind = Fault::None;
        std::string message;
    };

    unsigned fpsNumerator = 0;
    unsigned fpsDenominator = 0;
    int width = 0;
    int height = 0;
    unsigned fromMs = 0;
    unsigned toMs = 0;
    OrvCapturePart part;

    std::string Text() const;
    static bool Parse(const std::string& text, OrvCapturePartManifest& manifest, Error& error);
    // The folder's part.txt, at most MaxBytes + 1 bytes of it; false with error.kind
    // Unreadable (and the system's reason) when it cannot be read.
    static bool ReadFile(const std::string& folder, std::string& text, Error& error);
    // Same capture: rate, size and range.
    bool SameCapture(const OrvCapturePartManifest& other) const;
};

#endif
