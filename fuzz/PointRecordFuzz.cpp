// The point's record of the project file, in every version the database reads.
//
// Input: one byte choosing the version and the archive's buffer size, then the file of records.
// A record that cannot be read whole raises the archive's exception and leaves the point as it
// was; a record read whole writes and reads back to the same point.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"
#include "veltrane/model/Point.h"

#include <memory>
#include <vector>

namespace {

constexpr unsigned long kVersions[5] = {1, 2, 100, 101, 102};
constexpr int kBufferSizes[4] = {1, 7, 64, 4096};

std::string recordOf(const Point &p) {
    return ArchiveBytes([&](CArchive &ar) { p.Write(ar); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    FuzzFile::Output(); // made before a guard counts the descriptors
    const unsigned long version = kVersions[data[0] % 5];
    const int bufferSize = kBufferSizes[(data[0] / 5) % 4];
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(data + 1, size - 1);

    std::vector<std::unique_ptr<Point>> read;
    const DescriptorGuard guard;
    {
        CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load, bufferSize);
        for (;;) {
            auto p = std::make_unique<Point>(7, "before");
            const std::string before = recordOf(*p);
            try {
                FUZZ_CHECK(p->Read(ar, version));
            } catch (const CArchiveException &e) {
                FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile ||
                           e.m_cause == CArchiveException::badIndex ||
                           e.m_cause == CArchiveException::badSchema ||
                           e.m_cause == CArchiveException::genericException);
                FUZZ_CHECK(recordOf(*p) == before);
                FUZZ_CHECK(p->GetID() == 7);
                break;
            }
            FUZZ_CHECK(p->GetID() == 7);
            read.push_back(std::move(p));
        }
    }
    guard.Check();

    // Every point read survives its own record in the current version.
    for (const auto &p : read) {
        const std::string once = recordOf(*p);
        temp.Write(once);
        Point again;
        {
            CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
            CArchive ar(&file, CArchive::load);
            FUZZ_CHECK(again.Read(ar, 102));
            FUZZ_CHECK(ar.GetRemainingLength() == 0);
        }
        FUZZ_CHECK(recordOf(again) == once);
    }
    return 0;
}
