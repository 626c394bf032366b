#pragma once

#include <exception>
#include <thread>

// Runs `first` on this thread and `second` on another, and returns when both are done. An
// exception from either is thrown here, the one from `first` if both throw.
template <class First, class Second>
void inParallel(First&& first, Second&& second) {
  std::exception_ptr secondFailure;
  std::thread worker([&]() {
    try {
      second();
    } catch (...) {
      secondFailure = std::current_exception();
    }
  });
  try {
    first();
  } catch (...) {
    worker.join();
    throw;
  }
  worker.join();
  if (secondFailure) std::rethrow_exception(secondFailure);
}
