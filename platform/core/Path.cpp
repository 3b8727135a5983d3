#include "platform/core/Path.h"

#include "platform/core/PathSpellings.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

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

std::vector<std::string_view> splitNative(std::string_view native) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = native.find('/', start);
        parts.push_back(native.substr(start, slash - start));
        if (slash == std::string_view::npos)
            return parts;
        start = slash + 1;
    }
}

template <typename Part> bool isAbsolute(const std::vector<Part> &parts) {
    return parts.size() > 1 && parts.front().empty();
}

// Components that name a folder or file of their own: not the empty text between two
// separators, nor ".".
bool isKey(std::string_view component) { return !component.empty() && component != "."; }

// A native name in cp932: characters cp932 lacks, bytes that are not UTF-8 and characters that
// would turn into a separator ("\\" and "¥" are both 0x5C) become '?'.
PathSpellings::Component fromNativeComponent(std::string_view native) {
    if (std::all_of(native.begin(), native.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\\'; }))
        return {std::string(native), std::string(native), true};
    std::string cp932 = FromUtf8(native).Bytes();
    bool replaced = false;
    for (std::size_t i = 0; i < cp932.size(); ++i) {
        if (CString::IsLeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size()) {
            ++i;
        } else if (cp932[i] == '\\') {
            cp932[i] = '?';
            replaced = true;
        }
    }
    std::string back;
    const bool exact = !replaced && Cp932ToUtf8(cp932, back) && back == native;
    return {std::move(cp932), std::string(native), exact};
}

// The components of a native path from the root (those of the current folder first, for a
// relative path); its cp932 form in cp932 when given.
std::vector<PathSpellings::Component> componentsOf(std::string_view native,
                                                   CString *cp932 = nullptr) {
    const std::vector<std::string_view> parts = splitNative(native);
    std::vector<PathSpellings::Component> components;
    if (!isAbsolute(parts)) {
        std::error_code error;
        const std::string cwd = std::filesystem::current_path(error).string();
        if (!error)
            components = componentsOf(cwd);
        else
            components.push_back({}); // a folder gone: no name under the root is taken for it
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        PathSpellings::Component component = fromNativeComponent(parts[i]);
        if (cp932 != nullptr)
            *cp932 += CString(i > 0 ? "/" : "") + CString(component.cp932);
        if (isKey(component.cp932))
            components.push_back(std::move(component));
    }
    return components;
}

// The characters of a native name, each as its code ("U+301C"; a byte that is not UTF-8 as
// "0xFF").
std::vector<CString> characterCodes(std::string_view native) {
    std::vector<CString> codes;
    for (std::size_t length = 0; !native.empty(); native.remove_prefix(length))
        codes.push_back(Utf8CharacterCode(native, length));
    return codes;
}

// The codes of the characters in which look-alike names differ: those some of them hold and
// others do not, in the order met.
CString differingCodes(const std::vector<std::string> &names) {
    std::vector<std::vector<CString>> codes;
    for (const std::string &name : names)
        codes.push_back(characterCodes(name));
    CString list;
    std::vector<CString> listed;
    for (const std::vector<CString> &name : codes) {
        for (const CString &code : name) {
            const bool inAll = std::all_of(codes.begin(), codes.end(), [&](const auto &other) {
                return std::find(other.begin(), other.end(), code) != other.end();
            });
            if (inAll || std::find(listed.begin(), listed.end(), code) != listed.end())
                continue;
            listed.push_back(code);
            list += (list.IsEmpty() ? "" : "、") + code;
        }
    }
    return list;
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
    // Converted first: a cp932 trail byte may be 0x5C.
    std::string utf8;
    if (!Cp932ToUtf8(path.Bytes(), utf8)) {
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
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    const PathSpellings &spellings = PathSpellings::Instance();
    if (spellings.IsEmpty()) {
        native = std::move(utf8);
        return true;
    }
    // Each component as it is converted plainly, and under the name it is remembered by: the
    // cp932 form its conversion comes back as, so that two codes of one character (0xEEEF and
    // 0xFA40 are both "ⅰ") find the same entry.
    const std::vector<std::string_view> plain = splitNative(utf8);
    const std::string canonical = FromUtf8(utf8).Bytes();
    const std::vector<std::string_view> names = splitNative(canonical);
    std::vector<std::string> keys;
    for (std::string_view name : names) {
        if (isKey(name))
            keys.emplace_back(name);
    }
    const std::vector<PathSpellings::Spelling> found = spellings.Find(
        isAbsolute(plain) ? std::vector<PathSpellings::Component>() : componentsOf("."), keys);
    std::string out;
    std::size_t key = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (i > 0)
            out += '/';
        const PathSpellings::Spelling *spelling = isKey(names[i]) ? &found[key++] : nullptr;
        if (spelling != nullptr && spelling->kind == PathSpellings::Spelling::LookAlikes) {
            if (fault != nullptr)
                fault->Format("%sの「%s」は、見分けのつかない名前（%s）が同じフォルダーに複数あ"
                              "るため、どれのことか決められません。",
                              path.GetString(), std::string(names[i]).c_str(),
                              differingCodes(spelling->lookAlikes).GetString());
            return false;
        }
        if (spelling != nullptr && spelling->kind == PathSpellings::Spelling::Spelled)
            out += spelling->native;
        else
            out += plain[i];
    }
    native = std::move(out);
    return true;
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
    CString path;
    PathSpellings::Instance().Remember(componentsOf(native, &path));
    return path;
}

std::vector<CString> FromNativeEntries(std::string_view nativeFolder,
                                       const std::vector<std::string> &names) {
    std::vector<PathSpellings::Component> entries;
    std::vector<CString> converted;
    for (const std::string &name : names) {
        entries.push_back(fromNativeComponent(name));
        converted.emplace_back(entries.back().cp932);
    }
    PathSpellings::Instance().RememberEntries(componentsOf(nativeFolder), entries);
    return converted;
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
