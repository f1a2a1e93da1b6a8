#ifndef ORV_BENCHMARKS_ORVBENCHWINDOW_H
#define ORV_BENCHMARKS_ORVBENCHWINDOW_H

// The OpenGL window a benchmark draws in: on the X display when there is one (as a show plays),
// else offscreen; the swap never waits for the monitor. The window is the caller's, so it
// lives as long as the benchmark's OpenGL objects. Main thread only.

class OrvGlWindow;

class OrvBenchWindow {
public:
    static bool Open(OrvGlWindow& window, int width, int height);
};

#endif
