#include "support/OrvXDriver.h"

#include "support/OrvTestFolder.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {
Display* AsDisplay(void* display) {
    return static_cast<Display*>(display);
}

void SleepMs(int ms) {
    timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

// A window that vanished between listing and asking must not end the test.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The process of the X client that made the window, as the server knows it (X-Resource):
// for windows that do not say it themselves, like SDL's message box. -1 when unknown.
long ClientPid(Display* display, Window window) {
    XResClientIdSpec spec = {window, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* values = nullptr;
    if (XResQueryClientIds(display, 1, &spec, &count, &values) != Success)
        return -1;
    long pid = -1;
    for (long i = 0; i < count; ++i) {
        if (XResGetClientIdType(&values[i]) == XRES_CLIENT_ID_PID)
            pid = XResGetClientPid(&values[i]);
    }
    XResClientIdsDestroy(count, values);
    return pid;
}

long WindowPid(Display* display, Window window) {
    Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None)
        return ClientPid(display, window);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (format == 32 && count == 1)
            pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid >= 0 ? pid : ClientPid(display, window);
}

// True when process `child` is `ancestor` or was started by it, or by one of its children:
// SDL shows its message box from a process it forks for the purpose.
bool StartedBy(long child, long ancestor) {
    for (int depth = 0; child > 1 && depth < 8; ++depth) {
        if (child == ancestor)
            return true;
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            return false;
        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        size_t close = line.rfind(')');
        if (close == std::string::npos)
            return false;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        long parent = 0;
        rest >> state >> parent;
        child = parent;
    }
    return false;
}

} // namespace

int OrvRunCommand(const std::string& command, int timeoutSeconds, std::string* output) {
    std::string full = "timeout -s KILL " + std::to_string(timeoutSeconds) + " " + command;
    FILE* pipe = popen(full.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    std::string text;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, got);
    int status = pclose(pipe);
    if (output != nullptr)
        *output = text;
    if (WIFEXITED(status))
        return WEXITSTATUS(status) == 137 ? 124 : WEXITSTATUS(status);
    return 124;
}

OrvXDriver::OrvXDriver() : display(nullptr) {
    if (std::getenv("DISPLAY") == nullptr)
        return;
    display = XOpenDisplay(nullptr);
    if (display != nullptr)
        XSetErrorHandler(IgnoreXError);
}

OrvXDriver::OrvXDriver(const std::string& name) : display(nullptr), displayName(name) {
    display = XOpenDisplay(name.c_str());
    if (display != nullptr)
        XSetErrorHandler(IgnoreXError);
}

std::string OrvXDriver::OnDisplay() const {
    return displayName.empty() ? std::string() : "env DISPLAY='" + displayName + "' ";
}

OrvXDriver::~OrvXDriver() {
    if (display != nullptr)
        XCloseDisplay(AsDisplay(display));
}

int OrvXDriver::ScreenWidth() const {
    return DisplayWidth(AsDisplay(display), DefaultScreen(AsDisplay(display)));
}

int OrvXDriver::ScreenHeight() const {
    return DisplayHeight(AsDisplay(display), DefaultScreen(AsDisplay(display)));
}

unsigned long OrvXDriver::ScreenRoot() const {
    return DefaultRootWindow(AsDisplay(display));
}

int OrvXDriver::VisibleCursorPixels() const {
    Display* d = AsDisplay(display);
    int eventBase = 0, errorBase = 0;
    if (!XFixesQueryExtension(d, &eventBase, &errorBase))
        return -1;
    XFixesCursorImage* cursor = XFixesGetCursorImage(d);
    if (cursor == nullptr)
        return -1;
    int visible = 0;
    // ARGB in the low 32 bits of each element; alpha is the top byte.
    for (int i = 0; i < static_cast<int>(cursor->width) * cursor->height; ++i)
        visible += ((cursor->pixels[i] >> 24) & 0xFF) != 0 ? 1 : 0;
    XFree(cursor);
    return visible;
}

unsigned long OrvXDriver::WaitForWindow(pid_t pid, int timeoutMs) {
    Display* x = AsDisplay(display);
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        Window root = DefaultRootWindow(x);
        Window rootReturn = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        Window found = 0;
        if (XQueryTree(x, root, &rootReturn, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count && found == 0; ++i) {
                if (StartedBy(WindowPid(x, children[i]), pid) && Viewable(children[i]))
                    found = children[i];
            }
            if (children != nullptr)
                XFree(children);
        }
        if (found != 0)
            return found;
        SleepMs(20);
    }
    return 0;
}

bool OrvXDriver::Viewable(unsigned long window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(AsDisplay(display), window, &attributes))
        return false;
    return attributes.map_state == IsViewable;
}

std::string OrvXDriver::Name(unsigned long window) const {
    std::string name;
    if (OrvRunCommand(OnDisplay() + "xdotool getwindowname " + std::to_string(window), 10, &name) !=
        0)
        return std::string();
    if (!name.empty() && name.back() == '\n')
        name.pop_back();
    return name;
}

bool OrvXDriver::Size(unsigned long window, int& width, int& height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(AsDisplay(display), window, &attributes))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

bool OrvXDriver::Key(unsigned long window, const std::string& key) {
    return SendKey(window, key, true, true);
}

bool OrvXDriver::KeyDown(unsigned long window, const std::string& key) {
    return SendKey(window, key, true, false);
}

bool OrvXDriver::KeyUp(unsigned long window, const std::string& key) {
    return SendKey(window, key, false, true);
}

bool OrvXDriver::SendKey(unsigned long window, const std::string& key, bool press, bool release) {
    Display* d = AsDisplay(display);
    KeySym symbol = XStringToKeysym(key.c_str());
    KeyCode code = symbol != NoSymbol ? XKeysymToKeycode(d, symbol) : 0;
    if (code == 0)
        return false;
    // Every event gets a later time stamp: SDL takes a release followed by a press of the
    // same key at (nearly) the same time for keyboard auto-repeat and drops both, so two
    // presses of one key in a row must look 50 ms apart.
    static Time stamp = 1;
    for (int type : {KeyPress, KeyRelease}) {
        if ((type == KeyPress && !press) || (type == KeyRelease && !release))
            continue;
        stamp += 50;
        XEvent event = {};
        event.xkey.type = type;
        event.xkey.display = d;
        event.xkey.window = window;
        event.xkey.root = DefaultRootWindow(d);
        event.xkey.time = stamp;
        event.xkey.keycode = code;
        event.xkey.same_screen = True;
        XSendEvent(d, window, False, 0, &event);
    }
    XFlush(d);
    return true;
}

void OrvXDriver::Click(unsigned long window, int x, int y, int button) {
    Display* d = AsDisplay(display);
    XEvent event = {};
    event.xmotion.type = MotionNotify;
    event.xmotion.display = d;
    event.xmotion.window = window;
    event.xmotion.root = DefaultRootWindow(d);
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.same_screen = True;
    XSendEvent(d, window, False, 0, &event);

    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent press = {};
        press.xbutton.type = type;
        press.xbutton.display = d;
        press.xbutton.window = window;
        press.xbutton.root = DefaultRootWindow(d);
        press.xbutton.x = x;
        press.xbutton.y = y;
        press.xbutton.button = static_cast<unsigned int>(button);
        press.xbutton.same_screen = True;
        if (type == ButtonRelease)
            press.xbutton.state = Button1Mask << (button - 1);
        XSendEvent(d, window, False, 0, &press);
    }
    XFlush(d);
}

void OrvXDriver::Close(unsigned long window) {
    Display* d = AsDisplay(display);
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, window, False, 0, &event);
    XFlush(d);
}

void OrvXDriver::Raise(unsigned long window) {
    XRaiseWindow(AsDisplay(display), window);
    XSync(AsDisplay(display), False);
}

void OrvXDriver::Picture::Pixel(int x, int y, int& r, int& g, int& b) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        r = g = b = -1;
        return;
    }
    size_t at = (static_cast<size_t>(y) * width + x) * 3;
    r = rgb[at];
    g = rgb[at + 1];
    b = rgb[at + 2];
}

bool OrvXDriver::Screenshot(unsigned long window, Picture& picture) const {
    char pattern[] = "/tmp/orv-shot-XXXXXX";
    int fd = mkstemp(pattern);
    if (fd < 0)
        return false;
    close(fd);
    std::string path = std::string(pattern) + ".ppm";
    int status = OrvRunCommand(
        OnDisplay() + "import -window " + std::to_string(window) + " -depth 8 " + path, 20);
    std::string bytes = OrvReadFile(path);
    std::remove(pattern);
    std::remove(path.c_str());
    if (status != 0)
        return false;

    // Binary PPM: "P6", width, height, maximum value, one whitespace, then the pixels.
    std::istringstream header(bytes);
    std::string magic;
    int maximum = 0;
    header >> magic >> picture.width >> picture.height >> maximum;
    if (magic != "P6" || maximum != 255 || picture.width <= 0 || picture.height <= 0)
        return false;
    size_t start = static_cast<size_t>(header.tellg()) + 1;
    size_t size = static_cast<size_t>(picture.width) * picture.height * 3;
    if (bytes.size() < start + size)
        return false;
    picture.rgb.assign(bytes.begin() + static_cast<long>(start),
                       bytes.begin() + static_cast<long>(start + size));
    return true;
}

std::string OrvXDriver::WaitForPicture(unsigned long window,
                                       const std::function<std::string(const Picture&)>& check,
                                       int timeoutMs) {
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    std::string problem = "no screenshot";
    for (;;) {
        Raise(window);
        Picture picture;
        if (Screenshot(window, picture)) {
            problem = check(picture);
            if (problem.empty())
                return problem;
        }
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        long long elapsed =
            (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1000000;
        if (elapsed >= timeoutMs)
            return problem;
        SleepMs(20);
    }
}
