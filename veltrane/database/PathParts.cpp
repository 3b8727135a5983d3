#include "veltrane/database/PathParts.h"

#include "platform/core/Path.h"

namespace {

bool endsFolder(char c) { return Path::IsSeparator(c) || c == ':'; }

// Index of the last separator or colon, double-byte aware; -1 when there is none.
int lastFolderEnd(const CString &path) {
    int last = -1;
    const int length = path.GetLength();
    for (int i = 0; i < length; ++i) {
        if (CString::IsLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (endsFolder(path[i]))
            last = i;
    }
    return last;
}

} // namespace

CString GetFileNamePart(const CString &path) { return path.Mid(lastFolderEnd(path) + 1); }

CString GetFolderPart(const CString &path) { return path.Left(lastFolderEnd(path) + 1); }

CString RemoveTrailingSeparator(const CString &path) {
    const int length = path.GetLength();
    if (length == 0 || lastFolderEnd(path) != length - 1 || path[length - 1] == ':')
        return path;
    const CString before = path.Left(length - 1);
    bool onlySeparators = true;
    for (int i = 0; i < before.GetLength(); ++i)
        onlySeparators = onlySeparators && Path::IsSeparator(before[i]);
    if (onlySeparators || before[before.GetLength() - 1] == ':')
        return path;
    return before;
}
