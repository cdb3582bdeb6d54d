/* A stand-in libXinerama.so.1 for the two-monitor case: it reports the heads
 * named in $NORVA_XINERAMA_HEADS ("WxH+X+Y,WxH+X+Y,...", the first one is the
 * primary) for any display. Xvfb alone cannot give Wine two monitors: its own
 * Xinerama heads all start at 0,0 and its RandR has one output. Wine loads
 * libXinerama.so.1 by name, so LD_LIBRARY_PATH brings this one in. */
#include <stdio.h>
#include <stdlib.h>

typedef struct {
  int screen_number;
  short x_org, y_org, width, height;
} XineramaScreenInfo;

int XineramaQueryExtension(void *display, int *event_base, int *error_base) {
  (void)display;
  *event_base = 0;
  *error_base = 0;
  return 1;
}

int XineramaQueryVersion(void *display, int *major, int *minor) {
  (void)display;
  *major = 1;
  *minor = 1;
  return 1;
}

int XineramaIsActive(void *display) {
  (void)display;
  return 1;
}

/* Freed by the caller with XFree, which is free(). */
XineramaScreenInfo *XineramaQueryScreens(void *display, int *number) {
  const char *spec = getenv("NORVA_XINERAMA_HEADS");
  XineramaScreenInfo *heads = calloc(8, sizeof *heads);
  int n = 0, w, h, x, y, used;
  (void)display;
  while (heads && spec && n < 8 && sscanf(spec, "%dx%d+%d+%d%n", &w, &h, &x, &y, &used) == 4) {
    heads[n].screen_number = n;
    heads[n].x_org = (short)x;
    heads[n].y_org = (short)y;
    heads[n].width = (short)w;
    heads[n].height = (short)h;
    n++;
    spec += used;
    if (*spec != ',') break;
    spec++;
  }
  *number = n;
  return heads;
}
