// The parts of some faces of a large mesh, found cluster by cluster near them only.
//
// Welding joins a position to the first kept one closer than the weld distance, and a position is
// kept where no kept one before it is that close; so a position's vertex depends only on the
// positions closer to it than the distance, and on theirs. A cluster of surfaces (Clusters.h)
// whose boxes are more than twice the distance from every other surface's holds every position
// that close to any of its own, so it welds as it does in the whole mesh; and parts do not reach
// past a cluster, which shares no vertex with the others after the weld. So the clusters of the
// wanted faces are welded and split into parts each on their own, a few together at a time, on
// both threads, and their vertices and parts numbered as in the whole mesh: in the order of the
// positions they are kept at, and of the faces they begin at.

#include <algorithm>
#include <atomic>
#include <numeric>
#include <vector>

#include "Clusters.h"
#include "Parallel.h"
#include "Solid.h"
#include "Weld.h"

namespace {

constexpr uint32_t noGroup = UINT32_MAX;

// Clusters that are welded together, each group as a mesh of its own: its positions and faces
// in their order, and what weldedParts finds in it.
struct Groups {
  std::vector<uint32_t> number;     // per position of the mesh: its number in its group
  std::vector<uint32_t> positions;  // of the mesh, group after group
  std::vector<uint32_t> faces;      // the same for faces
  std::vector<size_t> positionStart{0}, faceStart{0}, corners;  // per group (one more for starts)
  std::vector<WeldedParts> found;

  size_t size() const { return found.size(); }
  const uint32_t* positionsOf(size_t g) const { return positions.data() + positionStart[g]; }
  size_t positionCount(size_t g) const { return positionStart[g + 1] - positionStart[g]; }
  const uint32_t* facesOf(size_t g) const { return faces.data() + faceStart[g]; }
  size_t faceCount(size_t g) const { return faceStart[g + 1] - faceStart[g]; }

  Mesh meshOf(const Mesh& mesh, size_t g) const {
    Mesh part;
    part.positions.reserve(positionCount(g));
    for (size_t i = 0; i < positionCount(g); ++i) {
      part.positions.push_back(mesh.positions[positionsOf(g)[i]]);
    }
    part.faceStart.reserve(faceCount(g) + 1);
    part.faceColour.reserve(faceCount(g));
    part.corners.reserve(corners[g]);
    for (size_t k = 0; k < faceCount(g); ++k) {
      const size_t f = facesOf(g)[k];
      const uint32_t* v = mesh.face(f);
      for (uint32_t i = 0; i < mesh.faceSize(f); ++i) part.corners.push_back(number[v[i]]);
      part.faceStart.push_back(static_cast<uint32_t>(part.corners.size()));
      part.faceColour.push_back(mesh.faceColour[f]);
    }
    part.colours = mesh.colours;
    return part;
  }
};

// The groups of the clusters that hold a wanted face, in order, each of about `size` positions
// or more.
Groups groupsOf(const Mesh& mesh, const Surfaces& surfaces, const std::vector<uint32_t>& cluster,
                const std::vector<char>& wantedSurface, size_t size) {
  const size_t count = surfaces.boxes.size();
  std::vector<char> wantedCluster(count, 0);
  for (size_t s = 0; s < count; ++s) wantedCluster[cluster[s]] |= wantedSurface[s];
  std::vector<uint32_t> groupOfCluster(count, noGroup);
  std::vector<size_t> sizes;
  for (size_t s = 0; s < count; ++s) {  // clusters in order of their least surface
    const uint32_t c = cluster[s];
    if (!wantedCluster[c]) continue;
    if (groupOfCluster[c] == noGroup) {
      if (sizes.empty() || sizes.back() >= size) sizes.push_back(0);
      groupOfCluster[c] = static_cast<uint32_t>(sizes.size() - 1);
    }
    sizes[groupOfCluster[c]] += surfaces.positions[s];
  }
  Groups groups;
  const size_t n = sizes.size();
  groups.corners.assign(n, 0);
  auto groupOf = [&](uint32_t p) { return groupOfCluster[cluster[surfaces.of[p]]]; };
  // Positions and faces laid out group after group, each group's in order.
  std::vector<size_t> taken(n, 0);
  groups.number.assign(mesh.positions.size(), noVertex);
  for (size_t p = 0; p < mesh.positions.size(); ++p) {
    const uint32_t g = groupOf(static_cast<uint32_t>(p));
    if (g != noGroup) groups.number[p] = static_cast<uint32_t>(taken[g]++);
  }
  for (size_t g = 0; g < n; ++g) groups.positionStart.push_back(groups.positionStart[g] + taken[g]);
  groups.positions.resize(groups.positionStart[n]);
  for (size_t p = 0; p < mesh.positions.size(); ++p) {
    const uint32_t g = groupOf(static_cast<uint32_t>(p));
    if (g != noGroup) groups.positions[groups.positionStart[g] + groups.number[p]] = uint32_t(p);
  }
  std::vector<uint32_t> faceGroup(mesh.faceCount(), noGroup);
  taken.assign(n, 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if (mesh.faceSize(f) == 0) continue;
    const uint32_t g = faceGroup[f] = groupOf(mesh.face(f)[0]);
    if (g == noGroup) continue;
    ++taken[g];
    groups.corners[g] += mesh.faceSize(f);
  }
  for (size_t g = 0; g < n; ++g) groups.faceStart.push_back(groups.faceStart[g] + taken[g]);
  groups.faces.resize(groups.faceStart[n]);
  taken.assign(n, 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    const uint32_t g = faceGroup[f];
    if (g != noGroup) groups.faces[groups.faceStart[g] + taken[g]++] = static_cast<uint32_t>(f);
  }
  groups.found.resize(n);
  return groups;
}

// Each group's vertices and parts renumbered as the whole mesh numbers them.
WeldedParts merged(const Mesh& mesh, const Groups& groups) {
  WeldedParts welded;
  // A vertex is numbered by the position it is kept at, the first that becomes it.
  std::vector<uint32_t> number(mesh.positions.size(), 0);
  for (size_t g = 0; g < groups.size(); ++g) {
    uint32_t kept = 0;
    for (size_t i = 0; i < groups.positionCount(g); ++i) {
      if (groups.found[g].vertex[i] == kept) {
        number[groups.positionsOf(g)[i]] = 1;
        ++kept;
      }
    }
  }
  uint32_t vertices = 0;
  for (uint32_t& n : number) {
    const uint32_t kept = n;
    n = vertices;
    vertices += kept;
  }
  welded.vertex.assign(mesh.positions.size(), noVertex);
  // A part is numbered by the face it begins at.
  struct Begun {
    uint32_t face, group, part;
  };
  std::vector<Begun> begun;
  for (uint32_t g = 0; g < groups.size(); ++g) {
    const WeldedParts& found = groups.found[g];
    const uint32_t* positions = groups.positionsOf(g);
    std::vector<uint32_t> keptAt(groups.positionCount(g));  // per vertex: the first position
    for (size_t i = groups.positionCount(g); i-- > 0;) keptAt[found.vertex[i]] = positions[i];
    for (size_t i = 0; i < groups.positionCount(g); ++i) {
      welded.vertex[positions[i]] = number[keptAt[found.vertex[i]]];
    }
    uint32_t part = 0;
    for (size_t f = 0; f < groups.faceCount(g); ++f) {
      if (found.parts.part[f] == part) begun.push_back({groups.facesOf(g)[f], g, part++});
    }
  }
  std::sort(begun.begin(), begun.end(),
            [](const Begun& a, const Begun& b) { return a.face < b.face; });
  std::vector<std::vector<uint32_t>> partNumber(groups.size());
  for (uint32_t g = 0; g < groups.size(); ++g) {
    partNumber[g].resize(groups.found[g].parts.parts.size());
  }
  Parts& parts = welded.parts;
  for (const Begun& b : begun) {
    partNumber[b.group][b.part] = static_cast<uint32_t>(parts.parts.size());
    parts.parts.push_back(groups.found[b.group].parts.parts[b.part]);
  }
  for (const Begun& b : begun) {  // a hollow lies in its shell's cluster, so in its group
    Parts::Part& p = parts.parts[partNumber[b.group][b.part]];
    if (p.shell != Parts::noPart) p.shell = partNumber[b.group][p.shell];
  }
  parts.part.assign(mesh.faceCount(), Parts::noPart);
  parts.reversed.assign(mesh.faceCount(), false);
  for (uint32_t g = 0; g < groups.size(); ++g) {
    const Parts& found = groups.found[g].parts;
    for (size_t f = 0; f < groups.faceCount(g); ++f) {
      const uint32_t face = groups.facesOf(g)[f];
      if (found.part[f] != Parts::noPart) parts.part[face] = partNumber[g][found.part[f]];
      parts.reversed[face] = found.reversed[f];
    }
    parts.openEdges += found.openEdges;
    parts.touchingEdges += found.touchingEdges;
    parts.inwardFaces += found.inwardFaces;
  }
  parts.closed = !parts.parts.empty();
  for (const Parts::Part& p : parts.parts) {
    parts.closed = parts.closed && p.closed;
    parts.volume += p.volume;
  }
  return welded;
}

}  // namespace

WeldedParts weldedPartsNear(const Mesh& mesh, double weldDistance,
                            const std::vector<char>& wanted) {
  const Bounds bounds = boundsOf(mesh);
  const double distance = weldDistance < 0 ? defaultWeldDistance(mesh) : weldDistance;
  const Surfaces surfaces = surfacesOf(mesh);
  const size_t count = surfaces.boxes.size();
  std::vector<char> wantedSurface(count, 0);
  for (size_t f = 0; f < mesh.faceCount(); ++f) {
    if (wanted[f] && mesh.faceSize(f) > 0) wantedSurface[surfaces.of[mesh.face(f)[0]]] = 1;
  }
  std::vector<uint32_t> cluster(count);
  if (distance > 0) {
    cluster = clustersOf(surfaces.boxes, 2 * distance);
  } else {
    std::iota(cluster.begin(), cluster.end(), 0u);  // only equal bits are shared
  }
  const auto whole = [&]() {
    WeldedParts welded = weldedParts(mesh, distance, bounds);
    welded.mesh = Mesh();
    return welded;
  };
  if (cluster.empty()) return whole();
  Groups groups = groupsOf(mesh, surfaces, cluster, wantedSurface, 1 << 15);
  // One group of most of the mesh is welded as the whole mesh, without the copy.
  if (groups.size() == 1 && 2 * groups.positionCount(0) > mesh.positions.size()) return whole();
  std::atomic<size_t> next{0};
  auto work = [&]() {
    for (size_t g; (g = next.fetch_add(1)) < groups.size();) {
      groups.found[g] = weldedParts(groups.meshOf(mesh, g), distance, bounds);
      groups.found[g].mesh = Mesh();
    }
  };
  if (groups.size() > 1) {
    inParallel(work, work);
  } else {
    work();
  }
  return merged(mesh, groups);
}
