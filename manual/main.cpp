// Writes the manual page and the bash completion script, each to the file named.
// usage: vandrel-manual PAGE COMPLETION

#include <cstdio>
#include <fstream>
#include <string>

#include "Completion.h"
#include "ManPage.h"

namespace {

bool writeFile(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: vandrel-manual PAGE COMPLETION\n", stderr);
    return 2;
  }
  if (!writeFile(argv[1], manPage()) || !writeFile(argv[2], completionScript())) {
    std::fprintf(stderr, "vandrel-manual: cannot write %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
