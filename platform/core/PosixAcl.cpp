#include "platform/core/PosixAcl.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kNoId = 0xFFFFFFFFu;

std::uint32_t readLe(const std::string &bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

void writeLe(std::string &bytes, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool named(std::uint16_t tag) { return tag == PosixAcl::USER || tag == PosixAcl::GROUP; }

} // namespace

bool PosixAcl::Parse(const std::string &value, PosixAcl &acl) {
    if (value.size() < 4 || (value.size() - 4) % 8 != 0 || readLe(value, 0, 4) != kVersion)
        return false;
    acl.m_entries.clear();
    for (std::size_t at = 4; at < value.size(); at += 8)
        acl.m_entries.push_back({static_cast<std::uint16_t>(readLe(value, at, 2)),
                                 static_cast<std::uint16_t>(readLe(value, at + 2, 2) & 7),
                                 readLe(value, at + 4, 4)});
    return true;
}

PosixAcl PosixAcl::FromMode(mode_t mode) {
    PosixAcl acl;
    acl.m_entries = {{USER_OBJ, static_cast<std::uint16_t>((mode >> 6) & 7), kNoId},
                     {GROUP_OBJ, static_cast<std::uint16_t>((mode >> 3) & 7), kNoId},
                     {OTHER, static_cast<std::uint16_t>(mode & 7), kNoId}};
    return acl;
}

std::string PosixAcl::Value() const {
    std::string value;
    writeLe(value, kVersion, 4);
    for (const Entry &entry : m_entries) {
        writeLe(value, entry.tag, 2);
        writeLe(value, entry.rights, 2);
        writeLe(value, named(entry.tag) ? entry.id : kNoId, 4);
    }
    return value;
}

PosixAcl::Entry *PosixAcl::find(std::uint16_t tag, std::uint32_t id) {
    for (Entry &entry : m_entries)
        if (entry.tag == tag && (!named(tag) || entry.id == id))
            return &entry;
    return nullptr;
}

void PosixAcl::set(std::uint16_t tag, std::uint32_t id, std::uint16_t rights) {
    if (Entry *entry = find(tag, id))
        entry->rights = rights;
    else
        m_entries.push_back({tag, rights, named(tag) ? id : kNoId});
}

void PosixAcl::KeepRightsOfLostOwner(const struct stat &old, bool ownerKept, bool groupKept,
                                     unsigned newOwnerRights) {
    // What each group-class entry gave, the mask applied.
    const Entry *maskEntry = find(MASK);
    const bool hadMask = maskEntry != nullptr;
    const std::uint16_t mask = hadMask ? maskEntry->rights : 7;
    for (Entry &entry : m_entries)
        if (entry.tag == USER || entry.tag == GROUP_OBJ || entry.tag == GROUP)
            entry.rights &= mask;

    const Entry *owner = find(USER_OBJ);
    const Entry *group = find(GROUP_OBJ);
    const Entry *other = find(OTHER);
    const std::uint16_t ownerRights = owner ? owner->rights : 0;
    const std::uint16_t groupRights = group ? group->rights : 0;
    const std::uint16_t otherRights = other ? other->rights : 0;
    if (!ownerKept) {
        set(USER, static_cast<std::uint32_t>(old.st_uid), ownerRights);
        set(USER_OBJ, 0, static_cast<std::uint16_t>(newOwnerRights & 7));
    }
    if (!groupKept) {
        // Members of the old group had the group entry and any entry naming the group.
        const Entry *namedGroup = find(GROUP, static_cast<std::uint32_t>(old.st_gid));
        const std::uint16_t rights = groupRights | (namedGroup ? namedGroup->rights : 0);
        set(GROUP, static_cast<std::uint32_t>(old.st_gid), rights);
        set(GROUP_OBJ, 0, otherRights);
    }
    std::uint16_t groupClass = 0;
    bool anyNamed = false;
    for (const Entry &entry : m_entries) {
        if (entry.tag == USER || entry.tag == GROUP_OBJ || entry.tag == GROUP)
            groupClass |= entry.rights;
        anyNamed = anyNamed || named(entry.tag);
    }
    if (anyNamed || hadMask)
        set(MASK, 0, groupClass);
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
        return a.tag != b.tag ? a.tag < b.tag : a.id < b.id;
    });
}
