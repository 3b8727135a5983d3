#include "platform/core/SettingsStore.h"

#include "platform/core/CFile.h"
#include "platform/core/NativeText.h"
#include "platform/core/Numbers.h"
#include "platform/core/Path.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The file as sections of values, all text in UTF-8.
struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
};
using Sections = std::vector<Section>;

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(const std::string &a, const std::string &b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

std::string escape(const std::string &value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string unescape(const std::string &text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

Sections parse(const std::string &content) {
    Sections sections;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string::npos && close > 1)
                sections.push_back({line.substr(1, close - 1), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0 || sections.empty())
            continue;
        sections.back().values.emplace_back(line.substr(0, equals),
                                            unescape(line.substr(equals + 1)));
    }
    return sections;
}

std::string format(const Sections &sections) {
    std::string out;
    for (const Section &section : sections) {
        if (!out.empty())
            out += '\n';
        out += '[' + section.name + "]\n";
        for (const auto &[name, value] : section.values)
            out += name + '=' + escape(value) + '\n';
    }
    return out;
}

bool nativePath(const CString &path, fs::path &native) {
    std::string text;
    if (path.IsEmpty() || !Path::ToNative(path, text))
        return false;
    native = text;
    return true;
}

Sections load(const CString &path) {
    fs::path native;
    std::error_code ec;
    if (!nativePath(path, native) || !fs::is_regular_file(native, ec))
        return {};
    std::ifstream in(native, std::ios::binary);
    std::string content;
    try {
        content.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const std::ios_base::failure &) {
        return {};
    }
    return parse(content);
}

bool save(const CString &path, const Sections &sections) {
    fs::path native;
    if (!nativePath(path, native))
        return false;
    std::error_code ec;
    if (native.has_parent_path())
        fs::create_directories(native.parent_path(), ec);
    // Replaced whole or not at all (CFile).
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        const std::string text = format(sections);
        file.Write(text.data(), static_cast<UINT>(text.size()));
        file.Close();
    } catch (const CFileException &) {
        return false;
    }
    return true;
}

// A name or value as the file holds it: what stands for native characters (a folder spelled
// "〜") is written as those characters, so that the next run reads the very same text back.
bool toUtf8(const CString &text, std::string &utf8) {
    return NativeText::ToShownUtf8(text.Bytes(), NativeText::Kind::Text, true, utf8);
}

bool hasLineBreak(const std::string &text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// The names as they stand in the file; false when they cannot be stored.
bool storableNames(const CString &section, const CString &name, std::string &sectionUtf8,
                   std::string &nameUtf8) {
    if (!toUtf8(section, sectionUtf8) || !toUtf8(name, nameUtf8))
        return false;
    if (sectionUtf8.empty() || nameUtf8.empty() || hasLineBreak(sectionUtf8) ||
        hasLineBreak(nameUtf8))
        return false;
    return nameUtf8.front() != '[' && nameUtf8.find('=') == std::string::npos;
}

Section *findSection(Sections &sections, const std::string &name) {
    for (Section &section : sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

const std::string *findValue(const Sections &sections, const std::string &section,
                             const std::string &name) {
    for (const Section &candidate : sections) {
        if (!sameName(candidate.name, section))
            continue;
        for (const auto &[valueName, value] : candidate.values) {
            if (sameName(valueName, name))
                return &value;
        }
    }
    return nullptr;
}

CString homeFolder() {
    const char *home = std::getenv("HOME");
    if (home != nullptr && *home != '\0')
        return Path::FromNative(home);
    const passwd *entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? Path::FromNative(entry->pw_dir)
                                                        : CString(".");
}

} // namespace

SettingsStore::SettingsStore(const CString &filePath) : m_path(filePath) {}

CString SettingsStore::ConfigPath(const CString &folder, const CString &fileName) {
    const char *config = std::getenv("XDG_CONFIG_HOME");
    const CString base = (config != nullptr && config[0] == '/')
                             ? Path::FromNative(config)
                             : Path::Join(homeFolder(), ".config");
    return Path::Join(Path::Join(base, folder), fileName);
}

CString SettingsStore::GetString(const CString &section, const CString &name,
                                 const CString &defaultValue) const {
    std::string sectionUtf8, nameUtf8;
    if (!toUtf8(section, sectionUtf8) || !toUtf8(name, nameUtf8))
        return defaultValue;
    const Sections sections = load(m_path);
    const std::string *value = findValue(sections, sectionUtf8, nameUtf8);
    if (value == nullptr)
        return defaultValue;
    return NativeText::FromNative(*value, NativeText::Kind::Text);
}

int SettingsStore::GetInt(const CString &section, const CString &name, int defaultValue) const {
    int value = defaultValue;
    const CString text = GetString(section, name);
    if (text.IsEmpty() || !ParseInt(text.Bytes(), value))
        return defaultValue;
    return value;
}

bool SettingsStore::WriteString(const CString &section, const CString &name, const CString &value) {
    std::string sectionUtf8, nameUtf8, valueUtf8;
    if (!storableNames(section, name, sectionUtf8, nameUtf8) || !toUtf8(value, valueUtf8))
        return false;
    Sections sections = load(m_path);
    Section *target = findSection(sections, sectionUtf8);
    if (target == nullptr) {
        sections.push_back({sectionUtf8, {}});
        target = &sections.back();
    }
    for (auto &[valueName, stored] : target->values) {
        if (sameName(valueName, nameUtf8)) {
            stored = valueUtf8;
            return save(m_path, sections);
        }
    }
    target->values.emplace_back(nameUtf8, valueUtf8);
    return save(m_path, sections);
}

bool SettingsStore::WriteInt(const CString &section, const CString &name, int value) {
    CString text;
    text.Format("%d", value);
    return WriteString(section, name, text);
}

bool SettingsStore::DeleteValue(const CString &section, const CString &name) {
    std::string sectionUtf8, nameUtf8;
    if (!toUtf8(section, sectionUtf8) || !toUtf8(name, nameUtf8))
        return false;
    Sections sections = load(m_path);
    Section *target = findSection(sections, sectionUtf8);
    if (target == nullptr)
        return true;
    const auto before = target->values.size();
    std::erase_if(target->values,
                  [&nameUtf8](const auto &value) { return sameName(value.first, nameUtf8); });
    if (target->values.size() == before)
        return true;
    if (target->values.empty())
        std::erase_if(sections, [target](const Section &s) { return &s == target; });
    return save(m_path, sections);
}
