#pragma once

#include "platform/core/CString.h"

#include <string_view>
#include <vector>

// Mounted file systems, standing in for drive letters and drive types: an optical disc or a
// floppy disk is found where it is mounted.
namespace MountedMedia {

struct Entry {
    CString device;
    CString folder;
    CString type;
};

// The entries of a mount table in the form of /proc/self/mounts (device, folder, type,
// options, ...), octal escapes such as \040 decoded. Lines with fewer than three fields are
// left out.
std::vector<Entry> Parse(std::string_view table);
// This process's mount table; empty when it cannot be read.
std::vector<Entry> Read();

// The folders of mounted optical discs (iso9660, udf), in table order.
std::vector<CString> CdRomFolders(const std::vector<Entry> &entries);
// The folders of mounted floppy disks (devices /dev/fd<n>), in table order.
std::vector<CString> FloppyFolders(const std::vector<Entry> &entries);

} // namespace MountedMedia
