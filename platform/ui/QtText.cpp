#include "platform/ui/QtText.h"

#include "platform/core/Path.h"

#include <string>
#include <string_view>

QString ToQString(const CString &cp932) {
    const std::string utf8 = ToUtf8(cp932);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString ToQString(const char *cp932) {
    return cp932 == nullptr ? QString() : ToQString(CString(cp932));
}

QString ToQPath(const CString &path) {
    std::string native;
    if (!Path::ToNative(path, native))
        return ToQString(path);
    return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size()));
}

CString FromQPath(const QString &path) {
    const QByteArray utf8 = path.toUtf8();
    return Path::FromNative(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

CString ToCString(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    return FromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}
