#pragma once

#include "pallomir/ui/FileCopyOperation.h"
#include "platform/core/CString.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Installation folders and data files for the tests of the copiers and the dialogs.

// Writes the bytes to root/relative (a cp932 path with '/'), creating its folders.
inline CString PutFile(const std::filesystem::path &root, const CString &relative,
                       const std::string &bytes) {
    const std::filesystem::path file = root / ToUtf8(relative);
    std::filesystem::create_directories(file.parent_path());
    testsupport::WriteFileBytes(file, bytes);
    return FromUtf8(file.string());
}

inline void MakeFolder(const std::filesystem::path &root, const CString &relative) {
    std::filesystem::create_directories(root / ToUtf8(relative));
}

inline bool Exists(const std::filesystem::path &root, const CString &relative) {
    return std::filesystem::exists(root / ToUtf8(relative));
}

// An EDX file as the error-index generation writes it; the parameter version field starts at
// column 18 of the second line.
inline std::string EdxBytes(const char *parameterVersion = "Ver.2.1.2") {
    return std::string("Trelvic/EDX File 1.00\r\nTKY2JGD parameter ") + parameterVersion +
           "\r\n53390000,   0.12,   0.34\r\n";
}

// The head of a TKY2JGD parameter file.
inline std::string ParBytes(const char *version = "Ver.2.1.1") {
    return std::string("JGD2000-TokyoDatum ") + version +
           "\r\nMeshCode dB(sec) dL(sec)\r\n53394600   1.0   2.0\r\n";
}

// Copies with the file system and records the batches; files whose names are listed in
// failing fail.
class RecordingCopy : public IFileCopyOperation {
  public:
    std::vector<std::pair<CString, std::vector<CString>>> batches;
    std::set<CString> failing;

    bool CopyInto(const std::vector<CString> &sources, const CString &folder,
                  std::vector<FileCopyResult> &results) override {
        batches.emplace_back(folder, sources);
        std::vector<CString> copied;
        for (const CString &source : sources) {
            bool fails = false;
            for (const CString &name : failing)
                fails = fails || source.Right(name.GetLength()) == name;
            if (!fails)
                copied.push_back(source);
        }
        std::vector<FileCopyResult> copiedResults;
        const bool goOn = m_files.CopyInto(copied, folder, copiedResults);
        results.clear();
        std::size_t next = 0;
        for (const CString &source : sources) {
            const bool fails = next >= copied.size() || copied[next] != source;
            results.push_back(fails ? FileCopyResult::Failed : copiedResults[next++]);
        }
        return goOn;
    }

  private:
    FileCopyOperation m_files;
};
