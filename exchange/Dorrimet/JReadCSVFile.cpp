#include "exchange/Dorrimet/JReadCSVFile.h"

namespace {

std::unique_ptr<DivisionString> makeSplitter(int mode, bool elmInfo) {
    auto splitter = std::make_unique<JDivisionString>(256, mode);
    splitter->SetElmInfoFlag(elmInfo);
    return splitter;
}

} // namespace

JReadCSVFile::JReadCSVFile(CString path, int mode, bool elmInfo)
    : ReadCSVFile(std::move(path), makeSplitter(mode, elmInfo)),
      m_fields(static_cast<JDivisionString *>(m_splitter.get())) {
    if (isUsed()) {
        try {
            m_fileSize = m_file->GetLength();
        } catch (const CFileException &) {
            m_fileSize = 0;
        }
    }
}

std::uint64_t JReadCSVFile::GetFileSize() const { return m_fileSize; }

std::uint64_t JReadCSVFile::GetCurrentPos() const { return isUsed() ? m_file->GetPosition() : 0; }

const CString &JReadCSVFile::GetBufferStr() const { return m_line; }

const std::vector<JDivStrElmInfo> &JReadCSVFile::GetStrElmInfoVector() const {
    return m_fields->GetStrElmInfoVector();
}
