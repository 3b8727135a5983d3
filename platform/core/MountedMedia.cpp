#include "platform/core/MountedMedia.h"

#include "platform/core/Path.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace MountedMedia {

namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// "\040" and the like back to the byte they stand for.
std::string decode(const std::string &field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

std::vector<Entry> Parse(std::string_view table) {
    std::vector<Entry> entries;
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, folder, type;
        if (fields >> device >> folder >> type)
            entries.push_back({Path::FromNative(decode(device)), Path::FromNative(decode(folder)),
                               CString(type)});
    }
    return entries;
}

std::vector<Entry> Read() {
    std::ifstream in("/proc/self/mounts");
    if (!in)
        return {};
    return Parse(std::string(std::istreambuf_iterator<char>(in), {}));
}

std::vector<CString> CdRomFolders(const std::vector<Entry> &entries) {
    std::vector<CString> folders;
    for (const Entry &entry : entries) {
        if (entry.type == "iso9660" || entry.type == "udf")
            folders.push_back(entry.folder);
    }
    return folders;
}

std::vector<CString> FloppyFolders(const std::vector<Entry> &entries) {
    std::vector<CString> folders;
    for (const Entry &entry : entries) {
        const CString &device = entry.device;
        if (device.GetLength() > 7 && device.Left(7) == "/dev/fd" &&
            device.Mid(7).FindOneOf("0123456789") == 0)
            folders.push_back(entry.folder);
    }
    return folders;
}

} // namespace MountedMedia
