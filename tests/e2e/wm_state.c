/* wm_state: keeps the WM_STATE property of the top-level windows on an X
 * screen that has no window manager (Xvfb as the tests run it), as a window
 * manager would: NormalState once a window is mapped, WithdrawnState once it
 * is unmapped. Nothing else: no frames, no placement, no focus. Wine 10 waits
 * for this confirmation of each map before it sends the next change of a
 * window's state, so without it a window it hides stays on the screen; Wine
 * 8 does not wait and is unaffected.
 *
 *   wm_state            runs on $DISPLAY until the server goes away
 *
 * Built by scripts/lib.sh (start_xvfb) against the system's libX11.so.6,
 * without the X headers: the few calls and the two event records it uses are
 * declared here with their Xlib layouts. */
#include <stdio.h>

typedef unsigned long Window;
typedef unsigned long Atom;
typedef struct _XDisplay Display;
typedef int Bool;

/* XMapEvent and XUnmapEvent share this head. */
typedef struct {
  int type;
  unsigned long serial;
  Bool send_event;
  Display* display;
  Window event;
  Window window;
  Bool override_redirect_or_from_configure;
} StructureEvent;

typedef union {
  int type;
  StructureEvent structure;
  long pad[24];
} XEvent;

typedef struct {
  int type;
  Display* display;
  unsigned long resourceid;
  unsigned long serial;
  unsigned char error_code;
  unsigned char request_code;
  unsigned char minor_code;
} XErrorEvent;

Display* XOpenDisplay(const char* name);
Window XDefaultRootWindow(Display* display);
int XSelectInput(Display* display, Window w, long mask);
int XNextEvent(Display* display, XEvent* event);
Atom XInternAtom(Display* display, const char* name, Bool only_if_exists);
int XChangeProperty(Display* display, Window w, Atom property, Atom type, int format, int mode,
                    const unsigned char* data, int count);
int XFlush(Display* display);
typedef int (*XErrorHandler)(Display*, XErrorEvent*);
XErrorHandler XSetErrorHandler(XErrorHandler handler);

enum { UnmapNotify = 18, MapNotify = 19, PropModeReplace = 0, WithdrawnState = 0, NormalState = 1 };
#define SubstructureNotifyMask (1L << 19)

/* A window that went away before its property was set: nothing to keep. */
static int ignore_error(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

static void set_state(Display* display, Atom wm_state, Window w, long state) {
  long value[2] = {state, 0}; /* the state and no icon window */
  XChangeProperty(display, w, wm_state, wm_state, 32, PropModeReplace, (const unsigned char*)value,
                  2);
  XFlush(display);
}

int main(void) {
  Display* display = XOpenDisplay(NULL);
  Window root;
  Atom wm_state;
  XEvent event;
  if (!display) {
    fprintf(stderr, "wm_state: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(ignore_error);
  root = XDefaultRootWindow(display);
  wm_state = XInternAtom(display, "WM_STATE", 0);
  XSelectInput(display, root, SubstructureNotifyMask);
  XFlush(display);
  for (;;) {
    XNextEvent(display, &event);
    /* Only the root's own children (event == root), not windows reported
     * again by a synthetic event sent to them. Override-redirect windows
     * (menus, tooltips) are not a window manager's to keep. */
    if (event.structure.event != root) continue;
    if (event.type == MapNotify && !event.structure.override_redirect_or_from_configure)
      set_state(display, wm_state, event.structure.window, NormalState);
    else if (event.type == UnmapNotify)
      set_state(display, wm_state, event.structure.window, WithdrawnState);
  }
}
