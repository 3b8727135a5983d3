#include "tests/support/SystemCallFaults.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::SystemCallFaults;

struct Fault {
    int nth; // 0: every call
    int err;
    std::function<void()> before;
};

struct State {
    long calls = 0;
    long killAt = 0;
    int counts[SystemCallFaults::CallKinds] = {};
    std::vector<Fault> faults[SystemCallFaults::CallKinds];
};

State *g_state = nullptr;
// The calls a fault's own action makes are not counted.
bool g_inside = false;

// The errno value the call fails with, or 0 when it runs.
int enter(SystemCallFaults::Call call) {
    if (g_state == nullptr || g_inside)
        return 0;
    State &state = *g_state;
    ++state.calls;
    const int nth = ++state.counts[call];
    if (state.killAt != 0 && state.calls == state.killAt)
        ::kill(::getpid(), SIGKILL);
    for (const Fault &fault : state.faults[call]) {
        if (fault.nth != 0 && fault.nth != nth)
            continue;
        if (fault.before) {
            g_inside = true;
            fault.before();
            g_inside = false;
        }
        if (fault.err != 0)
            return fault.err;
    }
    return 0;
}

template <typename F> F next(const char *name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

#define ZT_FAULT(call)                                                                             \
    if (const int err = enter(SystemCallFaults::call)) {                                           \
        errno = err;                                                                               \
        return -1;                                                                                 \
    }

// The mode an open passes, where its flags say there is one.
#define ZT_MODE                                                                                    \
    mode_t mode = 0;                                                                               \
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {                                   \
        va_list args;                                                                              \
        va_start(args, flags);                                                                     \
        mode = va_arg(args, mode_t);                                                               \
        va_end(args);                                                                              \
    }

} // namespace

namespace testsupport {

SystemCallFaults::SystemCallFaults() { g_state = new State(); }

SystemCallFaults::~SystemCallFaults() {
    State *state = g_state;
    g_state = nullptr;
    delete state;
}

void SystemCallFaults::FailAt(Call call, int nth, int err, std::function<void()> before) {
    g_state->faults[call].push_back({nth, err, std::move(before)});
}

void SystemCallFaults::FailAlways(Call call, int err) {
    g_state->faults[call].push_back({0, err, {}});
}

void SystemCallFaults::LikeFuseFat() {
    FailAlways(RenameNoReplace, EINVAL);
    FailAlways(Link, EPERM);
}

void SystemCallFaults::KillAt(long nth) { g_state->killAt = nth; }

long SystemCallFaults::Calls() const { return g_state->calls; }

int SystemCallFaults::Count(Call call) const { return g_state->counts[call]; }

} // namespace testsupport

extern "C" {

int open(const char *path, int flags, ...) {
    static const auto real = next<int (*)(const char *, int, ...)>("open");
    ZT_MODE
    ZT_FAULT(Open)
    return real(path, flags, mode);
}

int open64(const char *path, int flags, ...) {
    static const auto real = next<int (*)(const char *, int, ...)>("open64");
    ZT_MODE
    ZT_FAULT(Open)
    return real(path, flags, mode);
}

int openat(int dir, const char *path, int flags, ...) {
    static const auto real = next<int (*)(int, const char *, int, ...)>("openat");
    ZT_MODE
    ZT_FAULT(Open)
    return real(dir, path, flags, mode);
}

int openat64(int dir, const char *path, int flags, ...) {
    static const auto real = next<int (*)(int, const char *, int, ...)>("openat64");
    ZT_MODE
    ZT_FAULT(Open)
    return real(dir, path, flags, mode);
}

ssize_t write(int fd, const void *buffer, size_t count) {
    static const auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    ZT_FAULT(Write)
    return real(fd, buffer, count);
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    ZT_FAULT(Fsync)
    return real(fd);
}

int close(int fd) {
    static const auto real = next<int (*)(int)>("close");
    ZT_FAULT(Close)
    return real(fd);
}

int rename(const char *from, const char *to) noexcept {
    static const auto real = next<int (*)(const char *, const char *)>("rename");
    ZT_FAULT(Rename)
    return real(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to) noexcept {
    static const auto real = next<int (*)(int, const char *, int, const char *)>("renameat");
    ZT_FAULT(Rename)
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to,
              unsigned int flags) noexcept {
    static const auto real =
        next<int (*)(int, const char *, int, const char *, unsigned int)>("renameat2");
    if (flags != 0) {
        ZT_FAULT(RenameNoReplace)
    } else {
        ZT_FAULT(Rename)
    }
    return real(fromDir, from, toDir, to, flags);
}

int link(const char *from, const char *to) noexcept {
    static const auto real = next<int (*)(const char *, const char *)>("link");
    ZT_FAULT(Link)
    return real(from, to);
}

int linkat(int fromDir, const char *from, int toDir, const char *to, int flags) noexcept {
    static const auto real = next<int (*)(int, const char *, int, const char *, int)>("linkat");
    ZT_FAULT(Link)
    return real(fromDir, from, toDir, to, flags);
}

int unlink(const char *path) noexcept {
    static const auto real = next<int (*)(const char *)>("unlink");
    ZT_FAULT(Unlink)
    return real(path);
}

int unlinkat(int dir, const char *path, int flags) noexcept {
    static const auto real = next<int (*)(int, const char *, int)>("unlinkat");
    ZT_FAULT(Unlink)
    return real(dir, path, flags);
}

int mkdir(const char *path, mode_t mode) noexcept {
    static const auto real = next<int (*)(const char *, mode_t)>("mkdir");
    ZT_FAULT(Mkdir)
    return real(path, mode);
}

int rmdir(const char *path) noexcept {
    static const auto real = next<int (*)(const char *)>("rmdir");
    ZT_FAULT(Rmdir)
    return real(path);
}

int fchown(int fd, uid_t owner, gid_t group) noexcept {
    static const auto real = next<int (*)(int, uid_t, gid_t)>("fchown");
    ZT_FAULT(Chown)
    return real(fd, owner, group);
}

int fchmod(int fd, mode_t mode) noexcept {
    static const auto real = next<int (*)(int, mode_t)>("fchmod");
    ZT_FAULT(Chmod)
    return real(fd, mode);
}

int fsetxattr(int fd, const char *name, const void *value, size_t size, int flags) noexcept {
    static const auto real =
        next<int (*)(int, const char *, const void *, size_t, int)>("fsetxattr");
    ZT_FAULT(SetXattr)
    return real(fd, name, value, size, flags);
}

int fremovexattr(int fd, const char *name) noexcept {
    static const auto real = next<int (*)(int, const char *)>("fremovexattr");
    ZT_FAULT(SetXattr)
    return real(fd, name);
}

} // extern "C"
