// glTF 2.0, read with tinygltf: the triangles of every mesh that the default scene's nodes
// place (their transforms applied), in the base colour of their material. Points and lines are
// counted, not read. Positions are turned from glTF's Y-up to vandrel's Z-up: (x, y, z) in the
// file is (x, -z, y) here.

#include <sys/stat.h>
#include <tiny_gltf.h>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

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

  void node(int index, const Matrix& parent, int depth) {
    if (index < 0 || size_t(index) >= model_.nodes.size() || depth > 64) {
      throw FormatError{0, "a node that does not exist, or nodes in a cycle"};
    }
    const tinygltf::Node& n = model_.nodes[size_t(index)];
    const Matrix m = multiply(parent, localMatrix(n));
    if (n.mesh >= 0 && size_t(n.mesh) < model_.meshes.size()) {
      for (const tinygltf::Primitive& p : model_.meshes[size_t(n.mesh)].primitives) {
        primitive(p, m);
      }
    }
    for (int child : n.children) node(child, m, depth + 1);
  }

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
    std::vector<Position> placed;
    const size_t count = each(position->second, 3, [&](size_t, const double* v) {
      Position q;
      float* out[3] = {&q.x, &q.y, &q.z};
      for (int r = 0; r < 3; ++r) {
        const double w = m[size_t(r)] * v[0] + m[size_t(4 + r)] * v[1] + m[size_t(8 + r)] * v[2] +
                         m[size_t(12 + r)];
        *out[r] = static_cast<float>(w);
        if (*out[r] - *out[r] != 0) throw FormatError{0, "a position that is not a finite float"};
      }
      placed.push_back({q.x, -q.z, q.y});  // glTF's Y-up turned to vandrel's Z-up
    });
    std::vector<uint32_t> index(count);
    table_.indices(placed.data(), placed.size(), index.data());
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
    if (p.material >= 0 && size_t(p.material) < model_.materials.size()) {
      const auto& factor =
          model_.materials[size_t(p.material)].pbrMetallicRoughness.baseColorFactor;
      if (factor.size() >= 3) {
        colour = mesh_->colourIndex({float(factor[0]), float(factor[1]), float(factor[2])});
      }
    }
    auto triangle = [&](uint32_t a, uint32_t b, uint32_t c) {
      const uint32_t corners[3] = {index[a], index[b], index[c]};
      mesh_->addFace(corners, 3, colour);
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

  const tinygltf::Model& model_;
  Mesh* mesh_;
  Skipped* skipped_;
  VertexTable table_;
};

bool noImages(tinygltf::Image*, const int, std::string*, std::string*, int, int,
              const unsigned char*, int, void*) {
  return true;
}

// Files beside a glTF file (its buffers), read only when they are regular files: tinygltf's
// own callbacks take a folder for a file of enormous size. Nothing is ever written.
bool isRegularFile(const std::string& path) {
  struct stat s;
  return ::stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}
bool fileExists(const std::string& path, void*) { return isRegularFile(path); }
std::string samePath(const std::string& path, void*) { return path; }
bool readWholeFile(std::vector<unsigned char>* out, std::string* error, const std::string& path,
                   void*) {
  std::ifstream in;
  if (isRegularFile(path)) in.open(path, std::ios::binary);
  if (!in) {
    *error += "cannot read the file '" + path + "'\n";
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

}  // namespace

Mesh readGltf(std::string_view bytes, bool binary, const std::string& folder, Skipped* skipped) {
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(noImages, nullptr);
  loader.SetFsCallbacks({fileExists, samePath, readWholeFile, writeNothing, nullptr});
  tinygltf::Model model;
  std::string error, warning;
  const bool ok =
      binary ? loader.LoadBinaryFromMemory(&model, &error, &warning,
                                           reinterpret_cast<const unsigned char*>(bytes.data()),
                                           static_cast<unsigned int>(bytes.size()), folder)
             : loader.LoadASCIIFromString(&model, &error, &warning, bytes.data(),
                                          static_cast<unsigned int>(bytes.size()), folder);
  if (!ok) {
    error = error.substr(0, error.find('\n'));  // the first of tinygltf's lines says it
    throw FormatError{0, error.empty() ? std::string("not a glTF file") : error};
  }
  Mesh mesh;
  Reader reader(model, &mesh, skipped);
  const Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  if (!model.scenes.empty()) {
    const size_t scene = model.defaultScene >= 0 ? size_t(model.defaultScene) : 0;
    if (scene >= model.scenes.size()) throw FormatError{0, "a default scene that does not exist"};
    for (int n : model.scenes[scene].nodes) reader.node(n, identity, 0);
  }
  return mesh;
}
