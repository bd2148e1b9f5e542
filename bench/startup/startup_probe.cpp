// Starts a program, waits for its top-level window with an exact title to be
// mapped, asks the window to close as a window manager would (WM_DELETE_WINDOW)
// and waits for the program to end. Prints "<shown-ms> <exit-ms>", both counted
// from the start, and fails unless the program ended with status 0.
// Usage: startup_probe <title> <program> [args...]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

Window findWindow(Display *dpy, Window parent, const std::string &title, int depth)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(dpy, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = count; i-- > 0 && !found;) {
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(dpy, children[i], &attrs) || attrs.map_state != IsViewable)
            continue;
        char *name = nullptr;
        if (XFetchName(dpy, children[i], &name) && name) {
            if (title == name)
                found = children[i];
            XFree(name);
        }
        if (!found && depth > 0)
            found = findWindow(dpy, children[i], title, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

int ignoreErrors(Display *, XErrorEvent *)
{
    return 0; // windows come and go while we look
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <title> <program> [args...]\n", argv[0]);
        return 2;
    }
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    const std::string title = argv[1];
    // The probe waits for the server to report a mapped window instead of
    // asking it over and over: polling kept the server and the probe busy on
    // one of the cores the measured program starts on.
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const auto t0 = Clock::now();
    double nextLook = 50;
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        execv(argv[2], argv + 2);
        _exit(127);
    }
    Window win = 0;
    for (;;) {
        bool mapped = false;
        while (XPending(dpy)) {
            XEvent event;
            XNextEvent(dpy, &event);
            mapped = mapped || event.type == MapNotify;
        }
        // A map seen, or now and then in case the title came after the map.
        if (mapped || msSince(t0) >= nextLook) {
            if ((win = findWindow(dpy, root, title, 1)))
                break;
            nextLook = msSince(t0) + 50;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "program ended before showing a window\n");
            return 1;
        }
        pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
        poll(&fd, 1, 5);
    }
    const double shown = msSince(t0);
    // STARTUP_PROBE_HOLD_MS: let the program run that long before closing it
    // (a check that a settled program also ends cleanly; not for timing).
    if (const char *hold = std::getenv("STARTUP_PROBE_HOLD_MS"))
        usleep(useconds_t(std::atoi(hold)) * 1000);

    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = win;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, win, False, NoEventMask, &ev);
    XFlush(dpy);

    int status = 0;
    waitpid(pid, &status, 0);
    const double exited = msSince(t0);
    XCloseDisplay(dpy);
    std::printf("%.1f %.1f\n", shown, exited);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
