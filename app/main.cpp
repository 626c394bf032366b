#include <exception>
#include <new>

#include "Console.h"
#include "Failure.h"
#include "Interrupt.h"
#include "Vandrel.h"

int main(int argc, char** argv) {
  cleanUpOnInterrupt();
  try {
    Vandrel run(argc, argv);
  } catch (const Failure& failure) {
    if (*failure.what() != '\0') report(QString::fromStdString(failure.what()));
    return failure.status();
  } catch (const std::bad_alloc&) {
    report(QStringLiteral("out of memory"));
    return 1;
  } catch (const std::exception& error) {
    report(QStringLiteral("internal error: ") + QString::fromLocal8Bit(error.what()));
    return 1;
  } catch (...) {
    report(QStringLiteral("internal error: unknown exception"));
    return 1;
  }
  return 0;
}
