#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <vector>

// An access ACL in the form the kernel keeps it in the extended attribute
// "system.posix_acl_access": a version, then entries of tag, rights and id, little-endian.
class PosixAcl {
  public:
    static constexpr const char *ATTRIBUTE = "system.posix_acl_access";

    enum Tag : std::uint16_t {
        USER_OBJ = 0x01,
        USER = 0x02,
        GROUP_OBJ = 0x04,
        GROUP = 0x08,
        MASK = 0x10,
        OTHER = 0x20,
    };
    struct Entry {
        std::uint16_t tag;
        std::uint16_t rights; // 4 read, 2 write, 1 execute
        std::uint32_t id;     // of a named user or group
    };

    // The ACL of a value read from the attribute; false when it is not one.
    static bool Parse(const std::string &value, PosixAcl &acl);
    // The ACL that the permission bits alone make.
    static PosixAcl FromMode(mode_t mode);
    std::string Value() const;

    // For a file that has passed from the owner and group in old to others (ownerKept and
    // groupKept say which stayed): the old owner keeps its rights as a named user, the old group
    // its rights as a named group; the new owner gets the rights it had (newOwnerRights), the
    // new group those of others. Everyone else keeps what the file gave them: named entries
    // are cut to the old mask, which then takes in every group-class entry.
    void KeepRightsOfLostOwner(const struct stat &old, bool ownerKept, bool groupKept,
                               unsigned newOwnerRights);

    const std::vector<Entry> &Entries() const { return m_entries; }

  private:
    Entry *find(std::uint16_t tag, std::uint32_t id = 0);
    void set(std::uint16_t tag, std::uint32_t id, std::uint16_t rights);

    std::vector<Entry> m_entries;
};
