#pragma once

#include "pallomir/ui/CFileCopyDlgBase.h"

class JEdxFileCopier;

// Installs EDX error-index files into <installation folder>/edx<version>/<first-level mesh>,
// from the Trelvic/EDX floppy disk, a folder or one file. The copied list holds the full
// source paths; GetCopiedVerStr the newest version installed.
class CEDXFileCopyDlg : public CFileCopyDlgBase {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 10003;
    static constexpr int IDC_RADIO_FD = 10017;

    CEDXFileCopyDlg(const CString &installFolder, QWidget *parent = nullptr);

    CString GetCopiedVerStr() const { return m_copiedVersion; }

  protected:
    bool OnInitDialog() override;
    void OnOK() override;
    // The copier for one OK; tests give one that finds a floppy disk elsewhere.
    virtual JEdxFileCopier *createCopier();

  private:
    CString m_installFolder;
    CString m_copiedVersion;
};
