#pragma once

#include "pallomir/ui/CFileCopyDlgBase.h"

// Installs administrative-boundary and coastline files into <installation folder>/mlitksj,
// from a folder or one file. The copied list holds the file names.
class CADBFileCopyDlg : public CFileCopyDlgBase {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 10006;
    static constexpr int IDC_STATIC_TEXT = 10007;

    CADBFileCopyDlg(const CString &installFolder, QWidget *parent = nullptr);

  protected:
    bool OnInitDialog() override;
    void OnOK() override;

  private:
    CString m_installFolder;
};
