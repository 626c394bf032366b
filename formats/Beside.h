#pragma once

#include <string>

// Files that a model file names (glTF buffers, OBJ material libraries) are read only from the
// model file's own folder. Whether `name`, as written in a model file in `folder` (already
// percent-decoded where the format encodes it), is a regular file in that folder or below it:
// not an absolute path, no ".." step, no URI scheme ("file:"), and no link that leads out of
// the folder. On true, *path is the file's path; on false, *why says what is wrong.
bool besideFile(const std::string& folder, const std::string& name, std::string* path,
                std::string* why);

// The path with every link resolved, or empty where it does not exist.
std::string resolvedPath(const std::string& path);
