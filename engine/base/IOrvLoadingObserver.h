#ifndef ORV_BASE_IORVLOADINGOBSERVER_H
#define ORV_BASE_IORVLOADINGOBSERVER_H

// Told once per finished loading step (each object, the render lines, the timeline, the
// music), so the loading screen can advance its bar.

class IOrvLoadingObserver {
public:
    virtual void LoadingProgressed() = 0;

protected:
    ~IOrvLoadingObserver() {}
};

#endif
