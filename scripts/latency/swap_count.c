// Preloaded into a GL program: counts its buffer swaps (GLX or EGL) in the file named by
// SWAP_COUNT_FILE, three 64-bit numbers kept in a shared mapping: the CLOCK_MONOTONIC time
// of the first swap and of the last (nanoseconds) and the count. A mapping costs no system
// call per frame and survives a process that ends with _exit.
#define _GNU_SOURCE
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

static volatile int64_t* Counter(void) {
    static volatile int64_t* counter;
    static int tried;
    if (tried)
        return counter;
    tried = 1;
    const char* path = getenv("SWAP_COUNT_FILE");
    const int fd = path ? open(path, O_RDWR | O_CREAT, 0644) : -1;
    if (fd < 0 || ftruncate(fd, 3 * sizeof(int64_t)) != 0)
        return NULL;
    void* map = mmap(NULL, 3 * sizeof(int64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    counter = map == MAP_FAILED ? NULL : map;
    return counter;
}

static void Count(void) {
    volatile int64_t* counter = Counter();
    if (!counter)
        return;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t ns = (int64_t)now.tv_sec * 1000000000LL + now.tv_nsec;
    if (counter[2] == 0)
        counter[0] = ns;
    counter[1] = ns;
    counter[2] = counter[2] + 1;
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    static void (*real)(Display*, GLXDrawable);
    if (!real)
        real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    Count();
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface) {
    static EGLBoolean (*real)(EGLDisplay, EGLSurface);
    if (!real)
        real = (EGLBoolean(*)(EGLDisplay, EGLSurface))dlsym(RTLD_NEXT, "eglSwapBuffers");
    const EGLBoolean swapped = real(display, surface);
    Count();
    return swapped;
}
