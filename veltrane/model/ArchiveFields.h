#pragma once

#include "platform/core/CArchive.h"

#include <cstdint>

// Record fields that the database stores as 32-bit integers: numbers as they
// are, switches as 0 or 1 (any non-zero value reads as true).
inline void WriteInt(CArchive &ar, int value) { ar << static_cast<std::int32_t>(value); }

inline void WriteFlag(CArchive &ar, bool value) { ar << std::int32_t{value ? 1 : 0}; }

inline int ReadInt(CArchive &ar) {
    std::int32_t value;
    ar >> value;
    return value;
}

inline bool ReadFlag(CArchive &ar) { return ReadInt(ar) != 0; }

// Raw 32-bit integers of the records that the database writes with CArchive::Write and reads
// with CArchive::Read: a short read answers false instead of raising.
inline void WriteRawInt(CArchive &ar, std::int32_t value) { ar.Write(&value, sizeof value); }

inline bool ReadRawInt(CArchive &ar, std::int32_t *value) {
    return ar.Read(value, sizeof *value) == sizeof *value;
}
