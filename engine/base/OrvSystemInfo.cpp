#include "base/OrvSystemInfo.h"

OrvSystemInfo* OrvSystemInfo::instance = nullptr;

// The sizes start at zero rather than garbage, so a reader that comes too early sees an
// obviously empty surface.
OrvSystemInfo::OrvSystemInfo()
    : surfaceWidth(0), surfaceHeight(0), displayWidth(0), displayHeight(0), aspectRatio(0) {}

OrvSystemInfo::~OrvSystemInfo() {}

OrvSystemInfo* OrvSystemInfo::Instance() {
    if (!instance)
        instance = new OrvSystemInfo();
    return instance;
}

void OrvSystemInfo::Free() {
    delete instance;
    instance = nullptr;
}

std::string OrvSystemInfo::DataFolder(const char* name) const {
    if (name && *name)
        dataFiles.insert(name);
    return std::string("../data/") + (name ? name : "");
}

void OrvSystemInfo::SetSurfaceSize(int width, int height) {
    surfaceWidth = width;
    surfaceHeight = height;
}

int OrvSystemInfo::SurfaceWidth() const {
    return surfaceWidth;
}
int OrvSystemInfo::SurfaceHeight() const {
    return surfaceHeight;
}

void OrvSystemInfo::SetDisplaySize(int width, int height) {
    displayWidth = width;
    displayHeight = height;
}

int OrvSystemInfo::DisplayWidth() const {
    return displayWidth;
}
int OrvSystemInfo::DisplayHeight() const {
    return displayHeight;
}

void OrvSystemInfo::SetAspectRatio(double ratio) {
    aspectRatio = ratio;
}
double OrvSystemInfo::AspectRatio() const {
    return aspectRatio;
}

void OrvSystemInfo::SetActiveCameraVectors(const OrvVector3& position, const OrvVector3& target,
                                           const OrvVector3& up) {
    cameraPosition = position;
    cameraTarget = target;
    cameraUp = up;
}

void OrvSystemInfo::GetActiveCameraVectors(OrvVector3& position, OrvVector3& target,
                                           OrvVector3& up) const {
    position = cameraPosition;
    target = cameraTarget;
    up = cameraUp;
}
