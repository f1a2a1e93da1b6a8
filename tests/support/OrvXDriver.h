#ifndef ORV_TESTS_SUPPORT_ORVXDRIVER_H
#define ORV_TESTS_SUPPORT_ORVXDRIVER_H

// Drives windows of a child process on the test's X display (DISPLAY, normally Xvfb).
// Windows are found by the process id they carry (_NET_WM_PID), or, for a window that carries
// none (SDL's message box), by the process the X server knows as its client (X-Resource); a
// window of a process the child started counts as the child's (SDL forks to show its message
// box). So tests running side by side on one display never touch each other's windows. Keys, clicks
// and close requests go to the window itself as sent events (XSendEvent), which needs neither the
// pointer nor the keyboard focus. xdotool is not used for input: it switches to faked device input
// when the target has the focus, and such input lands in whatever window holds the focus by the
// time it arrives, which may be another test's. It does read window names.
//
// Every wait is bounded. Screenshots come from ImageMagick's `import` as binary PPM.
//
// The display is DISPLAY's, or one named when the driver is made (the X server of a test
// machine in a folder, say); the programs it runs are pointed at the same display.

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

class OrvXDriver {
public:
    OrvXDriver();
    explicit OrvXDriver(const std::string& displayName);
    ~OrvXDriver();
    OrvXDriver(const OrvXDriver&) = delete;
    OrvXDriver& operator=(const OrvXDriver&) = delete;

    // False when there is no display (the test should then skip).
    bool Connected() const { return display != nullptr; }

    // The display's width and height, and its root window.
    int ScreenWidth() const;
    int ScreenHeight() const;
    unsigned long ScreenRoot() const;

    // A viewable top-level window of process `pid` (or of a process it started), waiting at
    // most `timeoutMs`; 0 if none.
    unsigned long WaitForWindow(pid_t pid, int timeoutMs);
    // True while `window` exists and is viewable.
    bool Viewable(unsigned long window);
    // Title as `xdotool getwindowname` reads it (without the trailing newline).
    std::string Name(unsigned long window) const;
    // Size of the window's client area; false when it cannot be read.
    bool Size(unsigned long window, int& width, int& height);

    // Presses and releases a key named by its X keysym name ("Return", "Escape", "w").
    bool Key(unsigned long window, const std::string& key);
    // Only presses it: for a key that closes the window, whose release would find no window.
    bool KeyDown(unsigned long window, const std::string& key);
    // Only releases it (after a KeyDown).
    bool KeyUp(unsigned long window, const std::string& key);
    // Pointer at (x, y) in the window, then a press and a release of `button`.
    void Click(unsigned long window, int x, int y, int button);
    // What a window manager sends when the window's close button is pressed.
    void Close(unsigned long window);
    // Puts the window on top, so a screenshot sees it and nothing else.
    void Raise(unsigned long window);

    // A screenshot of the window's contents as rows of RGB bytes; false on failure.
    struct Picture {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> rgb;
        // Red, green, blue at (x, y); all -1 outside the picture.
        void Pixel(int x, int y, int& r, int& g, int& b) const;
    };
    bool Screenshot(unsigned long window, Picture& picture) const;

    // How many pixels of the mouse cursor shown now are not fully transparent (XFixes): 0
    // while the window under the pointer hides it; -1 when the display cannot say.
    int VisibleCursorPixels() const;

    // Raises the window and takes screenshots until `check` finds nothing wrong (it returns
    // an empty text) or `timeoutMs` passed; returns what was wrong last, empty on success.
    // Windows of other tests may cover this one for a moment; waiting outlasts that.
    std::string WaitForPicture(unsigned long window,
                               const std::function<std::string(const Picture&)>& check,
                               int timeoutMs);

private:
    bool SendKey(unsigned long window, const std::string& key, bool press, bool release);
    // "env DISPLAY=... " in front of a program run on a named display; empty for DISPLAY's.
    std::string OnDisplay() const;

    void* display; // Display*, kept out of this header so tests need no Xlib includes
    std::string displayName;
};

// Runs a shell command with a time limit (the `timeout` program); its exit code, 124 when it
// had to be stopped. Standard output, if `output` is given, is returned there.
int OrvRunCommand(const std::string& command, int timeoutSeconds, std::string* output = nullptr);

#endif
