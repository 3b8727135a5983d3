// The coordinate's archive record: X, Y, H as doubles, then the height and
// valid flags as int32.
//
// Input: one byte choosing the archive's buffer size, then the file of
// records. Every record read is checked against its bytes; the fields that
// the record does not hold keep their values, and a record cut short raises
// endOfFile and leaves the coordinate as it was.
#include "exchange/Dorrimet/Coordinate.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"

#include <cstring>

namespace {

constexpr int kBufferSizes[8] = {1, 3, 7, 16, 31, 32, 33, 4096};
constexpr std::size_t kRecordSize = 32;

// Equal bit for bit, so that NaNs compare too.
bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameCoordinate(const Coordinate &a, const Coordinate &b) {
    return same(a.GetB(), b.GetB()) && same(a.GetL(), b.GetL()) && same(a.GetX(), b.GetX()) &&
           same(a.GetY(), b.GetY()) && same(a.GetH(), b.GetH()) && same(a.GetN(), b.GetN()) &&
           a.IsHUsed() == b.IsHUsed() && a.IsNUsed() == b.IsNUsed() && a.IsValid() == b.IsValid();
}

double doubleAt(std::string_view bytes, std::size_t at) {
    double value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

bool flagAt(std::string_view bytes, std::size_t at) {
    std::int32_t value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value != 0;
}

void readAll(CArchive &ar, std::string_view bytes) {
    Coordinate c(-1.0, -2.0, -3.0, true, 44.5, true);
    c.SetBL(0.25, 0.75);
    for (std::size_t offset = 0;; offset += kRecordSize) {
        const Coordinate before = c;
        try {
            FUZZ_CHECK(c.Read(ar));
        } catch (const CArchiveException &e) {
            FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile);
            FUZZ_CHECK(bytes.size() - offset < kRecordSize);
            FUZZ_CHECK(sameCoordinate(c, before));
            return;
        }
        FUZZ_CHECK(bytes.size() - offset >= kRecordSize);
        FUZZ_CHECK(same(c.GetX(), doubleAt(bytes, offset)));
        FUZZ_CHECK(same(c.GetY(), doubleAt(bytes, offset + 8)));
        FUZZ_CHECK(same(c.GetH(), doubleAt(bytes, offset + 16)));
        FUZZ_CHECK(c.IsHUsed() == flagAt(bytes, offset + 24));
        FUZZ_CHECK(c.IsValid() == flagAt(bytes, offset + 28));
        FUZZ_CHECK(same(c.GetB(), 0.25) && same(c.GetL(), 0.75));
        FUZZ_CHECK(same(c.GetN(), 44.5) && c.IsNUsed());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(bytes);
    const DescriptorGuard guard;
    {
        CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load, kBufferSizes[data[0] % 8]);
        readAll(ar, bytes);
    }
    guard.Check();
    return 0;
}
