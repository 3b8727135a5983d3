#include "platform/core/CException.h"

#include "platform/core/Path.h"

#include <cerrno>
#include <cstddef>

namespace {

struct MessageText {
    const char *withFile; // "%s" stands for the file name
    const char *withoutFile;
};

const MessageText kFileMessages[] = {
    {"%sでエラーは発生していません。", "エラーは発生していません。"},
    {"%sの処理中にエラーが発生しました。", "ファイルの処理中にエラーが発生しました。"},
    {"%sが見つかりません。", "ファイルが見つかりません。"},
    {"%sのパスが正しくありません。", "パスが正しくありません。"},
    {"開いているファイルが多すぎるため%sを開けません。", "開いているファイルが多すぎます。"},
    {"%sへのアクセスが拒否されました。", "ファイルへのアクセスが拒否されました。"},
    {"%sは開かれていないか無効です。", "ファイルが開かれていないか無効です。"},
    {"%sは現在のフォルダーのため削除できません。", "現在のフォルダーは削除できません。"},
    {"フォルダーがいっぱいのため%sを作成できません。", "フォルダーがいっぱいです。"},
    {"%sの読み書き位置を移動できません。", "ファイルの読み書き位置を移動できません。"},
    {"%sの読み書き中に入出力エラーが発生しました。", "入出力エラーが発生しました。"},
    {"%sは他で使用中のため開けません。", "ファイルは他で使用中のため開けません。"},
    {"%sはロックされています。", "ファイルはロックされています。"},
    {"ディスクがいっぱいのため%sに書き込めません。", "ディスクがいっぱいです。"},
    {"%sの終わりを越えて読み込もうとしました。", "ファイルの終わりを越えて読み込もうとしました。"},
};

const MessageText kArchiveMessages[] = {
    {"%sでエラーは発生していません。", "エラーは発生していません。"},
    {"%sの読み書き中にエラーが発生しました。", "データの読み書き中にエラーが発生しました。"},
    {"%sは読み込み用に開かれているため書き込めません。",
     "読み込み用に開かれているため書き込めません。"},
    {"%sの終わりを越えて読み込もうとしました。", "データの終わりを越えて読み込もうとしました。"},
    {"%sは書き込み用に開かれているため読み込めません。",
     "書き込み用に開かれているため読み込めません。"},
    {"%sに正しくない参照があります。", "データに正しくない参照があります。"},
    {"%sに予期しない種類のデータがあります。", "予期しない種類のデータがあります。"},
    {"%sのデータ形式が正しくありません。", "データ形式が正しくありません。"},
};

CString formatMessage(const MessageText &text, const CString &fileName) {
    if (fileName.IsEmpty())
        return CString(text.withoutFile);
    CString message;
    message.Format(text.withFile, fileName.GetString());
    return message;
}

template <std::size_t N>
CString formatMessage(const MessageText (&table)[N], int cause, const CString &fileName) {
    // An unknown cause reads as the generic one.
    return formatMessage(
        (cause >= 0 && static_cast<std::size_t>(cause) < N) ? table[cause] : table[1], fileName);
}

} // namespace

CString CException::GetErrorMessage() const { return CString(); }

CFileException::CFileException(int cause, long osError, const CString &fileName)
    : m_cause(cause), m_strFileName(fileName), m_lOsError(osError) {}

CString CFileException::GetErrorMessage() const {
    CString message = causeMessage();
    if (!m_strDetail.IsEmpty())
        message += "\n" + m_strDetail;
    return message;
}

CString CFileException::causeMessage() const {
    // Written, but not confirmed by the disk: said as such, not as a failed write.
    if (m_bInPlace)
        return withName("%sは書き込みましたが、ディスクが書き込みを確認しませんでした。",
                        "ファイルは書き込みましたが、ディスクが書き込みを確認しませんでした。");
    // A file that must not be replaced: said as such, not as a refused access.
    if (m_cause == accessDenied && m_lOsError == EEXIST)
        return withName("%sは既にあるため書き込めません。", "同じ名前のファイルが既にあります。");
    if (m_lOsError == ENAMETOOLONG)
        return withName("%sの名前が長すぎます。", "ファイルの名前が長すぎます。");
    // A path that cannot be carried to the file system says which character stands in the way.
    if (m_cause == badPath && m_lOsError == EILSEQ) {
        const CString fault = Path::NativeFault(m_strFileName);
        if (!fault.IsEmpty())
            return fault;
    }
    return formatMessage(kFileMessages, m_cause, m_strFileName);
}

CString CFileException::withName(const char *withFile, const char *withoutFile) const {
    return formatMessage(MessageText{withFile, withoutFile}, m_strFileName);
}

int CFileException::OsErrorToException(long osError) {
    switch (osError) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EILSEQ:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case EBUSY:
    case ETXTBSY:
        return sharingViolation;
    case ENOTEMPTY:
        return removeCurrentDir;
    case EMLINK:
        return directoryFull;
    case ESPIPE:
    case EOVERFLOW:
        return badSeek;
    case EIO:
    case ENXIO:
        return hardIO;
    case EDEADLK:
    case ENOLCK:
        return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return diskFull;
    default:
        return genericException;
    }
}

void CFileException::ThrowOsError(long osError, const CString &fileName) {
    throw CFileException(OsErrorToException(osError), osError, fileName);
}

CArchiveException::CArchiveException(int cause, const CString &fileName)
    : m_cause(cause), m_strFileName(fileName) {}

CString CArchiveException::GetErrorMessage() const {
    return formatMessage(kArchiveMessages, m_cause, m_strFileName);
}

void AfxThrowFileException(int cause, long osError, const CString &fileName) {
    throw CFileException(cause, osError, fileName);
}

void AfxThrowArchiveException(int cause, const CString &fileName) {
    throw CArchiveException(cause, fileName);
}
