/* A test-only LD_PRELOAD shim: with FAILWRITE_AT=N, the N-th call (from 1) of write() or
 * fdatasync() on a file other than standard output and standard error, or of rename(),
 * renameat() or linkat() (which put a finished file in place), fails with ENOSPC. Every later
 * call succeeds again. With FAILSYNC_AT=N, the N-th call of fdatasync() alone fails so. With
 * FAILTHREADS set, pthread_create() fails with EAGAIN. With SIGNAL_AT=N, the process sends
 * itself SIGTERM just before the N-th of those calls or of link(), which then goes ahead; with
 * PAUSE_AFTER_RENAME=S, each rename() is followed by S seconds of sleep. Calls are counted on
 * every thread. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

static long calls;
static long syncs;
static long signalled;

static void signalNow(void) {
  const char* at = getenv("SIGNAL_AT");
  if (at != NULL && __atomic_add_fetch(&signalled, 1, __ATOMIC_SEQ_CST) == atol(at)) {
    kill(getpid(), SIGTERM);
  }
}

static void pauseAfterRename(void) {
  const char* pause = getenv("PAUSE_AFTER_RENAME");
  if (pause != NULL) usleep((useconds_t)(atof(pause) * 1e6));
}

static int failNow(void) {
  const char* at = getenv("FAILWRITE_AT");
  return at != NULL && __atomic_add_fetch(&calls, 1, __ATOMIC_SEQ_CST) == atol(at);
}

static int failSyncNow(void) {
  const char* at = getenv("FAILSYNC_AT");
  return at != NULL && __atomic_add_fetch(&syncs, 1, __ATOMIC_SEQ_CST) == atol(at);
}

/* Defines NAME(PARAMETERS) to fail when WHEN and failNow() hold, else to call the real one. */
#define INTERPOSE(type, name, parameters, arguments, when)      \
  type name parameters {                                        \
    static type(*real) parameters;                              \
    if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, #name); \
    if (when) signalNow();                                      \
    if ((when) && failNow()) {                                  \
      errno = ENOSPC;                                           \
      return -1;                                                \
    }                                                           \
    return real arguments;                                      \
  }

INTERPOSE(ssize_t, write, (int fd, const void* buffer, size_t size), (fd, buffer, size), fd > 2)
int rename(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "rename");
  signalNow();
  if (failNow()) {
    errno = ENOSPC;
    return -1;
  }
  const int result = real(from, to);
  pauseAfterRename();
  return result;
}

int link(const char* from, const char* to) {
  static int (*real)(const char*, const char*);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "link");
  signalNow();
  return real(from, to);
}
INTERPOSE(int, renameat, (int fromDir, const char* from, int toDir, const char* to),
          (fromDir, from, toDir, to), 1)
INTERPOSE(int, linkat, (int fromDir, const char* from, int toDir, const char* to, int flags),
          (fromDir, from, toDir, to, flags), 1)

int fdatasync(int fd) {
  static int (*real)(int);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "fdatasync");
  if (fd > 2) signalNow();
  if (fd > 2 && (failSyncNow() | failNow())) { /* both counted */
    errno = ENOSPC;
    return -1;
  }
  return real(fd);
}

/* With FAILTHREADS set, no thread can be started, as under a low process limit. */
int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                   void* argument) {
  static int (*real)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "pthread_create");
  if (getenv("FAILTHREADS") != NULL) return EAGAIN;
  return real(thread, attributes, start, argument);
}
