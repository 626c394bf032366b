#pragma once

#include <zlib.h>

#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"

// A ZIP archive written as it goes: each entry stored or deflated as its bytes arrive, its sizes
// and checksum in a data descriptor after it, and the central directory at the end. Entries
// and the archive are limited to 4 GiB (no ZIP64).
class ZipWriter {
 public:
  explicit ZipWriter(ByteWriter& out) : out_(out) {}
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  void begin(const std::string& name, bool deflate);
  void write(std::string_view bytes);
  void end();
  // Writes the central directory; the archive is complete.
  void finish();

 private:
  struct Entry {
    std::string name;
    bool deflated;
    uint32_t crc, compressed, size, offset;
  };
  void put(std::string_view bytes);

  ByteWriter& out_;
  std::vector<Entry> entries_;
  z_stream stream_{};
  bool deflating_ = false;
  uint64_t written_ = 0;
  std::string buffer_;
};
