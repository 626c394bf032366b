#include "ZipWriter.h"

#include <stdexcept>

namespace {

void little(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void zeros(std::string& s, size_t count) { s.append(count, '\0'); }

}  // namespace

ZipWriter::~ZipWriter() {
  if (deflating_) deflateEnd(&stream_);
}

void ZipWriter::put(std::string_view bytes) {
  out_.text(bytes);
  written_ += bytes.size();
  if (written_ > 0xFFFFFFFFu) throw std::length_error("a ZIP archive over 4 GiB");
}

void ZipWriter::begin(const std::string& name, bool deflate) {
  entries_.push_back({name, deflate, 0, 0, 0, static_cast<uint32_t>(written_)});
  std::string header;
  little(header, 0x04034B50, 4);
  little(header, 20, 2);      // version needed
  little(header, 0x0808, 2);  // data descriptor follows; UTF-8 name
  little(header, deflate ? 8 : 0, 2);
  little(header, 0, 4);  // time and date
  zeros(header, 12);     // checksum and sizes: in the descriptor
  little(header, static_cast<uint32_t>(name.size()), 2);
  little(header, 0, 2);
  header += name;
  put(header);
  entries_.back().crc = static_cast<uint32_t>(crc32(0, nullptr, 0));
  if (deflate) {
    stream_ = z_stream{};
    if (deflateInit2(&stream_, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw std::runtime_error("zlib cannot deflate");
    }
    deflating_ = true;
  }
}

void ZipWriter::write(std::string_view bytes) {
  Entry& e = entries_.back();
  e.crc = static_cast<uint32_t>(
      crc32(e.crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
  e.size += static_cast<uint32_t>(bytes.size());
  if (!e.deflated) {
    e.compressed += static_cast<uint32_t>(bytes.size());
    put(bytes);
    return;
  }
  buffer_.resize(1 << 16);
  stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream_.avail_in = static_cast<uInt>(bytes.size());
  do {
    stream_.next_out = reinterpret_cast<Bytef*>(buffer_.data());
    stream_.avail_out = static_cast<uInt>(buffer_.size());
    deflate(&stream_, Z_NO_FLUSH);
    const size_t made = buffer_.size() - stream_.avail_out;
    e.compressed += static_cast<uint32_t>(made);
    put(std::string_view(buffer_.data(), made));
  } while (stream_.avail_out == 0);
}

void ZipWriter::end() {
  Entry& e = entries_.back();
  if (e.deflated) {
    buffer_.resize(1 << 16);
    int status;
    do {
      stream_.next_in = nullptr;
      stream_.avail_in = 0;
      stream_.next_out = reinterpret_cast<Bytef*>(buffer_.data());
      stream_.avail_out = static_cast<uInt>(buffer_.size());
      status = deflate(&stream_, Z_FINISH);
      const size_t made = buffer_.size() - stream_.avail_out;
      e.compressed += static_cast<uint32_t>(made);
      put(std::string_view(buffer_.data(), made));
    } while (status != Z_STREAM_END);
    deflateEnd(&stream_);
    deflating_ = false;
  }
  std::string descriptor;
  little(descriptor, 0x08074B50, 4);
  little(descriptor, e.crc, 4);
  little(descriptor, e.compressed, 4);
  little(descriptor, e.size, 4);
  put(descriptor);
}

void ZipWriter::finish() {
  const auto start = static_cast<uint32_t>(written_);
  std::string directory;
  for (const Entry& e : entries_) {
    little(directory, 0x02014B50, 4);
    little(directory, 20, 2);  // made by
    little(directory, 20, 2);  // needed
    little(directory, 0x0808, 2);
    little(directory, e.deflated ? 8 : 0, 2);
    little(directory, 0, 4);
    little(directory, e.crc, 4);
    little(directory, e.compressed, 4);
    little(directory, e.size, 4);
    little(directory, static_cast<uint32_t>(e.name.size()), 2);
    zeros(directory, 12);  // extra, comment, disk, attributes
    little(directory, e.offset, 4);
    directory += e.name;
  }
  put(directory);
  std::string tail;
  little(tail, 0x06054B50, 4);
  little(tail, 0, 4);
  little(tail, static_cast<uint32_t>(entries_.size()), 2);
  little(tail, static_cast<uint32_t>(entries_.size()), 2);
  little(tail, static_cast<uint32_t>(directory.size()), 4);
  little(tail, start, 4);
  little(tail, 0, 2);
  put(tail);
}
