#include "tests/support/XPointer.h"

#include <QGuiApplication>
#include <QScreen>

// Xlib last: its macros would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace testsupport::xpointer {

namespace {

Display *server() {
    static Display *const display = XOpenDisplay(nullptr);
    return display;
}

void button(unsigned number, bool down) {
    XTestFakeButtonEvent(server(), number, down ? True : False, CurrentTime);
    XFlush(server());
}

} // namespace

bool Available() {
    int event = 0, error = 0, major = 0, minor = 0;
    return server() != nullptr && XTestQueryExtension(server(), &event, &error, &major, &minor);
}

void MoveTo(QPoint global) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    XTestFakeMotionEvent(server(), -1, qRound(global.x() * ratio), qRound(global.y() * ratio),
                         CurrentTime);
    XFlush(server());
}

void Button(bool down) { button(1, down); }

void Click() {
    Button(true);
    Button(false);
}

void WheelNotch(bool towardsUser) {
    const unsigned number = towardsUser ? 5 : 4;
    button(number, true);
    button(number, false);
}

bool Viewable(unsigned long window) {
    XSync(server(), False);
    XErrorHandler before = XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    XWindowAttributes attributes{};
    const bool exists = XGetWindowAttributes(server(), window, &attributes) != 0;
    XSync(server(), False);
    XSetErrorHandler(before);
    return exists && attributes.map_state == IsViewable;
}

} // namespace testsupport::xpointer
