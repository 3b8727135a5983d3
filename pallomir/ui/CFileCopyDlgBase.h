#pragma once

#include "pallomir/ui/JGDDlgBase.h"
#include "platform/core/CString.h"

#include <vector>

class FileCopyForm;
class IFileChooser;
class IFileCopyOperation;
class JFileCopier;

// The base of the installation dialogs that report what they copied. The caller reads the
// copied list after DoModal returns OK, which it does only when something was copied.
class CFileCopyDlgBase : public JGDDlgBase {
    Q_OBJECT

  public:
    UINT GetCopiedFileSize() const;
    // The file-name part of entry i.
    CString GetCopiedFileName(UINT i) const;
    CString GetCopiedFilePath(UINT i) const;

    // Where the browse buttons ask and how files are copied (not owned; null: the Qt dialogs
    // and FileCopyOperation).
    void SetFileChooser(IFileChooser *chooser);
    void SetFileCopyOperation(IFileCopyOperation *operation) { m_operation = operation; }

  protected:
    CFileCopyDlgBase(UINT templateId, QWidget *parent);

    // Adds what the copier copied to the list, as file names or as full paths, and closes the
    // dialog with OK when the list holds anything: nothing copied is no success, and the dialog
    // stays open.
    void EndWithCopied(const JFileCopier &copier, bool fullPaths);

    FileCopyForm *m_form = nullptr;
    IFileCopyOperation *m_operation = nullptr;
    std::vector<CString> m_copiedFiles;
};
