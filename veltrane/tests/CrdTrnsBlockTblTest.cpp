// The block table: numbers, priorities, results by priority, and its project-file record
// against hand-built bytes.
#include "veltrane/conversion/CrdTrnsBlockTbl.h"

#include "veltrane/database/Veltrane.h"
#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

static_assert(!std::is_copy_constructible_v<CrdTrnsBlockTbl> &&
              !std::is_copy_assignable_v<CrdTrnsBlockTbl> &&
              !std::is_copy_constructible_v<CrdTrnsBlock>);

using testsupport::Bytes;

std::vector<unsigned> priority(const CrdTrnsBlockTbl &t) {
    std::vector<unsigned> order;
    t.GetBlockPriority(&order);
    return order;
}

TEST(CrdTrnsBlockTbl, NumbersPrioritiesAndTheCurrentBlock) {
    CrdTrnsBlockTbl t;
    EXPECT_EQ(t.GetEmptyNo(false) + t.GetEmptyNo(true), 2u);
    for (unsigned no : {4u, 1u, 2u})
        ASSERT_TRUE(t.Append(new CrdTrnsBlock(no)));
    auto refused = std::make_unique<CrdTrnsBlock>(2);
    EXPECT_FALSE(t.Append(refused.get()));
    EXPECT_EQ(t.GetEmptyNo(false), 3u);
    EXPECT_EQ(t.GetEmptyNo(true), 5u);

    for (const std::vector<unsigned> &bad :
         std::vector<std::vector<unsigned>>{{4, 1}, {4, 1, 2, 3}, {4, 1, 1}, {4, 1, 3}})
        EXPECT_FALSE(t.SetBlockPriority(bad));
    EXPECT_EQ(priority(t), (std::vector<unsigned>{4, 1, 2}));
    ASSERT_TRUE(t.SetCurrentNo(4) && t.RemoveBlock(4));
    EXPECT_EQ(t.GetCurrentNo(), 0u);
    EXPECT_EQ(priority(t), (std::vector<unsigned>{1, 2}));
}

// A point listed twice in a block (appended without the check) leaves it with every entry, so
// that a point deleted from the database stays in no block.
TEST(CrdTrnsBlockTbl, RemovingAPointTakesEveryEntryOfIt) {
    CrdTrnsBlockTbl t;
    auto *block = new CrdTrnsBlock(1);
    ASSERT_TRUE(t.Append(block));
    Point a(1, "A"), b(2, "B");
    block->AppendPnt(&a, true, true);
    block->AppendPnt(&b, true, true);
    block->AppendPnt(&a, false, false);
    ASSERT_EQ(block->GetPntSize(), 3u);
    EXPECT_TRUE(t.Remove(&a));
    EXPECT_FALSE(block->IsPntIncluded(&a));
    ASSERT_EQ(block->GetPntSize(), 1u);
    EXPECT_EQ(block->GetPoint(0), &b);
    EXPECT_FALSE(a.IsRelatedWithBlock(1));
    EXPECT_FALSE(t.Remove(&a));
}

TEST(CrdTrnsBlockTbl, APointInTwoBlocksTakesThePriorBlocksColour) {
    CrdTrnsBlockTbl t;
    auto *one = new CrdTrnsBlock(1), *two = new CrdTrnsBlock(2);
    one->SetColor(0x0000FF);
    two->SetColor(0x00FF00);
    ASSERT_TRUE(t.Append(one) && t.Append(two) && t.SetBlockPriority({2, 1}));
    Point p(1, "P");
    one->AppendPnt(&p, true, true);
    two->AppendPnt(&p, true, true);
    COLORREF color = 0;
    ASSERT_TRUE(t.GetPriorColor(&p, &color));
    EXPECT_EQ(color, 0x00FF00u);
    // Removing block 2 disconnects its members.
    ASSERT_TRUE(t.RemoveBlock(2));
    EXPECT_FALSE(p.IsRelatedWithBlock(2));
    ASSERT_TRUE(t.GetPriorColor(&p, &color));
    EXPECT_EQ(color, 0x0000FFu);
}

// Blocks 1 and 3 over a database of three points.
class BlockTableRecord : public RecordTest {
  protected:
    void SetUp() override {
        RecordTest::SetUp();
        for (unsigned i = 0; i < 3; ++i)
            db.Append(Point(i + 1, CString(std::to_string(i).c_str())));
        db.MakeTmpVector();
    }

    // The parameter table of a block: not converted, kind 2, the default option (the flag word
    // with the geoid bit that reading gives it).
    static Bytes &prmTable(Bytes &b, int completed = 0) {
        b.i32(completed).i32(2).i32(0).i32(0).i32(0).i32(0x20002);
        b.f64(1.0).f64(0.0).f64(0.0);
        return b.i32(1).i32(1).i32(1).i32(1);
    }
    // Block 1 is a bow tie with a repeated vertex, which no edit would have let through.
    static std::string record(std::initializer_list<int> members1,
                              std::initializer_list<int> priorities, int second = 3) {
        Bytes b;
        b.i32(2);
        b.i32(1).str("東").u32(0x80FF0010).i32(5);
        for (double v : {0.0, 0.0, 10.0, 10.0, 10.0, 10.0, 10.0, 0.0, 0.0, 10.0})
            b.f64(v);
        b.u8(1).i32(static_cast<int>(members1.size()));
        for (int m : members1)
            b.i32(m);
        prmTable(b).u8(0);
        b.i32(second).str("").u32(0).i32(0).u8(0).i32(0);
        prmTable(b).u8(1);
        b.i32(static_cast<int>(priorities.size()));
        for (int no : priorities)
            b.i32(no);
        return b.i32(3);
    }
    bool read(CrdTrnsBlockTbl &t, const std::string &bytes) {
        bool ok = false;
        load(bytes, [&](CArchive &ar) { ok = t.Read(&db, ar, 102); });
        return ok;
    }

    Veltrane db;
};

TEST_F(BlockTableRecord, ReadTakesTheStoredVerticesAndWritesTheSameBytes) {
    CrdTrnsBlockTbl t;
    ASSERT_TRUE(read(t, record({2, -1, 7, 0}, {3, 1})));
    const CrdTrnsBlock *one = t.FindBlock(1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->GetCrdSize(), 5u);
    ASSERT_EQ(one->GetPntSize(), 2u); // -1 and a position past the table are skipped
    EXPECT_EQ(one->GetPoint(0), db.GetPoint(2));
    // Name, colour (all 32 bits), flags, priorities and the current block come back as stored.
    EXPECT_EQ(stored([&](CArchive &ar) { t.Write(&db, ar); }), record({2, 0}, {3, 1}));
}

TEST_F(BlockTableRecord, AnUnsoundRecordLeavesTheTableAsItWas) {
    CrdTrnsBlockTbl t;
    ASSERT_TRUE(t.Append(new CrdTrnsBlock(9)));
    for (const std::string &bad : {record({}, {3, 3}), record({}, {1}), record({}, {1, 3, 2}),
                                   record({}, {1, 1}, 1), record({}, {1, 0}, 0)})
        EXPECT_FALSE(read(t, bad));
    // Counts beyond the bytes left raise before anything is allocated.
    for (const std::string &cut :
         {Bytes().i32(100000000).data(),
          Bytes().i32(1).i32(1).str("").u32(0).i32(1 << 30).raw(std::string(100, '\0')).data(),
          record({}, {1, 3}).substr(0, 260)})
        EXPECT_THROW(read(t, cut), CArchiveException);
    EXPECT_FALSE(read(t, Bytes().i32(-1)));
    EXPECT_EQ(t.GetBlockSize(), 1u);
    EXPECT_NE(t.FindBlock(9), nullptr);
    EXPECT_EQ(priority(t), (std::vector<unsigned>{9}));
}

TEST_F(BlockTableRecord, ABlockStoredAsConvertedThatCannotConvertIsNotReportedConverted) {
    Bytes b;
    b.i32(1).i32(1).str("").u32(0).i32(0).u8(0).i32(0);
    prmTable(b, 1).u8(1).i32(1).i32(1).i32(0);
    CrdTrnsBlockTbl t;
    ASSERT_TRUE(read(t, b));
    EXPECT_FALSE(t.IsCrdCnvCompleted(1)); // no basis point to fit
}

} // namespace
