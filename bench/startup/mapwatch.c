/* Starts a program and times it from X events: until its window with a given title was
 * mapped, then, after an idle pause, the program's peak and current resident memory.
 * With -o it then opens a page as a user would and times the open and typing; with -p it
 * also shows the program's preview twice and times the painting.
 * Run on an X server without a window manager, where top-level windows map straight on
 * the root window; keys go in through XTest to the window given the input focus.
 *
 *   mapwatch [-o PAGE] [-l] [-p] TITLE_PART IDLE_MS TIMEOUT_MS PROGRAM [ARGS...]
 *   -> map_ms=123.4 hwm_kb=45678 rss_kb=45000
 *      [title_ms=.. ping_ms=.. key_end_ms=.. key_start_ms=..]
 *      [preview1_ms=.. preview2_ms=.. same_window=1]
 *
 * -o PAGE: Ctrl+O, the page's path typed into the file dialog, Enter (t0); title_ms when
 *   the main window's title names the page; ping_ms when the program answers the first
 *   _NET_WM_PING sent after that (Qt answers it from the main thread's event loop, so it
 *   marks the moment the program takes input again). key_end_ms and key_start_ms: an
 *   XTest key press after Ctrl+End and after Ctrl+Home to the first damage of the window
 *   that is not a caret blink (XDamage, raw rectangles).
 * -l: after the open, Ctrl+Shift+E (the editor's live preview beside the source) and a
 *   pause while it loads the page, before the keys are timed.
 * -p: after the open, Ctrl+H to the last damage before the window stays quiet for a while
 *   (the page painted), twice (Ctrl+H back between); same_window tells whether the main
 *   window's X window is still the one mapped at start.
 * -m CYCLES: the program was started with pages to open as its ARGS; after the idle pause
 *   ten_kb is its resident memory with them open. Then CYCLES times: F4 (the editor's
 *   "Zavřít vše"), an idle pause, closedN_kb; the same pages handed over by starting
 *   PROGRAM ARGS again (the running instance opens them), an idle pause, openN_kb.
 */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
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

static Display *d;
static Window root;
static int damageBase;
static double start;

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* The window's title, from _NET_WM_NAME or WM_NAME; the caller frees it. */
static char *title_of(Window w)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success && data) {
        char *copy = strdup((char *)data);
        XFree(data);
        return copy;
    }
    char *name = NULL;
    if (XFetchName(d, w, &name) && name) {
        char *copy = strdup(name);
        XFree(name);
        return copy;
    }
    return NULL;
}

static int title_has(Window w, const char *part)
{
    char *title = title_of(w);
    int has = title && strstr(title, part);
    free(title);
    return has;
}

static long status_kb(pid_t pid, const char *field)
{
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *f = fopen(path, "r");
    long value = -1;
    if (!f)
        return -1;
    size_t len = strlen(field);
    while (fgets(line, sizeof line, f)) {
        if (strncmp(line, field, len) == 0 && line[len] == ':') {
            value = strtol(line + len + 1, NULL, 10);
            break;
        }
    }
    fclose(f);
    return value;
}

/* Windows may go away while they are looked at; that is no reason to stop. */
static int ignore_errors(Display *dpy, XErrorEvent *e)
{
    (void)dpy;
    (void)e;
    return 0;
}

/* --- what the event loop saw ------------------------------------------------------- */

static Window mapped[256];
static double mapTimes[256];
static int mappedCount;
static int popups; /* override-redirect windows mapped now (menus, completion lists) */
static Window watched = None; /* main window, for damage and pings */
static Damage damage = None;
static double lastDamage = -1;          /* time of the latest damage */
static double firstWideDamage = -1;     /* first repaint at the caret since armed */
static XRectangle caret;                /* the latest caret blink, before the key */
static int armed;                       /* the key went in: look for the repaint */
/* While a preview paints: when the content of a large repainted area last changed. Once
 * the page shows, the program may repaint it unchanged (the animated logo makes a window
 * with a web view compose all of it again), which is no painting of the page. */
static int watchContent;
static double lastContentChange = -1;
static XRectangle lastRect;
static unsigned long long lastHash;
static double pingAnswered = -1;
static long pingStamp;

static const char *mainTitle;
static int title_has(Window w, const char *part);

/* Where the main window is on the screen (it moves when it is made anew). */
static void origin_of_main(int *x, int *y)
{
    Window child;
    *x = *y = 0;
    if (watched != None)
        XTranslateCoordinates(d, watched, root, 0, 0, x, y, &child);
}

static XRectangle masks[64]; /* small areas that repainted while nothing happened */
static int maskCount;

/* A rectangle (on the root) that repainted on its own before, like an animation. */
static int is_mask(XRectangle r)
{
    int ox, oy;
    origin_of_main(&ox, &oy);
    r.x -= ox;
    r.y -= oy;
    for (int m = 0; m < maskCount; ++m) {
        if (memcmp(&masks[m], &r, sizeof r) == 0)
            return 1;
    }
    return 0;
}

static void handle(XEvent *e)
{
    if (e->type == MapNotify) {
        if (e->xmap.override_redirect) {
            ++popups;
        } else if (mappedCount < 256) {
            mapped[mappedCount] = e->xmap.window;
            mapTimes[mappedCount++] = now_ms() - start;
            XSelectInput(d, e->xmap.window, PropertyChangeMask);
            /* A main window made anew takes the old one's place. */
            if (watched != None && e->xmap.window != watched && title_has(e->xmap.window, mainTitle))
                watched = e->xmap.window;
        }
    } else if (e->type == UnmapNotify) {
        XWindowAttributes a;
        if (XGetWindowAttributes(d, e->xunmap.window, &a) && a.override_redirect && popups > 0)
            --popups;
    } else if (e->type == ClientMessage && e->xclient.window == root
               && e->xclient.data.l[0] == (long)XInternAtom(d, "_NET_WM_PING", False)
               && e->xclient.data.l[1] == pingStamp) {
        pingAnswered = now_ms();
    } else if (damage != None && e->type == damageBase + XDamageNotify) {
        XDamageNotifyEvent *n = (XDamageNotifyEvent *)e;
        lastDamage = now_ms();
        if (getenv("MAPWATCH_TRACE"))
            fprintf(stderr, "damage %.1f %d,%d %dx%d\n", lastDamage - start, n->area.x, n->area.y,
                    n->area.width, n->area.height);
        /* A blinking caret repaints a strip a few pixels wide, always the same one; the
         * typed letter repaints (at least) the caret's line. Other parts of the window
         * (tool buttons, status bar) may come first in the same paint, and are not it. */
        const XRectangle r = n->area;
        if (watchContent && r.width > 64 && r.height > 64) {
            XImage *image = XGetImage(d, root, r.x, r.y, r.width, r.height, AllPlanes, ZPixmap);
            if (image) {
                /* Pixels of the small areas that change on their own are left out. */
                unsigned long long hash = 1469598103934665603ULL;
                int ox, oy;
                origin_of_main(&ox, &oy);
                const int bpp = image->bits_per_pixel / 8;
                for (int y = 0; y < image->height; ++y) {
                    const unsigned char *line =
                        (const unsigned char *)image->data + (size_t)y * image->bytes_per_line;
                    for (int x = 0; x < image->width; ++x) {
                        int masked = 0;
                        for (int m = 0; m < maskCount && !masked; ++m)
                            masked = r.x + x - ox >= masks[m].x && r.x + x - ox < masks[m].x + masks[m].width
                                     && r.y + y - oy >= masks[m].y && r.y + y - oy < masks[m].y + masks[m].height;
                        if (masked)
                            continue;
                        for (int b = 0; b < bpp; ++b)
                            hash = (hash ^ line[x * bpp + b]) * 1099511628211ULL;
                    }
                }
                XDestroyImage(image);
                if (getenv("MAPWATCH_TRACE"))
                    fprintf(stderr, "content %.1f %llx\n", lastDamage - start, hash);
                if (hash != lastHash || memcmp(&r, &lastRect, sizeof r) != 0)
                    lastContentChange = lastDamage;
                lastHash = hash;
                lastRect = r;
            }
        }
        else if (!watchContent && !armed && r.width <= 64 && r.height <= 64 && maskCount < 64) {
            int ox, oy;
            origin_of_main(&ox, &oy);
            XRectangle rel = r;
            rel.x -= ox;
            rel.y -= oy;
            int known = 0;
            for (int m = 0; m < maskCount; ++m)
                known = known || memcmp(&masks[m], &rel, sizeof rel) == 0;
            if (!known)
                masks[maskCount++] = rel;
        }
        const int blink = r.width <= 16;
        if (!armed) {
            if (blink)
                caret = r;
        } else if (firstWideDamage < 0 && !blink && !is_mask(r)) {
            const int row = caret.height == 0
                            || (r.y < caret.y + caret.height && caret.y < r.y + r.height
                                && r.x <= caret.x && caret.x < r.x + r.width);
            if (row)
                firstWideDamage = lastDamage;
        }
    }
}

/* Handles events for up to ms milliseconds, or until done() says so. */
static void pump(double ms, int (*done)(void))
{
    const double until = now_ms() + ms;
    struct pollfd pfd = {ConnectionNumber(d), POLLIN, 0};
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            handle(&e);
        }
        if (done && done())
            return;
        const double left = until - now_ms();
        if (left <= 0)
            return;
        poll(&pfd, 1, left < 5 ? 1 : 5);
    }
}

/* --- keys ---------------------------------------------------------------------------- */

static void key_event(KeySym sym, int press)
{
    KeyCode code = XKeysymToKeycode(d, sym);
    if (code)
        XTestFakeKeyEvent(d, code, press, CurrentTime);
}

/* A key with modifiers (0, or ControlMask and/or ShiftMask), pressed and released. */
static void tap(KeySym sym, unsigned modifiers)
{
    if (modifiers & ControlMask)
        key_event(XK_Control_L, True);
    if (modifiers & ShiftMask)
        key_event(XK_Shift_L, True);
    key_event(sym, True);
    XFlush(d);
    key_event(sym, False);
    if (modifiers & ShiftMask)
        key_event(XK_Shift_L, False);
    if (modifiers & ControlMask)
        key_event(XK_Control_L, False);
    XFlush(d);
}

static void type_text(const char *text)
{
    for (const char *c = text; *c; ++c) {
        KeySym sym = (unsigned char)*c; /* Latin-1 keysyms are the character codes */
        KeyCode code = XKeysymToKeycode(d, sym);
        unsigned modifiers = 0;
        if (code && XkbKeycodeToKeysym(d, code, 0, 0) != sym)
            modifiers = ShiftMask;
        tap(sym, modifiers);
        pump(5, NULL);
    }
}

static void focus(Window w)
{
    XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    XFlush(d);
}

/* --- the steps ----------------------------------------------------------------------- */

static const char *pageName;
static int mainWindowFound(void)
{
    for (int i = 0; i < mappedCount; ++i) {
        if (title_has(mapped[i], mainTitle)) {
            watched = mapped[i];
            return 1;
        }
    }
    return 0;
}
static int countBefore;
static int newWindowMapped(void) { return mappedCount > countBefore; }
static int titleShowsPage(void) { return title_has(watched, pageName); }
static int pinged(void) { return pingAnswered >= 0; }
static int wideDamage(void) { return firstWideDamage >= 0; }
static int noPopup(void) { return popups == 0; }

static void send_ping(void)
{
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = watched;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "_NET_WM_PING", False);
    e.xclient.data.l[1] = pingStamp = 1000 + (long)(now_ms()) % 100000;
    e.xclient.data.l[2] = (long)watched;
    pingAnswered = -1;
    XSendEvent(d, watched, False, NoEventMask, &e);
    XFlush(d);
}

/* Ctrl+O, the path, Enter; -1 where a step did not happen. */
static void open_page(const char *path, double *titleMs, double *pingMs)
{
    *titleMs = *pingMs = -1;
    focus(watched);
    pump(100, NULL);
    countBefore = mappedCount;
    tap(XK_o, ControlMask);
    pump(5000, newWindowMapped);
    if (!newWindowMapped())
        return;
    Window dialog = mapped[mappedCount - 1];
    pump(500, NULL); /* the dialog reads its folder */
    focus(dialog);
    pump(100, NULL);
    type_text(path);
    pump(400, NULL);
    /* A completion list would take the Enter for itself. */
    if (popups > 0) {
        tap(XK_Escape, 0);
        pump(1000, noPopup);
        pump(100, NULL);
    }
    key_event(XK_Return, True);
    XFlush(d);
    const double t0 = now_ms();
    if (getenv("MAPWATCH_TRACE"))
        fprintf(stderr, "open enter %.1f\n", t0 - start);
    key_event(XK_Return, False);
    XFlush(d);
    pump(10000, titleShowsPage);
    if (!titleShowsPage())
        return;
    *titleMs = now_ms() - t0;
    send_ping();
    pump(10000, pinged);
    if (pinged())
        *pingMs = pingAnswered - t0;
}

/* A key press to the first repaint wider than a caret. */
static double key_to_repaint(KeySym move)
{
    focus(watched);
    tap(move, ControlMask);
    armed = 0;
    memset(&caret, 0, sizeof caret);
    maskCount = 0;
    pump(1200, NULL);
    firstWideDamage = -1;
    armed = 1;
    key_event(XK_x, True);
    XFlush(d);
    const double t0 = now_ms();
    if (getenv("MAPWATCH_TRACE"))
        fprintf(stderr, "key %.1f\n", t0 - start);
    key_event(XK_x, False);
    XFlush(d);
    pump(5000, wideDamage);
    armed = 0;
    return wideDamage() ? firstWideDamage - t0 : -1;
}

/* Ctrl+H to the last change of what a large area shows, before 1.5 s without one. */
static double preview_painted(void)
{
    focus(watched);
    pump(300, NULL);
    watchContent = 1;
    lastContentChange = -1;
    memset(&lastRect, 0, sizeof lastRect);
    tap(XK_h, ControlMask);
    const double t0 = now_ms();
    if (getenv("MAPWATCH_TRACE"))
        fprintf(stderr, "preview key %.1f\n", t0 - start);
    double seen = -1;
    while (now_ms() - t0 < 20000) {
        pump(1500, NULL);
        if (lastContentChange == seen && seen >= 0)
            break;
        seen = lastContentChange;
    }
    watchContent = 0;
    return seen >= 0 ? seen - t0 : -1;
}

int main(int argc, char **argv)
{
    const char *page = NULL;
    int preview = 0, live = 0, cycles = -1;
    int a = 1;
    for (; a < argc && argv[a][0] == '-'; ++a) {
        if (strcmp(argv[a], "-o") == 0 && a + 1 < argc)
            page = argv[++a];
        else if (strcmp(argv[a], "-p") == 0)
            preview = 1;
        else if (strcmp(argv[a], "-l") == 0)
            live = 1;
        else if (strcmp(argv[a], "-m") == 0 && a + 1 < argc)
            cycles = atoi(argv[++a]);
    }
    if (argc - a < 4) {
        fprintf(stderr, "usage: %s [-o PAGE] [-l] [-p] [-m CYCLES] TITLE_PART IDLE_MS TIMEOUT_MS PROGRAM [ARGS...]\n",
                argv[0]);
        return 2;
    }
    mainTitle = argv[a];
    const int idle = atoi(argv[a + 1]);
    const int timeout = atoi(argv[a + 2]);
    d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "no display\n");
        return 2;
    }
    int eventBase, errorBase, major, minor;
    if (!XDamageQueryExtension(d, &damageBase, &errorBase)
        || !XTestQueryExtension(d, &eventBase, &errorBase, &major, &minor)) {
        fprintf(stderr, "the X server lacks DAMAGE or XTEST\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    root = DefaultRootWindow(d);
    /* Qt answers a ping to the root window with the structure (not substructure) mask. */
    XSelectInput(d, root, SubstructureNotifyMask | StructureNotifyMask);
    XSync(d, False);

    start = now_ms();
    /* Lets a profile taken with the same clock (perf record -k CLOCK_MONOTONIC) be cut at
     * the moments this program reports. */
    if (getenv("MAPWATCH_TRACE"))
        fprintf(stderr, "start_mono_ms %.3f\n", start);
    pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(d));
        /* What the program prints is no part of the figures. */
        if (!getenv("MAPWATCH_TRACE")) {
            if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
                _exit(126);
        }
        execvp(argv[a + 3], argv + a + 3);
        _exit(127);
    }
    /* A window counts from the moment it is mapped, even when its title comes later. */
    double mapMs = -1;
    pump(timeout, mainWindowFound);
    if (watched != None) {
        for (int i = 0; i < mappedCount; ++i) {
            if (mapped[i] == watched)
                mapMs = mapTimes[i];
        }
        pump(idle, NULL);
    }
    const long hwm = status_kb(pid, "VmHWM");
    const long rss = status_kb(pid, "VmRSS");
    char extra[512] = "";
    if (watched != None && cycles >= 0) {
        int used = snprintf(extra, sizeof extra, " ten_kb=%ld", rss);
        for (int c = 1; c <= cycles && used < (int)sizeof extra - 64; ++c) {
            focus(watched);
            tap(XK_F4, 0);
            pump(idle, NULL);
            const long closed = status_kb(pid, "VmRSS");
            pid_t again = fork();
            if (again == 0) {
                close(ConnectionNumber(d));
                if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
                    _exit(126);
                execvp(argv[a + 3], argv + a + 3);
                _exit(127);
            }
            /* The hand-over ends that start; the pages open in the running one. */
            while (waitpid(again, NULL, WNOHANG) == 0)
                pump(50, NULL);
            pump(idle, NULL);
            used += snprintf(extra + used, sizeof extra - used, " closed%d_kb=%ld open%d_kb=%ld", c,
                             closed, c, status_kb(pid, "VmRSS"));
        }
    }
    if (watched != None && page) {
        const Window first = watched;
        pageName = strrchr(page, '/') ? strrchr(page, '/') + 1 : page;
        double titleMs, pingMs;
        open_page(page, &titleMs, &pingMs);
        /* On the root: what child windows draw counts too, and windows have no frame. */
        damage = XDamageCreate(d, root, XDamageReportRawRectangles);
        pump(1500, NULL); /* whatever the open left to do */
        if (live) {
            focus(watched);
            tap(XK_e, ControlMask | ShiftMask);
            pump(5000, NULL); /* the engine starts and shows the page */
        }
        if (!preview) {
            const double endMs = key_to_repaint(XK_End);
            const double startMs = key_to_repaint(XK_Home);
            snprintf(extra, sizeof extra, " title_ms=%.1f ping_ms=%.1f key_end_ms=%.1f key_start_ms=%.1f",
                     titleMs, pingMs, endMs, startMs);
        } else {
            /* What repaints on its own now is left out of the page's painting. */
            maskCount = 0;
            pump(1000, NULL);
            const double first1 = preview_painted();
            tap(XK_h, ControlMask); /* back to the document */
            pump(1500, NULL);
            const double second = preview_painted();
            /* A window re-created for the preview is a new one with the same title. */
            watched = None;
            mainWindowFound();
            int same = 1;
            for (int i = 0; i < mappedCount; ++i) {
                if (mapped[i] != first && title_has(mapped[i], mainTitle))
                    same = 0;
            }
            snprintf(extra, sizeof extra, " title_ms=%.1f preview1_ms=%.1f preview2_ms=%.1f same_window=%d",
                     titleMs, first1, second, same);
        }
    }
    kill(pid, SIGTERM);
    for (int i = 0; i < 50 && waitpid(pid, NULL, WNOHANG) == 0; ++i)
        usleep(100000);
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    XCloseDisplay(d);
    if (mapMs < 0) {
        fprintf(stderr, "window \"%s\" not mapped within %d ms\n", mainTitle, timeout);
        return 1;
    }
    printf("map_ms=%.1f hwm_kb=%ld rss_kb=%ld%s\n", mapMs, hwm, rss, extra);
    return 0;
}
