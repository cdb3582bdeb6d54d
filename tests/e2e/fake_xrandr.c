/* A stand-in libXrandr.so.2 for the two-monitor case: it reports the heads
 * named in $NORVA_XRANDR_HEADS ("WxH+X+Y,WxH+X+Y", the first one is the
 * primary) as RandR 1.4 outputs, each on a CRTC of its own, and hands every
 * other call to the real library ($NORVA_REAL_XRANDR). Xvfb's RandR has one
 * output; Wine 10 takes each monitor's place from the display settings,
 * which it reads from RandR's CRTCs (through Xinerama alone it knows the
 * primary's only). Wine loads libXrandr.so.2 by name, so LD_LIBRARY_PATH
 * brings this one in. Built without the X headers: the records are declared
 * here with their Xrandr.h layouts. */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef unsigned long XID, Time, Window;
typedef XID RROutput, RRCrtc, RRMode, RRProvider;
typedef unsigned short Rotation, Connection, SubpixelOrder;
typedef struct _XDisplay Display;

typedef struct {
  RRMode id;
  unsigned int width, height;
  unsigned long dotClock;
  unsigned int hSyncStart, hSyncEnd, hTotal, hSkew, vSyncStart, vSyncEnd, vTotal;
  char* name;
  unsigned int nameLength;
  unsigned long modeFlags;
} XRRModeInfo;

typedef struct {
  Time timestamp, configTimestamp;
  int ncrtc;
  RRCrtc* crtcs;
  int noutput;
  RROutput* outputs;
  int nmode;
  XRRModeInfo* modes;
} XRRScreenResources;

typedef struct {
  Time timestamp;
  RRCrtc crtc;
  char* name;
  int nameLen;
  unsigned long mm_width, mm_height;
  Connection connection;
  SubpixelOrder subpixel_order;
  int ncrtc;
  RRCrtc* crtcs;
  int nclone;
  RROutput* clones;
  int nmode, npreferred;
  RRMode* modes;
} XRROutputInfo;

typedef struct {
  Time timestamp;
  int x, y;
  unsigned int width, height;
  RRMode mode;
  Rotation rotation;
  int noutput;
  RROutput* outputs;
  Rotation rotations;
  int npossible;
  RROutput* possible;
} XRRCrtcInfo;

typedef struct {
  Time timestamp;
  int nproviders;
  RRProvider* providers;
} XRRProviderResources;

enum { MaxHeads = 4, CrtcBase = 0x7e0100, OutputBase = 0x7e0200, ModeBase = 0x7e0300 };

static struct { int w, h, x, y; } heads[MaxHeads];
static int head_count = -1;

static void read_heads(void) {
  const char* spec = getenv("NORVA_XRANDR_HEADS");
  int used;
  if (head_count >= 0) return;
  head_count = 0;
  while (spec && head_count < MaxHeads &&
         sscanf(spec, "%dx%d+%d+%d%n", &heads[head_count].w, &heads[head_count].h,
                &heads[head_count].x, &heads[head_count].y, &used) == 4) {
    head_count++;
    spec += used;
    if (*spec != ',') break;
    spec++;
  }
}

/* The real library's function NAME. */
static void* real(const char* name) {
  static void* lib;
  const char* path = getenv("NORVA_REAL_XRANDR");
  if (!lib && path) lib = dlopen(path, RTLD_NOW | RTLD_GLOBAL);
  return lib ? dlsym(lib, name) : NULL;
}

#define FORWARD(ret, name, params, args) \
  ret name params {                      \
    ret(*f) params = real(#name);        \
    return f ? f args : (ret)0;          \
  }

FORWARD(int, XRRQueryExtension, (Display * d, int* e, int* r), (d, e, r))
FORWARD(int, XRRQueryVersion, (Display * d, int* ma, int* mi), (d, ma, mi))
FORWARD(int, XRRGetScreenSizeRange, (Display * d, Window w, int* a, int* b, int* c, int* e),
        (d, w, a, b, c, e))
FORWARD(void*, XRRGetScreenInfo, (Display * d, Window w), (d, w))
FORWARD(unsigned short, XRRConfigCurrentConfiguration, (void* c, Rotation* r), (c, r))
FORWARD(short, XRRConfigCurrentRate, (void* c), (c))
FORWARD(short*, XRRRates, (Display * d, int s, int i, int* n), (d, s, i, n))
FORWARD(void*, XRRSizes, (Display * d, int s, int* n), (d, s, n))

void XRRFreeScreenConfigInfo(void* c) {
  void (*f)(void*) = real("XRRFreeScreenConfigInfo");
  if (f) f(c);
}

void XRRSelectInput(Display* d, Window w, int mask) {
  void (*f)(Display*, Window, int) = real("XRRSelectInput");
  if (f) f(d, w, mask);
}

/* The monitors are fixed: a change of mode or size is accepted and ignored. */
int XRRSetScreenConfig(Display* d, void* c, Window w, int s, Rotation r, Time t) {
  (void)d, (void)c, (void)w, (void)s, (void)r, (void)t;
  return 0;
}
int XRRSetScreenConfigAndRate(Display* d, void* c, Window w, int s, Rotation r, short rate,
                              Time t) {
  (void)d, (void)c, (void)w, (void)s, (void)r, (void)rate, (void)t;
  return 0;
}
int XRRSetCrtcConfig(Display* d, XRRScreenResources* res, RRCrtc crtc, Time t, int x, int y,
                     RRMode mode, Rotation r, RROutput* outputs, int n) {
  (void)d, (void)res, (void)crtc, (void)t, (void)x, (void)y, (void)mode, (void)r, (void)outputs,
      (void)n;
  return 0;
}
void XRRSetScreenSize(Display* d, Window w, int width, int height, int mmw, int mmh) {
  (void)d, (void)w, (void)width, (void)height, (void)mmw, (void)mmh;
}

/* No EDID: the call fails as it does for an output without one. */
int XRRGetOutputProperty(Display* d, RROutput o, unsigned long p, long off, long len, int del,
                         int pending, unsigned long req, unsigned long* type, int* format,
                         unsigned long* n, unsigned long* after, unsigned char** prop) {
  (void)d, (void)o, (void)p, (void)off, (void)len, (void)del, (void)pending, (void)req;
  *type = 0, *format = 0, *n = 0, *after = 0, *prop = NULL;
  return 1;
}

XRRScreenResources* XRRGetScreenResources(Display* d, Window w) {
  XRRScreenResources* res;
  int i;
  (void)d, (void)w;
  read_heads();
  res = calloc(1, sizeof *res + head_count * (2 * sizeof(XID) + sizeof(XRRModeInfo)));
  if (!res) return NULL;
  res->modes = (XRRModeInfo*)(res + 1);
  res->crtcs = (RRCrtc*)(res->modes + head_count);
  res->outputs = res->crtcs + head_count;
  res->ncrtc = res->noutput = res->nmode = head_count;
  for (i = 0; i < head_count; i++) {
    XRRModeInfo* m = &res->modes[i];
    res->crtcs[i] = CrtcBase + i;
    res->outputs[i] = OutputBase + i;
    m->id = ModeBase + i;
    m->width = heads[i].w;
    m->height = heads[i].h;
    m->hTotal = heads[i].w;
    m->vTotal = heads[i].h;
    m->dotClock = 60ul * heads[i].w * heads[i].h;
    m->name = "";
  }
  return res;
}

XRRScreenResources* XRRGetScreenResourcesCurrent(Display* d, Window w) {
  return XRRGetScreenResources(d, w);
}

void XRRFreeScreenResources(XRRScreenResources* res) { free(res); }

XRRCrtcInfo* XRRGetCrtcInfo(Display* d, XRRScreenResources* res, RRCrtc crtc) {
  int i = (int)(crtc - CrtcBase);
  XRRCrtcInfo* info;
  (void)d, (void)res;
  read_heads();
  if (i < 0 || i >= head_count || !(info = calloc(1, sizeof *info + 2 * sizeof(RROutput))))
    return NULL;
  info->outputs = (RROutput*)(info + 1);
  info->possible = info->outputs + 1;
  info->x = heads[i].x;
  info->y = heads[i].y;
  info->width = heads[i].w;
  info->height = heads[i].h;
  info->mode = ModeBase + i;
  info->rotation = info->rotations = 1; /* RR_Rotate_0 */
  info->noutput = info->npossible = 1;
  info->outputs[0] = info->possible[0] = OutputBase + i;
  return info;
}

void XRRFreeCrtcInfo(XRRCrtcInfo* info) { free(info); }

XRROutputInfo* XRRGetOutputInfo(Display* d, XRRScreenResources* res, RROutput output) {
  int i = (int)(output - OutputBase);
  XRROutputInfo* info;
  (void)d, (void)res;
  read_heads();
  if (i < 0 || i >= head_count || !(info = calloc(1, sizeof *info + 2 * sizeof(XID) + 16)))
    return NULL;
  info->crtcs = (RRCrtc*)(info + 1);
  info->modes = info->crtcs + 1;
  info->name = (char*)(info->modes + 1);
  info->nameLen = snprintf(info->name, 16, "NORVA-%d", i);
  info->crtc = info->crtcs[0] = CrtcBase + i;
  info->ncrtc = info->nmode = info->npreferred = 1;
  info->modes[0] = ModeBase + i;
  info->connection = 0; /* RR_Connected */
  info->mm_width = heads[i].w / 4;
  info->mm_height = heads[i].h / 4;
  return info;
}

void XRRFreeOutputInfo(XRROutputInfo* info) { free(info); }

RROutput XRRGetOutputPrimary(Display* d, Window w) {
  (void)d, (void)w;
  return OutputBase;
}

/* No providers: Wine then looks for its adapters in the screen resources. */
XRRProviderResources* XRRGetProviderResources(Display* d, Window w) {
  (void)d, (void)w;
  return calloc(1, sizeof(XRRProviderResources));
}

void XRRFreeProviderResources(XRRProviderResources* res) { free(res); }

void* XRRGetProviderInfo(Display* d, XRRScreenResources* res, RRProvider p) {
  (void)d, (void)res, (void)p;
  return NULL;
}

void XRRFreeProviderInfo(void* info) { free(info); }
