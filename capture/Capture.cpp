#include "OrvCapture.h"
#include "OrvCaptureJoin.h"
#include "OrvCaptureOptions.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

// Capture [options]: see OrvCaptureOptions::HelpText.
int main(int argc, char** argv) {
    OrvCaptureOptions options;
    std::string error;
    if (!options.Parse(argc, argv, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (options.help) {
        std::fputs(OrvCaptureOptions::HelpText(), stdout);
        return 0;
    }
    try {
        return options.join ? OrvCaptureJoin::Run(options) : OrvCapture::Run(options);
    } catch (const std::bad_alloc&) {
        // The picture slots of a huge --size, say.
        std::fputs("Capture: not enough memory for the pictures of this size (--size)\n", stderr);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "Capture: %s\n", failure.what());
    }
    return 1;
}
