// Linked into every program of the sanitized build only (ORV_SANITIZE), never into a release.
//
// The leak check runs when the process ends. A library unloaded before then (Run closes the
// engine; Mesa's GLX closes its software driver when SDL closes the display) leaves frames
// that no longer belong to any library: the report names a wrong one or none, and neither a
// suppression nor a reader can tell whose the leak is. Memory the library still pointed to
// from its own globals shows up as leaked too. So in this build dlclose keeps every library
// loaded: the program's own definition comes first for every caller (the build exports it),
// and the library's destructors run at exit instead, before the leak check.

#include <dlfcn.h>

extern "C" int dlclose(void*) noexcept {
    return 0;
}
