#pragma once

#include "platform/core/CString.h"

#include <QString>

class QWidget;

// Lets the user pick a folder or a file: the browse buttons of the installation dialogs go
// through it, so tests answer with prepared paths.
class IFileChooser {
  public:
    virtual ~IFileChooser();

    // Starts at folder; true with folder set when the user chose one.
    virtual bool ChooseFolder(QWidget *owner, const CString &title, CString &folder) = 0;
    // An existing file. filter as the framework writes it: "text (*.ext)|*.ext||". path: on
    // entry the folder to start in (empty: the current one). True with path set when the user
    // chose one.
    virtual bool ChooseFile(QWidget *owner, const CString &title, const CString &filter,
                            const CString &defaultExt, CString &path) = 0;
    // A file to write, as ChooseFile; the user confirms replacing an existing file. False in a
    // chooser that offers no files to write.
    virtual bool ChooseSaveFile(QWidget *owner, const CString &title, const CString &filter,
                                const CString &defaultExt, CString &path);
};

// The Qt file dialogs.
class QtFileChooser : public IFileChooser {
  public:
    bool ChooseFolder(QWidget *owner, const CString &title, CString &folder) override;
    bool ChooseFile(QWidget *owner, const CString &title, const CString &filter,
                    const CString &defaultExt, CString &path) override;
    bool ChooseSaveFile(QWidget *owner, const CString &title, const CString &filter,
                        const CString &defaultExt, CString &path) override;

    static QtFileChooser &Default();
    // "a (*.x)|*.x|b (*.y)|*.y||" -> "a (*.x);;b (*.y)": the descriptions, which carry their
    // patterns in brackets.
    static QString ToQtFilter(const CString &filter);
};
