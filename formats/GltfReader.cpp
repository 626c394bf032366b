// glTF 2.0, read with tinygltf: the triangles of every mesh that the default scene's nodes
// place (their transforms applied), in the base colour of their material, or, with colours per
// vertex (COLOR_0), in the colour of their first corner times that base colour. Points and lines
// are counted, not read. Positions are turned from glTF's Y-up to vandrel's Z-up: (x, y, z) in the
// file is (x, -z, y) here. Before the library reads it, the document is checked (Access,
// checkDocument): buffers only from the file's own folder, no image ever opened, glTF 2.0
// only, no required extension, bounded nesting; nodes are placed without recursion, with limits
// on depth and on placed triangles.

#include <tiny_gltf.h>

#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <vector>

#include "Beside.h"
#include "Formats.h"
#include "VertexTable.h"

namespace {

using Matrix = std::array<double, 16>;  // column-major, as glTF keeps it

Matrix multiply(const Matrix& a, const Matrix& b) {
  Matrix m{};
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[size_t(k * 4 + r)] * b[size_t(c * 4 + k)];
      m[size_t(c * 4 + r)] = sum;
    }
  }
  return m;
}

Matrix localMatrix(const tinygltf::Node& node) {
  Matrix m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  if (node.matrix.size() == 16) {
    std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
    return m;
  }
  Matrix t = m, r = m, s = m;
  if (node.translation.size() == 3) {
    t[12] = node.translation[0];
    t[13] = node.translation[1];
    t[14] = node.translation[2];
  }
  if (node.rotation.size() == 4) {
    const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2],
                 w = node.rotation[3];
    r = {1 - 2 * (y * y + z * z),
         2 * (x * y + z * w),
         2 * (x * z - y * w),
         0,
         2 * (x * y - z * w),
         1 - 2 * (x * x + z * z),
         2 * (y * z + x * w),
         0,
         2 * (x * z + y * w),
         2 * (y * z - x * w),
         1 - 2 * (x * x + y * y),
         0,
         0,
         0,
         0,
         1};
  }
  if (node.scale.size() == 3) {
    s[0] = node.scale[0];
    s[5] = node.scale[1];
    s[10] = node.scale[2];
  }
  return multiply(t, multiply(r, s));
}

class Reader {
 public:
  Reader(const tinygltf::Model& model, Mesh* mesh, Skipped* skipped)
      : model_(model), mesh_(mesh), skipped_(skipped), table_(&mesh->positions) {}

  // Places the meshes of the nodes under `roots`, depth first, without recursion: a chain of
  // nodes may be long, and shared nodes are placed once for each parent.
  void scene(const std::vector<int>& roots) {
    struct Step {
      int node;
      Matrix parent;
      int depth;
      bool leave;  // the node's subtree is done
    };
    const Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    std::vector<Step> stack;
    std::vector<char> onPath(model_.nodes.size(), 0);
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) {
      stack.push_back({*root, identity, 1, false});
    }
    size_t visits = 0;
    while (!stack.empty()) {
      const Step step = stack.back();
      stack.pop_back();
      if (step.leave) {
        onPath[size_t(step.node)] = 0;
        continue;
      }
      if (step.node < 0 || size_t(step.node) >= model_.nodes.size()) {
        throw FormatError{0, "a node that does not exist"};
      }
      if (onPath[size_t(step.node)] != 0) throw FormatError{0, "nodes in a cycle"};
      if (step.depth > maxDepth) throw FormatError{0, "nodes nested deeper than 1000 levels"};
      if (++visits > maxVisits) throw FormatError{0, "more than 10 million placed nodes"};
      onPath[size_t(step.node)] = 1;
      stack.push_back({step.node, Matrix{}, 0, true});
      const tinygltf::Node& n = model_.nodes[size_t(step.node)];
      const Matrix m = multiply(step.parent, localMatrix(n));
      if (n.mesh >= 0 && size_t(n.mesh) < model_.meshes.size()) {
        for (const tinygltf::Primitive& p : model_.meshes[size_t(n.mesh)].primitives) {
          primitive(p, m);
        }
      }
      for (auto child = n.children.rbegin(); child != n.children.rend(); ++child) {
        stack.push_back({*child, m, step.depth + 1, false});
      }
    }
  }

  // Work in proportion to the file: an accessor without a buffer view holds no bytes, so its
  // count is held to the file's size.
  void limitCounts(size_t fileSize) { fileSize_ = fileSize; }

 private:
  // Calls visit(i, values) for each element i of an accessor, with its `components` values as
  // doubles; returns the count. Elements are read where they are, not copied first.
  template <class Visit>
  size_t each(int index, int components, Visit&& visit) const {
    if (index < 0 || size_t(index) >= model_.accessors.size()) {
      throw FormatError{0, "an accessor that does not exist"};
    }
    const tinygltf::Accessor& a = model_.accessors[size_t(index)];
    double v[4] = {0, 0, 0, 0};
    if (a.bufferView < 0) {  // all zeros
      if (a.count > fileSize_) {
        throw FormatError{0, "an accessor of " + std::to_string(a.count) +
                                 " elements without a buffer view, more than the file's bytes"};
      }
      for (size_t i = 0; i < a.count; ++i) visit(i, v);
      return a.count;
    }
    if (size_t(a.bufferView) >= model_.bufferViews.size()) {
      throw FormatError{0, "an accessor of a buffer view that does not exist"};
    }
    const tinygltf::BufferView& view = model_.bufferViews[size_t(a.bufferView)];
    if (view.buffer < 0 || size_t(view.buffer) >= model_.buffers.size()) {
      throw FormatError{0, "a buffer view of a buffer that does not exist"};
    }
    const tinygltf::Buffer& buffer = model_.buffers[size_t(view.buffer)];
    const int componentSize = tinygltf::GetComponentSizeInBytes(uint32_t(a.componentType));
    if (componentSize <= 0) throw FormatError{0, "an unknown component type"};
    const auto size = size_t(componentSize);
    const size_t stride = view.byteStride != 0 ? view.byteStride : size * size_t(components);
    const size_t start = view.byteOffset + a.byteOffset;
    // Checked before anything is allocated: a count may be any number.
    const uint64_t end = a.count == 0 ? start
                                      : uint64_t{start} + uint64_t{stride} * (a.count - 1) +
                                            size * size_t(components);
    if (a.count > (uint64_t{1} << 32) || view.byteOffset + view.byteLength > buffer.data.size() ||
        end > view.byteOffset + view.byteLength) {
      throw FormatError{0, "an accessor beyond its buffer"};
    }
    for (size_t i = 0; i < a.count; ++i) {
      for (int c = 0; c < components; ++c) {
        const unsigned char* at = buffer.data.data() + start + stride * i + size * size_t(c);
        switch (a.componentType) {
          case TINYGLTF_COMPONENT_TYPE_BYTE:
            v[c] = static_cast<int8_t>(*at);
            break;
          case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            v[c] = *at;
            break;
          case TINYGLTF_COMPONENT_TYPE_SHORT:
            v[c] = read<int16_t>(at);
            break;
          case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
            v[c] = read<uint16_t>(at);
            break;
          case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
            v[c] = read<uint32_t>(at);
            break;
          case TINYGLTF_COMPONENT_TYPE_FLOAT:
            v[c] = read<float>(at);
            break;
          default:
            throw FormatError{0, "an unknown component type"};
        }
      }
      visit(i, v);
    }
    return a.count;
  }
  template <class T>
  static double read(const unsigned char* at) {
    T v;
    std::memcpy(&v, at, sizeof v);
    return static_cast<double>(v);
  }

  void primitive(const tinygltf::Primitive& p, const Matrix& m) {
    const auto position = p.attributes.find("POSITION");
    if (position == p.attributes.end()) return;
    // Primitives often share one POSITION accessor: its vertices are placed once per matrix,
    // so that each primitive costs its own indices, not the whole accessor again.
    std::vector<uint32_t>& index = placedIndices_[{position->second, m}];
    if (index.empty()) {
      std::vector<Position> placed;
      each(position->second, 3, [&](size_t, const double* v) {
        Position q;
        float* out[3] = {&q.x, &q.y, &q.z};
        for (int r = 0; r < 3; ++r) {
          const double w = m[size_t(r)] * v[0] + m[size_t(4 + r)] * v[1] + m[size_t(8 + r)] * v[2] +
                           m[size_t(12 + r)];
          *out[r] = static_cast<float>(w);
          if (*out[r] - *out[r] != 0) {
            throw FormatError{0, "a position that is not a finite float"};
          }
        }
        placed.push_back({q.x, -q.z, q.y});  // glTF's Y-up turned to vandrel's Z-up
      });
      index.resize(placed.size());
      table_.indices(placed.data(), placed.size(), index.data());
    }
    const size_t count = index.size();
    std::vector<uint32_t> order;
    if (p.indices >= 0) {
      each(p.indices, 1, [&](size_t, const double* v) {
        if (!(v[0] >= 0 && v[0] < double(count))) {
          throw FormatError{0, "an index beyond the vertices"};
        }
        order.push_back(static_cast<uint32_t>(v[0]));
      });
    } else {
      for (size_t i = 0; i < count; ++i) order.push_back(static_cast<uint32_t>(i));
    }
    int32_t colour = Mesh::noColour;
    const std::vector<double>* factor = nullptr;
    if (p.material >= 0 && size_t(p.material) < model_.materials.size()) {
      factor = &model_.materials[size_t(p.material)].pbrMetallicRoughness.baseColorFactor;
      if (factor->size() < 3) factor = nullptr;
    }
    if (factor != nullptr) {
      colour = mesh_->colourIndex({float((*factor)[0]), float((*factor)[1]), float((*factor)[2])});
    }
    const auto colours = p.attributes.find("COLOR_0");
    const std::vector<int32_t>* vertexColour =
        colours == p.attributes.end() ? nullptr
                                      : &coloursOf(colours->second, p.material, factor, count);
    auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
      if (mesh_->faceColour.size() >= maxTriangles) {
        throw FormatError{0, "more than 100 million placed triangles"};
      }
      const uint32_t corners[3] = {index[a], index[b], index[c]};
      mesh_->addFace(corners, 3, vertexColour ? (*vertexColour)[a] : colour);
    };
    const size_t n = order.size();
    switch (p.mode) {
      case TINYGLTF_MODE_TRIANGLES:
        for (size_t i = 0; i + 2 < n; i += 3) triangle(order[i], order[i + 1], order[i + 2]);
        break;
      case TINYGLTF_MODE_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < n; ++i) {
          if (i % 2 == 0) {
            triangle(order[i], order[i + 1], order[i + 2]);
          } else {
            triangle(order[i + 1], order[i], order[i + 2]);
          }
        }
        break;
      case TINYGLTF_MODE_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < n; ++i) triangle(order[0], order[i], order[i + 1]);
        break;
      case TINYGLTF_MODE_POINTS:
        skipped_->points += n;
        break;
      case TINYGLTF_MODE_LINE:
        skipped_->lines += n / 2;
        break;
      default:  // line loops and strips
        skipped_->lines += n > 1 ? 1 : 0;
        break;
    }
  }

  // The colour of each vertex of a COLOR_0 accessor, times the material's base colour
  // (`factor`, or null for white), as colour indices; made once for each accessor and material.
  const std::vector<int32_t>& coloursOf(int accessor, int material,
                                        const std::vector<double>* factor, size_t count) {
    std::vector<int32_t>& indices = vertexColours_[{accessor, material}];
    if (!indices.empty()) {  // made for another primitive: its POSITION may differ in count
      if (indices.size() != count) {
        throw FormatError{0, "a COLOR_0 of another count than its POSITION"};
      }
      return indices;
    }
    if (count == 0) return indices;
    if (size_t(accessor) >= model_.accessors.size()) {
      throw FormatError{0, "an accessor that does not exist"};
    }
    const tinygltf::Accessor& a = model_.accessors[size_t(accessor)];
    if (a.type != TINYGLTF_TYPE_VEC3 && a.type != TINYGLTF_TYPE_VEC4) {
      throw FormatError{0, "a COLOR_0 that is neither VEC3 nor VEC4"};
    }
    if (a.count != count) throw FormatError{0, "a COLOR_0 of another count than its POSITION"};
    const double scale = a.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE    ? 1.0 / 255
                         : a.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ? 1.0 / 65535
                                                                                     : 1.0;
    indices.reserve(count);
    each(accessor, a.type == TINYGLTF_TYPE_VEC3 ? 3 : 4, [&](size_t, const double* v) {
      float c[3];
      for (size_t k = 0; k < 3; ++k) {
        c[k] = float(v[k] * scale * (factor != nullptr ? (*factor)[k] : 1.0));
        if (!(c[k] >= 0 && c[k] <= 1)) throw FormatError{0, "a COLOR_0 beyond 0 to 1"};
      }
      indices.push_back(mesh_->colourIndex({c[0], c[1], c[2]}));
    });
    return indices;
  }

  static constexpr int maxDepth = 1000;
  static constexpr size_t maxVisits = 10'000'000;
  static constexpr size_t maxTriangles = 100'000'000;
  const tinygltf::Model& model_;
  Mesh* mesh_;
  Skipped* skipped_;
  VertexTable table_;
  size_t fileSize_ = 0;
  std::map<std::pair<int, Matrix>, std::vector<uint32_t>> placedIndices_;
  std::map<std::pair<int, int>, std::vector<int32_t>> vertexColours_;
};

bool noImages(tinygltf::Image*, const int, std::string*, std::string*, int, int,
              const unsigned char*, int, void*) {
  return true;
}

// The files beside a glTF file that it may read: its buffers, each a regular file in the
// file's own folder (besideFile). Images are never opened, nothing is ever written.
struct Access {
  std::set<std::string> buffers;  // real paths
};

bool mayRead(const std::string& path, void* access) {
  return static_cast<const Access*>(access)->buffers.count(resolvedPath(path)) != 0;
}
std::string samePath(const std::string& path, void*) { return path; }
bool readWholeFile(std::vector<unsigned char>* out, std::string* error, const std::string& path,
                   void* access) {
  std::ifstream in;
  if (mayRead(path, access)) in.open(path, std::ios::binary);
  if (!in) {
    *error += "cannot read a buffer\n";
    return false;
  }
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}
bool writeNothing(std::string* error, const std::string&, const std::vector<unsigned char>&,
                  void*) {
  *error += "no files are written\n";
  return false;
}

// The JSON of a binary glTF: its first chunk, after the checks of the header.
std::string_view glbJson(std::string_view bytes) {
  if (bytes.size() < 20 || bytes.substr(0, 4) != "glTF") {
    throw FormatError{0, "not a binary glTF file: it does not begin with a glTF header"};
  }
  uint32_t word[4];  // version, length, the first chunk's length and type
  std::memcpy(word, bytes.data() + 4, sizeof word);
  if (word[0] != 2) {
    throw FormatError{
        0, "binary glTF version " + std::to_string(word[0]) + " is not supported (only 2)"};
  }
  if (word[1] != bytes.size()) {
    throw FormatError{0, "the header gives a length of " + std::to_string(word[1]) +
                             " bytes, the file has " + std::to_string(bytes.size()) +
                             (word[1] > bytes.size() ? ": it was cut short" : "")};
  }
  if (word[3] != 0x4E4F534Au || uint64_t{20} + word[2] > bytes.size()) {
    throw FormatError{0, "the first chunk is not JSON within the file"};
  }
  return bytes.substr(20, word[2]);
}

// Refuses JSON nested deeper than `most` levels before any parser recurses into it.
void checkNesting(std::string_view json, int most) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > most) {
        throw FormatError{0, "JSON nested deeper than " + std::to_string(most) + " levels"};
      }
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
}

// Percent-decoding as the glTF library does it before it opens a buffer.
std::string decodedUri(const std::string& uri) {
  std::string out;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else if (uri[i] == '+') {
      out += ' ';
    } else {
      out += uri[i];
    }
  }
  return out;
}

// What the file must be before the glTF library reads it: glTF 2.0, no extension that vandrel
// lacks required, a default scene that exists, lists where lists belong, and buffers only
// from the file's own folder (their real paths go into `access`).
void checkDocument(std::string_view json, bool binary, const std::string& folder, Access* access) {
  checkNesting(json, 1000);
  const nlohmann::json document = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
  if (document.is_discarded() || !document.is_object()) throw FormatError{0, "not valid JSON"};
  const auto asset = document.find("asset");
  if (asset == document.end() || !asset->is_object() || !asset->contains("version") ||
      !(*asset)["version"].is_string()) {
    throw FormatError{0, "no asset version: not a glTF 2.0 file"};
  }
  const std::string version = (*asset)["version"].get<std::string>();
  if (version.rfind("1", 0) == 0) throw FormatError{0, "glTF 1.0 is not supported (only 2.0)"};
  if (version.rfind("2.", 0) != 0) {
    throw FormatError{0, "glTF version", version, true};
  }
  const auto required = document.find("extensionsRequired");
  if (required != document.end() && required->is_array() && !required->empty()) {
    const nlohmann::json& first = (*required)[0];
    throw FormatError{0, "the file requires an extension that vandrel cannot read:",
                      first.is_string() ? first.get<std::string>() : first.dump(), true};
  }
  const auto scene = document.find("scene");
  if (scene != document.end()) {
    const auto scenes = document.find("scenes");
    if (!scene->is_number_unsigned() || scenes == document.end() || !scenes->is_array() ||
        scene->get<uint64_t>() >= scenes->size()) {
      throw FormatError{0, "the default scene does not exist:", scene->dump(), true};
    }
  }
  const auto meshes = document.find("meshes");
  if (meshes != document.end() && meshes->is_array()) {
    for (size_t m = 0; m < meshes->size(); ++m) {
      const nlohmann::json& mesh = (*meshes)[m];
      if (!mesh.is_object() || !mesh.contains("primitives") || !mesh["primitives"].is_array()) {
        throw FormatError{0, "mesh " + std::to_string(m) + " has no list of primitives"};
      }
    }
  }
  const auto buffers = document.find("buffers");
  if (buffers == document.end() || !buffers->is_array()) return;
  for (size_t b = 0; b < buffers->size(); ++b) {
    const nlohmann::json& buffer = (*buffers)[b];
    const bool hasUri = buffer.is_object() && buffer.contains("uri") && buffer["uri"].is_string();
    if (!hasUri) {
      if (binary && b == 0) continue;  // the file's own binary chunk
      throw FormatError{0, "buffer " + std::to_string(b) + " has no uri"};
    }
    const std::string uri = buffer["uri"].get<std::string>();
    if (uri.rfind("data:", 0) == 0) continue;
    std::string path, why;
    if (!besideFile(folder, decodedUri(uri), &path, &why)) {
      throw FormatError{0, "buffer " + std::to_string(b) + " is not read (" + why + "):", uri,
                        true};
    }
    access->buffers.insert(path);
  }
}

// The glTF library's message, in this program's words: its first line, without its full stop.
std::string libraryMessage(std::string error) {
  error = error.substr(0, error.find('\n'));
  while (!error.empty() && (error.back() == '.' || error.back() == ' ')) error.pop_back();
  if (error.empty()) return "not a glTF file that can be read";
  if (error[0] >= 'A' && error[0] <= 'Z') error[0] = static_cast<char>(error[0] - 'A' + 'a');
  return "not a glTF file that can be read: " + error;
}

}  // namespace

Mesh readGltf(std::string_view bytes, bool binary, const std::string& folder, Skipped* skipped) {
  Access access;
  checkDocument(binary ? glbJson(bytes) : bytes, binary, folder, &access);
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(noImages, nullptr);
  loader.SetFsCallbacks({mayRead, samePath, readWholeFile, writeNothing, &access});
  tinygltf::Model model;
  std::string error, warning;
  const bool ok =
      binary ? loader.LoadBinaryFromMemory(&model, &error, &warning,
                                           reinterpret_cast<const unsigned char*>(bytes.data()),
                                           static_cast<unsigned int>(bytes.size()), folder)
             : loader.LoadASCIIFromString(&model, &error, &warning, bytes.data(),
                                          static_cast<unsigned int>(bytes.size()), folder);
  if (!ok) throw FormatError{0, libraryMessage(error)};
  Mesh mesh;
  Reader reader(model, &mesh, skipped);
  reader.limitCounts(bytes.size());
  if (!model.scenes.empty()) {
    const size_t scene = model.defaultScene >= 0 ? size_t(model.defaultScene) : 0;
    if (scene >= model.scenes.size()) throw FormatError{0, "a default scene that does not exist"};
    reader.scene(model.scenes[scene].nodes);
  }
  return mesh;
}
