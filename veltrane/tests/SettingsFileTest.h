#pragma once

#include "kernels/Brennic/YFile.h"
#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <string>

// Writes settings records to files in a temporary folder and reads them back
// from hand-written bytes.
class SettingsFileTest : public RecordTest {
  protected:
    // The bytes of a database record written through a storing archive.
    template <typename Record> std::string archived(const Record &record) {
        return stored([&](CArchive &ar) { EXPECT_TRUE(record.Write(ar)); });
    }

    // Reads a database record from the bytes, which it must take up to the
    // last one. What the record raises goes to the caller.
    template <typename Record>
    void unarchive(Record &record, const std::string &bytes, unsigned long version = 102) {
        RecordTest::load(bytes, [&](CArchive &ar) {
            EXPECT_TRUE(record.Read(ar, version));
            EXPECT_EQ(ar.GetRemainingLength(), 0u);
        });
    }

    // The cause of the archive exception that op raises; none when it raises
    // nothing.
    template <typename Op> static int archiveCause(Op op) {
        try {
            op();
        } catch (const CArchiveException &e) {
            return e.m_cause;
        }
        return CArchiveException::none;
    }

    // The bytes of a conditions-file record.
    template <typename Setting> std::string saved(const Setting &setting) {
        {
            YFile file;
            EXPECT_TRUE(file.openWrite(path("settings.dat")));
            EXPECT_TRUE(setting.Write(file));
            EXPECT_TRUE(file.close());
        }
        return get("settings.dat");
    }

    // Reads a conditions-file record from the bytes.
    template <typename Setting> bool load(Setting &setting, const std::string &bytes) {
        put(bytes, "settings.dat");
        YFile file;
        EXPECT_TRUE(file.openRead(path("settings.dat")));
        return setting.Read(file, 101);
    }

    // A text of the conditions file: 32-bit length with the terminator, the
    // bytes, the terminator.
    static std::string yText(const std::string &text) {
        return testsupport::Bytes()
            .u32(static_cast<std::uint32_t>(text.size() + 1))
            .raw(text)
            .u8(0)
            .data();
    }
};
