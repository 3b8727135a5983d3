#pragma once

#include "pallomir/ui/JGDDlgBase.h"
#include "platform/core/CString.h"

class FileCopyForm;
class IFileChooser;
class IFileCopyOperation;
class JCnvPrmFileCopier;

// Installs grid parameter files from the TKY2JGD CD-ROM, a folder or one file, into the
// installation folder or, with the versioned check box (on by default), its par<version>
// folder. DoModal returns OK only when something was copied.
class CPrmFileCopyDlg : public JGDDlgBase {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 19120;
    static constexpr int IDC_RADIO_CDROM = 19121;
    static constexpr int IDC_CHECK_VERSIONED = 19122;

    CPrmFileCopyDlg(const CString &installFolder, QWidget *parent = nullptr);

    // The source chosen: 0 CD-ROM, 1 folder, 2 file.
    int GetCopyKind() const;

    void SetFileChooser(IFileChooser *chooser);
    void SetFileCopyOperation(IFileCopyOperation *operation) { m_operation = operation; }

  protected:
    void OnOK() override;
    // The copier for one OK; tests give one that finds a CD-ROM elsewhere.
    virtual JCnvPrmFileCopier *createCopier();

  private:
    CString m_installFolder;
    FileCopyForm *m_form;
    IFileCopyOperation *m_operation = nullptr;
};
