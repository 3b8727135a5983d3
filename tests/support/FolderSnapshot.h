#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace testsupport {

// Every entry under the folder, hidden ones and subfolders included, by its path relative to
// the folder: a file's bytes, or "<folder>" for a folder.
std::map<std::string, std::string> FolderSnapshot(const std::filesystem::path &folder);

} // namespace testsupport
