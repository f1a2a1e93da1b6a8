#include "OrvCaptureProgress.h"

OrvCaptureProgress::OrvCaptureProgress(uint64_t total, bool terminal)
    : total(total), terminal(terminal), drawn(false), began(Clock::now()), lastDrawn(began) {}

double OrvCaptureProgress::Rate(uint64_t done) const {
    double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    return seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
}

std::string OrvCaptureProgress::Line(uint64_t done, uint64_t total, double rate) {
    const int width = 30;
    int filled = total > 0 ? static_cast<int>(done * width / total) : width;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), '-');
    char left[32] = "--:--";
    if (rate > 0) {
        unsigned long seconds = static_cast<unsigned long>((total - done) / rate + 0.5);
        std::snprintf(left, sizeof left, "%lu:%02lu", seconds / 60, seconds % 60);
    }
    char text[160];
    std::snprintf(text, sizeof text, "[%s] %llu/%llu frames  %.1f frames/s  %s left", bar.c_str(),
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
                  rate, left);
    return text;
}

void OrvCaptureProgress::Update(uint64_t done) {
    if (!terminal)
        return;
    Clock::time_point now = Clock::now();
    if (drawn && done < total && now - lastDrawn < std::chrono::milliseconds(250))
        return;
    lastDrawn = now;
    drawn = true;
    // Clears to the end of the line: the new text may be shorter than the old.
    std::fprintf(stderr, "\r%s\033[K", Line(done, total, Rate(done)).c_str());
    std::fflush(stderr);
}

void OrvCaptureProgress::End() {
    if (drawn)
        std::fputc('\n', stderr);
    drawn = false;
}

std::string OrvCaptureProgress::Summary(uint64_t done, const std::string& where) const {
    double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    char text[96];
    std::snprintf(text, sizeof text, "Captured %llu frames in %.1f s (%.1f frames/s) to ",
                  static_cast<unsigned long long>(done), seconds, Rate(done));
    return text + where;
}
