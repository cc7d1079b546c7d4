/* Starts a program and reports how long it took until its window with a given title
 * was mapped, then, after an idle pause, the program's peak and current resident memory.
 * Run on an X server without a window manager, where top-level windows map straight on
 * the root window.
 *
 *   mapwatch TITLE_PART IDLE_MS TIMEOUT_MS PROGRAM [ARGS...]
 *   -> map_ms=123.4 hwm_kb=45678 rss_kb=45000
 */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* The window's title, from _NET_WM_NAME or WM_NAME; the caller frees it. */
static char *title_of(Display *d, Window w)
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
static int ignore_errors(Display *d, XErrorEvent *e)
{
    (void)d;
    (void)e;
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: %s TITLE_PART IDLE_MS TIMEOUT_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const char *part = argv[1];
    const int idle = atoi(argv[2]);
    const int timeout = atoi(argv[3]);
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "no display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);

    const double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(d));
        execvp(argv[4], argv + 4);
        _exit(127);
    }
    /* A window counts from the moment it is mapped, even when its title comes later. */
    double mapped = -1;
    Window windows[256];
    double mapTimes[256];
    int count = 0;
    struct pollfd pfd = {ConnectionNumber(d), POLLIN, 0};
    while (mapped < 0 && now_ms() - start < timeout) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && count < 256) {
                windows[count] = e.xmap.window;
                mapTimes[count++] = now_ms() - start;
                XSelectInput(d, e.xmap.window, PropertyChangeMask);
            }
        }
        for (int i = 0; i < count && mapped < 0; ++i) {
            char *title = title_of(d, windows[i]);
            if (title && strstr(title, part))
                mapped = mapTimes[i];
            free(title);
        }
        if (mapped < 0)
            poll(&pfd, 1, 20);
    }
    if (mapped >= 0)
        usleep(idle * 1000);
    const long hwm = status_kb(pid, "VmHWM");
    const long rss = status_kb(pid, "VmRSS");
    kill(pid, SIGTERM);
    for (int i = 0; i < 50 && waitpid(pid, NULL, WNOHANG) == 0; ++i)
        usleep(100000);
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    XCloseDisplay(d);
    if (mapped < 0) {
        fprintf(stderr, "window \"%s\" not mapped within %d ms\n", part, timeout);
        return 1;
    }
    printf("map_ms=%.1f hwm_kb=%ld rss_kb=%ld\n", mapped, hwm, rss);
    return 0;
}
