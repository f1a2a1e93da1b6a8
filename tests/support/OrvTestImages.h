#ifndef ORV_TESTS_SUPPORT_ORVTESTIMAGES_H
#define ORV_TESTS_SUPPORT_ORVTESTIMAGES_H

// Small image files made in memory, for tests that load pictures through the engine. Write
// them into a test folder with OrvTestFolder::WriteData.
//
// Pixels are passed top row first, each row left to right, as tightly packed bytes: grey (1
// channel), R G B (3) or R G B A (4). Each writer stores them the way its format wants (BMP
// and TGA bottom row first as B G R, BMP rows padded to 4 bytes).

#include <string>
#include <vector>

// 8-bit PNG, grey (channels 1), RGB (3) or RGBA (4), not interlaced, its image data in
// uncompressed deflate blocks.
std::string OrvMakePng(int width, int height, int channels,
                       const std::vector<unsigned char>& pixels);
// One PNG chunk: big-endian length, type, data and CRC. For building damaged files.
std::string OrvPngChunk(const std::string& type, const std::string& data);

// Uncompressed 24-bit BMP from RGB pixels.
std::string OrvMakeBmp(int width, int height, const std::vector<unsigned char>& rgb);
// Uncompressed 8-bit BMP: a palette of RGB triples and one index per pixel.
std::string OrvMakePalettedBmp(int width, int height, const std::vector<unsigned char>& paletteRgb,
                               const std::vector<unsigned char>& indices);

// Truecolor TGA, 24-bit (channels 3) or 32-bit (4), stored bottom row first; runLength picks
// the run-length encoded type.
std::string OrvMakeTga(int width, int height, int channels,
                       const std::vector<unsigned char>& pixels, bool runLength);

// 16 x 8 baseline JPEG, left half red, right half blue, 4:4:4, with a restart marker between its
// two blocks and an APP1 segment whose payload holds marker-like bytes (FF D9, FF DA).
std::string OrvSmallJpeg();
// The same picture as a progressive JPEG (ten scans).
std::string OrvSmallProgressiveJpeg();
// 1 x 1 GIF with a two-colour palette.
std::string OrvSmallGif();

// count pixels of one colour: a convenience for building pixel lists.
std::vector<unsigned char> OrvRepeatPixel(const std::vector<unsigned char>& pixel, int count);

#endif
