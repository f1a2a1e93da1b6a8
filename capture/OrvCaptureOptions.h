#ifndef ORV_CAPTURE_ORVCAPTUREOPTIONS_H
#define ORV_CAPTURE_ORVCAPTUREOPTIONS_H

// The command line of Capture, read into plain values. Parse checks every value and stops at
// the first fault with a message that names the option and the text it got; it never looks
// at the show (defaults that come from the script stay "not given" here).
//
// Accepted forms: "--name value" and "--name=value". Values:
//   --fps    a whole number, a fraction N/D of whole numbers, or a decimal (29.97); the rate
//            is kept as an exact fraction, above 0 and at most 1000 frames per second
//   --size   WxH, each 1 to 16384
//   --from, --to   seconds, 0 or more, decimals allowed; kept as whole milliseconds (rounded)
//   --out, --video   any non-empty path
//   --bitrate   whole megabits a second, 1 to 1000; with --video
//   --part K/N  whole numbers, 1 <= K <= N <= 100000; PNG frames only (not with --video)
//   --join DIR...  one or more folders (the words up to the next option), with --video and
//            --bitrate only: rate, size and range come from the parts' part.txt
//   --help   the option list (HelpText)
//
// Owns nothing but its strings; copyable.

#include <string>
#include <vector>

class OrvCaptureOptions {
public:
    OrvCaptureOptions();

    // False with `error` set ("Capture: ..." and a hint) at the first bad or unknown option.
    bool Parse(int argc, const char* const* argv, std::string& error);
    static const char* HelpText();

    bool help;
    unsigned fpsNumerator;
    unsigned fpsDenominator;
    int width; // 0 when not given: the script's
    int height;
    bool hasFrom;
    unsigned fromMs;
    bool hasTo;
    unsigned toMs;
    std::string outFolder;
    std::string videoFile; // empty: PNG frames
    unsigned videoMbits;   // 0: the video at constant quality, else at this constant rate
    unsigned partIndex;    // K of --part K/N; 0: the whole capture
    unsigned partCount;
    bool join;
    std::vector<std::string> joinFolders;

    // Exposed for their own checks: false when the text is not a value of that kind.
    static bool ParseRate(const std::string& text, unsigned& numerator, unsigned& denominator);
    static bool ParseSize(const std::string& text, int& width, int& height);
    static bool ParseSeconds(const std::string& text, unsigned& milliseconds);
    static bool ParsePart(const std::string& text, unsigned& index, unsigned& count);
};

#endif
