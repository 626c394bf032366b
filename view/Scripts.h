#pragma once

#include <string_view>

// The viewer library, three.js, built into the program: its module, the loader of glTF
// files, the loader's geometry helpers, the orbit controls, and its licence.
struct ViewerScripts {
  std::string_view three;
  std::string_view gltfLoader;
  std::string_view geometryUtils;
  std::string_view orbitControls;
  std::string_view licence;
};

const ViewerScripts& viewerScripts();
