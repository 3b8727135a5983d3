#pragma once

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "tests/support/Bytes.h"
#include "tests/support/TempFolder.h"

#include <functional>

// Records of the project file written to and read from a file of the test folder.
class RecordTest : public testsupport::TempFolderTest {
  protected:
    // The bytes that write leaves in a storing archive.
    std::string stored(const std::function<void(CArchive &)> &write) {
        {
            CFile file(path("rec.bin"), CFile::modeCreate | CFile::modeWrite);
            CArchive ar(&file, CArchive::store);
            write(ar);
            ar.Close();
            file.Close();
        }
        return get("rec.bin");
    }
    // Runs read on a loading archive over the bytes.
    void load(const std::string &bytes, const std::function<void(CArchive &)> &read) {
        put(bytes, "rec.bin");
        CFile file(path("rec.bin"), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        read(ar);
    }
};

// A coordinate record: X, Y, H, then the height-used and valid flags.
inline testsupport::Bytes &coord(testsupport::Bytes &b, double x, double y, double h, bool hUsed,
                                 bool valid) {
    return b.f64(x).f64(y).f64(h).i32(hUsed ? 1 : 0).i32(valid ? 1 : 0);
}

inline testsupport::Bytes &emptyCoord(testsupport::Bytes &b) {
    return coord(b, 0, 0, 0, false, false);
}
