#ifndef ORV_CAPTURE_IORVFRAMEOUTPUT_H
#define ORV_CAPTURE_IORVFRAMEOUTPUT_H

// Where captured frames go: numbered PNG files (OrvPngFolderOutput) or a video encoder
// (OrvVideoPipe). Pictures come as OpenGL reads them back (OrvCaptureTarget::Order: 4 bytes a
// pixel, rows from the bottom up) at the size the output was made for.
//
// WriteFrame is called on the writer threads of OrvFrameQueue, once for each frame 0, 1, 2,
// ...; `writer` (0 to Writers() - 1) tells which thread calls, and no two calls with the same
// number overlap. With one writer the frames come in order. The pixels are valid only
// during the call. Finish is called once, on the thread
// that made the output, after the last WriteFrame returned. A false from either stops the
// capture; Error() then says why in one line.

#include <cstdint>
#include <string>

class IOrvFrameOutput {
public:
    virtual ~IOrvFrameOutput() {}
    // How many writer threads the output can serve at once.
    virtual int Writers() const = 0;
    virtual bool WriteFrame(int writer, uint64_t index, const uint8_t* pixels) = 0;
    virtual bool Finish() = 0;
    virtual const std::string& Error() const = 0;
};

#endif
