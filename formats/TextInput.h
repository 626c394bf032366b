#pragma once

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Formats.h"

// Reading text formats: lines with their numbers, words separated by white space, and numbers
// read as the C locale spells them, whatever the process's locale.
class TextInput {
 public:
  explicit TextInput(std::string_view text) : rest_(text) {}

  // The next line without its line end; false at the end.
  bool line(std::string_view* line) {
    if (rest_.empty()) return false;
    const size_t feed = rest_.find('\n');
    *line = rest_.substr(0, feed);
    rest_.remove_prefix(feed == std::string_view::npos ? rest_.size() : feed + 1);
    if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
    ++lineNumber_;
    return true;
  }
  long lineNumber() const { return lineNumber_; }

  // Throws a FormatError at this line, echoing the word (the end of the line where it is empty).
  [[noreturn]] void fail(const std::string& what) const { throw FormatError{lineNumber_, what}; }
  [[noreturn]] void fail(const std::string& what, std::string_view word) const {
    if (word.empty()) fail(what + " the end of the line");
    throw FormatError{lineNumber_, what, std::string(word.substr(0, 200)), true};
  }

 private:
  std::string_view rest_;
  long lineNumber_ = 0;
};

inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// The next word of `line` from *at on; empty at the end.
inline std::string_view word(std::string_view line, size_t* at) {
  size_t i = *at;
  while (i < line.size() && isSpace(line[i])) ++i;
  const size_t start = i;
  while (i < line.size() && !isSpace(line[i])) ++i;
  *at = i;
  return line.substr(start, i - start);
}

// A finite float, spelled as a decimal number (a leading '+' allowed).
// A decimal too small for a float reads as 0 (or the nearest float); one too large is refused.
inline bool readFloat(std::string_view text, float* value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  if (error == std::errc::result_out_of_range && end == text.data() + text.size()) {
    const std::string copy(text);
    const double near = std::strtod(copy.c_str(), nullptr);
    if (!(std::fabs(near) < 1)) return false;
    *value = static_cast<float>(near);
    return true;
  }
  return error == std::errc() && end == text.data() + text.size() && *value - *value == 0;
}

// A whole number, maybe negative.
inline bool readInteger(std::string_view text, long long* value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}
