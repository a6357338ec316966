#include "render/SwapControl.h"

#include <GL/glx.h>
#include <GL/glxext.h>

#include <cstring>

namespace {

// Extension names are whole words of a space-separated list; a prefix does not count.
bool offered(const char* extensions, const char* name) {
    if (extensions == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at != nullptr; at = std::strstr(at + length, name)) {
        const bool startsWord = at == extensions || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

template <typename Function>
Function lookUp(const char* name) {
    return reinterpret_cast<Function>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

// Asks for the swap interval through the first extension offered; false when none is.
bool setInterval(Display* display, GLXDrawable drawable, const char* extensions, int interval) {
    if (offered(extensions, "GLX_EXT_swap_control")) {
        if (auto set = lookUp<PFNGLXSWAPINTERVALEXTPROC>("glXSwapIntervalEXT")) {
            set(display, drawable, interval);
            return true;
        }
    }
    if (offered(extensions, "GLX_MESA_swap_control")) {
        if (auto set = lookUp<PFNGLXSWAPINTERVALMESAPROC>("glXSwapIntervalMESA")) {
            return set(static_cast<unsigned>(interval)) == 0;
        }
    }
    // The SGI extension cannot turn the wait off; it is only good for turning it on.
    if (interval > 0 && offered(extensions, "GLX_SGI_swap_control")) {
        if (auto set = lookUp<PFNGLXSWAPINTERVALSGIPROC>("glXSwapIntervalSGI")) {
            return set(interval) == 0;
        }
    }
    return false;
}

double refreshRate(Display* display, GLXDrawable drawable, const char* extensions) {
    if (!offered(extensions, "GLX_OML_sync_control")) {
        return 0.0;
    }
    auto rate = lookUp<PFNGLXGETMSCRATEOMLPROC>("glXGetMscRateOML");
    int32_t numerator = 0;
    int32_t denominator = 0;
    if (rate == nullptr || !rate(display, drawable, &numerator, &denominator) || denominator <= 0 ||
        numerator <= 0) {
        return 0.0;
    }
    return static_cast<double>(numerator) / denominator;
}

}  // namespace

SwapControl::SwapControl(bool vsync) {
    Display* const display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display == nullptr || drawable == 0) {
        return;
    }
    const char* const extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    waits = setInterval(display, drawable, extensions, vsync ? 1 : 0) && vsync;
    hz = refreshRate(display, drawable, extensions);
}
