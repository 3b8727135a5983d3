#pragma once

#include "pallomir/ui/FileCopyOperation.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <utility>
#include <vector>

// Installs data files: finds them by their naming rule, works out the destination folder of
// each, creates it and copies. The lists grow over the calls made on one copier.
class JFileCopier {
  public:
    // A file that was to be copied and was not, and why.
    struct Failure {
        CString path;
        CString reason;
    };

    // operation: how files are copied (not owned); null copies with FileCopyOperation.
    explicit JFileCopier(IFileCopyOperation *operation = nullptr);
    JFileCopier(const JFileCopier &) = default;
    JFileCopier &operator=(const JFileCopier &) = default;
    virtual ~JFileCopier();

    // Copies every file of srcFolder with the extension (any when empty) that passes the
    // naming rule, one batch per destination folder. False when there is no such file.
    bool CopyFiles(const CString &srcFolder, const CString &dstBase, const CString &dstSub,
                   const CString &ext);
    // Copies one file; true only when it was copied. A file whose name fails the rule, that
    // has no destination or whose copy fails is listed in GetFailures.
    bool CopyFileA(const CString &srcPath, const CString &dstBase, const CString &dstSub);

    UINT GetCopiedFileSize() const;
    CString GetCopiedFilePath(UINT i) const;
    // The file-name part of the path.
    CString GetCopiedFileName(UINT i) const;
    void ClearCopiedFileName();

    const std::vector<Failure> &GetFailures() const { return m_failures; }
    // True when the user stopped the last copy.
    bool IsCancelled() const { return m_cancelled; }

    // The text after the last '\', '/' or ':'; the whole text when there is none.
    static CString GetFileNamePart(const CString &path);

  protected:
    virtual bool checkFileNameRule(const CString &fileName) const;
    // The folder the file goes to, created when missing; empty (with the failure listed)
    // when there is none. The base: dstBase/dstSub.
    virtual CString getFileDstPath(const CString &srcPath, const CString &dstBase,
                                   const CString &dstSub);

    // Creates the folder and its missing parents; true when it exists afterwards.
    static bool createFolder(const CString &folder);
    // The files (not folders) of folder with the extension (any when empty), in search order.
    static std::vector<CString> findFiles(const CString &folder, const CString &ext);
    // folder/name, or folder alone for an empty name.
    static CString joinFolder(const CString &folder, const CString &name);
    // The destination folder after creating it; empty with the failure listed when it cannot
    // be created.
    CString makeDstFolder(const CString &srcPath, const CString &folder);
    void addFailure(const CString &path, const CString &reason);
    // One batch into folder; true when every file was copied.
    bool copyFile_sub(const std::vector<CString> &sources, const CString &folder);

    std::vector<CString> m_copiedFiles;
    std::vector<CString> m_dstFolders;
    std::vector<std::pair<CString, std::vector<CString>>> m_copyGroups;
    std::vector<Failure> m_failures;
    bool m_cancelled = false;
    IFileCopyOperation *m_operation;
};

// Administrative-boundary and coastline files of the national land numerical information:
// "N03-YYA-PP.txt" (year YY of the Heisei era, prefecture PP), or "N03-YYA-2K_PP.txt".
class JAdbFileCopier : public JFileCopier {
  public:
    using JFileCopier::JFileCopier;

    // "N03-" in any case, then 'A' (upper case) at index 6.
    static bool IsFileNameValid(const CString &name);
    // The two digits at index 4; 0 when the name is not valid or they are not digits.
    static int GetFileYear(const CString &name);
    // The two digits of the prefecture: at index 11 when is2K, else at index 8; 0 when the
    // name is not valid or they are not digits.
    static int GetFilePrefCode(const CString &name, bool is2K);
    // The prefecture of either form, as the name itself says.
    static int GetFilePrefCode(const CString &name);
    // True for the "N03-YYA-2K_PP" form.
    static bool Is2KFileName(const CString &name);
    // Empty unless 0 < prefCode < 48 and 0 <= year <= 99.
    static CString GetFileName(int prefCode, int year, bool is2K);

  protected:
    bool checkFileNameRule(const CString &fileName) const override;
};

// EDX error-index files, copied to dstBase/<dstSub><version>/<first-level mesh>/.
class JEdxFileCopier : public JFileCopier {
  public:
    using JFileCopier::JFileCopier;

    // Copies the files of every first-level mesh folder of the mounted floppy disk. False
    // (with a message) when no disk is there or nothing was copied.
    bool CopyFilesFromFD(const CString &dstBase, const CString &dstSub, const CString &ext);
    // The newest version among the destination folders, compared by number; empty when none.
    CString getMaxCopiedVerStr() const;
    // Exactly four digits.
    static bool is1stMeshFolderName(const CString &name);

  protected:
    bool checkFileNameRule(const CString &fileName) const override;
    CString getFileDstPath(const CString &srcPath, const CString &dstBase,
                           const CString &dstSub) override;
    // The folder where the floppy disk is mounted; empty when none is.
    virtual CString getFloppyFolder() const;
};
