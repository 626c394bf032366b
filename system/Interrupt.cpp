#include "Interrupt.h"

#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

constexpr int slots = 16;
// Fixed room, so that the handler reads no memory that may be freed or moved.
char scratch[slots][PATH_MAX];
std::atomic<bool> taken[slots];

// The main thread does all that is held; a signal that comes to another thread is passed on to
// it, so that the handler never runs beside a held scope.
pthread_t mainThread;
std::atomic<int> holders{0};
std::atomic<int> pending{0};

const int handled[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

[[noreturn]] void cleanUpAndEnd(int signal) {
  for (int i = 0; i < slots; ++i) {
    if (taken[i].load()) ::unlink(scratch[i]);
  }
  ::signal(signal, SIG_DFL);
  ::raise(signal);
  // The signal is blocked on this thread when it comes from the handler: let it in.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  _exit(128 + signal);
}

extern "C" void onInterrupt(int signal) {
  if (pthread_equal(pthread_self(), mainThread) == 0) {
    pthread_kill(mainThread, signal);
    return;
  }
  if (holders.load() > 0) {
    pending.store(signal);
    return;
  }
  cleanUpAndEnd(signal);
}

}  // namespace

void cleanUpOnInterrupt() {
  mainThread = pthread_self();
  for (int signal : handled) {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    for (int other : handled) sigaddset(&action.sa_mask, other);
    action.sa_flags = SA_RESTART;
    struct sigaction before {};
    // A signal ignored when the program started (nohup, a shell's background job) stays so.
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    sigaction(signal, &action, nullptr);
  }
}

HeldInterrupts::HeldInterrupts() { holders.fetch_add(1); }

HeldInterrupts::~HeldInterrupts() {
  if (holders.fetch_sub(1) == 1) {
    const int signal = pending.exchange(0);
    if (signal != 0) cleanUpAndEnd(signal);
  }
}

int keepScratchName(const char* path) {
  if (std::strlen(path) >= PATH_MAX) return -1;
  for (int i = 0; i < slots; ++i) {
    if (taken[i].load()) continue;
    std::strcpy(scratch[i], path);
    taken[i].store(true);
    return i;
  }
  return -1;
}

void dropScratchName(int slot) {
  if (slot >= 0 && slot < slots) taken[slot].store(false);
}
