#ifndef ORV_CAPTURE_ORVCAPTURETARGET_H
#define ORV_CAPTURE_ORVCAPTURETARGET_H

// The picture a capture renders into: an off-screen framebuffer of the capture size (an RGBA
// colour texture and a depth-stencil renderbuffer, as the render lines expect), made the
// run's screen (its display facts' screen framebuffer) so the screen line draws into it
// instead of the window. The window only holds the context, so the picture's size does not depend
// on the desktop.
//
// Create also makes the run's display facts describe this picture as the display: its size,
// and an aspect ratio of width / height (square pixels), so the screen line fits the
// script's width x height into it with the usual black bars when the shapes differ.
//
// Read copies the picture out as 4 bytes a pixel in Order, rows from the bottom up (the way
// OpenGL reads), which is what the frame outputs take. It allocates nothing.
//
// Ownership: owns the texture and the framebuffer; Release (or the destructor, with the
// context still current) gives the screen back to the window and deletes them. Needs the
// current context and GLEW for everything. Main thread only; not copyable.

#include "OrvPngEncoder.h"

#include "gfx/OrvFramebuffer.h"

#include <cstdint>
#include <string>

class OrvDisplayFacts;

class OrvCaptureTarget {
public:
    // The layout of Read's pixels.
    static constexpr OrvPngEncoder::PixelOrder Order = OrvPngEncoder::Bgra;

    OrvCaptureTarget();
    ~OrvCaptureTarget();
    OrvCaptureTarget(const OrvCaptureTarget&) = delete;
    OrvCaptureTarget& operator=(const OrvCaptureTarget&) = delete;

    // False with `error` set when the size is beyond what OpenGL allows or the framebuffer
    // cannot be made.
    // The display facts are the run's; they are borrowed until Release.
    bool Create(OrvDisplayFacts& display, int width, int height, std::string& error);
    void Release();

    // Binds the picture for the next frame's drawing (the screen line draws into it).
    void Bind() const;
    // Width * height * 4 bytes into `pixels`.
    void Read(uint8_t* pixels) const;

    int Width() const { return width; }
    int Height() const { return height; }
    size_t FrameBytes() const { return static_cast<size_t>(width) * height * 4; }

private:
    OrvDisplayFacts* display; // not owned; null until Create
    OrvFramebuffer framebuffer;
    unsigned texture;
    int width;
    int height;
};

#endif
