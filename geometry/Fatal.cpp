#include "Fatal.h"

#include <cstdlib>
#include <iostream>

void geometryFatal(const std::string& text) {
  std::cerr << text << std::flush;
  std::exit(200);
}
