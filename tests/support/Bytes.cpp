#include "tests/support/Bytes.h"

#include <cstring>

namespace testsupport {

std::string bytes(std::initializer_list<int> values) {
    std::string result;
    for (int v : values)
        result.push_back(static_cast<char>(v));
    return result;
}

template <typename T> Bytes &Bytes::little(T v) {
    unsigned char raw[sizeof v];
    std::memcpy(raw, &v, sizeof v);
    for (unsigned char c : raw) // the machine is little-endian, as the layout
        m_data.push_back(static_cast<char>(c));
    return *this;
}

Bytes &Bytes::i32(std::int32_t v) { return little(v); }
Bytes &Bytes::u32(std::uint32_t v) { return little(v); }
Bytes &Bytes::i16(std::int16_t v) { return little(v); }
Bytes &Bytes::u16(std::uint16_t v) { return little(v); }
Bytes &Bytes::u8(std::uint8_t v) { return little(v); }
Bytes &Bytes::f64(double v) { return little(v); }

Bytes &Bytes::str(const CString &s) {
    const std::size_t n = s.GetLength();
    if (n < 0xFF) {
        u8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        u8(0xFF).u16(static_cast<std::uint16_t>(n));
    } else {
        u8(0xFF).u16(0xFFFF).u32(static_cast<std::uint32_t>(n));
    }
    return raw(s.Bytes());
}

Bytes &Bytes::raw(const std::string &b) {
    m_data += b;
    return *this;
}

} // namespace testsupport
