#ifndef ORV_SCRIPT_ORVSCRIPTSIZE_H
#define ORV_SCRIPT_ORVSCRIPTSIZE_H

// The header's width and height as whole pixels: a value from 1 up to 65535 counts (its
// fraction dropped); anything else, absent or nonsense, counts as none. The surface a show is
// drawn for is that size, or 640 x 480 where the header gives none: the window, Capture and
// the checker all take it from here.

class IOrvScriptLoader;

class OrvScriptSize {
public:
    static const int DefaultWidth = 640;
    static const int DefaultHeight = 480;

    // The header's size, 0 where it gives none (also for a null loader).
    static int Width(IOrvScriptLoader* script);
    static int Height(IOrvScriptLoader* script);
    // The surface: the header's size, or the default where it gives none.
    static int SurfaceWidth(IOrvScriptLoader* script);
    static int SurfaceHeight(IOrvScriptLoader* script);
};

#endif
