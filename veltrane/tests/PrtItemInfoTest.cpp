#include "veltrane/model/PrtItemInfo.h"
#include "veltrane/model/JGDDDatCond.h"

#include "veltrane/tests/SettingsFileTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::Bytes;

// The 64-byte title of a print-item file.
std::string title() {
    std::string t = "KARNOLIT PrtItemInfo";
    t.resize(64, '\0');
    return t;
}

// The record of a cleared PrtItemInfo: eleven empty texts, then N5, N9, N1,
// N2, N3, N4, S1, N6, N7, N8, N10, S5, S2, S3, S4, S6, N11, N12.
std::string clearedRecord() {
    Bytes b;
    for (int i = 0; i < 11; ++i)
        b.u8(0);
    for (int v : {0, 0, 3, 3, 3, 4, 0, 3, 4, 3, 3, 1, 0, 0, 1, 0, 3, 6})
        b.i32(v);
    return b;
}

// Every text and number different from its default and from the others;
// texts in all three lengths of the archive's string form.
std::string someRecord(int switchOn = 1) {
    Bytes b;
    b.str("Title").str("\x95\x5C\x8E\xA6").str(CString(std::string(300, 'a')));
    for (int i = 4; i <= 11; ++i) {
        CString text;
        text.Format("t%d", i);
        b.str(text);
    }
    b.i32(105).i32(109).i32(101).i32(102).i32(103).i32(104).i32(switchOn); // N5 N9 N1-N4 S1
    b.i32(106).i32(107).i32(108).i32(110).i32(0);                          // N6 N7 N8 N10 S5
    b.i32(switchOn).i32(0).i32(0).i32(switchOn).i32(-111).i32(112);        // S2 S3 S4 S6 N11 N12
    return b;
}

std::string file(const std::string &record, std::uint32_t version = 102,
                 const std::string &head = title()) {
    return Bytes().raw(head).u32(version).raw(record);
}

class PrtItemInfoTest : public SettingsFileTest {
  protected:
    // A PrtItemInfo holding someRecord().
    PrtItemInfo some() {
        PrtItemInfo info;
        unarchive(info, someRecord());
        return info;
    }
};

TEST_F(PrtItemInfoTest, RecordBytes) {
    EXPECT_EQ(archived(PrtItemInfo()), clearedRecord());

    PrtItemInfo info;
    unarchive(info, someRecord());
    EXPECT_EQ(archived(info), someRecord());
    // Any non-zero switch reads as on.
    unarchive(info, someRecord(-7));
    EXPECT_EQ(archived(info), someRecord());
    info.Clear();
    EXPECT_EQ(archived(info), clearedRecord());
}

TEST_F(PrtItemInfoTest, RecordCutShortRaisesEndOfFileAndLeavesTheItems) {
    PrtItemInfo info = some();
    const std::string record = clearedRecord();
    for (std::size_t n = 0; n < record.size(); ++n) {
        EXPECT_EQ(archiveCause([&] { unarchive(info, record.substr(0, n)); }),
                  CArchiveException::endOfFile)
            << n;
        EXPECT_EQ(archived(info), someRecord());
    }
}

TEST_F(PrtItemInfoTest, FileOfAClearedItemSetIs151Bytes) {
    ASSERT_TRUE(PrtItemInfo().Write(path("items.prt")));
    const std::string written = get("items.prt");
    EXPECT_EQ(written.size(), 151u);
    EXPECT_EQ(written, file(clearedRecord()));

    ASSERT_TRUE(some().Write(path("items.prt")));
    EXPECT_EQ(get("items.prt"), file(someRecord()));
    EXPECT_FALSE(PrtItemInfo().Write(path("no such folder/items.prt")));
    EXPECT_FALSE(PrtItemInfo().Write(folder()));
}

TEST_F(PrtItemInfoTest, FileReadGivesBackEveryItem) {
    PrtItemInfo info;
    ASSERT_TRUE(info.Read(put(file(someRecord()), "items.prt")));
    EXPECT_EQ(archived(info), someRecord());

    ASSERT_TRUE(info.Write(path("again.prt")));
    PrtItemInfo again;
    ASSERT_TRUE(again.Read(path("again.prt")));
    EXPECT_EQ(archived(again), someRecord());

    // Only the title and its terminator are compared, not the padding.
    std::string head = title();
    head.replace(21, 43, std::string(43, 'Z'));
    ASSERT_TRUE(again.Read(put(file(clearedRecord(), 102, head), "items.prt")));
    EXPECT_EQ(archived(again), clearedRecord());

    // Every version a database may carry.
    for (std::uint32_t version : {1u, 2u, 100u, 101u}) {
        ASSERT_TRUE(again.Read(put(file(someRecord(), version), "items.prt"))) << version;
        EXPECT_EQ(archived(again), someRecord());
        again.Clear();
    }
}

TEST_F(PrtItemInfoTest, RefusedFilesLeaveTheItems) {
    PrtItemInfo info = some();
    // A title that differs in any character or lacks its terminator.
    for (std::size_t i = 0; i <= 20; ++i) {
        std::string head = title();
        head[i] = head[i] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(info.Read(put(file(clearedRecord(), 102, head), "items.prt"))) << i;
        EXPECT_EQ(archived(info), someRecord());
    }
    for (std::uint32_t version : {0u, 3u, 99u, 103u, 200u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(info.Read(put(file(clearedRecord(), version), "items.prt"))) << version;
        EXPECT_EQ(archived(info), someRecord());
    }
    // Cut short anywhere.
    const std::string whole = file(clearedRecord());
    for (std::size_t n = 0; n < whole.size(); ++n) {
        EXPECT_FALSE(info.Read(put(whole.substr(0, n), "items.prt"))) << n;
        EXPECT_EQ(archived(info), someRecord());
    }
    EXPECT_FALSE(info.Read(path("missing.prt")));
    EXPECT_FALSE(info.Read(folder()));
    EXPECT_EQ(archived(info), someRecord());
}

class JGDDDatCondTest : public SettingsFileTest {};

TEST_F(JGDDDatCondTest, DefaultsAndRecord) {
    const JGDDDatCond defaults;
    EXPECT_EQ(archived(defaults), Bytes().i32(1).i32(0).i32(6).i32(6).data());

    const std::string record = Bytes().i32(0).i32(1).i32(3).i32(4);
    JGDDDatCond cond;
    unarchive(cond, record);
    EXPECT_TRUE(cond.GetPrecSource() == 0 && cond.GetLatLonSw() == 1);
    EXPECT_TRUE(cond.GetCrdDecimals() == 3 && cond.GetHgtDecimals() == 4);
    EXPECT_EQ(archived(JGDDDatCond(cond)), record);

    const std::string other = archived(defaults);
    for (std::size_t n = 0; n < other.size(); ++n) {
        EXPECT_EQ(archiveCause([&] { unarchive(cond, other.substr(0, n)); }),
                  CArchiveException::endOfFile);
        EXPECT_EQ(archived(cond), record);
    }
    cond.Initialize();
    EXPECT_EQ(archived(cond), archived(defaults));
}

} // namespace
