/* A stand-in for the machine's /proc/meminfo, loaded into one Wine process
 * with LD_PRELOAD: Wine reads the memory figures it reports to programs
 * (GlobalMemoryStatusEx) from that file with fopen; this gives it the file
 * named by NORVA_MEMINFO instead, so a case can hold free memory under a
 * threshold on a machine with more memory than a test may take. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *swapped(const char *path) {
  const char *alt = getenv("NORVA_MEMINFO");
  return alt != NULL && path != NULL && strcmp(path, "/proc/meminfo") == 0 ? alt : path;
}

FILE *fopen(const char *path, const char *mode) {
  static FILE *(*real)(const char *, const char *);
  if (real == NULL) real = (FILE * (*)(const char *, const char *)) dlsym(RTLD_NEXT, "fopen");
  return real(swapped(path), mode);
}

FILE *fopen64(const char *path, const char *mode) {
  static FILE *(*real)(const char *, const char *);
  if (real == NULL) real = (FILE * (*)(const char *, const char *)) dlsym(RTLD_NEXT, "fopen64");
  return real(swapped(path), mode);
}
