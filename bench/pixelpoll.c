/* Waits for pixels of a colour on the X screen, grabbing a rectangle of the root window with
 * XGetImage as fast as it can. Kept apart from the benchmarks' python so that a poll costs a
 * fraction of a millisecond rather than a process start.
 *
 * Commands, one a line on stdin; answers on stdout:
 *   wait X Y W H R G B TOL COUNT TIMEOUT_MS [SAVE.ppm]
 *       until at least COUNT pixels of the rectangle are within TOL of (R,G,B) on every channel:
 *       "hit T N" (T: CLOCK_MONOTONIC seconds of the grab that matched, N: grabs made) or
 *       "timeout N". SAVE gets the last grab as a PPM picture.
 *   cost X Y W H N     the mean time of one grab over N grabs: "cost MS"
 *   key KEYSYM         presses and releases a key through the XTest extension, as a keyboard
 *                      would: "sent T" (T: CLOCK_MONOTONIC seconds just before the press)
 *   quit
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

/* libXtst without its development header: the one call used. */
extern int XTestFakeKeyEvent(Display*, unsigned int keycode, Bool isPress, unsigned long delay);

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static int channelOk(unsigned long v, int want, int tol) { return abs((int)v - want) <= tol; }

static unsigned long pixel(XImage* img, int x, int y)
{
    /* The usual 24-bit depth in 32-bit pixels is read directly: XGetPixel costs more than the grab. */
    if (img->bits_per_pixel == 32 && img->byte_order == LSBFirst)
        return ((const unsigned int*)(img->data + (long)y * img->bytes_per_line))[x];
    return XGetPixel(img, x, y);
}

static int matches(XImage* img, int w, int h, int r, int g, int b, int tol, int count)
{
    int found = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned long p = pixel(img, x, y);
            if (channelOk((p >> 16) & 0xff, r, tol) && channelOk((p >> 8) & 0xff, g, tol)
                && channelOk(p & 0xff, b, tol) && ++found >= count)
                return 1;
        }
    return 0;
}

static void save(XImage* img, int w, int h, const char* path)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return;
    fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            unsigned char rgb[3] = {(p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff};
            fwrite(rgb, 1, 3, f);
        }
    fclose(f);
}

int main(void)
{
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fputs("pixelpoll: no display\n", stderr);
        return 1;
    }
    Window root = DefaultRootWindow(d);
    setvbuf(stdout, NULL, _IOLBF, 0);
    char line[1024];
    while (fgets(line, sizeof line, stdin)) {
        int x, y, w, h, r, g, b, tol, count, n;
        double timeoutMs;
        char path[512] = "";
        if (sscanf(line, "wait %d %d %d %d %d %d %d %d %d %lf %511s", &x, &y, &w, &h, &r, &g, &b, &tol, &count,
                   &timeoutMs, path) >= 10) {
            const double deadline = now() + timeoutMs / 1000;
            int grabs = 0, hit = 0;
            double at = 0;
            XImage* img = NULL;
            while (!hit && now() < deadline) {
                if (img)
                    XDestroyImage(img);
                at = now();
                img = XGetImage(d, root, x, y, w, h, AllPlanes, ZPixmap);
                ++grabs;
                hit = img && matches(img, w, h, r, g, b, tol, count);
            }
            if (img && path[0])
                save(img, w, h, path);
            if (img)
                XDestroyImage(img);
            if (hit)
                printf("hit %.6f %d\n", at, grabs);
            else
                printf("timeout %d\n", grabs);
        } else if (sscanf(line, "cost %d %d %d %d %d", &x, &y, &w, &h, &n) == 5 && n > 0) {
            const double start = now();
            for (int i = 0; i < n; ++i) {
                XImage* img = XGetImage(d, root, x, y, w, h, AllPlanes, ZPixmap);
                /* the colour test too: it is part of every poll */
                if (img) {
                    matches(img, w, h, 1, 2, 3, 0, 1 << 30);
                    XDestroyImage(img);
                }
            }
            printf("cost %.3f\n", (now() - start) * 1000 / n);
        } else if (sscanf(line, "key %511s", path) == 1) {
            const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(path));
            const double at = now();
            XTestFakeKeyEvent(d, code, True, CurrentTime);
            XTestFakeKeyEvent(d, code, False, CurrentTime);
            XFlush(d);
            printf("sent %.6f\n", at);
        } else if (strncmp(line, "quit", 4) == 0) {
            break;
        } else {
            printf("error\n");
        }
    }
    XCloseDisplay(d);
    return 0;
}
