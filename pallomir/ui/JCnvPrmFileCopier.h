#pragma once

#include "pallomir/ui/JFileCopier.h"

class QWidget;

// Installs grid parameter files (*.par), from the TKY2JGD CD-ROM, a folder or one file, into
// the installation folder itself or, versioned, into its par<version> folder.
class JCnvPrmFileCopier : public JFileCopier {
  public:
    using JFileCopier::JFileCopier;

    // Asks the user to insert the CD-ROM, in a box over owner; true for OK.
    bool CopyPrmFilesPrompt(QWidget *owner = nullptr) const;
    // From the "pars" folder of the mounted CD-ROM. False (with a message) when dstBase is
    // empty, no CD-ROM is mounted or it holds no parameter file.
    bool CopyPrmFiles(const CString &dstBase, bool versioned);
    // Every *.par file of srcFolder; false when there is none.
    bool CopyPrmFiles(const CString &srcFolder, const CString &dstBase, bool versioned);
    // One file; true only when it was copied.
    bool CopyPrmFile(const CString &srcPath, const CString &dstBase, bool versioned);
    // Whether CopyFiles and CopyFileA copy into the version folders.
    void SetVersioned(bool versioned) { m_versioned = versioned; }

  protected:
    CString getFileDstPath(const CString &srcPath, const CString &dstBase,
                           const CString &dstSub) override;
    // dstBase, or dstBase/par<version> when versioned and the file's header gives a version;
    // created when missing.
    CString getPrmFileDstPath(const CString &srcPath, const CString &dstBase, bool versioned);
    // The folder where the CD-ROM is mounted; empty when none is.
    virtual CString getCdRomFolder() const;

  private:
    bool m_versioned = true;
};
