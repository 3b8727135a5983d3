#include "platform/core/Path.h"

#include "platform/core/NativeText.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace Path {

namespace {

// Index of the last separator, double-byte aware; -1 when there is none.
int lastSeparator(const CString &path) {
    int last = -1;
    const int length = path.GetLength();
    for (int i = 0; i < length; ++i) {
        const char c = path[i];
        if (CString::IsLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (IsSeparator(c))
            last = i;
    }
    return last;
}

// The components of a cp932 path between its separators, double-byte aware: "/a//b/" gives
// "", "a", "", "b", "".
std::vector<std::string> splitCp932(const CString &path) {
    std::vector<std::string> parts(1);
    const int length = path.GetLength();
    for (int i = 0; i < length; ++i) {
        const char c = path[i];
        if (CString::IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < length) {
            parts.back() += c;
            parts.back() += path[++i];
        } else if (IsSeparator(c)) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// The first character of a cp932 component that does not convert, as its bytes ("81 20").
CString badBytes(const std::string &component) {
    for (std::size_t i = 0; i < component.size();) {
        const bool pair = CString::IsLeadByte(static_cast<unsigned char>(component[i])) &&
                          i + 1 < component.size();
        const std::string character = component.substr(i, pair ? 2 : 1);
        std::string utf8;
        if (!Cp932ToUtf8(character, utf8))
            return HexBytes(character);
        i += character.size();
    }
    return CString();
}

// The native path of a cp932 path; false with the reason in fault (when given) when it cannot be
// carried.
bool spell(const CString &path, std::string &native, CString *fault) {
    if (NativeText::PathToNative(path.Bytes(), native))
        return true;
    if (fault != nullptr) {
        for (const std::string &part : splitCp932(path)) {
            const CString bytes = badBytes(part);
            if (!bytes.IsEmpty()) {
                fault->Format("%sには、シフトJISの文字でないバイト（%s）があります。",
                              path.GetString(), bytes.GetString());
                break;
            }
        }
    }
    return false;
}

} // namespace

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

CString ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return CString();
    const std::string folder = exe.parent_path().string();
    return FromNative(folder.empty() ? std::string("/") : folder);
}

bool ToNative(const CString &path, std::string &native) { return spell(path, native, nullptr); }

CString NativeFault(const CString &path) {
    std::string native;
    CString fault;
    spell(path, native, &fault);
    return fault;
}

CString FromNative(std::string_view native) {
    return NativeText::FromNative(native, NativeText::Kind::Path);
}

CString FileName(const CString &path) {
    const int sep = lastSeparator(path);
    return sep < 0 ? path : path.Mid(sep + 1);
}

CString Folder(const CString &path) {
    const int sep = lastSeparator(path);
    if (sep < 0)
        return CString();
    return path.Left(sep == 0 ? 1 : sep);
}

CString FileTitle(const CString &name) {
    int dot = -1;
    const int length = name.GetLength();
    for (int i = 0; i < length; ++i) {
        const char c = name[i];
        if (CString::IsLeadByte(static_cast<unsigned char>(c)))
            ++i;
        else if (c == '.')
            dot = i;
    }
    return dot < 0 ? name : name.Left(dot);
}

bool RemoveFile(const CString &path) {
    std::string native;
    if (!ToNative(path, native))
        return false;
    std::error_code error;
    if (std::filesystem::symlink_status(native, error).type() !=
        std::filesystem::file_type::regular)
        return false;
    return std::filesystem::remove(native, error);
}

bool Exists(const CString &path) {
    std::string native;
    if (!ToNative(path, native))
        return true;
    std::error_code error;
    // A missing entry or a missing folder on the way is not_found; anything else is taken.
    return std::filesystem::symlink_status(native, error).type() !=
           std::filesystem::file_type::not_found;
}

bool IsFolder(const CString &path) {
    std::string native;
    if (path.IsEmpty() || !ToNative(path, native))
        return false;
    std::error_code error;
    return std::filesystem::is_directory(native, error);
}

bool CreateFolder(const CString &path) {
    std::string native;
    if (path.IsEmpty() || !ToNative(path, native))
        return false;
    std::error_code error;
    std::filesystem::create_directories(native, error);
    return std::filesystem::is_directory(native, error);
}

CString Join(const CString &folder, const CString &name) {
    if (folder.IsEmpty())
        return name;
    int skip = 0;
    while (skip < name.GetLength() && IsSeparator(name[skip]))
        ++skip;
    const CString rest = name.Mid(skip);
    // The last byte of folder is a separator only when it is not a trail byte.
    if (lastSeparator(folder) == folder.GetLength() - 1)
        return folder + rest;
    return folder + "/" + rest;
}

} // namespace Path
