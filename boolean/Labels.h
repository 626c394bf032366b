#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

// What one boolean operation knows of the labels of its solids' triangles (a label is a face of
// an input model), shared by every solid of the operation.
struct Labels {
  std::vector<char> split;    // per label: the operation cut its face
  std::vector<uint32_t> kin;  // per label: the first label of a face with the same lead record

  // Labels the next face, whose lead record is `lead`.
  void add(const std::array<float, 4>& lead) {
    const auto [at, added] = firstOfLead_.try_emplace(lead, uint32_t(kin.size()));
    kin.push_back(at->second);
  }

 private:
  std::map<std::array<float, 4>, uint32_t> firstOfLead_;
};
