// 3MF, read: the model part of the package (found through its relationships), with its base
// materials and colour groups, objects of meshes and of components, and the build items that
// place them (transforms applied). Each triangle is one face, in its colour where it has one.

#include <zip.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "TextInput.h"
#include "VertexTable.h"
#include "XmlScanner.h"

namespace {

using Transform = std::array<double, 12>;  // 3MF's m00 m01 m02 m10 ... m32, row vectors
const Transform identity{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

Transform compose(const Transform& a, const Transform& b) {  // a first, then b
  Transform m{};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) {
      double sum = r == 3 ? b[size_t(9 + c)] : 0;
      for (int k = 0; k < 3; ++k) sum += a[size_t(r * 3 + k)] * b[size_t(k * 3 + c)];
      m[size_t(r * 3 + c)] = sum;
    }
  }
  return m;
}

struct Triangle {
  uint32_t v[3];
  int32_t colour;
};

struct Object {
  std::vector<Position> vertices;
  std::vector<Triangle> triangles;
  std::vector<std::pair<int, Transform>> components;
};

// Scans a part's elements a piece at a time, calling `element` at each start until it returns
// false. False where the package has no such part. A part may inflate to many times the
// package's size, but one beyond 100 times its compressed size and 1 GiB is refused.
template <class Element>
bool scanPart(zip_t* archive, const std::string& name, XmlScanner& xml, Element element) {
  zip_stat_t stat;
  if (zip_stat(archive, name.c_str(), 0, &stat) != 0) return false;
  std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(archive, name.c_str(), 0),
                                                          zip_fclose);
  if (!file) throw FormatError{0, "cannot open the part", name, true};
  const uint64_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) != 0 ? stat.comp_size : 0;
  const uint64_t limit = std::max(uint64_t{1} << 30, 100 * compressed);
  uint64_t inflated = 0;
  std::string piece(1 << 20, '\0');
  for (XmlScanner::Event e = XmlScanner::more; e != XmlScanner::done; e = xml.next()) {
    if (e == XmlScanner::more) {
      const zip_int64_t got = zip_fread(file.get(), piece.data(), piece.size());
      if (got < 0) throw FormatError{0, "cannot read the part", name, true};
      inflated += uint64_t(got);
      if (inflated > limit) {
        throw FormatError{0, "a part that inflates beyond 100 times its compressed size and 1 GiB",
                          name, true};
      }
      xml.feed(std::string_view(piece.data(), size_t(got)), got == 0);
    } else if (e == XmlScanner::start && !element(xml.name())) {
      break;
    }
  }
  return true;
}

std::string modelPart(zip_t* archive) {
  std::string part = "3D/3dmodel.model";
  XmlScanner xml;
  scanPart(archive, "_rels/.rels", xml, [&](std::string_view name) {
    std::string_view type, target;
    if (name == "Relationship" && xml.attribute("Type", &type) && type.size() >= 8 &&
        type.substr(type.size() - 8) == "/3dmodel" && xml.attribute("Target", &target)) {
      part = target;
      if (!part.empty() && part[0] == '/') part.erase(0, 1);
      return false;
    }
    return true;
  });
  return part;
}

int32_t colourOf(std::string_view hex, Mesh* mesh) {
  unsigned rgb = 0;
  if (hex.size() < 7 || hex[0] != '#') return Mesh::noColour;
  const auto [end, error] = std::from_chars(hex.data() + 1, hex.data() + 7, rgb, 16);
  if (error != std::errc() || end != hex.data() + 7) return Mesh::noColour;
  return mesh->colourIndex(
      {float((rgb >> 16) & 255) / 255, float((rgb >> 8) & 255) / 255, float(rgb & 255) / 255});
}

Transform transformOf(std::string_view text, long line) {
  Transform t = identity;
  if (text.empty()) return t;
  size_t at = 0;
  for (double& v : t) {
    while (at < text.size() && text[at] == ' ') ++at;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), v);
    if (error != std::errc() || !(v - v == 0))
      throw FormatError{line, "a transform that is not 12 numbers"};
    at = size_t(end - text.data());
  }
  while (at < text.size() && text[at] == ' ') ++at;
  if (at != text.size()) throw FormatError{line, "a transform that is not 12 numbers"};
  return t;
}

using Archive = std::unique_ptr<zip_t, decltype(&zip_discard)>;

Archive openPackage(std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* opened = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (opened == nullptr) {
    if (source != nullptr) zip_source_free(source);
    const std::string why = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw FormatError{0, "not a 3MF package: " + why};
  }
  zip_error_fini(&error);
  return Archive(opened, zip_discard);
}

// What the model part holds: colour resources, objects and build items.
struct ModelPart {
  std::map<int, std::vector<int32_t>> groups;  // material resources: colour per index
  std::map<int, Object> objects;
  std::vector<std::pair<int, Transform>> items;
};

// Reads the model part's elements into a ModelPart; colours go to the mesh's list.
class PartReader {
 public:
  PartReader(ModelPart& part, Mesh& mesh) : part_(part), mesh_(mesh) {}

  // The part, a piece at a time: it may be many times the package's size.
  void read(zip_t* archive) {
    const std::string partName = modelPart(archive);
    // Objects and groups end where the next begins: nothing nests in them.
    const bool found = scanPart(archive, partName, xml_, [this](std::string_view name) {
      element(name);
      return true;
    });
    if (!found) throw FormatError{0, "the package has no part", partName, true};
  }

 private:
  void element(std::string_view name) {
    if (name == "basematerials" || name == "colorgroup") {
      group_ = &part_.groups[whole("id", 0)];
      object_ = nullptr;
    } else if (group_ != nullptr && name == "base") {
      group_->push_back(colourOf(attribute("displaycolor"), &mesh_));
    } else if (group_ != nullptr && name == "color") {
      group_->push_back(colourOf(attribute("color"), &mesh_));
    } else if (name == "object") {
      object_ = &part_.objects[whole("id", 0)];
      objectPid_ = whole("pid", -1);
      objectIndex_ = whole("pindex", -1);
      group_ = nullptr;
    } else if (object_ != nullptr && name == "vertex") {
      object_->vertices.push_back({number("x"), number("y"), number("z")});
    } else if (object_ != nullptr && name == "triangle") {
      object_->triangles.push_back(triangle());
    } else if (object_ != nullptr && name == "component") {
      object_->components.emplace_back(whole("objectid", -1),
                                       transformOf(attribute("transform"), xml_.line()));
    } else if (name == "item") {
      part_.items.emplace_back(whole("objectid", -1),
                               transformOf(attribute("transform"), xml_.line()));
    }
  }

  Triangle triangle() {
    Triangle t;
    const char* const keys[3] = {"v1", "v2", "v3"};
    for (int i = 0; i < 3; ++i) {
      const int v = whole(keys[i], -1);
      if (v < 0 || size_t(v) >= object_->vertices.size()) {
        throw FormatError{xml_.line(), "a triangle with a vertex that does not exist"};
      }
      t.v[i] = uint32_t(v);
    }
    const int pid = whole("pid", objectPid_), index = whole("p1", objectIndex_);
    t.colour = Mesh::noColour;
    const auto found = part_.groups.find(pid);
    if (found != part_.groups.end() && index >= 0 && size_t(index) < found->second.size()) {
      t.colour = found->second[size_t(index)];
    }
    return t;
  }

  std::string_view attribute(const char* name) {
    std::string_view text;
    return xml_.attribute(name, &text) ? text : std::string_view();
  }
  float number(const char* name) {
    std::string_view text;
    float v;
    if (!xml_.attribute(name, &text) || !readFloat(text, &v)) {
      throw FormatError{xml_.line(), std::string("expected a number for ") + name};
    }
    return v;
  }
  int whole(const char* name, int fallback) {
    std::string_view text;
    if (!xml_.attribute(name, &text)) return fallback;
    long long v;
    if (!readInteger(text, &v) || v < -1 || v > 0x7FFFFFFF) {
      throw FormatError{xml_.line(), std::string("expected a whole number for ") + name};
    }
    return int(v);
  }

  ModelPart& part_;
  Mesh& mesh_;
  XmlScanner xml_;
  Object* object_ = nullptr;
  int objectPid_ = -1, objectIndex_ = -1;
  std::vector<int32_t>* group_ = nullptr;
};

// Refuses a build whose placing would not end or would be out of all proportion to the file:
// components in a cycle, nested deeper than 1000 levels, or bringing more than 10 million
// placed objects or 100 million triangles (components may share objects, so that a small file
// can describe a vast build). Found before anything is placed, depth first, without recursion.
void checkBuild(const ModelPart& part) {
  constexpr size_t maxDepth = 1000;
  constexpr uint64_t maxObjects = 10'000'000, maxTriangles = 100'000'000;
  constexpr uint64_t most = uint64_t{1} << 62;  // sums stop here, far above the bounds
  const auto sum = [most](uint64_t a, uint64_t b) { return std::min(a + b, most); };
  struct Extent {
    uint64_t objects, triangles;
  };
  std::map<int, Extent> known;  // of each object whose components are counted
  std::set<int> open;           // on the path being counted
  Extent build{0, 0};
  const auto objectOf = [&part](int id) -> const Object& {
    const auto found = part.objects.find(id);
    if (found == part.objects.end()) {
      throw FormatError{0, "a build item or component that names no object"};
    }
    return found->second;
  };
  for (const auto& item : part.items) {
    std::vector<std::pair<int, size_t>> path;  // object, its next component
    if (known.count(item.first) == 0) {
      objectOf(item.first);
      path.push_back({item.first, 0});
      open.insert(item.first);
    }
    while (!path.empty()) {
      const int id = path.back().first;
      const Object& o = objectOf(id);
      const size_t next = path.back().second++;
      if (next < o.components.size()) {
        const int child = o.components[next].first;
        if (known.count(child) != 0) continue;
        objectOf(child);
        if (open.count(child) != 0) throw FormatError{0, "objects in a cycle of components"};
        if (path.size() == maxDepth) {
          throw FormatError{0, "components nested deeper than 1000 levels"};
        }
        path.push_back({child, 0});
        open.insert(child);
        continue;
      }
      Extent e{1, o.triangles.size()};
      for (const auto& component : o.components) {
        const Extent& k = known.at(component.first);
        e = {sum(e.objects, k.objects), sum(e.triangles, k.triangles)};
      }
      known[id] = e;
      open.erase(id);
      path.pop_back();
    }
    const Extent& k = known.at(item.first);
    build = {sum(build.objects, k.objects), sum(build.triangles, k.triangles)};
  }
  if (build.objects > maxObjects) throw FormatError{0, "more than 10 million placed objects"};
  if (build.triangles > maxTriangles) {
    throw FormatError{0, "more than 100 million placed triangles"};
  }
}

// Adds the triangles of the build items to the mesh, each object placed by its item's transform
// and its components by theirs, depth first, without recursion.
void placeItems(const ModelPart& part, Mesh& mesh) {
  checkBuild(part);
  std::vector<std::pair<int, Transform>> stack(part.items.rbegin(), part.items.rend());
  VertexTable table(&mesh.positions);
  std::vector<uint32_t> index;
  while (!stack.empty()) {
    const auto [id, t] = stack.back();
    stack.pop_back();
    const Object& o = part.objects.at(id);
    index.resize(o.vertices.size());
    for (size_t v = 0; v < o.vertices.size(); ++v) {
      const Position& p = o.vertices[v];
      float xyz[3];
      for (int c = 0; c < 3; ++c) {
        xyz[c] = float(p.x * t[size_t(c)] + p.y * t[size_t(3 + c)] + p.z * t[size_t(6 + c)] +
                       t[size_t(9 + c)]);
        if (xyz[c] - xyz[c] != 0) {
          throw FormatError{0, "a transform that takes a vertex beyond the range of floats"};
        }
      }
      index[v] = table.index({xyz[0], xyz[1], xyz[2]});
    }
    for (const Triangle& tr : o.triangles) {
      const uint32_t corners[3] = {index[tr.v[0]], index[tr.v[1]], index[tr.v[2]]};
      mesh.addFace(corners, 3, tr.colour);
    }
    for (auto c = o.components.rbegin(); c != o.components.rend(); ++c) {
      stack.emplace_back(c->first, compose(c->second, t));
    }
  }
}

}  // namespace

Mesh read3mf(std::string_view bytes, Skipped*) {
  const Archive archive = openPackage(bytes);
  Mesh mesh;
  ModelPart part;
  PartReader(part, mesh).read(archive.get());
  placeItems(part, mesh);
  return mesh;
}
