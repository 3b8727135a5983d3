#pragma once

#include <functional>

namespace testsupport {

// The file-system calls a program makes, counted while one lives, and made to fail, or to kill
// the process, at a chosen one: as a file system that lacks a call does, or a crash at that
// step. The definitions of those calls in the test program take the place of the C library's
// for the program and every library it loads. One at a time, on one thread.
class SystemCallFaults {
  public:
    enum Call {
        Open,            // open, openat
        Write,           // write
        Fsync,           // fsync
        Close,           // close
        Rename,          // rename, renameat, renameat2 without flags
        RenameNoReplace, // renameat2 with flags
        Link,            // link, linkat
        Unlink,          // unlink, unlinkat
        Mkdir,           // mkdir
        Rmdir,           // rmdir
        Chown,           // fchown
        Chmod,           // fchmod
        SetXattr,        // fsetxattr, fremovexattr
        CallKinds
    };

    SystemCallFaults();
    ~SystemCallFaults();
    SystemCallFaults(const SystemCallFaults &) = delete;
    SystemCallFaults &operator=(const SystemCallFaults &) = delete;

    // The nth call of the kind (counted from 1) first runs before (its own calls are not
    // counted), then fails with err, or runs when err is 0.
    void FailAt(Call call, int nth, int err, std::function<void()> before = {});
    // Every call of the kind fails with err.
    void FailAlways(Call call, int err);
    // As FAT and exFAT through FUSE answer: no rename that cannot replace, no hard links.
    void LikeFuseFat();
    // The process is killed (SIGKILL) at the nth call of any kind, before it runs.
    void KillAt(long nth);

    // The calls of any kind, and of one kind, so far.
    long Calls() const;
    int Count(Call call) const;
};

} // namespace testsupport
