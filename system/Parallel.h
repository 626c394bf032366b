#pragma once

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

// Runs `first` on this thread and `second` on another, and returns when both are done. An
// exception from either is thrown here, the one from `first` if both throw. Where no thread
// can be started (a process limit, little memory), both run here, one after the other.
template <class First, class Second>
void inParallel(First&& first, Second&& second) {
  std::exception_ptr secondFailure;
  std::optional<std::thread> worker;
  try {
    worker.emplace([&]() {
      try {
        second();
      } catch (...) {
        secondFailure = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    first();
    second();
    return;
  }
  try {
    first();
  } catch (...) {
    worker->join();
    throw;
  }
  worker->join();
  if (secondFailure) std::rethrow_exception(secondFailure);
}
