#pragma once

#include "pallomir/ui/JGDDlgBase.h"
#include "platform/core/CString.h"

class IFileChooser;
class IFileCopyOperation;
class PrmFileCmbBox;
class PrmVerCmbBox;

// Chooses the grid parameter file and the version folder it is taken from: the par<version>
// folders of the installation folder, or the installation folder itself. The copy button
// installs files (CPrmFileCopyDlg) and refreshes both lists.
class CPrmFileSelDlg : public JGDDlgBase {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 19111;
    static constexpr int IDC_CMB_PRMFILE = 19112;
    static constexpr int IDC_BTN_PRMFILE_COPY = 19113;
    static constexpr int IDC_CMB_PRMVERSION = 19114;

    // file: the file chosen so far; folderName: its version folder (empty for the
    // installation folder itself).
    CPrmFileSelDlg(const CString &file, const CString &folderName, const CString &installFolder,
                   QWidget *parent = nullptr);

    CString GetSelectedFile() const { return m_selectedFile; }
    // The folder name; empty for the installation folder itself.
    CString GetSelectedDir() const { return m_selectedDir; }
    // True when the file or the folder name differs (in any character) from the initial one.
    bool IsChanged() const;

    // Passed on to the copy dialog (not owned; null: the Qt dialogs and FileCopyOperation).
    void SetFileChooser(IFileChooser *chooser) { m_chooser = chooser; }
    void SetFileCopyOperation(IFileCopyOperation *operation) { m_operation = operation; }

  protected:
    bool OnInitDialog() override;
    void OnOK() override;

    void OnBtnPrmfileCopy();
    void OnSelchangeCmbPrmversion();
    void OnSelchangeCmbPrmfile();
    // Refills both lists and selects the chosen file and folder.
    void setComboBox();
    // The folder of the chosen version.
    CString getPrmFileDir() const;

  private:
    PrmFileCmbBox *m_pFileCombo;
    PrmVerCmbBox *m_pVerCombo;
    CString m_installFolder;
    CString m_initFile;
    CString m_initDir;
    CString m_selectedFile;
    CString m_selectedDir;
    IFileChooser *m_chooser = nullptr;
    IFileCopyOperation *m_operation = nullptr;
};
