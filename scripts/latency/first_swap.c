// Preloaded into a GL program: writes the CLOCK_MONOTONIC time of its first buffer swap
// (nanoseconds, GLX or EGL) to the file named by LATENCY_SWAP_FILE, then swaps as usual.
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void MarkFirstSwap(void) {
    static int done;
    if (done)
        return;
    done = 1;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* path = getenv("LATENCY_SWAP_FILE");
    if (!path)
        return;
    // Written aside and renamed: whoever sees the file sees the whole time in it.
    char part[4096];
    snprintf(part, sizeof part, "%s.part", path);
    FILE* file = fopen(part, "w");
    if (file) {
        fprintf(file, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        if (fclose(file) == 0)
            rename(part, path);
    }
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    if (!real)
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    MarkFirstSwap();
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*real)(EGLDisplay, EGLSurface);
    if (!real)
        real = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    const EGLBoolean swapped = real(display, surface);
    MarkFirstSwap();
    return swapped;
}
