#include "Console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Failure.h"

void report(const QString& message) {
  std::fprintf(stderr, "vandrel: %s\n", message.toLocal8Bit().constData());
}

void print(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  errno = 0;
  if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
      std::fflush(stdout) != 0) {
    throw RunError(QStringLiteral("cannot write to standard output: ") +
                   QString::fromLocal8Bit(std::strerror(errno)));
  }
}
