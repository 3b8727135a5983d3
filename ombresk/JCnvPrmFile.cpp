#include "ombresk/JCnvPrmFile.h"

#include "ombresk/JCnvPrmData.h"
#include "platform/core/CStdioFile.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

struct HeaderKind {
    JCnvPrmFileType type;
    const char *prefix;
    int versionColumn;
    int furtherLines;
};

// In the order they are tried.
constexpr HeaderKind kHeaders[] = {
    {CNVPRM_TYPE_TKY2JGD, "JGD2000-TokyoDatum", 18, 1},
    {CNVPRM_TYPE_SEMIDYNA, "for SemiDynaEXE", 15, 15},
    {CNVPRM_TYPE_PATCHJGD, "for PatchJGD", 15, 15},
};

const HeaderKind *findKind(JCnvPrmFileType type) {
    for (const HeaderKind &kind : kHeaders)
        if (kind.type == type)
            return &kind;
    return nullptr;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits line into at most count blank-separated tokens; the number found.
int splitTokens(std::string_view line, std::string_view *tokens, int count) {
    int found = 0;
    std::size_t i = 0;
    while (found < count) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i >= line.size())
            break;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        tokens[found++] = line.substr(start, i - start);
    }
    return found;
}

bool isBlankLine(std::string_view line) { return std::all_of(line.begin(), line.end(), isBlank); }

// An 8-digit third-level mesh code with second- and third-level digits in range.
bool parseMeshCode(std::string_view token, UINT &code) {
    int value = 0;
    if (!ParseInt(token, value) || !JMeshCode::IsMeshCode3(value))
        return false;
    code = static_cast<UINT>(value);
    return true;
}

bool parseShift(std::string_view token, float &value) {
    double d = 0.0;
    if (!ParseDouble(token, d) || !(std::fabs(d) <= FLT_MAX))
        return false;
    value = static_cast<float>(d);
    return true;
}

// Version text 1 of a first line read as type.
CString versionText(const CString &line, JCnvPrmFileType type) {
    const HeaderKind *kind = findKind(type);
    const int column = kind ? kind->versionColumn : kHeaders[0].versionColumn;
    if (line.GetLength() <= column)
        return CString();
    CString text = line.Mid(column);
    text.Trim(" \t\r");
    return text;
}

} // namespace

JCnvPrmFileType JCnvPrmFile::DetectType(const CString &line) {
    const std::string_view text(line.GetString(), static_cast<std::size_t>(line.GetLength()));
    for (const HeaderKind &kind : kHeaders)
        if (text.starts_with(kind.prefix))
            return kind.type;
    return CNVPRM_TYPE_DETECT;
}

int JCnvPrmFile::GetVersionColumn(JCnvPrmFileType type) {
    const HeaderKind *kind = findKind(type);
    return kind ? kind->versionColumn : -1;
}

int JCnvPrmFile::GetHeaderLineCount(JCnvPrmFileType type) {
    const HeaderKind *kind = findKind(type);
    return kind ? kind->furtherLines : -1;
}

bool JCnvPrmFile::MakeVerStr2(const CString &ver1, CString *ver2) {
    const int dot = ver1.Find('.');
    if (dot < 0)
        return false;
    CString kept;
    for (int i = dot + 1; i < ver1.GetLength(); ++i) {
        const char c = ver1[i];
        if ((c >= '0' && c <= '9') || c == '.')
            kept += c;
    }
    if (kept.IsEmpty())
        return false;
    if (ver2)
        *ver2 = kept;
    return true;
}

bool JCnvPrmFile::CheckFileVer(const CString &path, CString *ver1, CString *ver2) {
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText))
        return false;
    CString line;
    if (!file.ReadString(line))
        return false;
    JCnvPrmFileType type = DetectType(line);
    if (type == CNVPRM_TYPE_DETECT)
        type = CNVPRM_TYPE_TKY2JGD;
    const CString text = versionText(line, type);
    CString derived;
    if (!MakeVerStr2(text, &derived))
        return false;
    if (ver1)
        *ver1 = text;
    if (ver2)
        *ver2 = derived;
    return true;
}

JCnvPrmReadRetCode JCnvPrmFile::Read(const CString &path, JCnvPrmData *data, JCnvPrmFileType &type,
                                     ProgressMsgBase *progress) {
    if (data == nullptr)
        return CNVPRM_READ_DATA_ERROR;
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText))
        return CNVPRM_READ_OPEN_ERROR;

    // Header: the first line names the kind, then a fixed number of lines follow.
    CString line;
    if (!file.ReadString(line))
        return CNVPRM_READ_HEADER_ERROR;
    const JCnvPrmFileType detected = DetectType(line);
    if (detected != CNVPRM_TYPE_DETECT)
        type = detected;
    else if (findKind(type) == nullptr)
        return CNVPRM_READ_HEADER_ERROR;
    const CString ver1 = versionText(line, type);
    CString ver2;
    if (!MakeVerStr2(ver1, &ver2))
        return CNVPRM_READ_HEADER_ERROR;
    for (int i = GetHeaderLineCount(type); i > 0; --i)
        if (!file.ReadString(line))
            return CNVPRM_READ_HEADER_ERROR;
    data->SetFileVerStr(ver1, ver2);

    const bool semiDynamic = type == CNVPRM_TYPE_SEMIDYNA;
    const int fieldCount = semiDynamic ? 4 : 3;
    const std::uint64_t length = std::max<std::uint64_t>(file.GetLength(), 1);
    std::uint64_t lines = static_cast<std::uint64_t>(GetHeaderLineCount(type)) + 1;
    int lastPercent = -1;
    std::string_view tokens[4];
    JMeshCode code;
    while (file.ReadString(line)) {
        ++lines;
        const std::string_view text(line.GetString(), static_cast<std::size_t>(line.GetLength()));
        if (!isBlankLine(text)) {
            if (splitTokens(text, tokens, fieldCount) < fieldCount)
                return CNVPRM_READ_DATA_ERROR;
            UINT mesh = 0;
            float dB = 0.0f, dL = 0.0f, dH = 0.0f;
            if (!parseMeshCode(tokens[0], mesh) || !parseShift(tokens[1], dB) ||
                !parseShift(tokens[2], dL) || (semiDynamic && !parseShift(tokens[3], dH)))
                return CNVPRM_READ_DATA_ERROR;
            code.SetMeshCode3(mesh);
            const JMeshCodeElm key(code);
            if (semiDynamic)
                data->Append(code, std::make_unique<JSemiDynPrmElm>(key, dB, dL, dH));
            else
                data->Append(code, std::make_unique<JCnvPrmElm>(key, dB, dL));

            if (progress) {
                const int percent =
                    static_cast<int>(std::min<std::uint64_t>(lines * 30 * 100 / length, 100));
                if (percent > lastPercent) {
                    lastPercent = percent;
                    if (!progress->Progress(percent))
                        return CNVPRM_READ_STOPPED;
                }
            }
        }
        if (data->IsStopRequested())
            return CNVPRM_READ_STOPPED;
    }
    return CNVPRM_READ_SUCCESS;
}
