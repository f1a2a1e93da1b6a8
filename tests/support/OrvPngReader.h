#ifndef ORV_TESTS_SUPPORT_ORVPNGREADER_H
#define ORV_TESTS_SUPPORT_ORVPNGREADER_H

// Reads a picture file that a test's child wrote (Capture's frames) into the picture type the
// screenshots use, so one pixel check serves both. Decoding is SDL_image's (libpng, which
// refuses files with bad checksums). Never touches the engine or a GL context.

#include "support/OrvXDriver.h"

#include <string>

// False, with the picture left empty, when the file is missing or does not decode.
bool OrvReadPng(const std::string& path, OrvXDriver::Picture& picture);

#endif
