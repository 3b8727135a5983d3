#pragma once

#include "platform/core/CString.h"

#include <vector>

enum class FileCopyResult { Copied, Skipped, Failed };

// Copies files into a folder: the one file operation of the data-file copiers, replaced in
// tests.
class IFileCopyOperation {
  public:
    virtual ~IFileCopyOperation();

    // Copies each source file (full path) into folder, which exists, under its own name, and
    // gives one result per source in order. False when the user stopped the batch; the sources
    // not copied by then are Skipped.
    virtual bool CopyInto(const std::vector<CString> &sources, const CString &folder,
                          std::vector<FileCopyResult> &results) = 0;
};

// Copies with the file system. Before replacing files it asks once per batch (AfxMessageBox,
// Yes/No/Cancel): Yes replaces them, No keeps them (Skipped), Cancel stops the batch. Each file
// is replaced as CFile replaces files, so a failed copy leaves no half-written file and keeps
// the one it would have replaced. A copy is writable by its owner, also one of read-only media.
class FileCopyOperation : public IFileCopyOperation {
  public:
    bool CopyInto(const std::vector<CString> &sources, const CString &folder,
                  std::vector<FileCopyResult> &results) override;

    // The operation the copiers use when they are given none.
    static FileCopyOperation &Default();
};
