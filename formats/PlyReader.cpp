// PLY, read: ASCII or binary of either byte order. The vertex element gives x, y and z; the
// face element its list of vertex indices (vertex_indices or vertex_index) and maybe a colour
// (red, green and blue; whole types from 0 to 255, floating types from 0 to 1). Other elements
// are read past; edges count as lines, and the vertices of a file without faces as points.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TextInput.h"

namespace {

// A value for a message, whatever its size: "12345678", "7.5", "1e+19", "nan".
std::string numberText(double v) {
  char text[32];
  const bool whole = std::fabs(v) < 1e15 && v == std::floor(v);
  std::snprintf(text, sizeof text, whole ? "%.0f" : "%g", v);
  return text;
}

enum class Type { int8, uint8, int16, uint16, int32, uint32, float32, float64, none };

Type typeOf(std::string_view name) {
  static const struct {
    const char* name;
    Type type;
  } names[] = {{"char", Type::int8},      {"int8", Type::int8},       {"uchar", Type::uint8},
               {"uint8", Type::uint8},    {"short", Type::int16},     {"int16", Type::int16},
               {"ushort", Type::uint16},  {"uint16", Type::uint16},   {"int", Type::int32},
               {"int32", Type::int32},    {"uint", Type::uint32},     {"uint32", Type::uint32},
               {"float", Type::float32},  {"float32", Type::float32}, {"double", Type::float64},
               {"float64", Type::float64}};
  for (const auto& n : names) {
    if (name == n.name) return n.type;
  }
  return Type::none;
}

size_t sizeOf(Type t) {
  switch (t) {
    case Type::int8:
    case Type::uint8:
      return 1;
    case Type::int16:
    case Type::uint16:
      return 2;
    case Type::int32:
    case Type::uint32:
    case Type::float32:
      return 4;
    default:
      return 8;
  }
}

struct Property {
  std::string name;
  Type type;
  Type countType = Type::none;  // a list's count, or none for a single value
};

struct Element {
  std::string name;
  uint64_t count;
  std::vector<Property> properties;
};

// Values in the file's body, ASCII words or binary numbers of either order.
class Body {
 public:
  Body(std::string_view bytes, int format) : bytes_(bytes), format_(format) {}

  double value(Type type) {
    if (format_ == 0) return asciiValue();
    const size_t size = sizeOf(type);
    if (at_ > bytes_.size() || bytes_.size() - at_ < size) {
      throw FormatError{0, "the file ends before its data do"};
    }
    unsigned char raw[8];
    std::memcpy(raw, bytes_.data() + at_, size);
    at_ += size;
    if (format_ == 2) std::reverse(raw, raw + size);
    switch (type) {
      case Type::int8:
        return static_cast<int8_t>(raw[0]);
      case Type::uint8:
        return raw[0];
      case Type::int16:
        return read<int16_t>(raw);
      case Type::uint16:
        return read<uint16_t>(raw);
      case Type::int32:
        return read<int32_t>(raw);
      case Type::uint32:
        return read<uint32_t>(raw);
      case Type::float32:
        return read<float>(raw);
      default:
        return read<double>(raw);
    }
  }
  // ASCII: each element instance is a line of its own.
  void endOfRecord() {
    if (format_ == 0) {
      if (!word(line_, &wordAt_).empty()) fail("more values than the element has");
      lineLoaded_ = false;
    }
  }
  long line() const { return lineNumber_; }
  [[noreturn]] void fail(const std::string& what) const { throw FormatError{lineNumber_, what}; }
  [[noreturn]] void fail(const std::string& what, std::string_view word) const {
    throw FormatError{lineNumber_, what, std::string(word.substr(0, 200)), true};
  }

  size_t at_ = 0;
  long lineNumber_ = 0;

 private:
  template <class T>
  static double read(const unsigned char* raw) {
    T v;
    std::memcpy(&v, raw, sizeof v);
    return static_cast<double>(v);
  }
  double asciiValue() {
    while (!lineLoaded_) {
      if (at_ >= bytes_.size()) fail("the file ends before its data do");
      const size_t feed = bytes_.find('\n', at_);
      const size_t end = feed == std::string_view::npos ? bytes_.size() : feed;
      line_ = bytes_.substr(at_, end - at_);
      at_ = end + 1;
      ++lineNumber_;
      wordAt_ = 0;
      size_t probe = 0;
      lineLoaded_ = !word(line_, &probe).empty();
    }
    const std::string_view w = word(line_, &wordAt_);
    float v;
    if (w.empty()) fail("fewer values than the element has");
    if (!readFloat(w, &v)) fail("expected a number, found", w);
    return v;
  }

  std::string_view bytes_;
  int format_;  // 0 ASCII, 1 little-endian, 2 big-endian
  std::string_view line_;
  size_t wordAt_ = 0;
  bool lineLoaded_ = false;
};

struct Header {
  int format = -1;  // 0 ASCII, 1 little-endian, 2 big-endian
  std::vector<Element> elements;
  size_t bodyStart = 0;
  long lines = 0;
};

Property propertyOf(std::string_view line, size_t at, const TextInput& header) {
  std::string_view type = word(line, &at);
  Property p;
  if (type == "list") {
    p.countType = typeOf(word(line, &at));
    type = word(line, &at);
    if (p.countType == Type::none || p.countType == Type::float32 || p.countType == Type::float64) {
      header.fail("a list count that is not a whole number type");
    }
  }
  p.type = typeOf(type);
  if (p.type == Type::none) header.fail("unknown type", type);
  p.name = std::string(word(line, &at));
  return p;
}

Header readHeader(std::string_view bytes) {
  TextInput header(bytes);
  std::string_view line;
  if (!header.line(&line) || line != "ply")
    header.fail("not a PLY file: it does not start with 'ply'");
  Header h;
  while (true) {
    if (!header.line(&line)) header.fail("the header has no end_header");
    size_t at = 0;
    const std::string_view keyword = word(line, &at);
    if (keyword == "end_header") {
      h.bodyStart = static_cast<size_t>(line.data() + line.size() - bytes.data());
      while (h.bodyStart < bytes.size() && bytes[h.bodyStart] != '\n') ++h.bodyStart;
      ++h.bodyStart;
      break;
    }
    if (keyword == "format") {
      const std::string_view kind = word(line, &at);
      h.format = kind == "ascii"                  ? 0
                 : kind == "binary_little_endian" ? 1
                 : kind == "binary_big_endian"    ? 2
                                                  : -1;
      if (h.format < 0) header.fail("unknown format", kind);
    } else if (keyword == "element") {
      const std::string_view name = word(line, &at);
      long long count;
      const std::string_view w = word(line, &at);
      if (!readInteger(w, &count) || count < 0) header.fail("expected a count, found", w);
      h.elements.push_back({std::string(name), uint64_t(count), {}});
    } else if (keyword == "property") {
      if (h.elements.empty()) header.fail("a property before any element");
      h.elements.back().properties.push_back(propertyOf(line, at, header));
    } else if (keyword != "comment" && keyword != "obj_info" && !keyword.empty()) {
      header.fail("unexpected", keyword);
    }
  }
  if (h.format < 0) header.fail("the header has no format line");
  h.lines = header.lineNumber();
  return h;
}

// Reads one instance of an element: a vertex goes to the mesh's positions, a face to its faces.
class InstanceReader {
 public:
  InstanceReader(Body& body, Mesh& mesh, Skipped* skipped)
      : body_(body), mesh_(mesh), skipped_(skipped) {}

  void read(const Element& e) {
    const bool isVertex = e.name == "vertex", isFace = e.name == "face";
    float xyz[3] = {0, 0, 0};
    colours_ = 0;
    face_.clear();
    for (const Property& p : e.properties) {
      if (p.countType != Type::none) {
        list(p, isFace && (p.name == "vertex_indices" || p.name == "vertex_index"));
        continue;
      }
      const double v = body_.value(p.type);
      if (isVertex && (p.name == "x" || p.name == "y" || p.name == "z")) {
        const float f = static_cast<float>(v);
        if (f - f != 0) body_.fail("a coordinate that is not a finite float");
        xyz[p.name[0] - 'x'] = f;
      } else if (isFace && (p.name == "red" || p.name == "green" || p.name == "blue")) {
        rgb_[p.name == "red" ? 0 : p.name == "green" ? 1 : 2] = static_cast<float>(v);
        ++colours_;
        wholeColour_ = p.type != Type::float32 && p.type != Type::float64;
      }
    }
    body_.endOfRecord();
    if (isVertex) mesh_.positions.push_back({xyz[0], xyz[1], xyz[2]});
    if (!isFace) return;
    int32_t colour = Mesh::noColour;
    if (colours_ == 3) {
      const float scale = wholeColour_ ? 255.0f : 1.0f;
      colour = mesh_.colourIndex({rgb_[0] / scale, rgb_[1] / scale, rgb_[2] / scale});
    }
    addFaceOrSkip(mesh_, face_, colour, skipped_);
  }

 private:
  // A list property: the face's vertex indices, or values passed over.
  void list(const Property& p, bool indices) {
    const double count = body_.value(p.countType);
    if (!(count >= 0 && count <= 1e8)) body_.fail("a list of " + numberText(count) + " values");
    for (uint64_t k = 0; k < uint64_t(count); ++k) {
      const double v = body_.value(p.type);
      if (!indices) continue;
      if (!(v >= 0 && v < double(mesh_.positions.size()))) {
        body_.fail("no such vertex: " + numberText(v));
      }
      face_.push_back(static_cast<uint32_t>(v));
    }
  }

  Body& body_;
  Mesh& mesh_;
  Skipped* skipped_;
  std::vector<uint32_t> face_;
  float rgb_[3] = {0, 0, 0};
  int colours_ = 0;
  bool wholeColour_ = false;
};

}  // namespace

Mesh readPly(std::string_view bytes, Skipped* skipped) {
  const Header header = readHeader(bytes);
  Mesh mesh;
  Body body(bytes, header.format);
  body.at_ = header.bodyStart;
  body.lineNumber_ = header.lines;
  InstanceReader instance(body, mesh, skipped);
  bool faces = false;
  for (const Element& e : header.elements) {
    // Each instance must take some of the file, or a count alone could run for ever.
    if (e.properties.empty() && e.count > 0) {
      throw FormatError{header.lines, "an element without properties"};
    }
    faces = faces || e.name == "face";
    if (e.name == "edge") skipped->lines += e.count;
    for (uint64_t i = 0; i < e.count; ++i) instance.read(e);
  }
  if (!faces) skipped->points += mesh.positions.size();
  return mesh;
}
