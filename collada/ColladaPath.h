#pragma once
// How file references written in a document (<init_from>, <include url>) become absolute paths.
#include <string>
#include <string_view>

namespace libkub {

// Back-slashes become '/', "file:///C:/..." becomes "C:/...", "file:///home/..." becomes
// "/home/...", and '|' used for ':' in a drive letter becomes ':'.
std::string convertFileReference(std::string_view text);

// Joins a relative path to the base folder (absolute paths and drive paths are kept) and folds
// "." and ".." segments. Empty stays empty.
std::string resolvePath(std::string_view baseFolder, std::string_view path);

// convertFileReference then resolvePath, after trimming surrounding white space.
std::string resolveFileReference(std::string_view baseFolder, std::string_view text);

} // namespace libkub
