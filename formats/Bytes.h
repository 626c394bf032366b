#pragma once

#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

// The shortest text that reads back as the same float, at `out`, which has room for 32 bytes;
// returns its end. The one way the formats write a coordinate or a colour value.
inline char* shortestText(float value, char* out) {
  return std::to_chars(out, out + 32, value).ptr;
}

// Bytes out: a writer collects what a format writes and hands it on in chunks of about a
// megabyte, so that a large file never stands whole in memory.
using Sink = std::function<void(std::string_view)>;

class ByteWriter {
 public:
  explicit ByteWriter(Sink sink) : sink_(std::move(sink)) { buffer_.reserve(chunk + 256); }
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;
  ~ByteWriter() = default;

  void text(std::string_view s) {
    if (s.size() >= chunk) {
      flush();
      sink_(s);
      return;
    }
    buffer_.append(s);
    if (buffer_.size() >= chunk) flush();
  }
  // The shortest text that reads back as the same float.
  void number(float value) {
    char digits[32];
    const char* end = shortestText(value, digits);
    text(std::string_view(digits, static_cast<size_t>(end - digits)));
  }
  void number(uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text(std::string_view(digits, static_cast<size_t>(end - digits)));
  }
  // Little-endian binary values (this machine's order).
  template <class T>
  void binary(T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    text(std::string_view(bytes, sizeof(T)));
  }
  // Hands on what is collected; call it last.
  void flush() {
    if (!buffer_.empty()) sink_(buffer_);
    buffer_.clear();
  }

 private:
  static constexpr size_t chunk = 1 << 20;
  Sink sink_;
  std::string buffer_;
};
