#include "xtest_input.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

namespace quarlen::test::xtest {
namespace {
using MotionFn = int (*)(Display*, int, int, int, unsigned long);
using ButtonFn = int (*)(Display*, unsigned int, Bool, unsigned long);
Display* g_display = nullptr;
MotionFn g_motion = nullptr;
ButtonFn g_button = nullptr;
}  // namespace

bool Open() {
  void* lib = dlopen("libXtst.so.6", RTLD_NOW);
  if (!lib) return false;
  g_motion = reinterpret_cast<MotionFn>(dlsym(lib, "XTestFakeMotionEvent"));
  g_button = reinterpret_cast<ButtonFn>(dlsym(lib, "XTestFakeButtonEvent"));
  g_display = XOpenDisplay(nullptr);
  return g_display && g_motion && g_button;
}

void MoveTo(int x, int y) {
  g_motion(g_display, -1, x, y, 0);
  XSync(g_display, False);
}

void LeftButton(bool press) {
  g_button(g_display, 1, press ? True : False, 0);
  XSync(g_display, False);
}

void Close() {
  if (g_display) XCloseDisplay(g_display);
  g_display = nullptr;
}
}  // namespace quarlen::test::xtest
