#include "OrvCapture.h"
#include "OrvCaptureOptions.h"

#include <cstdio>
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
    return OrvCapture::Run(options);
}
