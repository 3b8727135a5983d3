#include "platform/core/FileReplacement.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace FileReplacement {

int PutInPlace(const std::string &temporary, const std::string &target, bool noReplace) {
    if (!noReplace)
        return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return err;
    // A file system that cannot rename without replacing: a link is only made where no name is.
    if (::link(temporary.c_str(), target.c_str()) != 0)
        return errno;
    ::unlink(temporary.c_str());
    return 0;
}

} // namespace FileReplacement
