#include "pallomir/ui/CFileCopyDlgBase.h"

#include "pallomir/ui/FileCopyForm.h"
#include "pallomir/ui/JFileCopier.h"

CFileCopyDlgBase::CFileCopyDlgBase(UINT templateId, QWidget *parent)
    : JGDDlgBase(templateId, parent, 0) {}

UINT CFileCopyDlgBase::GetCopiedFileSize() const { return static_cast<UINT>(m_copiedFiles.size()); }

CString CFileCopyDlgBase::GetCopiedFileName(UINT i) const {
    return JFileCopier::GetFileNamePart(GetCopiedFilePath(i));
}

CString CFileCopyDlgBase::GetCopiedFilePath(UINT i) const {
    return i < m_copiedFiles.size() ? m_copiedFiles[i] : CString();
}

void CFileCopyDlgBase::EndWithCopied(const JFileCopier &copier, bool fullPaths) {
    for (UINT i = 0; i < copier.GetCopiedFileSize(); ++i)
        m_copiedFiles.push_back(fullPaths ? copier.GetCopiedFilePath(i)
                                          : copier.GetCopiedFileName(i));
    if (!m_copiedFiles.empty())
        JGDDlgBase::OnOK();
}

void CFileCopyDlgBase::SetFileChooser(IFileChooser *chooser) {
    if (m_form != nullptr)
        m_form->SetFileChooser(chooser);
}
