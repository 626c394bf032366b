#include "Beside.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace {

bool hasScheme(const std::string& name) {
  const size_t colon = name.find(':');
  if (colon == std::string::npos || colon < 2) return false;  // "C:" is a drive, not a scheme
  for (size_t i = 0; i < colon; ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
          c == '-' || c == '.')) {
      return false;
    }
  }
  return true;
}

bool hasParentStep(const std::string& name) {
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::string resolvedPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::string();
  std::string result(real);
  std::free(real);
  return result;
}

bool besideFile(const std::string& folder, const std::string& name, std::string* path,
                std::string* why) {
  if (name.empty()) {
    *why = "an empty name";
    return false;
  }
  if (name[0] == '/' || name[0] == '\\' || hasScheme(name) || hasParentStep(name)) {
    *why = "outside the file's folder";
    return false;
  }
  const std::string joined = (folder.empty() ? std::string(".") : folder) + "/" + name;
  const std::string real = resolvedPath(joined), base = resolvedPath(folder.empty() ? "." : folder);
  if (real.empty() || base.empty()) {
    *why = "not found";
    return false;
  }
  if (real.compare(0, base.size(), base) != 0 ||
      (real.size() > base.size() && base != "/" && real[base.size()] != '/')) {
    *why = "a link that leads outside the file's folder";
    return false;
  }
  struct stat s;
  if (::stat(real.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) {
    *why = "not a regular file";
    return false;
  }
  *path = real;
  return true;
}
