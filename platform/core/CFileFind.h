#pragma once

#include "platform/core/CString.h"

#include <cstddef>
#include <vector>

// Lists the entries of one folder that match a wildcard name ('*', '?', ASCII
// letters matched without case). Names are cp932 carrying the folder's spelling
// (Path::FromNative), so that a result's path opens that very entry, also beside a look-alike
// ("〜" U+301C beside "～" U+FF5E). Results come sorted by name without case.
class CFileFind {
  public:
    CFileFind();
    ~CFileFind();

    CFileFind(const CFileFind &) = delete;
    CFileFind &operator=(const CFileFind &) = delete;

    // Folder part plus wildcard name; false when nothing matches.
    bool FindFile(const CString &pattern = "*.*");
    // Moves to the next result (call it before reading the first one); false
    // when the result moved to is the last one, or when there was none.
    bool FindNextFile();

    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileTitle() const;
    bool IsDirectory() const;
    // True for "." and "..".
    bool IsDots() const;

    void Close();

    // Whether a name matches a wildcard pattern as the search matches it: '*' any run of
    // characters, '?' any one (a native character carried byte by byte too), ASCII letters
    // without case; a name without a dot also matches
    // as if it ended in one ("edx*.*" matches edx2).
    static bool MatchesName(const CString &name, const CString &pattern);

    // The entry of folder named name without regard to case (the exact name first when both
    // exist); name itself when there is none.
    static CString FindNameNoCase(const CString &folder, const CString &name);

  private:
    struct Entry {
        CString name;
        bool directory;
    };

    const Entry *current() const;

    CString m_folder;
    std::vector<Entry> m_entries;
    std::size_t m_next = 0;
    bool m_hasCurrent = false;
};
