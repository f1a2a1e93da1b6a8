#include "OrvCaptureProgress.h"

OrvCaptureProgress::OrvCaptureProgress(uint64_t total, bool terminal)
    : total(total), terminal(terminal), drawn(false), began(Clock::now()), lastDrawn(began) {}

double OrvCaptureProgress::Rate(uint64_t done) const {
    double seconds = std::chrono::duration<double>(Clock::now() - began).count();
    return seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
}

void OrvCaptureProgress::Line(uint64_t done, uint64_t total, double rate, char (&text)[160]) {
    const int width = 30;
    int filled = total > 0 ? static_cast<int>(done * width / total) : width;
    char bar[width + 1];
    for (int i = 0; i < width; ++i)
        bar[i] = i < filled ? '#' : '-';
    bar[width] = 0;
    char left[32] = "--:--";
    if (rate > 0) {
        unsigned long seconds = static_cast<unsigned long>((total - done) / rate + 0.5);
        std::snprintf(left, sizeof left, "%lu:%02lu", seconds / 60, seconds % 60);
    }
    std::snprintf(text, sizeof text, "[%s] %llu/%llu frames  %.1f frames/s  %s left", bar,
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total),
                  rate, left);
}

void OrvCaptureProgress::Update(uint64_t done) {
    if (!terminal)
        return;
    Clock::time_point now = Clock::now();
    if (drawn && done < total && now - lastDrawn < std::chrono::milliseconds(250))
        return;
    lastDrawn = now;
    drawn = true;
    char text[160];
    Line(done, total, Rate(done), text);
    // Clears to the end of the line: the new text may be shorter than the old.
    std::fprintf(stderr, "\r%s\033[K", text);
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
