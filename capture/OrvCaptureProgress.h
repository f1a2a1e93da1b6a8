#ifndef ORV_CAPTURE_ORVCAPTUREPROGRESS_H
#define ORV_CAPTURE_ORVCAPTUREPROGRESS_H

// The capture's progress line on standard error, redrawn in place at most four times a
// second while frames are made: a bar, frames done / total, the capture rate in frames per
// second and the time left at that rate. Only on a terminal (a log file would fill with
// redraws); Summary is the one line that always comes, at the end, on standard output.
//
// Reads the wall clock (steady_clock) and nothing else; never influences what is captured.
// Update allocates nothing. Main thread only; owns nothing.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

class OrvCaptureProgress {
public:
    // `terminal`: draw the line (normally: standard error is a terminal).
    OrvCaptureProgress(uint64_t total, bool terminal);

    void Update(uint64_t done);
    // Ends the line, if one was drawn.
    void End();
    // "Captured N frames ... in S s (R frames/s) to WHERE"
    std::string Summary(uint64_t done, const std::string& where) const;

    double Rate(uint64_t done) const;
    // The line for `done` frames at `rate` (without the carriage return) into `text`.
    static void Line(uint64_t done, uint64_t total, double rate, char (&text)[160]);

private:
    using Clock = std::chrono::steady_clock;
    uint64_t total;
    bool terminal;
    bool drawn;
    Clock::time_point began;
    Clock::time_point lastDrawn;
};

#endif
