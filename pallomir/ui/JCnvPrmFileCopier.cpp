#include "pallomir/ui/JCnvPrmFileCopier.h"

#include "ombresk/JCnvPrmFile.h"
#include "pallomir/ui/JEdxPrmFile.h"
#include "platform/core/CFileFind.h"
#include "platform/core/MountedMedia.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"
#include "platform/ui/MessageBox.h"

bool JCnvPrmFileCopier::CopyPrmFilesPrompt(QWidget *owner) const {
    return QtMessageBox(" 変換パラメータファイルをTKY2JGDのCD-ROMよりコピーします。\n"
                        " CD-ROMドライブにTKY2JGDのCD-ROMをセットし、準備が整ったら[OK]"
                        "ボタンを押してください。\n"
                        " (すでに変換パラメータファイルが存在する場合は、上書きされます。)",
                        MB_OKCANCEL | MB_ICONINFORMATION, owner,
                        "変換パラメータファイルのコピー") == IDOK;
}

bool JCnvPrmFileCopier::CopyPrmFiles(const CString &dstBase, bool versioned) {
    if (dstBase.IsEmpty())
        return false;
    const CString drive = getCdRomFolder();
    if (drive.IsEmpty()) {
        AfxMessageBox("CD-ROMドライブが見つかりませんでした。");
        return false;
    }
    const CString folder = Path::Join(drive, CFileFind::FindNameNoCase(drive, "pars"));
    if (findFiles(folder, "par").empty()) {
        AfxMessageBox("CD-ROMにパラメータファイルが見つかりませんでした。\n"
                      "まだCD-ROMの準備が出来ていないか、TKY2JGDのCD-ROMでない可能性があります。");
        return false;
    }
    return CopyPrmFiles(folder, dstBase, versioned);
}

bool JCnvPrmFileCopier::CopyPrmFiles(const CString &srcFolder, const CString &dstBase,
                                     bool versioned) {
    SetVersioned(versioned);
    return CopyFiles(srcFolder, dstBase, CString(), "par");
}

bool JCnvPrmFileCopier::CopyPrmFile(const CString &srcPath, const CString &dstBase,
                                    bool versioned) {
    SetVersioned(versioned);
    return CopyFileA(srcPath, dstBase, CString());
}

CString JCnvPrmFileCopier::getFileDstPath(const CString &srcPath, const CString &dstBase,
                                          const CString &) {
    return getPrmFileDstPath(srcPath, dstBase, m_versioned);
}

CString JCnvPrmFileCopier::getPrmFileDstPath(const CString &srcPath, const CString &dstBase,
                                             bool versioned) {
    CString version;
    if (versioned && JCnvPrmFile::CheckFileVer(srcPath, nullptr, &version) && !version.IsEmpty())
        return makeDstFolder(
            srcPath, Path::Join(dstBase, CFileFind::FindNameNoCase(dstBase, "par" + version)));
    return makeDstFolder(srcPath, dstBase);
}

CString JCnvPrmFileCopier::getCdRomFolder() const {
    const std::vector<CString> discs = MountedMedia::CdRomFolders(MountedMedia::Read());
    return discs.empty() ? CString() : discs.front();
}
