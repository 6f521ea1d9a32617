// Presenting part of a frame: glXCopySubBufferMESA copies a rectangle of the
// back buffer to the window and leaves the rest of the window as it is. Mesa
// offers it with every driver (its software renderer included); where it is
// missing the caller presents whole frames.
#include "platform/window.h"

#include <GL/glx.h>

#include <cstring>

namespace ludexa {
namespace {

using CopySubBuffer = void (*)(Display*, GLXDrawable, int, int, int, int);

CopySubBuffer copySubBuffer(Display* d) {
    // Looked up once a context is current (the extension list needs its display).
    static CopySubBuffer found = nullptr;
    static bool looked = false;
    if (looked || d == nullptr) return found;
    looked = true;
    const char* extensions = glXQueryExtensionsString(d, DefaultScreen(d));
    if (extensions == nullptr || std::strstr(extensions, "GLX_MESA_copy_sub_buffer") == nullptr) return nullptr;
    found = reinterpret_cast<CopySubBuffer>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
    return found;
}

}  // namespace

bool canPresentRegion() { return copySubBuffer(glXGetCurrentDisplay()) != nullptr; }

bool presentRegion(const ScreenRect& region, int windowHeight) {
    Display* d = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    const CopySubBuffer copy = copySubBuffer(d);
    if (copy == nullptr || drawable == 0 || region.width <= 0 || region.height <= 0) return false;
    glFlush();  // what was drawn reaches the back buffer before it is copied
    // GL counts rows from the bottom of the window.
    copy(d, drawable, region.x, windowHeight - region.y - region.height, region.width, region.height);
    return true;
}

}  // namespace ludexa
