#ifndef ORV_BASE_ORVSYSTEMINFO_H
#define ORV_BASE_ORVSYSTEMINFO_H

// Engine-wide facts that distant parts share: where data files are, the presentation's
// surface size, the display size, the monitor's aspect ratio and the vectors of the camera
// applied most recently in the frame.
//
// Ownership: Instance() creates the one instance on first use and keeps it; callers never
// delete the pointer. Free() (called by the engine at shutdown) deletes it, after which the
// next Instance() creates a fresh one. The sizes and the aspect ratio are meaningful only
// once the video set-up has stored them.

#include "base/OrvVector3.h"

#include <set>
#include <string>

class OrvSystemInfo {
public:
    static OrvSystemInfo* Instance();
    static void Free();

    // "../data/" followed by the name, unchanged: the library runs with bin/ as its
    // working directory.
    std::string DataFolder(const char* name) const;
    // Every non-empty name given to DataFolder since ForgetDataFiles: the files of the data
    // folder that a show loaded (live reload watches them).
    const std::set<std::string>& DataFiles() const { return dataFiles; }
    void ForgetDataFiles() { dataFiles.clear(); }

    void SetSurfaceSize(int width, int height);
    int SurfaceWidth() const;
    int SurfaceHeight() const;

    void SetDisplaySize(int width, int height);
    int DisplayWidth() const;
    int DisplayHeight() const;

    void SetAspectRatio(double ratio);
    double AspectRatio() const;

    void SetActiveCameraVectors(const OrvVector3& position, const OrvVector3& target,
                                const OrvVector3& up);
    void GetActiveCameraVectors(OrvVector3& position, OrvVector3& target, OrvVector3& up) const;

protected:
    OrvSystemInfo();
    ~OrvSystemInfo();

private:
    OrvSystemInfo(const OrvSystemInfo&) = delete;
    OrvSystemInfo& operator=(const OrvSystemInfo&) = delete;

    int surfaceWidth;
    int surfaceHeight;
    int displayWidth;
    int displayHeight;
    OrvVector3 cameraPosition;
    OrvVector3 cameraTarget;
    OrvVector3 cameraUp;
    double aspectRatio;

    static OrvSystemInfo* instance;
    mutable std::set<std::string> dataFiles;
};

#endif
