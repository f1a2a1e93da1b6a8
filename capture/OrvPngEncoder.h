#ifndef ORV_CAPTURE_ORVPNGENCODER_H
#define ORV_CAPTURE_ORVPNGENCODER_H

// Turns captured pictures into PNG files in memory: 8-bit RGB (colour type 2, no alpha, no
// interlace), one IDAT chunk compressed by zlib at its fastest (level 1, run-length matches). The
// input is what OpenGL reads back: 4 bytes a pixel (red, green, blue, alpha or blue, green, red,
// alpha), rows from the bottom up with no padding; the PNG's rows run from the top down, the alpha
// is dropped.
//
// Every row is filtered with the same PNG filter (Sub by default: each byte minus the byte of
// the pixel to its left), which makes the flat and gradient areas of a rendered picture
// compress well while costing one subtraction a byte. The result depends only on the pixels
// and the settings, so equal pictures give equal files.
//
// Allocation: the constructor allocates everything for its size (the zlib state, a row and
// the largest possible output), so Encode allocates nothing. Not copyable; one thread at a
// time (each writer thread has its own encoder).

#include <cstddef>
#include <cstdint>
#include <vector>

typedef struct z_stream_s z_stream;

class OrvPngEncoder {
public:
    enum Filter { FilterNone = 0, FilterSub = 1, FilterUp = 2 };
    enum PixelOrder { Rgba, Bgra };

    // `level` is zlib's, 0 (stored) to 9; 1 is the fastest that compresses.
    // `strategy` is zlib's (Z_DEFAULT_STRATEGY 0, Z_FILTERED 1, Z_HUFFMAN_ONLY 2, Z_RLE 3).
    // The defaults were chosen by measuring rendered frames (bench_capture): after the Sub
    // filter, run-length matches alone find nearly everything level 1 finds (files about 10%
    // larger) in about 60% of its time.
    OrvPngEncoder(int width, int height, int level = 1, Filter filter = FilterSub,
                  int strategy = RunLength);
    static constexpr int RunLength = 3;
    ~OrvPngEncoder();
    OrvPngEncoder(const OrvPngEncoder&) = delete;
    OrvPngEncoder& operator=(const OrvPngEncoder&) = delete;

    // Encodes width x height pixels; false only when zlib fails (then Size() is 0).
    bool Encode(const uint8_t* pixels, PixelOrder order);

    // The file of the last Encode.
    const uint8_t* Data() const { return output.data(); }
    size_t Size() const { return size; }

private:
    void FilterRow(const uint8_t* source, PixelOrder order);
    void PutChunkHeader(size_t at, uint32_t length, const char* type);
    size_t PutChunkEnd(size_t typeAt, size_t dataEnd);

    int width;
    int height;
    Filter filter;
    z_stream* stream;
    std::vector<uint8_t> row;      // filter byte + RGB of one row
    std::vector<uint8_t> previous; // the row above, unfiltered, for the Up filter
    std::vector<uint8_t> output;
    size_t size;
};

#endif
