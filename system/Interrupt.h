#pragma once

// An interrupt (SIGINT, SIGTERM, SIGHUP or SIGQUIT) leaves no scratch file: files being
// written are named here while they have a name in the file system, and the handler removes
// them before it ends the process by the signal, as the signal would have ended it.
//
// Within a HeldInterrupts scope (on the main thread, where files are put in place) a signal
// waits for the scope to end, on whichever thread it arrives, so that a scratch file's making and
// naming, or a group of renames, is done whole or not at all.

// Installs the handlers; once, on the main thread, at the start of the program.
void cleanUpOnInterrupt();

class HeldInterrupts {
 public:
  HeldInterrupts();
  ~HeldInterrupts();  // a signal that came meanwhile takes effect here
  HeldInterrupts(const HeldInterrupts&) = delete;
  HeldInterrupts& operator=(const HeldInterrupts&) = delete;
};

// Names a scratch file for the handler to remove; the number given back takes it off again.
// Call both within a HeldInterrupts scope. -1 where all places are taken (the file is then
// left to the caller alone).
int keepScratchName(const char* path);
void dropScratchName(int slot);
