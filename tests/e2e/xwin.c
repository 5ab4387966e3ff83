/*
 * xwin - looks at and closes the top-level windows of another process, the
 * way a window manager would, so that the end-to-end tests can drive the real
 * vornic binary from outside.
 *
 *   xwin wait TITLE [SECONDS]          print the id of the mapped window
 *   xwin close TITLE [SECONDS]         send it WM_DELETE_WINDOW
 *   xwin transient-for TITLE [SECONDS] print the id in its WM_TRANSIENT_FOR
 *   xwin class TITLE [SECONDS]         print its WM_CLASS as "name class"
 *   xwin list                          print every top-level window
 *
 * Every command that names a window waits for it (default 20 seconds) and
 * fails with status 1 when it does not appear; nothing ever blocks longer.
 * Windows are matched by their whole title (_NET_WM_NAME, else WM_NAME) and
 * must be viewable.  With no window manager running, top-level windows are
 * direct children of the root window, so no frames need to be looked through.
 */
#define _POSIX_C_SOURCE 200809L /* strndup, clock_gettime, nanosleep */

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static Display *display;

/* A window may be destroyed between listing it and reading its properties;
 * such a window simply does not match. */
static int ignoreXErrors(Display *d, XErrorEvent *e)
{
    (void)d;
    (void)e;
    return 0;
}

/* The window's title as a malloc'ed string, or NULL. */
static char *windowTitle(Window w)
{
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(display, w, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data && type == utf8 && format == 8) {
        char *title = strndup((const char *)data, count);
        XFree(data);
        return title;
    }
    if (data)
        XFree(data);

    char *name = NULL;
    if (!XFetchName(display, w, &name) || !name)
        return NULL;
    char *title = strdup(name);
    XFree(name);
    return title;
}

static int isViewable(Window w)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, w, &attributes) && attributes.map_state == IsViewable;
}

/* The top-level windows, bottom to top; free with XFree. */
static Window *topLevels(unsigned int *count)
{
    Window root, parent, *children = NULL;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, count)) {
        *count = 0;
        return NULL;
    }
    return children;
}

/* The topmost viewable window titled title, or None. */
static Window findWindow(const char *title)
{
    unsigned int count;
    Window *windows = topLevels(&count);
    Window found = None;
    for (unsigned int i = 0; i < count; ++i) {
        if (!isViewable(windows[i]))
            continue;
        char *name = windowTitle(windows[i]);
        if (name && strcmp(name, title) == 0)
            found = windows[i];
        free(name);
    }
    if (windows)
        XFree(windows);
    return found;
}

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static Window waitForWindow(const char *title, double seconds)
{
    const struct timespec pause = {0, 50 * 1000 * 1000};
    double deadline = now() + seconds;
    for (;;) {
        Window w = findWindow(title);
        if (w != None)
            return w;
        if (now() >= deadline)
            break;
        nanosleep(&pause, NULL);
    }
    fprintf(stderr, "xwin: no window titled \"%s\" within %g s\n", title, seconds);
    exit(1);
}

static Window transientFor(Window w)
{
    Window owner = None;
    if (!XGetTransientForHint(display, w, &owner))
        return None;
    return owner;
}

/* Asks the window to close, as a window manager's close button does; fails
 * when the window does not take part in WM_DELETE_WINDOW. */
static int closeWindow(Window w)
{
    Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom *offered = NULL;
    int count = 0, takesPart = 0;
    if (XGetWMProtocols(display, w, &offered, &count)) {
        for (int i = 0; i < count; ++i)
            takesPart |= offered[i] == deleteWindow;
        XFree(offered);
    }
    if (!takesPart) {
        fprintf(stderr, "xwin: window 0x%lx does not offer WM_DELETE_WINDOW\n", w);
        return 1;
    }

    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)deleteWindow;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, w, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

static void list(void)
{
    unsigned int count;
    Window *windows = topLevels(&count);
    for (unsigned int i = 0; i < count; ++i) {
        char *name = windowTitle(windows[i]);
        printf("0x%lx %s transient-for=0x%lx \"%s\"\n", windows[i],
               isViewable(windows[i]) ? "viewable" : "hidden", transientFor(windows[i]),
               name ? name : "");
        free(name);
    }
    if (windows)
        XFree(windows);
}

static int usage(void)
{
    fputs("usage: xwin wait|close|transient-for|class TITLE [SECONDS]\n"
          "       xwin list\n",
          stderr);
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage();
    const char *command = argv[1];
    int named = strcmp(command, "list") != 0;
    if (named ? (argc < 3 || argc > 4) : argc != 2)
        return usage();

    display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xwin: cannot open display \"%s\"\n", XDisplayName(NULL));
        return 2;
    }
    XSetErrorHandler(ignoreXErrors);

    if (!named) {
        list();
        XCloseDisplay(display);
        return 0;
    }

    double seconds = argc == 4 ? atof(argv[3]) : 20.0;
    Window w = waitForWindow(argv[2], seconds);
    int status = 0;
    if (strcmp(command, "wait") == 0) {
        printf("0x%lx\n", w);
    } else if (strcmp(command, "close") == 0) {
        status = closeWindow(w);
    } else if (strcmp(command, "transient-for") == 0) {
        printf("0x%lx\n", transientFor(w));
    } else if (strcmp(command, "class") == 0) {
        XClassHint hint = {NULL, NULL};
        if (XGetClassHint(display, w, &hint)) {
            printf("%s %s\n", hint.res_name, hint.res_class);
            XFree(hint.res_name);
            XFree(hint.res_class);
        } else {
            fprintf(stderr, "xwin: window 0x%lx has no WM_CLASS\n", w);
            status = 1;
        }
    } else {
        status = usage();
    }
    XCloseDisplay(display);
    return status;
}
