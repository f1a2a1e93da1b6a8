#include "OrvMessageBox.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
const int margin = 20;
const int buttonWidth = 80;
const int buttonHeight = 26;
const int minimumWidth = 240;
const int screenGap = 40; // the window stays this much narrower and lower than the screen
const int barWidth = 12;
const int barGap = 8; // between the text and the scroll bar
const int minimumThumb = 16;
const int wheelRows = 3;

// The dialog must never end the program: an X protocol error (a focus request the window
// manager beat us to, say) is ignored rather than fatal.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

std::string ExpandTabs(const std::string& text) {
    std::string expanded;
    expanded.reserve(text.size());
    for (char c : text) {
        if (c == '\t')
            expanded += "    ";
        else
            expanded += c;
    }
    return expanded;
}

// A UTF-8 continuation byte: a row never starts with one, so a character is not torn apart.
bool Continues(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

class Dialog {
public:
    Dialog(Display* display, const std::string& caption, const std::string& text)
        : display(display), text(ExpandTabs(text)) {
        int screen = DefaultScreen(display);
        Window root = RootWindow(display, screen);
        font = XLoadQueryFont(display, "fixed");
        ownFont = font != nullptr;
        if (!font)
            font = XQueryFont(display, XGContextFromGC(DefaultGC(display, screen)));
        lineHeight = font ? font->ascent + font->descent + 2 : 14;

        int screenWidth = DisplayWidth(display, screen);
        int screenHeight = DisplayHeight(display, screen);
        Layout(screenWidth - screenGap, screenHeight - screenGap);

        window = XCreateSimpleWindow(display, root, (screenWidth - width) / 2,
                                     (screenHeight - height) / 2, width, height, 1,
                                     BlackPixel(display, screen), WhitePixel(display, screen));
        Describe(caption);
        XSelectInput(display, window,
                     ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                         Button1MotionMask);
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
                if (event.xexpose.count == 0) {
                    DrawButton(pressed);
                    textDirty = true;
                }
                break;
            case KeyPress:
                done = OnKey(XLookupKeysym(&event.xkey, 0));
                break;
            case ButtonPress:
                if (event.xbutton.button == Button4) {
                    ScrollTo(first - wheelRows);
                } else if (event.xbutton.button == Button5) {
                    ScrollTo(first + wheelRows);
                } else if (event.xbutton.button == Button1) {
                    if (OnButton(event.xbutton.x, event.xbutton.y)) {
                        pressed = true;
                        DrawButton(pressed);
                    } else {
                        PressBar(event.xbutton.x, event.xbutton.y);
                    }
                }
                break;
            case MotionNotify:
                if (dragging)
                    DragThumb(event.xmotion.y);
                break;
            case ButtonRelease:
                if (event.xbutton.button == Button1) {
                    dragging = false;
                    if (pressed) {
                        done = OnButton(event.xbutton.x, event.xbutton.y);
                        pressed = false;
                        DrawButton(pressed);
                    }
                }
                break;
            case ClientMessage:
                done = event.xclient.message_type == wmProtocols &&
                       static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow;
                break;
            default:
                break;
            }
            // A burst of wheel or key events draws once, after the last of them.
            if (!done && textDirty && XPending(display) == 0) {
                DrawText();
                textDirty = false;
            }
        }
    }

private:
    // A run of the text shown on one line of the dialog.
    struct Row {
        size_t start;
        size_t length;
    };

    // Chooses the window's size within maxWidth x maxHeight and breaks the text into rows.
    void Layout(int maxWidth, int maxHeight) {
        int widest = 0;
        for (size_t begin = 0; begin < text.size();) {
            size_t end = std::min(text.find('\n', begin), text.size());
            widest = std::max(widest, TextWidth(begin, end - begin));
            begin = end + 1;
        }
        // The window always has room for the button and one row of text.
        int leastWidth = std::max(minimumWidth, buttonWidth + 2 * margin);
        int leastHeight = 3 * margin + lineHeight + buttonHeight;
        width = std::max(std::min(widest + 2 * margin, maxWidth), leastWidth);
        Wrap(width - 2 * margin);
        int wanted = 3 * margin + static_cast<int>(rows.size()) * lineHeight + buttonHeight;
        height = std::max(std::min(wanted, maxHeight), leastHeight);
        if (static_cast<int>(rows.size()) <= VisibleRows())
            return;

        // Too many rows: the scroll bar takes room beside the text, so wrap again.
        scrollable = true;
        width = std::max(std::min(widest + 2 * margin + barGap + barWidth, maxWidth),
                         leastWidth + barGap + barWidth);
        Wrap(TextRight() - margin);
    }

    // Rows of at most `wrapWidth` pixels (at least one character each). A row that has to
    // end early ends at its last space; the spaces at the break are not shown.
    void Wrap(int wrapWidth) {
        rows.clear();
        size_t begin = 0;
        while (begin < text.size()) {
            size_t end = std::min(text.find('\n', begin), text.size());
            if (begin == end)
                rows.push_back({begin, 0});
            while (begin < end) {
                size_t stop = begin;
                int used = 0;
                while (stop < end && used + CharWidth(text[stop]) <= wrapWidth)
                    used += CharWidth(text[stop++]);
                if (stop == end) {
                    rows.push_back({begin, end - begin});
                    begin = end;
                    break;
                }
                // The last space in the row, looked for within the row only.
                size_t cut = stop;
                while (cut > begin && text[cut] != ' ')
                    --cut;
                if (cut == begin) {
                    // One word wider than the row: cut it, but not inside a character.
                    cut = stop;
                    while (cut > begin && Continues(text[cut]))
                        --cut;
                    if (cut == begin) {
                        cut = begin + 1;
                        while (cut < end && Continues(text[cut]))
                            ++cut;
                    }
                }
                rows.push_back({begin, cut - begin});
                begin = cut;
                while (begin < end && text[begin] == ' ')
                    ++begin;
            }
            begin = end + 1;
        }
        // A text ending in "\n" has no empty last row; an empty text has one empty row.
        if (rows.empty())
            rows.push_back({0, 0});
    }

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

    int CharWidth(char c) const { return font ? XTextWidth(font, &c, 1) : 6; }

    int TextWidth(size_t start, size_t length) const {
        if (!font)
            return static_cast<int>(length) * 6;
        return XTextWidth(font, text.c_str() + start, static_cast<int>(length));
    }

    int ButtonX() const { return (width - buttonWidth) / 2; }
    int ButtonY() const { return height - margin - buttonHeight; }
    int TextBottom() const { return ButtonY() - margin / 2; }
    int TextRight() const { return width - margin - (scrollable ? barGap + barWidth : 0); }
    int BarX() const { return width - margin - barWidth; }
    int VisibleRows() const { return std::max(1, (TextBottom() - margin) / lineHeight); }
    int PageRows() const { return std::max(1, VisibleRows() - 1); }
    int LastFirst() const { return std::max(0, static_cast<int>(rows.size()) - VisibleRows()); }

    bool OnButton(int x, int y) const {
        return x >= ButtonX() && x < ButtonX() + buttonWidth && y >= ButtonY() &&
               y < ButtonY() + buttonHeight;
    }

    // True for the keys that close the dialog; the others may scroll it.
    bool OnKey(KeySym key) {
        switch (key) {
        case XK_Return:
        case XK_KP_Enter:
        case XK_Escape:
            return true;
        case XK_Up:
        case XK_KP_Up:
            ScrollTo(first - 1);
            break;
        case XK_Down:
        case XK_KP_Down:
            ScrollTo(first + 1);
            break;
        case XK_Prior:
        case XK_KP_Prior:
            ScrollTo(first - PageRows());
            break;
        case XK_Next:
        case XK_KP_Next:
            ScrollTo(first + PageRows());
            break;
        case XK_Home:
        case XK_KP_Home:
            ScrollTo(0);
            break;
        case XK_End:
        case XK_KP_End:
            ScrollTo(LastFirst());
            break;
        default:
            break;
        }
        return false;
    }

    // The first row in view, kept so that the last page is full rather than running past
    // the end of the text.
    void ScrollTo(int row) {
        row = std::max(0, std::min(row, LastFirst()));
        if (row != first) {
            first = row;
            textDirty = true;
        }
    }

    int TroughHeight() const { return TextBottom() - margin; }

    int ThumbHeight() const {
        long long share = static_cast<long long>(TroughHeight()) * VisibleRows() /
                          static_cast<long long>(rows.size());
        return std::min(TroughHeight(), std::max(minimumThumb, static_cast<int>(share)));
    }

    int ThumbTop() const {
        if (LastFirst() == 0)
            return margin;
        return margin + static_cast<int>(static_cast<long long>(TroughHeight() - ThumbHeight()) *
                                         first / LastFirst());
    }

    // A click on the thumb starts dragging it; above or below it turns a page.
    void PressBar(int x, int y) {
        if (!scrollable || x < BarX() || x >= BarX() + barWidth || y < margin || y >= TextBottom())
            return;
        if (y < ThumbTop()) {
            ScrollTo(first - PageRows());
        } else if (y >= ThumbTop() + ThumbHeight()) {
            ScrollTo(first + PageRows());
        } else {
            dragging = true;
            dragOffset = y - ThumbTop();
        }
    }

    void DragThumb(int y) {
        int travel = TroughHeight() - ThumbHeight();
        if (travel <= 0)
            return;
        long long top = std::max(0, std::min(y - dragOffset - margin, travel));
        ScrollTo(static_cast<int>((top * LastFirst() + travel / 2) / travel));
    }

    // Everything above the button: the rows in view and the scroll bar.
    void DrawText() {
        int screen = DefaultScreen(display);
        XClearArea(display, window, 0, 0, width, TextBottom(), False);
        XSetForeground(display, gc, BlackPixel(display, screen));
        int ascent = font ? font->ascent : 11;
        int last = std::min(static_cast<int>(rows.size()), first + VisibleRows());
        for (int i = first; i < last; ++i) {
            const Row& row = rows[i];
            int y = margin + (i - first) * lineHeight + ascent;
            XDrawString(display, window, gc, margin, y, text.c_str() + row.start,
                        static_cast<int>(row.length));
        }
        if (scrollable) {
            XDrawRectangle(display, window, gc, BarX(), margin, barWidth - 1, TroughHeight() - 1);
            XFillRectangle(display, window, gc, BarX() + 2, ThumbTop() + 2, barWidth - 4,
                           ThumbHeight() - 4);
        }
        XFlush(display);
    }

    void DrawButton(bool pressed) {
        int screen = DefaultScreen(display);
        unsigned long black = BlackPixel(display, screen);
        unsigned long white = WhitePixel(display, screen);
        XClearArea(display, window, ButtonX(), ButtonY(), buttonWidth, buttonHeight, False);
        XSetForeground(display, gc, black);
        const char* label = "OK";
        int ascent = font ? font->ascent : 11;
        int labelWidth = font ? XTextWidth(font, label, 2) : 12;
        int labelX = ButtonX() + (buttonWidth - labelWidth) / 2;
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
    std::string text; // as shown: tabs expanded; rows point into it
    std::vector<Row> rows;
    XFontStruct* font = nullptr;
    bool ownFont = false;
    int lineHeight = 14;
    int width = 0;
    int height = 0;
    bool scrollable = false;
    int first = 0; // the row at the top of the text area
    bool textDirty = false;
    bool dragging = false;
    int dragOffset = 0; // where on the thumb the drag took hold
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
