#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A USB stick as a Linux desktop mounts it: a FAT image mounted through FUSE by fusefat, or an
// exFAT image on a loop device mounted by exfat-fuse. Such file systems rename only by
// replacing and have no hard links. Mounting takes root, /dev/fuse and the tools; ready says
// whether it worked, and reason why not.
class FuseVolume {
  public:
    enum Kind { Fat, ExFat };

    // Makes a 32 MiB image in dir and mounts it at dir/"stick".
    FuseVolume(const std::filesystem::path &dir, Kind kind);
    ~FuseVolume();
    FuseVolume(const FuseVolume &) = delete;
    FuseVolume &operator=(const FuseVolume &) = delete;

    const std::filesystem::path &root() const { return m_root; }
    bool ready = false;
    std::string reason;

  private:
    std::filesystem::path m_root;
    std::string m_loop;
};

} // namespace testsupport
