#include "pallomir/ui/JEdxPrmFile.h"

#include "pallomir/ui/VersionText.h"
#include "platform/core/CFileFind.h"
#include "platform/core/EncodedTextFile.h"
#include "platform/core/Numbers.h"
#include "platform/core/Path.h"

#include <string>

JEdxPrmFile::~JEdxPrmFile() = default;

CString JEdxPrmFile::GetFileName(const JMeshCode &code) {
    CString name;
    if (code.GetCode2() == JMeshCode::kAbsent)
        name.Format("%04d.%s", code.GetCode1(), kExt);
    else
        name.Format("%04d-%02d.%s", code.GetCode1(), code.GetCode2(), kExt);
    return name;
}

bool JEdxPrmFile::IsFileNameValid(const CString &name) {
    const int dot = name.ReverseFind('.');
    if (dot < 0 || dot < name.ReverseFind('\\') || dot < name.ReverseFind('/'))
        return false;
    if (name.Mid(dot + 1).CompareNoCase(kExt) != 0)
        return false;
    JMeshCode code;
    return convToMeshCode(name, &code);
}

bool JEdxPrmFile::GetFileMeshCode(const CString &name, JMeshCode *code) {
    return convToMeshCode(name, code);
}

bool JEdxPrmFile::convToMeshCode(const CString &name, JMeshCode *code) {
    int first = 0;
    if (name.GetLength() < 4 || !getDigit(name.Left(4), &first) || first == 0)
        return false;
    if (name.GetLength() > 4 && name[4] == '-') {
        int second = 0;
        if (name.GetLength() < 7 || !getDigit(name.Mid(5, 2), &second))
            return false;
        if (code != nullptr)
            code->SetMeshCode2(static_cast<UINT>(first * 100 + second));
        return true;
    }
    if (code != nullptr)
        code->SetMeshCode1(static_cast<short>(first));
    return true;
}

bool JEdxPrmFile::getDigit(const CString &text, int *value) {
    for (const char c : text.Bytes()) {
        if (c < '0' || c > '9')
            return false;
    }
    *value = AtoiC(text);
    return true;
}

bool JEdxPrmFile::CheckFileVer(const CString &path, CString *field, CString *version) {
    EncodedTextFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeText))
        return false;
    CString line;
    TextLineFault fault = TextLineFault::None;
    try {
        // A line holding a NUL is refused, as every reader refuses one.
        const auto readLine = [&] {
            return file.ReadLine(line, fault) && fault == TextLineFault::None &&
                   line.Bytes().find('\0') == std::string::npos;
        };
        if (!readLine() || !readLine())
            return false;
    } catch (const CException &) {
        return false;
    }
    // The line may end with commas and blanks, as the index lines may.
    return getVersionString(line.TrimRight(", \t"), field, version, 18);
}

bool JEdxPrmFile::getVersionString(const CString &line, CString *field, CString *version,
                                   int column) {
    const CString text = line.GetLength() > column ? line.Mid(column, 9) : CString();
    const int dot = text.Find('.');
    if (text.IsEmpty() || dot < 0)
        return false;
    CString digits;
    const CString rest = text.Mid(dot + 1);
    for (const char c : rest.Bytes()) {
        if ((c >= '0' && c <= '9') || c == '.')
            digits += c;
    }
    if (digits.IsEmpty())
        return false;
    if (field != nullptr)
        *field = text;
    if (version != nullptr)
        *version = digits;
    return true;
}

CString JEdxPrmFile::GetFilePath(const CString &base, const CString &version,
                                 const JMeshCode &code) {
    CString meshFolder;
    meshFolder.Format("%04d", code.GetCode1());
    CString path = Path::Join(base, CFileFind::FindNameNoCase(base, CString("edx") + version));
    path = Path::Join(path, meshFolder);
    return Path::Join(path, CFileFind::FindNameNoCase(path, GetFileName(code)));
}

bool JEdxPrmFile::GetFolderVersion(const CString &folderName, CString *version) {
    if (folderName.GetLength() <= 3 || folderName.Left(3).CompareNoCase("edx") != 0 ||
        !IsVersionText(folderName.Mid(3)))
        return false;
    if (version != nullptr)
        *version = folderName.Mid(3);
    return true;
}

bool JEdxPrmFile::Is1stMeshFolderName(const CString &name) {
    int value = 0;
    return name.GetLength() == 4 && getDigit(name, &value);
}
