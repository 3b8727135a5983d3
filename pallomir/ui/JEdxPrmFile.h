#pragma once

#include "ombresk/JMeshCode.h"
#include "platform/core/CString.h"

// The naming rules of EDX error-index files: "5339.edx" for a first-level mesh,
// "5339-01.edx" for a second-level one, kept under <base>/edx<version>/<first-level mesh>/.
class JEdxPrmFile {
  public:
    static constexpr const char *kExt = "edx";

    JEdxPrmFile() = default;
    JEdxPrmFile(const JEdxPrmFile &) = default;
    JEdxPrmFile &operator=(const JEdxPrmFile &) = default;
    virtual ~JEdxPrmFile();

    // "%04d.edx", or "%04d-%02d.edx" when the code has a second level.
    static CString GetFileName(const JMeshCode &code);
    // The extension is "edx" in any case and the name gives a mesh code.
    static bool IsFileNameValid(const CString &name);
    static bool GetFileMeshCode(const CString &name, JMeshCode *code);
    // The version of the grid parameters the file was made from: from its second line, less
    // the commas and blanks that end it, the 9 characters from column 18
    // ("TKY2JGD parameter Ver.2.1.2") are the field, the digits
    // and dots after the field's first '.' the version. False when the file cannot be read,
    // has fewer than two lines, one of them holding a NUL, or no version.
    static bool CheckFileVer(const CString &path, CString *field, CString *version);
    // base/edx<version>/<first-level mesh>/<file name>. Each part that exists on disk in
    // another case (EDX1.00, 5339.EDX) is taken as it is found.
    static CString GetFilePath(const CString &base, const CString &version, const JMeshCode &code);
    // The version of a version folder "edx<version>" (any case), digits and dots only; false
    // for any other name.
    static bool GetFolderVersion(const CString &folderName, CString *version);
    // A first-level mesh folder: exactly four digits.
    static bool Is1stMeshFolderName(const CString &name);

  protected:
    // "NNNN" (first level) or "NNNN-MM" (second level) at the start of the name; NNNN must not
    // be 0. MM may be 00: the error-index generation names the south-west square so.
    static bool convToMeshCode(const CString &name, JMeshCode *code);
    // False when text has a character that is not a digit; else value = its number.
    static bool getDigit(const CString &text, int *value);
    static bool getVersionString(const CString &line, CString *field, CString *version, int column);
};
