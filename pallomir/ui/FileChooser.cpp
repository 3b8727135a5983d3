#include "pallomir/ui/FileChooser.h"

#include "platform/ui/QtText.h"

#include <QFileDialog>
#include <QStringList>

IFileChooser::~IFileChooser() = default;

bool IFileChooser::ChooseSaveFile(QWidget *, const CString &, const CString &, const CString &,
                                  CString &) {
    return false;
}

bool QtFileChooser::ChooseFolder(QWidget *owner, const CString &title, CString &folder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(owner, ToQString(title), ToQPath(folder));
    if (chosen.isEmpty())
        return false;
    folder = FromQPath(chosen);
    return true;
}

bool QtFileChooser::ChooseFile(QWidget *owner, const CString &title, const CString &filter,
                               const CString &defaultExt, CString &path) {
    QFileDialog dialog(owner, ToQString(title), ToQPath(path), ToQtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(ToQString(defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = FromQPath(dialog.selectedFiles().first());
    return true;
}

bool QtFileChooser::ChooseSaveFile(QWidget *owner, const CString &title, const CString &filter,
                                   const CString &defaultExt, CString &path) {
    QFileDialog dialog(owner, ToQString(title), ToQPath(path), ToQtFilter(filter));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(ToQString(defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = FromQPath(dialog.selectedFiles().first());
    return true;
}

QtFileChooser &QtFileChooser::Default() {
    static QtFileChooser chooser;
    return chooser;
}

QString QtFileChooser::ToQtFilter(const CString &filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList descriptions;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty())
            descriptions << parts[i];
    }
    return descriptions.join(QStringLiteral(";;"));
}
