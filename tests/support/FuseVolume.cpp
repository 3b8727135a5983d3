#include "tests/support/FuseVolume.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sys/mount.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

namespace {

bool run(const std::string &command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The first line a command prints.
std::string output(const std::string &command) {
    std::string text;
    if (FILE *pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        std::array<char, 256> line{};
        if (std::fgets(line.data(), static_cast<int>(line.size()), pipe))
            text = line.data();
        ::pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

FuseVolume::FuseVolume(const fs::path &dir, Kind kind) : m_root(dir / "stick") {
    if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0) {
        reason = "mounting through FUSE takes root and /dev/fuse";
        return;
    }
    const std::string image = (dir / "stick.img").string();
    fs::create_directories(m_root);
    if (!run("truncate -s 32M " + image)) {
        reason = "no image could be made";
        return;
    }
    if (kind == Fat) {
        if (!run("mkfs.vfat " + image) || !run("fusefat -o rw+ " + image + " " + m_root.string())) {
            reason = "mkfs.vfat or fusefat failed (packages dosfstools, fusefat)";
            return;
        }
    } else {
        m_loop = output("losetup -f --show " + image);
        if (m_loop.empty() || !run("mkfs.exfat " + m_loop) ||
            !run("mount.exfat-fuse " + m_loop + " " + m_root.string())) {
            reason = "losetup, mkfs.exfat or exfat-fuse failed (packages exfatprogs, exfat-fuse)";
            return;
        }
    }
    ready = true;
}

FuseVolume::~FuseVolume() {
    if (ready && !run("fusermount -u " + m_root.string()))
        ::umount2(m_root.c_str(), MNT_DETACH);
    if (!m_loop.empty())
        run("losetup -d " + m_loop);
}

} // namespace testsupport
