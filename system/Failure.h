#pragma once

#include <QString>
#include <stdexcept>

// A failure ends the run: it travels up as an exception to the driver's main, which prints its
// message once as "vandrel: MESSAGE" on standard error and exits with its status. The libraries
// throw these and never print.
class Failure : public std::runtime_error {
 public:
  // An empty message means that the failure has been reported already.
  Failure(int status, const QString& message)
      : std::runtime_error(message.toStdString()), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// A bad command line: exit status 2, and no file has been read or written.
class UsageError : public Failure {
 public:
  explicit UsageError(const QString& message) : Failure(2, message) {}
};

// A file that cannot be read or written, or a model that a command cannot process: exit status 1.
class RunError : public Failure {
 public:
  explicit RunError(const QString& message) : Failure(1, message) {}
};
