#pragma once

#include "platform/core/CString.h"

#include <QComboBox>

#include <utility>
#include <vector>

// Picks a grid parameter file (*.par) of a base folder. The nine published files come first in
// their own order, the others after them in search order.
class PrmFileCmbBox : public QComboBox {
    Q_OBJECT

  public:
    // "TKY2JGD.par", "北海道.par", ... "九州沖縄.par".
    static const char *const s_knownFiles[9];

    explicit PrmFileCmbBox(const CString &baseDir, QWidget *parent = nullptr);

    // The list is rebuilt by the next SetData.
    void SetBaseDir(const CString &baseDir);
    const CString &GetBaseDir() const { return m_baseDir; }
    // Rebuilds the list from the base folder. True.
    bool SetData();
    // The file name of the selected item, empty without a selection.
    CString GetSelectedFile() const;

    // The file names (as found on disk) of the *.par files of folder in list order: each of
    // the nine known names, matched without case, then the rest in search order.
    static std::vector<CString> CollectFileNames(const CString &folder);

  private:
    CString m_baseDir;
    std::vector<CString> m_files;
};

// Picks the folder of a parameter-file version: "バージョン %s" for each folder par<version>
// of the base folder (in search order), then "バージョン不明(実行ファイルと同じ位置)" for the
// base folder itself.
class PrmVerCmbBox : public QComboBox {
    Q_OBJECT

  public:
    // (folder name, version).
    using Entry = std::pair<CString, CString>;

    explicit PrmVerCmbBox(const CString &baseDir, QWidget *parent = nullptr);

    void SetBaseDir(const CString &baseDir);
    const CString &GetBaseDir() const { return m_baseDir; }
    // Rebuilds the list from the base folder. True.
    bool SetData();
    // The folder name of the selected entry; empty for the base folder or without selection.
    CString GetSelectedDirName() const;
    // The path of the selected entry's folder; empty without a selection.
    CString GetSelectedDir() const;
    // Selects the first entry of that folder name (exact case); no selection when none.
    void SelectItem(const CString &folderName);

    // The folders of folder whose names begin with "par" (in any case), with the rest of the
    // name as the version, in search order.
    static std::vector<Entry> CollectDirs(const CString &folder);

  private:
    CString m_baseDir;
    std::vector<Entry> m_entries;
};
