#ifndef ORV_CAPTURE_ORVPNGENCODER_H
#define ORV_CAPTURE_ORVPNGENCODER_H

// Turns captured pictures into PNG files in memory: 8-bit RGB (colour type 2, no alpha, no
// interlace), one IDAT chunk: a zlib stream made by libdeflate at a fast level. The
// input is what OpenGL reads back: 4 bytes a pixel (red, green, blue, alpha or blue, green, red,
// alpha), rows from the bottom up with no padding; the PNG's rows run from the top down, the alpha
// is dropped.
//
// Every row gets the same PNG filter, None by default. The defaults were chosen by measuring
// the frames of the bundled show (bench_capture, processor time per frame at 640 x 360):
// libdeflate at level 1 without a filter took 1.7 ms for 58 KB; with the Sub filter 2.1 ms
// for 52 KB; zlib at level 1 2.4 ms for 70 KB (2.35 ms for 69 KB with Sub and run-length
// matches only). Rendering, not writing, should set the pace, so speed wins.
// The result depends only on the pixels and the settings: equal pictures give equal files.
//
// Allocation: the constructor allocates everything for its size (the compressor, the
// filtered picture and the largest possible output), so Encode allocates nothing. Not copyable; one
// thread at a time (each writer thread has its own encoder).

#include <cstddef>
#include <cstdint>
#include <vector>

struct libdeflate_compressor;

class OrvPngEncoder {
public:
    enum Filter { FilterNone = 0, FilterSub = 1, FilterUp = 2 };
    enum PixelOrder { Rgba, Bgra };

    // `level` is libdeflate's, 0 (stored) to 12; 1 is the fastest that compresses.
    OrvPngEncoder(int width, int height, int level = 1, Filter filter = FilterNone);
    ~OrvPngEncoder();
    OrvPngEncoder(const OrvPngEncoder&) = delete;
    OrvPngEncoder& operator=(const OrvPngEncoder&) = delete;

    // Encodes width x height pixels; false only when compressing fails (then Size() is 0).
    bool Encode(const uint8_t* pixels, PixelOrder order);

    // The file of the last Encode.
    const uint8_t* Data() const { return output.data(); }
    size_t Size() const { return size; }

private:
    void FilterRow(const uint8_t* source, PixelOrder order, uint8_t* row);
    void PutChunkHeader(size_t at, uint32_t length, const char* type);
    size_t PutChunkEnd(size_t typeAt, size_t dataEnd);

    int width;
    int height;
    Filter filter;
    libdeflate_compressor* compressor;
    std::vector<uint8_t> filtered; // every row: filter byte + RGB
    std::vector<uint8_t> previous; // the row above, unfiltered, for the Up filter
    std::vector<uint8_t> output;
    size_t size;
};

#endif
