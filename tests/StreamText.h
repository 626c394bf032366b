#pragma once

#include <sstream>
#include <string>

// What a value's stream operator writes on a stream with default settings.
template <class T>
std::string text(const T& value) {
  std::ostringstream out;
  out << value;
  return out.str();
}
