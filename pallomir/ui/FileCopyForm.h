#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <QObject>

#include <vector>

class IFileChooser;
class JFileCopier;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QLineEdit;
class QPushButton;

// The controls and their behaviour that the three installation dialogs share: the texts at
// the top, one radio button per source, the folder and file edits with their browse buttons,
// an optional check box, and the OK (copy) and back buttons. OK is enabled when the chosen
// source is complete: a folder or a file typed or browsed for, or the removable medium.
class FileCopyForm : public QObject {
    Q_OBJECT

  public:
    static constexpr int IDC_RADIO_FOLDER = 19123;
    static constexpr int IDC_RADIO_FILE = 19124;
    static constexpr int IDC_EDIT_FOLDER = 19125;
    static constexpr int IDC_EDIT_FILE = 19126;
    static constexpr int IDC_BTN_REF_FOLDER = 19127;
    static constexpr int IDC_BTN_REF_FILE = 19128;

    struct Radio {
        int id;
        const char *text;
        int value;
    };
    struct Text {
        int id;
        const char *text;
        int height; // dialog units
    };
    struct Layout {
        const char *title;
        std::vector<Text> texts;
        std::vector<Radio> radios;
        int defaultValue;
        int folderValue;
        int fileValue;
        // The check box below the radio buttons; id 0 for none.
        int checkId = 0;
        const char *checkText = nullptr;
        // The browse buttons are enabled only with their own radio button.
        bool browseFollowsRadio = true;
        // The open-file dialog of the file browse button.
        const char *fileExt;
        const char *fileFilter;
        const char *fileTitle;
    };

    // Builds the controls into the dialog and sizes it.
    FileCopyForm(QDialog *dialog, Layout layout);

    int GetKind() const;
    // The edits' texts without surrounding blanks.
    CString GetFolder() const;
    CString GetFile() const;
    bool IsChecked() const;
    void SetChecked(bool checked);

    void SetFileChooser(IFileChooser *chooser);

    // Enables OK and the browse buttons as the chosen source asks.
    void updateCtrls();
    void OnBtnRefFolder();
    void OnBtnRefFile();

    // Copies from the folder or the file the form names (as the chosen radio button says) into
    // installFolder/dstSub, with the dialog disabled and the wait cursor shown; then tells the
    // user when the folder holds no such file (noFileMessage) and which files were not copied.
    // False, with nothing done, when the chosen edit is empty.
    bool CopyFromSource(JFileCopier &copier, const CString &installFolder, const CString &dstSub,
                        const CString &ext, const char *noFileMessage);

    // Tells the user which files were not copied and why; nothing when every file was.
    static void ReportFailures(const JFileCopier &copier);

  private:
    QDialog *m_dialog;
    Layout m_layout;
    IFileChooser *m_chooser;
    QButtonGroup *m_radios = nullptr;
    QLineEdit *m_folder = nullptr;
    QLineEdit *m_file = nullptr;
    QPushButton *m_refFolder = nullptr;
    QPushButton *m_refFile = nullptr;
    QCheckBox *m_check = nullptr;
    QPushButton *m_ok = nullptr;
};

// Keeps a window disabled while it lives (a copy runs), and enables it again however the
// handler ends.
class DisableWhile {
  public:
    explicit DisableWhile(QDialog *dialog);
    ~DisableWhile();
    DisableWhile(const DisableWhile &) = delete;
    DisableWhile &operator=(const DisableWhile &) = delete;

  private:
    QDialog *m_dialog;
};
