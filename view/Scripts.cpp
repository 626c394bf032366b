#include "Scripts.h"

// Each file is assembled into the read-only data of the program between a start and an end
// symbol. VANDREL_THREE is the folder of the three package (view/web/node_modules/three).
#define VANDREL_EMBED(symbol, file)                                                      \
  __asm__(".pushsection .rodata\n.balign 16\n.global " #symbol "\n" #symbol              \
          ":\n.incbin \"" VANDREL_THREE "/" file "\"\n.global " #symbol "_end\n" #symbol \
          "_end:\n.popsection\n")

VANDREL_EMBED(vandrel_three, "build/three.module.min.js");
VANDREL_EMBED(vandrel_gltf_loader, "examples/jsm/loaders/GLTFLoader.js");
VANDREL_EMBED(vandrel_geometry_utils, "examples/jsm/utils/BufferGeometryUtils.js");
VANDREL_EMBED(vandrel_orbit_controls, "examples/jsm/controls/OrbitControls.js");
VANDREL_EMBED(vandrel_three_licence, "LICENSE");

extern "C" {
extern const char vandrel_three[], vandrel_three_end[];
extern const char vandrel_gltf_loader[], vandrel_gltf_loader_end[];
extern const char vandrel_geometry_utils[], vandrel_geometry_utils_end[];
extern const char vandrel_orbit_controls[], vandrel_orbit_controls_end[];
extern const char vandrel_three_licence[], vandrel_three_licence_end[];
}

namespace {

std::string_view between(const char* first, const char* last) {
  return std::string_view(first, static_cast<size_t>(last - first));
}

}  // namespace

const ViewerScripts& viewerScripts() {
  static const ViewerScripts scripts{
      between(vandrel_three, vandrel_three_end),
      between(vandrel_gltf_loader, vandrel_gltf_loader_end),
      between(vandrel_geometry_utils, vandrel_geometry_utils_end),
      between(vandrel_orbit_controls, vandrel_orbit_controls_end),
      between(vandrel_three_licence, vandrel_three_licence_end),
  };
  return scripts;
}
