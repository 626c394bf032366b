// OFF, read: the header word (OFF, or COFF, NOFF, CNOFF with colours or normals after each
// vertex), the counts, the vertices and the faces, each face maybe followed by its colour as
// three or four values from 0 to 1, or from 0 to 255 where any is above 1. '#' starts a
// comment.

#include <vector>

#include "TextInput.h"

namespace {

// The words of the file after comments, with the line each stands on.
class Words {
 public:
  explicit Words(std::string_view text) : in_(text) {}
  // The rest of the next line that has a word; false at the end.
  bool nextLine() {
    std::string_view l;
    while (in_.line(&l)) {
      l = l.substr(0, l.find('#'));
      at_ = 0;
      size_t probe = 0;
      if (!word(l, &probe).empty()) {
        line_ = l;
        return true;
      }
    }
    return false;
  }
  std::string_view next() { return word(line_, &at_); }
  // The next word, from the following lines where this one has no more.
  std::string_view nextAnywhere() {
    std::string_view w = next();
    while (w.empty() && nextLine()) w = next();
    return w;
  }
  const TextInput& input() const { return in_; }

 private:
  TextInput in_;
  std::string_view line_;
  size_t at_ = 0;
};

}  // namespace

Mesh readOff(std::string_view bytes, Skipped* skipped) {
  Mesh mesh;
  Words words(bytes);
  const TextInput& in = words.input();
  if (!words.nextLine()) in.fail("an empty file, not OFF");
  std::string_view header = words.next();
  int extra = 0;
  if (header == "COFF") {
    extra = 4;
  } else if (header == "NOFF") {
    extra = 3;
  } else if (header == "CNOFF" || header == "NCOFF") {
    extra = 7;
  } else if (header != "OFF") {
    in.fail("expected OFF, found", header);
  }
  long long counts[3];
  for (long long& c : counts) {
    const std::string_view w = words.nextAnywhere();
    if (!readInteger(w, &c) || c < 0 || c > 0x7FFFFFFF) in.fail("expected a count, found", w);
  }
  // Room for the vertices that the file can hold (each at least "0 0 0\n"), not for any count.
  mesh.positions.reserve(std::min(size_t(counts[0]), bytes.size() / 6));
  for (long long v = 0; v < counts[0]; ++v) {
    float xyz[3];
    for (float& value : xyz) {
      const std::string_view w = words.nextAnywhere();
      if (!readFloat(w, &value)) in.fail("expected a coordinate, found", w);
    }
    for (int e = 0; e < extra; ++e) words.next();
    mesh.positions.push_back({xyz[0], xyz[1], xyz[2]});
  }
  std::vector<uint32_t> face;
  for (long long f = 0; f < counts[1]; ++f) {
    if (!words.nextLine()) in.fail("the file ends before its faces do");
    long long size;
    std::string_view w = words.next();
    if (!readInteger(w, &size) || size < 0) in.fail("expected a vertex count, found", w);
    face.clear();
    for (long long i = 0; i < size; ++i) {
      long long index;
      w = words.next();
      if (!readInteger(w, &index)) in.fail("expected a vertex, found", w);
      if (index < 0 || index >= counts[0]) in.fail("no such vertex:", w);
      face.push_back(static_cast<uint32_t>(index));
    }
    float rgb[4];
    int values = 0;
    for (w = words.next(); !w.empty() && values < 4; w = words.next()) {
      if (!readFloat(w, &rgb[values++])) in.fail("expected a colour, found", w);
    }
    int32_t colour = Mesh::noColour;
    if (values >= 3) {
      const float scale = rgb[0] > 1 || rgb[1] > 1 || rgb[2] > 1 ? 255.0f : 1.0f;
      colour = mesh.colourIndex({rgb[0] / scale, rgb[1] / scale, rgb[2] / scale});
    }
    addFaceOrSkip(mesh, face, colour, skipped);
  }
  if (counts[1] == 0) skipped->points += size_t(counts[0]);
  return mesh;
}
