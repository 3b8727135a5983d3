// The project file. A refused file leaves the database empty; an accepted one writes and reads
// back to the same bytes.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"

namespace {

JDDbReadRetCode readProject(Veltrane &db) {
    const DescriptorGuard guard;
    JDDbReadRetCode result;
    {
        CFile file(FuzzFile::Instance().Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        result = db.Read(ar, false);
    }
    guard.Check();
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    FuzzFile::Output(); // made before a guard counts the descriptors
    FuzzFile::Instance().Write(data, size);
    Veltrane db;
    const JDDbReadRetCode result = readProject(db);
    FUZZ_CHECK(result == DbReadLoaded || result == DbReadShort || result == DbReadNotProject);
    if (result != DbReadLoaded) {
        FUZZ_CHECK(db.size() == 0);
        FUZZ_CHECK(db.GetLotTable()->GetLotSize() == 0);
        FUZZ_CHECK(db.GetCrdTrnsBlockTbl()->GetBlockSize() == 0);
        FUZZ_CHECK(db.GetPrecMngTable()->size() == 0);
        return 0;
    }
    const std::string once = ArchiveBytes([&](CArchive &ar) { FUZZ_CHECK(db.Write(ar)); });
    FuzzFile::Instance().Write(once);
    Veltrane again;
    FUZZ_CHECK(readProject(again) == DbReadLoaded);
    FUZZ_CHECK(again.size() == db.size());
    FUZZ_CHECK(ArchiveBytes([&](CArchive &ar) { FUZZ_CHECK(again.Write(ar)); }) == once);
    return 0;
}
