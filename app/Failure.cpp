#include "Failure.h"

#include <cstdio>

void report(const QString& message) {
  std::fprintf(stderr, "vandrel: %s\n", message.toLocal8Bit().constData());
}
