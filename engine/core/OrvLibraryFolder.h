#ifndef ORV_ENGINE_CORE_ORVLIBRARYFOLDER_H
#define ORV_ENGINE_CORE_ORVLIBRARYFOLDER_H

// The folder the engine library was loaded from (a show's bin/), as an absolute path without a
// trailing slash. Files the engine itself brings along, such as the font of the display-mode
// screen, lie there, so they are found wherever the show folder was copied or unpacked and
// whatever the working directory is. The answer comes from the dynamic loader, which noted the
// folder when it loaded the library; empty when it cannot say. Owns nothing, keeps nothing.

#include <string>

class OrvLibraryFolder {
public:
    static std::string Path();

    // Path() + "/" + name; empty when Path() is.
    static std::string File(const std::string& name);
};

#endif
