// 3MF, read: the model part of the package (found through its relationships), with its base
// materials and colour groups, objects of meshes and of components, and the build items that
// place them (transforms applied). Each triangle is one face, in its colour where it has one.

#include <zip.h>

#include <QByteArray>
#include <QXmlStreamReader>
#include <array>
#include <map>
#include <memory>
#include <vector>

#include "Formats.h"
#include "VertexTable.h"

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

Transform transformOf(const QStringView text) {
  const auto parts = text.split(u' ', Qt::SkipEmptyParts);
  if (text.isEmpty()) return identity;
  if (parts.size() != 12) throw FormatError{0, "a transform that is not 12 numbers"};
  Transform t;
  for (size_t i = 0; i < 12; ++i) {
    bool ok = false;
    t[i] = parts[qsizetype(i)].toDouble(&ok);
    if (!ok) throw FormatError{0, "a transform that is not 12 numbers"};
  }
  return t;
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

std::string readEntry(zip_t* archive, const std::string& name) {
  zip_stat_t stat;
  if (zip_stat(archive, name.c_str(), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
    throw FormatError{0, "the package has no part '" + name + "'"};
  }
  if (stat.size > (uint64_t{1} << 32)) throw FormatError{0, "a part over 4 GiB"};
  std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(archive, name.c_str(), 0),
                                                          zip_fclose);
  if (!file) throw FormatError{0, "cannot open the part '" + name + "'"};
  std::string bytes(stat.size, '\0');
  if (zip_fread(file.get(), bytes.data(), stat.size) != zip_int64_t(stat.size)) {
    throw FormatError{0, "cannot read the part '" + name + "'"};
  }
  return bytes;
}

std::string modelPart(zip_t* archive) {
  std::string rels;
  try {
    rels = readEntry(archive, "_rels/.rels");
  } catch (const FormatError&) {
    return "3D/3dmodel.model";
  }
  QXmlStreamReader xml(QByteArray::fromRawData(rels.data(), qsizetype(rels.size())));
  while (xml.readNextStartElement() || !xml.atEnd()) {
    if (xml.isStartElement() && xml.name() == u"Relationship" &&
        xml.attributes().value(QLatin1String("Type")).endsWith(u"/3dmodel")) {
      std::string target = xml.attributes().value(QLatin1String("Target")).toString().toStdString();
      if (!target.empty() && target[0] == '/') target.erase(0, 1);
      return target;
    }
    if (!xml.isStartElement()) xml.readNext();
  }
  return "3D/3dmodel.model";
}

int32_t colourOf(QStringView hex, Mesh* mesh) {
  if (hex.size() < 7 || hex[0] != u'#') return Mesh::noColour;
  bool ok = false;
  const unsigned rgb = hex.mid(1, 6).toUInt(&ok, 16);
  if (!ok) return Mesh::noColour;
  return mesh->colourIndex(
      {float((rgb >> 16) & 255) / 255, float((rgb >> 8) & 255) / 255, float(rgb & 255) / 255});
}

}  // namespace

Mesh read3mf(std::string_view bytes, Skipped*) {
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
  std::unique_ptr<zip_t, decltype(&zip_discard)> archive(opened, zip_discard);
  const std::string part = readEntry(archive.get(), modelPart(archive.get()));

  Mesh mesh;
  std::map<int, std::vector<int32_t>> groups;  // material resources: colour per index
  std::map<int, Object> objects;
  std::vector<std::pair<int, Transform>> items;
  QXmlStreamReader xml(QByteArray::fromRawData(part.data(), qsizetype(part.size())));
  Object* object = nullptr;
  int objectPid = -1, objectIndex = -1;
  std::vector<int32_t>* group = nullptr;
  auto number = [&](const char* name) {
    bool ok = false;
    const double v = xml.attributes().value(QLatin1String(name)).toDouble(&ok);
    if (!ok) throw FormatError{xml.lineNumber(), std::string("expected a number for ") + name};
    return v;
  };
  auto whole = [&](const char* name, int fallback) {
    const QStringView text = xml.attributes().value(QLatin1String(name));
    if (text.isEmpty()) return fallback;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
      throw FormatError{xml.lineNumber(), std::string("expected a whole number for ") + name};
    return v;
  };
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement()) {
      if (xml.name() == u"object") object = nullptr;
      if (xml.name() == u"basematerials" || xml.name() == u"colorgroup") group = nullptr;
      continue;
    }
    if (!xml.isStartElement()) continue;
    const QStringView name = xml.name();
    if (name == u"basematerials" || name == u"colorgroup") {
      group = &groups[whole("id", 0)];
    } else if (group != nullptr && name == u"base") {
      group->push_back(colourOf(xml.attributes().value(QLatin1String("displaycolor")), &mesh));
    } else if (group != nullptr && name == u"color") {
      group->push_back(colourOf(xml.attributes().value(QLatin1String("color")), &mesh));
    } else if (name == u"object") {
      object = &objects[whole("id", 0)];
      objectPid = whole("pid", -1);
      objectIndex = whole("pindex", -1);
    } else if (object != nullptr && name == u"vertex") {
      const float x = float(number("x")), y = float(number("y")), z = float(number("z"));
      if (x - x != 0 || y - y != 0 || z - z != 0) {
        throw FormatError{xml.lineNumber(), "a vertex that is not a finite float"};
      }
      object->vertices.push_back({x, y, z});
    } else if (object != nullptr && name == u"triangle") {
      Triangle t;
      const char* const keys[3] = {"v1", "v2", "v3"};
      for (int i = 0; i < 3; ++i) {
        const int v = whole(keys[i], -1);
        if (v < 0 || size_t(v) >= object->vertices.size()) {
          throw FormatError{xml.lineNumber(), "a triangle with a vertex that does not exist"};
        }
        t.v[i] = uint32_t(v);
      }
      const int pid = whole("pid", objectPid), index = whole("p1", objectIndex);
      t.colour = Mesh::noColour;
      const auto found = groups.find(pid);
      if (found != groups.end() && index >= 0 && size_t(index) < found->second.size()) {
        t.colour = found->second[size_t(index)];
      }
      object->triangles.push_back(t);
    } else if (object != nullptr && name == u"component") {
      object->components.emplace_back(
          whole("objectid", -1), transformOf(xml.attributes().value(QLatin1String("transform"))));
    } else if (name == u"item") {
      items.emplace_back(whole("objectid", -1),
                         transformOf(xml.attributes().value(QLatin1String("transform"))));
    }
  }
  if (xml.hasError()) {
    throw FormatError{xml.lineNumber(), "not a 3MF model: " + xml.errorString().toStdString()};
  }

  VertexTable table(&mesh.positions);
  std::vector<uint32_t> index;
  auto place = [&](auto&& self, int id, const Transform& t, int depth) -> void {
    const auto found = objects.find(id);
    if (found == objects.end() || depth > 32) {
      throw FormatError{0, "a build item or component that names no object, or objects in a cycle"};
    }
    const Object& o = found->second;
    index.resize(o.vertices.size());
    for (size_t v = 0; v < o.vertices.size(); ++v) {
      const Position& p = o.vertices[v];
      float xyz[3];
      for (int c = 0; c < 3; ++c) {
        xyz[c] = float(p.x * t[size_t(c)] + p.y * t[size_t(3 + c)] + p.z * t[size_t(6 + c)] +
                       t[size_t(9 + c)]);
      }
      index[v] = table.index({xyz[0], xyz[1], xyz[2]});
    }
    for (const Triangle& tr : o.triangles) {
      const uint32_t corners[3] = {index[tr.v[0]], index[tr.v[1]], index[tr.v[2]]};
      mesh.addFace(corners, 3, tr.colour);
    }
    for (const auto& [child, transform] : o.components)
      self(self, child, compose(transform, t), depth + 1);
  };
  for (const auto& [id, transform] : items) place(place, id, transform, 0);
  return mesh;
}
