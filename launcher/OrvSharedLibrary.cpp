#include "OrvSharedLibrary.h"

#include <dlfcn.h>

OrvSharedLibrary::~OrvSharedLibrary() {
    Close();
}

bool OrvSharedLibrary::Open(const std::string& path) {
    Close();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr;
}

void OrvSharedLibrary::Close() {
    if (handle)
        dlclose(handle);
    handle = nullptr;
}

void* OrvSharedLibrary::Symbol(const char* name) const {
    return handle ? dlsym(handle, name) : nullptr;
}
