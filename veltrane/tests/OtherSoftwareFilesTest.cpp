// Files as other survey software writes them, through every reader and writer of the database:
// cp932 and UTF-8 with and without the mark, and names a format cannot carry.
#include "veltrane/database/Veltrane.h"
#include "veltrane/tests/EngineTestSupport.h"

#include "exchange/Vesk/VeskBase.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace enginetest;
using testsupport::TextForm;
using testsupport::Utf8Bytes;

namespace {

using Names = std::vector<CString>;
using Read = bool (Veltrane::*)(const CString &, JIProgMsgBase *, CoordinateKind, ITRFCoordKind);
using Write = bool (Veltrane::*)(const CString &, CoordinateKind, ITRFCoordKind, int);

Names names(const Veltrane &db) {
    Names out;
    for (const Point *p : db)
        out.push_back(p->GetName());
    return out;
}

// One text format: its reader, its writer, its form as judged, and a file of three points named
// by the placeholders N1, N2, N3 (on lines 2 to 4 of every format).
struct Format {
    const char *label;
    Read read;
    Write write;
    JGDCrdFileFormat judged;
    std::vector<std::string> lines;
};

const std::vector<Format> &formats() {
    static const std::vector<Format> all = {
        {"exchange",
         &Veltrane::ReadVesk,
         nullptr,
         JGDCrdFmtExchange,
         {"A00,", "A01,1,N1,1.5,2.5,3.5,", "A01,2,N2,4.0,5.0,,", "A01,3,N3,6.0,7.0,8.0,", "A99,"}},
        {"single-letter",
         &Veltrane::ReadApaVesk,
         &Veltrane::WriteApaVesk,
         JGDCrdFmtExchangeS,
         {"A,01,Z,", "G,N1,1.5,2.5,3.5,?,", "G,N2,4.0,5.0,,?,", "G,N3,6.0,7.0,8.0,?,", "Z,&,"}},
        {"reference-point",
         &Veltrane::ReadKjnTxt,
         &Veltrane::WriteKjnTxt,
         JGDCrdFmtKjnText,
         {"A00,", "A01,00001,N1,35.0,139.0,1.5,2.5,07,3.5,,",
          "A01,00002,N2,35.0,139.0,4.0,5.0,07,,,", "A01,00003,N3,35.0,139.0,6.0,7.0,07,8.0,,",
          "A99,"}},
        {"grid text",
         &Veltrane::ReadT2JTxt,
         &Veltrane::WriteT2JTxt,
         JGDCrdFmtGridText,
         {"# points", "1.5 2.5 N1", "4.0 5.0 N2", "6.0 7.0 N3"}},
    };
    return all;
}

// The format's lines with the placeholders replaced by the names.
std::vector<std::string> named(const Format &format, const Names &n) {
    std::vector<std::string> out = format.lines;
    for (std::size_t i = 0; i < 3; ++i) {
        std::string &line = out[i + 1];
        line.replace(line.find(std::string("N").append(std::to_string(i + 1))), 2, n[i].Bytes());
    }
    return out;
}

class OtherSoftwareFilesTest : public testsupport::TempFolderTest {};

TEST_F(OtherSoftwareFilesTest, EveryReaderTakesCp932AndUtf8ByTheOneRule) {
    // Pairs of half-width katakana in cp932 are valid two-byte UTF-8 (ﾐｶ is "ж"): a file of them
    // is still cp932. Kanji in cp932 are no UTF-8 at all.
    const Names kana{"ﾂｱ1", "ﾎｼ2", "ﾐｶ1"};
    const Names kanji{"ﾂｱ1", "測点２", "基準点～3"};
    for (const Format &format : formats()) {
        for (const Names &n : {kana, kanji}) {
            for (TextForm form : testsupport::kAllTextForms) {
                const CString file = put(testsupport::WrittenAs(named(format, n), form), "in.txt");
                Veltrane db;
                EXPECT_EQ(db.JudgeFileFormat(file), format.judged)
                    << format.label << ", " << static_cast<int>(form);
                EXPECT_TRUE((db.*format.read)(file, nullptr, CrdKindTokyo, ITRFKindNone))
                    << format.label << ", " << static_cast<int>(form) << ": "
                    << ToUtf8(db.GetFileStop().GetStopReason());
                EXPECT_EQ(names(db), n) << format.label << ", " << static_cast<int>(form);
            }
        }
        // A UTF-8 name that cp932 cannot hold stops the read at its line; nothing is stored.
        std::string bytes =
            testsupport::WrittenAs(named(format, {"P1", "XX", "P3"}), TextForm::Utf8Lf);
        bytes.replace(bytes.find("XX"), 2, reinterpret_cast<const char *>(u8"測点\U00020BB7"));
        Veltrane db;
        EXPECT_FALSE(
            (db.*format.read)(put(bytes, "lacks.txt"), nullptr, CrdKindTokyo, ITRFKindNone))
            << format.label;
        EXPECT_EQ(db.GetFileStop().GetStopLine(), 3) << format.label;
        EXPECT_EQ(db.GetFileStop().GetStopReason(),
                  CString("シフトJISで表せない文字(U+20BB7)があります。"))
            << format.label;
        EXPECT_EQ(db.size(), 0u) << format.label;
    }
}

TEST_F(OtherSoftwareFilesTest, NoReaderStoresBytesItDidNotUnderstand) {
    // The format's lines joined with LF, the names put in as bytes.
    const auto file = [&](const Format &format, const std::vector<std::string> &n) {
        std::string bytes;
        for (std::string line : format.lines) {
            for (std::size_t i = 0; i < n.size(); ++i) {
                const std::string placeholder = std::string("N").append(std::to_string(i + 1));
                if (const std::size_t at = line.find(placeholder); at != std::string::npos)
                    line.replace(at, placeholder.size(), n[i]);
            }
            bytes += line + "\n";
        }
        return bytes;
    };
    const CString utf16 =
        "UTF-16のファイルは読み込めません。Shift_JISかUTF-8で保存し直してください。";
    for (const Format &format : formats()) {
        // UTF-8 without the mark whose only non-ASCII characters are symbols.
        Veltrane symbols;
        const CString symbolOnly = put(
            file(format, {Utf8Bytes(u8"1\u22122"), Utf8Bytes(u8"\u21612"), Utf8Bytes(u8"\u2460")}),
            "sym.txt");
        EXPECT_EQ(symbols.JudgeFileFormat(symbolOnly), format.judged) << format.label;
        EXPECT_TRUE((symbols.*format.read)(symbolOnly, nullptr, CrdKindTokyo, ITRFKindNone))
            << format.label << ": " << ToUtf8(symbols.GetFileStop().GetStopReason());
        EXPECT_EQ(names(symbols), (Names{"1−2", "Ⅱ2", "①"})) << format.label;

        struct Refused {
            std::string bytes;
            int line;
            CString reason;
        };
        // The name of line 3 ends in a lone lead byte: before a comma, or at the line's end.
        const CString loneLead = format.judged == JGDCrdFmtGridText
                                     ? "シフトJISとして正しくないバイト列(81)があります。"
                                     : "シフトJISとして正しくないバイト列(81 2C)があります。";
        const Refused refused[] = {
            // UTF-8 with one cp932 line is cp932, and its UTF-8 names are none.
            {file(format, {Utf8Bytes(u8"境界1"),
                           "\x93\x5F"
                           "2",
                           Utf8Bytes(u8"境界3")}),
             2, "シフトJISとして正しくないバイト列(83 E7)があります。"},
            {file(format, {"P1", "Q\x81", "P3"}), 3, loneLead},
            {testsupport::WrittenAsUtf16(named(format, {"P1", "P2", "P3"}), false), 1, utf16},
            {testsupport::WrittenAsUtf16(named(format, {"P1", "P2", "P3"}), true), 1, utf16},
            // An invisible en dash, no-break space and a second mark (two files joined).
            {file(format, {Utf8Bytes(u8"点1"), Utf8Bytes(u8"P\u2013\u00A02\uFEFF"), "P3"}), 3,
             "シフトJISで表せない文字(U+2013、U+00A0、U+FEFF)があります。"},
        };
        for (const Refused &r : refused) {
            const CString in = put(r.bytes, "in.txt");
            Veltrane db;
            EXPECT_FALSE((db.*format.read)(in, nullptr, CrdKindTokyo, ITRFKindNone))
                << format.label << ": " << ToUtf8(r.reason);
            EXPECT_EQ(db.GetFileStop().GetStopLine(), r.line) << format.label;
            EXPECT_EQ(db.GetFileStop().GetStopReason(), r.reason) << format.label;
            EXPECT_EQ(db.size(), 0u) << format.label;
            if (r.line == 1) {
                EXPECT_EQ(db.JudgeFileFormat(in), JGDCrdFmtUnknown) << format.label;
            }
        }
    }
}

// A file joined from a Linux editor's UTF-8 lines and a Windows program's cp932 line is no UTF-8
// as a whole, so it is read as cp932: a UTF-8 line whose bytes are cp932 too ("杭1" is E6 9D AD
// 31, "譚ｭ1" in cp932) stops the read at its line, never stored as other characters.
const CString kMixed = "UTF-8の行とShift_JISの行が混在しています。Shift_JISかUTF-8のどちらかにそろ"
                       "えて保存し直してください。";

std::vector<std::string> mixedLines(const Format &format) {
    std::vector<std::string> lines = named(format, {"P1", "測点2", "P3"});
    for (const int i : {1, 3})
        lines[i].replace(lines[i].find(i == 1 ? "P1" : "P3"), 2,
                         testsupport::Utf8Bytes(i == 1 ? u8"杭1" : u8"杭3"));
    return lines;
}

TEST_F(OtherSoftwareFilesTest, AUtf8LineInACp932FileStopsEveryReaderAtItsLine) {
    for (const Format &format : formats()) {
        std::string bytes;
        for (const std::string &line : mixedLines(format))
            bytes += line + "\r\n";
        Veltrane db;
        EXPECT_FALSE(
            (db.*format.read)(put(bytes, "mixed.txt"), nullptr, CrdKindTokyo, ITRFKindNone))
            << format.label;
        EXPECT_EQ(db.GetFileStop().GetStopLine(), 2) << format.label;
        EXPECT_EQ(db.GetFileStop().GetStopReason(), kMixed) << format.label;
        EXPECT_EQ(db.size(), 0u) << format.label;
    }
}

TEST_F(OtherSoftwareFilesTest, WritersRefuseNamesTheirFormatCannotCarry) {
    const auto write = [&](Veltrane &db, const Format &format, const char *file) {
        if (format.write)
            return (db.*format.write)(path(file), CrdKindTokyo, ITRFKindNone, 0);
        return db.WriteVesk(path(file), CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false);
    };
    // Awkward names that every format carries come back as they were.
    const Names awkward{"P 1", "ﾎｼ2", "点#～3"};
    for (const Format &format : formats()) {
        Veltrane db;
        for (unsigned i = 0; i < awkward.size(); ++i)
            db.Append(TargetPoint(i + 1, awkward[i].GetString(), 1.0 + i, 2.0, 3.0));
        ASSERT_TRUE(write(db, format, "out.txt")) << format.label;
        Veltrane back;
        ASSERT_TRUE((back.*format.read)(path("out.txt"), nullptr, CrdKindTokyo, ITRFKindNone))
            << format.label;
        EXPECT_EQ(names(back), awkward) << format.label;
    }

    // A comma would shift every field after the name: the comma-separated writers refuse it and
    // leave an existing file as it was. The grid text is separated by blanks and takes it.
    const auto refused = [&](const Format &format, const char *name, const char *reason) {
        Veltrane db;
        db.Append(TargetPoint(1, "A", 1.0, 2.0));
        db.Append(TargetPoint(2, name, 3.0, 4.0));
        put("old bytes", "kept.txt");
        EXPECT_FALSE(write(db, format, "kept.txt")) << format.label << " " << name;
        EXPECT_EQ(db.GetFileStop().GetStopReason(), CString(reason)) << format.label;
        EXPECT_EQ(get("kept.txt"), "old bytes") << format.label;
    };
    // Their readers trim blanks and tabs at a field's end, so such a name is refused as well; a
    // blank in front reads back.
    for (const Format &format : formats()) {
        if (format.judged == JGDCrdFmtGridText)
            continue;
        refused(format, "P,1",
                "2番目の点[P,1]の点名にカンマ(,)があるため、この形式では書き出せません。");
        refused(format, "P2 ",
                "2番目の点[P2 ]の点名の末尾に空白があるため、この形式では書き出せません。");
        refused(format, "P2\t",
                "2番目の点[P2\t]の点名の末尾に空白があるため、この形式では書き出せません。");
        Veltrane db;
        const Names leading{" P1", "  P2"};
        for (unsigned i = 0; i < leading.size(); ++i)
            db.Append(TargetPoint(i + 1, leading[i].GetString(), 1.0 + i, 2.0));
        ASSERT_TRUE(write(db, format, "lead.txt")) << format.label;
        Veltrane back;
        ASSERT_TRUE((back.*format.read)(path("lead.txt"), nullptr, CrdKindTokyo, ITRFKindNone))
            << format.label;
        EXPECT_EQ(names(back), leading) << format.label;
    }
    const Format &grid = formats().back();
    for (const char *name : {" P1", "P1 ", "#P1"}) {
        CString reason;
        reason.Format(
            "2番目の点[%s]の点名は前後の空白か先頭の#のため、この形式では書き出せません。", name);
        refused(grid, name, reason);
    }
    // Lines are formatted through C strings: a NUL would end the name there and lose the rest.
    for (const Format &format : formats()) {
        Veltrane nul;
        Point p = TargetPoint(1, "A", 1.0, 2.0);
        p.SetName(CString(std::string("N\0Q2", 4)));
        nul.Append(p);
        put("old bytes", "kept.txt");
        EXPECT_FALSE(write(nul, format, "kept.txt")) << format.label;
        EXPECT_EQ(nul.GetFileStop().GetStopReason(),
                  CString("1番目の点[N]の点名にNUL文字があるため、この形式では書き出せません。"))
            << format.label;
        EXPECT_EQ(get("kept.txt"), "old bytes") << format.label;
    }
    Veltrane db;
    db.Append(TargetPoint(1, "P,1", 1.0, 2.0));
    ASSERT_TRUE(write(db, grid, "grid.txt"));
    Veltrane back;
    ASSERT_TRUE(back.ReadT2JTxt(path("grid.txt"), nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(names(back), Names{"P,1"});
}

} // namespace
