#ifndef ORV_GFX_ORVIMAGEFILECHECK_H
#define ORV_GFX_ORVIMAGEFILECHECK_H

// Looks at the bytes of an image file before any decoder does, and says which format it is
// and whether its structure is whole.
//
// SDL_image's decoders trust their input: fed a PNG whose chunk length runs past the end of
// the file, its PNG reader spins for ever (its read callback ignores short reads); a cut GIF
// hangs its LZW reader; a cut JPEG comes back as a half-grey picture. So the texture manager
// hands a file to a decoder only when this check found it complete, and then to the decoder
// of exactly the format the check recognised. Formats this check does not know are not
// decoded at all.
//
// What "complete" means per format:
// - PNG: the signature, an IHDR chunk first, and then chunk after chunk, each one's length,
//   type, data and CRC inside the file, up to IEND, with at least one IDAT before it.
// - JPEG: SOI, then marker segments that lie inside the file, a frame header (SOFn) before
//   the first scan, every scan's entropy-coded data followed by a marker, and finally EOI.
// - GIF: header, screen descriptor and colour tables, then extension and image blocks whose
//   sub-blocks all lie inside the file, up to the trailer byte, with at least one image.
// - BMP: file and info headers with a known bit depth and compression, and the whole pixel
//   array (or, for RLE, the run-length stream up to its end-of-bitmap code) inside the file.
// - TGA (no signature; recognised by the ".tga" file name extension when no other signature
//   matches): header, image ID and colour map, and all pixel data (walked packet by packet
//   for RLE) inside the file.
// Every format also needs both sides of the picture between 1 and MaxSide pixels, which keeps
// a damaged header from asking for gigabytes.
//
// The check owns nothing and keeps no pointer to the bytes it was given: it does all its
// work in the constructor.

#include <string>

class OrvImageFileCheck {
public:
    enum Format { FormatUnknown, FormatPng, FormatJpeg, FormatGif, FormatBmp, FormatTga };

    // Largest accepted width or height: as large as textures get on the OpenGL
    // implementations the engine runs on.
    static const int MaxSide = 16384;

    // Checks the whole content of a file. The file name is used only for its extension.
    OrvImageFileCheck(const std::string& bytes, const std::string& fileName);

    Format FileFormat() const { return format; }
    // True when the format is known and the structure is whole (see above).
    bool Complete() const { return complete; }

private:
    Format format;
    bool complete;
};

#endif
