// Times a real window as a user meets it: input goes in through XTest, and
// what the X server draws is timestamped through its Damage reports, so a
// figure includes input dispatch, the program's handlers, the repaint and
// the upload to the screen. Works with or without a window manager.
//
//   xwin start SETTLE_MS -- PROGRAM ARGS...
//       Starts the program and prints "map_ms M first_paint_ms F settled_ms S":
//       when its top-level window was mapped, first drawn into and last drawn
//       into before SETTLE_MS passed without drawing. Only drawing inside the
//       program's own client window counts (found by _NET_WM_PID), not the
//       window manager's frame, and only from the mapping on; a caret's
//       blinking does not count. The program is ended afterwards.
//   xwin act WIN LX LY LW LH ACTION REPEAT GAP_MS TIMEOUT_S [QUIET_MS]
//       Performs ACTION REPEAT times on window WIN and prints, for each, when
//       the rectangle LX,LY,LW,LH (client coordinates) was first redrawn
//       ("label_ms", -1 when it was not) and when the drawing settled
//       ("settled_ms": the last rectangle before QUIET_MS without drawing),
//       and when the rectangle was last redrawn before that ("label_last_ms").
//       A negative QUIET_MS waits for the rectangle instead: the action ends
//       -QUIET_MS after its last redrawing (work that draws nothing for a
//       while, such as reading a page, does not end it early).
//       The next action follows GAP_MS after the previous one settled.
//       ACTION: key:KEYSYM | ctrl:KEYSYM | shift:KEYSYM | click:X,Y (client
//       coordinates).
//       Rectangles of a caret's size (at most 16 x 24) are not counted.
//   xwin copy WIN TIMEOUT_S
//       Presses Ctrl+C in window WIN and prints "owned_ms T": when the
//       CLIPBOARD selection got a new owner (the program took the copy).
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int dmg_base;
static int verbose;

// Waits up to `ms` for the next event; 1 with *ev filled.
static int next_event(Display* d, XEvent* ev, double ms)
{
    if (XPending(d)) {
        XNextEvent(d, ev);
        return 1;
    }
    struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
    if (poll(&p, 1, ms < 0 ? 0 : (int)ms) <= 0)
        return 0;
    if (!XPending(d))
        return 0;
    XNextEvent(d, ev);
    return 1;
}

static int ignore_err(Display* d, XErrorEvent* e)
{
    (void)d;
    (void)e;
    return 0;
}

static int cmpd(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

// The window below `w` (w included) whose _NET_WM_PID is pid, or 0.
static Window find_pid_window(Display* d, Window w, long pid, Atom net_wm_pid)
{
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* prop = NULL;
    if (XGetWindowProperty(d, w, net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &prop) ==
            Success &&
        prop) {
        long v = n ? (long)*(unsigned long*)prop : -1;
        XFree(prop);
        if (v == pid)
            return w;
    }
    Window root, parent, *kids = NULL;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &kids, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = find_pid_window(d, kids[i], pid, net_wm_pid);
    if (kids)
        XFree(kids);
    return found;
}

typedef struct {
    double t;
    int x, y, w, h;
} Paint;

static int overlaps(const Paint* p, int x, int y, int w, int h)
{
    return p->x < x + w && p->x + p->w > x && p->y < y + h && p->y + p->h > y;
}

static int start(Display* d, double settle, char** cmd)
{
    Window root = DefaultRootWindow(d);
    Atom net_wm_pid = XInternAtom(d, "_NET_WM_PID", False);
    XSelectInput(d, root, SubstructureNotifyMask);
    XDamageCreate(d, root, XDamageReportRawRectangles);
    XSync(d, False);
    XEvent ev;
    // What the previous program left drawing is not this one's.
    usleep(300000);
    XSync(d, False);
    while (XPending(d))
        XNextEvent(d, &ev);
    double t0 = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(cmd[0], cmd);
        _exit(127);
    }
    size_t cap = 4096, n = 0;
    Paint* paints = malloc(cap * sizeof *paints);
    Window client = 0;
    int cx = 0, cy = 0, cw = 0, ch = 0;
    double tmap = -1, tfirst = -1, tlast = -1;
    while (now_ms() - t0 < 60000) {
        double left = tlast >= 0 ? settle - (now_ms() - t0 - tlast) : 500;
        if (tlast >= 0 && left <= 0)
            break;
        int got = next_event(d, &ev, left);
        double t = now_ms() - t0;
        if (got && ev.type == dmg_base + XDamageNotify) {
            XDamageNotifyEvent* e = (XDamageNotifyEvent*)&ev;
            if (e->area.width <= 16 && e->area.height <= 24)
                continue; // a blinking caret
            if (n == cap)
                paints = realloc(paints, (cap *= 2) * sizeof *paints);
            paints[n++] = (Paint){t, e->area.x, e->area.y, e->area.width, e->area.height};
            if (client && t >= tmap && overlaps(&paints[n - 1], cx, cy, cw, ch)) {
                if (tfirst < 0)
                    tfirst = t;
                tlast = t;
            }
        } else if (got && ev.type == MapNotify && tmap < 0 && !ev.xmap.override_redirect) {
            tmap = t;
        }
        if (!client && tmap >= 0) {
            client = find_pid_window(d, root, pid, net_wm_pid);
            XWindowAttributes a;
            if (client && XGetWindowAttributes(d, client, &a) && a.map_state == IsViewable) {
                Window child;
                XTranslateCoordinates(d, client, root, 0, 0, &cx, &cy, &child);
                cw = a.width;
                ch = a.height;
                for (size_t i = 0; i < n; ++i) {
                    if (paints[i].t >= tmap && overlaps(&paints[i], cx, cy, cw, ch)) {
                        if (tfirst < 0)
                            tfirst = paints[i].t;
                        tlast = paints[i].t;
                    }
                }
                if (verbose)
                    fprintf(stderr, "  %.1f client %lx at %d,%d %dx%d\n", t, client, cx, cy, cw, ch);
            } else {
                client = 0;
            }
        }
    }
    printf("map_ms %.1f first_paint_ms %.1f settled_ms %.1f size %dx%d\n", tmap, tfirst, tlast, cw, ch);
    fflush(stdout);
    kill(pid, SIGTERM);
    int st;
    waitpid(pid, &st, 0);
    free(paints);
    return tfirst >= 0 ? 0 : 1;
}

static void perform(Display* d, const char* action, int rx, int ry)
{
    if (!strncmp(action, "key:", 4) || !strncmp(action, "ctrl:", 5) || !strncmp(action, "shift:", 6)) {
        KeyCode kc = XKeysymToKeycode(d, XStringToKeysym(strchr(action, ':') + 1));
        // The modifier held around the key, if any.
        KeyCode kmod = 0;
        if (action[0] == 'c')
            kmod = XKeysymToKeycode(d, XK_Control_L);
        else if (action[0] == 's')
            kmod = XKeysymToKeycode(d, XK_Shift_L);
        if (kmod)
            XTestFakeKeyEvent(d, kmod, True, 0);
        XTestFakeKeyEvent(d, kc, True, 0);
        XTestFakeKeyEvent(d, kc, False, 0);
        if (kmod)
            XTestFakeKeyEvent(d, kmod, False, 0);
    } else if (!strncmp(action, "click:", 6)) {
        int x = 0, y = 0;
        sscanf(action + 6, "%d,%d", &x, &y);
        XTestFakeMotionEvent(d, -1, rx + x, ry + y, 0);
        XTestFakeButtonEvent(d, 1, True, 0);
        XTestFakeButtonEvent(d, 1, False, 0);
    }
    XFlush(d);
}

static int act(Display* d, int argc, char** argv)
{
    if (argc < 11)
        return 2;
    Window root = DefaultRootWindow(d);
    Window w = strtoul(argv[2], 0, 0);
    int lx = atoi(argv[3]), ly = atoi(argv[4]), lw = atoi(argv[5]), lh = atoi(argv[6]);
    const char* action = argv[7];
    int repeat = atoi(argv[8]);
    double gap = atof(argv[9]), timeout = atof(argv[10]) * 1000, quiet = argc > 11 ? atof(argv[11]) : 300;
    const int label_quiet = quiet < 0;
    if (label_quiet)
        quiet = -quiet;
    if (repeat < 1)
        return 2;
    XDamageCreate(d, w, XDamageReportRawRectangles);
    int rx, ry;
    Window child;
    XTranslateCoordinates(d, w, root, 0, 0, &rx, &ry, &child);
    XSync(d, False);
    usleep(100000);
    double* tl = calloc(repeat, sizeof(double));
    double* ta = calloc(repeat, sizeof(double));
    for (int i = 0; i < repeat; ++i) {
        XEvent ev;
        while (next_event(d, &ev, 0)) {
        }
        double t0 = now_ms();
        perform(d, action, rx, ry);
        double tlabel = -1, tlast = -1, tlabel_last = -1;
        int n = 0;
        while (now_ms() - t0 < timeout) {
            const double anchor = label_quiet ? tlabel_last : tlast;
            double wait = anchor >= 0 ? quiet - (now_ms() - t0 - anchor) : timeout - (now_ms() - t0);
            if (anchor >= 0 && wait <= 0)
                break;
            if (!next_event(d, &ev, wait)) {
                if (anchor >= 0 && quiet - (now_ms() - t0 - anchor) <= 0)
                    break;
                continue;
            }
            if (ev.type != dmg_base + XDamageNotify)
                continue;
            XDamageNotifyEvent* e = (XDamageNotifyEvent*)&ev;
            double t = now_ms() - t0;
            int x = e->area.x, y = e->area.y, W = e->area.width, H = e->area.height;
            if (verbose)
                fprintf(stderr, "  [%d] %.2f dmg %d,%d %dx%d\n", i, t, x, y, W, H);
            if (W <= 16 && H <= 24)
                continue;
            ++n;
            tlast = t;
            if (x < lx + lw && x + W > lx && y < ly + lh && y + H > ly) {
                if (tlabel < 0)
                    tlabel = t;
                tlabel_last = t;
            }
        }
        tl[i] = tlabel;
        ta[i] = tlast;
        printf("%s #%d label_ms %.2f settled_ms %.2f rects %d label_last_ms %.2f\n", action, i, tlabel, tlast, n,
               tlabel_last);
        fflush(stdout);
        double rest = gap - (tlast >= 0 ? quiet : 0);
        if (rest > 0 && i + 1 < repeat)
            usleep((useconds_t)(rest * 1000));
    }
    qsort(tl, repeat, sizeof(double), cmpd);
    qsort(ta, repeat, sizeof(double), cmpd);
    printf("SUMMARY %s n=%d label median %.2f min %.2f max %.2f | settled median %.2f min %.2f max %.2f\n", action,
           repeat, tl[repeat / 2], tl[0], tl[repeat - 1], ta[repeat / 2], ta[0], ta[repeat - 1]);
    free(tl);
    free(ta);
    return 0;
}

static int copy(Display* d, Window w, double timeout)
{
    Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    Window root = DefaultRootWindow(d);
    int rx, ry;
    Window child;
    XTranslateCoordinates(d, w, root, 0, 0, &rx, &ry, &child);
    Window before = XGetSelectionOwner(d, clipboard);
    double t0 = now_ms(), owned = -1;
    perform(d, "ctrl:c", rx, ry);
    while (now_ms() - t0 < timeout) {
        Window now = XGetSelectionOwner(d, clipboard);
        if (now != None && now != before) {
            owned = now_ms() - t0;
            break;
        }
        usleep(1000);
    }
    printf("owned_ms %.2f\n", owned);
    return owned >= 0 ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    Display* d = NULL;
    for (int k = 0; k < 50 && !(d = XOpenDisplay(NULL)); ++k)
        usleep(100000);
    if (!d) {
        fprintf(stderr, "xwin: no display\n");
        return 2;
    }
    int error_base;
    if (!XDamageQueryExtension(d, &dmg_base, &error_base)) {
        fprintf(stderr, "xwin: the X server has no DAMAGE extension\n");
        return 2;
    }
    verbose = getenv("XWIN_VERBOSE") != NULL;
    XSetErrorHandler(ignore_err);
    if (!strcmp(argv[1], "start") && argc >= 5 && !strcmp(argv[3], "--"))
        return start(d, atof(argv[2]), argv + 4);
    if (!strcmp(argv[1], "act"))
        return act(d, argc, argv);
    if (!strcmp(argv[1], "copy") && argc >= 4)
        return copy(d, strtoul(argv[2], 0, 0), atof(argv[3]) * 1000);
    fprintf(stderr, "usage: xwin start SETTLE_MS -- PROGRAM ARGS... | xwin act WIN LX LY LW LH ACTION REPEAT "
                    "GAP_MS TIMEOUT_S [QUIET_MS] | xwin copy WIN TIMEOUT_S\n");
    return 2;
}
