#include "OrvMessageBox.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
const int margin = 20;
const int buttonWidth = 80;
const int buttonHeight = 26;
const int minimumWidth = 240;

// The dialog must never end the program: an X protocol error (a focus request the window
// manager beat us to, say) is ignored rather than fatal.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c == '\t') {
            line += "    ";
        } else {
            line += c;
        }
    }
    if (!line.empty() || lines.empty())
        lines.push_back(line);
    return lines;
}

class Dialog {
public:
    Dialog(Display* display, const std::string& caption, const std::string& text)
        : display(display), lines(SplitLines(text)) {
        int screen = DefaultScreen(display);
        Window root = RootWindow(display, screen);
        font = XLoadQueryFont(display, "fixed");
        ownFont = font != nullptr;
        if (!font)
            font = XQueryFont(display, XGContextFromGC(DefaultGC(display, screen)));

        lineHeight = font ? font->ascent + font->descent + 2 : 14;
        int textWidth = 0;
        for (const std::string& line : lines)
            textWidth = std::max(textWidth, LineWidth(line));
        int screenWidth = DisplayWidth(display, screen);
        int screenHeight = DisplayHeight(display, screen);
        width = std::min(std::max(textWidth + 2 * margin, minimumWidth), screenWidth - 40);
        int textHeight = static_cast<int>(lines.size()) * lineHeight;
        height = std::min(3 * margin + textHeight + buttonHeight, screenHeight - 40);
        width = std::max(width, buttonWidth + 2 * margin);
        height = std::max(height, buttonHeight + 2 * margin);

        window = XCreateSimpleWindow(display, root, (screenWidth - width) / 2,
                                     (screenHeight - height) / 2, width, height, 1,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        Describe(caption);
        XSelectInput(display, window,
                     ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask);
        gc = XCreateGC(display, window, 0, nullptr);
        if (ownFont)
            XSetFont(display, gc, font->fid);
    }

    ~Dialog() {
        XFreeGC(display, gc);
        XDestroyWindow(display, window);
        if (font && ownFont)
            XFreeFont(display, font);
        else if (font)
            XFreeFontInfo(nullptr, font, 1);
    }

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Blocks until the user closes the dialog.
    void Run() {
        XMapRaised(display, window);
        bool done = false;
        bool pressed = false;
        while (!done) {
            XEvent event;
            XNextEvent(display, &event);
            switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0)
                    Draw(pressed);
                break;
            case KeyPress: {
                KeySym key = XLookupKeysym(&event.xkey, 0);
                done = key == XK_Return || key == XK_KP_Enter || key == XK_Escape;
                break;
            }
            case ButtonPress:
                if (event.xbutton.button == Button1 && OnButton(event.xbutton.x, event.xbutton.y)) {
                    pressed = true;
                    Draw(pressed);
                }
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1 && pressed) {
                    done = OnButton(event.xbutton.x, event.xbutton.y);
                    pressed = false;
                    Draw(pressed);
                }
                break;
            case ClientMessage:
                done = event.xclient.message_type == wmProtocols &&
                       static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow;
                break;
            default:
                break;
            }
        }
    }

private:
    // Title, class, process id, dialog type, fixed size and the close-button protocol.
    void Describe(const std::string& caption) {
        XStoreName(display, window, caption.c_str());
        Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(caption.c_str()),
                        static_cast<int>(caption.size()));

        XClassHint classHint;
        char name[] = "Run";
        char className[] = "Orvanta";
        classHint.res_name = name;
        classHint.res_class = className;
        XSetClassHint(display, window, &classHint);

        long pid = static_cast<long>(getpid());
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL,
                        32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
        Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False),
                        XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialogType),
                        1);

        XSizeHints* hints = XAllocSizeHints();
        hints->flags = PPosition | PSize | PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display, window, hints);
        XFree(hints);

        wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
        wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, window, &wmDeleteWindow, 1);
    }

    int LineWidth(const std::string& line) const {
        if (!font)
            return static_cast<int>(line.size()) * 6;
        return XTextWidth(font, line.c_str(), static_cast<int>(line.size()));
    }

    int ButtonX() const { return (width - buttonWidth) / 2; }
    int ButtonY() const { return height - margin - buttonHeight; }

    bool OnButton(int x, int y) const {
        return x >= ButtonX() && x < ButtonX() + buttonWidth && y >= ButtonY() &&
               y < ButtonY() + buttonHeight;
    }

    void Draw(bool pressed) {
        int screen = DefaultScreen(display);
        unsigned long black = BlackPixel(display, screen);
        unsigned long white = WhitePixel(display, screen);
        XClearWindow(display, window);
        XSetForeground(display, gc, black);
        int ascent = font ? font->ascent : 11;
        int textBottom = ButtonY() - margin / 2;
        for (size_t i = 0; i < lines.size(); ++i) {
            int y = margin + static_cast<int>(i) * lineHeight;
            if (y + lineHeight > textBottom)
                break;
            XDrawString(display, window, gc, margin, y + ascent, lines[i].c_str(),
                        static_cast<int>(lines[i].size()));
        }

        const char* label = "OK";
        int labelX = ButtonX() + (buttonWidth - LineWidth(label)) / 2;
        int labelY = ButtonY() + (buttonHeight + ascent) / 2 - 1;
        if (pressed) {
            XFillRectangle(display, window, gc, ButtonX(), ButtonY(), buttonWidth, buttonHeight);
            XSetForeground(display, gc, white);
        } else {
            XDrawRectangle(display, window, gc, ButtonX(), ButtonY(), buttonWidth - 1,
                           buttonHeight - 1);
        }
        XDrawString(display, window, gc, labelX, labelY, label, 2);
        XFlush(display);
    }

    Display* display;
    std::vector<std::string> lines;
    XFontStruct* font = nullptr;
    bool ownFont = false;
    int lineHeight = 14;
    int width = 0;
    int height = 0;
    Window window = 0;
    GC gc = nullptr;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
};
} // namespace

void OrvMessageBox::Show(const std::string& caption, const std::string& text) {
    std::string line = caption + ": " + text;
    if (line.empty() || line.back() != '\n')
        line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    {
        Dialog dialog(display, caption, text);
        dialog.Run();
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
}
