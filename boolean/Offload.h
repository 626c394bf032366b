#pragma once

#include <sys/types.h>

#include <functional>

#include "ExactSolid.h"
#include "Labels.h"

// A solid worked out in a child process, on the other core, while this process goes on with work
// of its own. The child has a copy of everything as it was when it was made (fork) and sends back
// the solid's triangles and the labels it split. Where no child can be made, or it ends without
// an answer, the work is done here when the solid is taken. Either way the solid arrives rebuilt
// from its triangles, so that what follows does not depend on where it was made.
class OffloadedSolid {
 public:
  using Work = std::function<ExactSolid(Labels*)>;
  // Starts `work` on `labels` (the child's copy of them).
  OffloadedSolid(Work work, Labels* labels);
  ~OffloadedSolid();  // ends a child whose solid was not taken
  OffloadedSolid(const OffloadedSolid&) = delete;
  OffloadedSolid& operator=(const OffloadedSolid&) = delete;

  // The solid, once it is made; the faces it split are marked in `labels`. The work's failure is
  // thrown here.
  ExactSolid take(Labels* labels);

 private:
  void end();

  Work work_;
  pid_t child_ = -1;
  int from_ = -1;  // the pipe the child answers through
};
