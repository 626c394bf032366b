/* A test-only LD_PRELOAD shim: with FAILWRITE_AT=N, the N-th call (from 1) of write() to a
 * file other than standard output and standard error, or of rename(), renameat() or linkat()
 * (which put a finished file in place), fails with ENOSPC or EIO.
 * Every later call succeeds again. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static long calls;

static int failNow(void) {
  const char* at = getenv("FAILWRITE_AT");
  return at != NULL && ++calls == atol(at);
}

ssize_t write(int fd, const void* buffer, size_t size) {
  static ssize_t (*real)(int, const void*, size_t);
  if (real == NULL) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  if (fd > 2 && failNow()) {
    errno = ENOSPC;
    return -1;
  }
  return real(fd, buffer, size);
}

int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  if (failNow()) {
    errno = EIO;
    return -1;
  }
  return real(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
  static int (*real)(int, const char*, int, const char*, int);
  if (real == NULL) real = (int (*)(int, const char*, int, const char*, int))dlsym(RTLD_NEXT, "linkat");
  if (failNow()) {
    errno = EIO;
    return -1;
  }
  return real(fromDir, from, toDir, to, flags);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  static int (*real)(int, const char*, int, const char*);
  if (real == NULL) real = (int (*)(int, const char*, int, const char*))dlsym(RTLD_NEXT, "renameat");
  if (failNow()) {
    errno = EIO;
    return -1;
  }
  return real(fromDir, from, toDir, to);
}
