#ifndef ORV_CAPTURE_ORVABSOLUTEPATH_H
#define ORV_CAPTURE_ORVABSOLUTEPATH_H

// A path the user gave on Capture's command line, made absolute from the folder Capture was
// started in, before Capture looks for its show beside itself. An absolute path stays as it
// is; when the working folder cannot be read, the path is returned unchanged. Touches nothing.

#include <string>

class OrvAbsolutePath {
public:
    static std::string Of(const std::string& path);
};

#endif
