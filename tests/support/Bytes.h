#pragma once

#include "platform/core/CString.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace testsupport {

// Bytes from a list of byte values.
std::string bytes(std::initializer_list<int> values);

// Builds expected file bytes by hand, field by field, in the archive's little-endian layout.
class Bytes {
  public:
    Bytes &i32(std::int32_t v);
    Bytes &u32(std::uint32_t v);
    Bytes &i16(std::int16_t v);
    Bytes &u16(std::uint16_t v);
    Bytes &u8(std::uint8_t v);
    Bytes &f64(double v);
    // A string in the archive's form: the length (1, 3 or 7 bytes), then the bytes.
    Bytes &str(const CString &s);
    Bytes &raw(const std::string &b);

    const std::string &data() const { return m_data; }
    operator const std::string &() const { return m_data; }
    std::size_t size() const { return m_data.size(); }

  private:
    template <typename T> Bytes &little(T v);
    std::string m_data;
};

} // namespace testsupport
