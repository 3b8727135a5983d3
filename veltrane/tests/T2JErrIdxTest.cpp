#include "veltrane/model/T2JErrIdx.h"

#include "tests/support/TextForms.h"
#include "veltrane/tests/ErrIdxFixture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

using EdxFileTest = ErrIdxTest;
using ErrIdxGeometryTest = ErrIdxTest;

// The lines of a file as the Windows program writes it.
const std::string kWindowsFile = "Trelvic/EDX File Version 1.00\r\n"
                                 "TKY2JGD parameter Ver.2.1.2\r\n"
                                 "53394600,   1.23,  -0.46\r\n"
                                 "53394729,  12.50,   0.00\r\n"
                                 "52353797,-104.75,1234.56\r\n";

std::string text2(double v) {
    CString s;
    s.Format("%.2f", v);
    return s.GetString();
}

// ---- the EDX file

TEST_F(EdxFileTest, WritesTheWindowsProgramsLines) {
    T2JErrIdxTbl t = table({{mesh(53394600), 1.234, -0.456},
                            {mesh(53394729), 12.5, 0.0},
                            {mesh(52353797), -104.749, 1234.556}});
    t.SetT2JVerStr("Ver.2.1.2");
    ASSERT_TRUE(t.WriteEDXFile(path("a.edx")));
    EXPECT_EQ(get("a.edx"), kWindowsFile);
}

TEST_F(EdxFileTest, WindowsFileReadsWhole) {
    T2JErrIdxTbl t;
    ASSERT_TRUE(t.ReadEDXFile(put(kWindowsFile, "5339.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "Ver.2.1.2");
    EXPECT_STREQ(t.GetFileName(), "5339.edx");
    EXPECT_EQ(t.GetFilePath(), path("5339.edx"));
    ASSERT_EQ(t.GetSize(), 3u);
    EXPECT_EQ(t.GetData(0)->GetMeshCode(), JMeshCode(5339, 46, 0));
    EXPECT_EQ(t.GetData(0)->GetGamma(), 1.23);
    EXPECT_EQ(t.GetData(0)->GetDelta(), -0.46);
    EXPECT_EQ(t.GetData(1)->GetMeshCode(), JMeshCode(5339, 47, 29));
    EXPECT_EQ(t.GetData(2)->GetMeshCode(), JMeshCode(5235, 37, 97));
    EXPECT_EQ(t.GetData(2)->GetGamma(), -104.75);
    EXPECT_EQ(t.GetData(2)->GetDelta(), 1234.56);
    EXPECT_EQ(t.GetData(3), nullptr);

    // Line feeds alone read the same.
    T2JErrIdxTbl lf;
    ASSERT_TRUE(
        lf.ReadEDXFile(put("x\nTKY2JGD parameter Ver.2.1.2\n53394600,1.5,2\n", "lf.edx"), true));
    EXPECT_STREQ(lf.GetT2JVerStr(), "Ver.2.1.2");
    ASSERT_EQ(lf.GetSize(), 1u);
    EXPECT_EQ(lf.GetData(0)->GetDelta(), 2.0);
}

TEST_F(EdxFileTest, WrittenTableReadsBackAtTwoDecimals) {
    T2JErrIdxTbl t;
    t.SetT2JVerStr("Ver.2.1.2");
    // Every third-level mesh of one second-level mesh, with values of many digits.
    for (unsigned k = 0; k < 100; ++k)
        t.Append(T2JErrIdx(mesh(53394600 + k), k * 1.0137 - 50.0049, -k / 7.0));
    t.Append(T2JErrIdx(mesh(68487799), T2JErrIdxTbl::kValueLimit, -T2JErrIdxTbl::kValueLimit));
    ASSERT_TRUE(t.WriteEDXFile(path("b.edx")));

    T2JErrIdxTbl back;
    ASSERT_TRUE(back.ReadEDXFile(path("b.edx"), true));
    EXPECT_STREQ(back.GetT2JVerStr(), "Ver.2.1.2");
    ASSERT_EQ(back.GetSize(), t.GetSize());
    for (unsigned i = 0; i < t.GetSize(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.GetData(i)->GetMeshCode(), t.GetData(i)->GetMeshCode());
        EXPECT_EQ(text2(back.GetData(i)->GetGamma()), text2(t.GetData(i)->GetGamma()));
        EXPECT_EQ(text2(back.GetData(i)->GetDelta()), text2(t.GetData(i)->GetDelta()));
    }
    int a[4], b[4];
    t.GetMinMaxSec(&a[0], &a[1], &a[2], &a[3]);
    back.GetMinMaxSec(&b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(std::vector<int>(a, a + 4), std::vector<int>(b, b + 4));
}

TEST_F(EdxFileTest, VersionTextIsTheWholeRestOfTheSecondLine) {
    T2JErrIdxTbl t;
    ASSERT_TRUE(t.ReadEDXFile(
        put("h\r\nTKY2JGD parameter   Ver.2.1.10 (2012, patch)  \r\n", "v.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "Ver.2.1.10 (2012, patch)");
    EXPECT_EQ(t.GetSize(), 0u);

    // And it goes back out whole.
    t.Append(T2JErrIdx(mesh(53394600), 1, 2));
    ASSERT_TRUE(t.WriteEDXFile(path("w.edx")));
    T2JErrIdxTbl back;
    ASSERT_TRUE(back.ReadEDXFile(path("w.edx"), true));
    EXPECT_STREQ(back.GetT2JVerStr(), "Ver.2.1.10 (2012, patch)");

    // No blank after the prefix, or no version at all.
    ASSERT_TRUE(t.ReadEDXFile(put("h\nTKY2JGD parameterVer.3\n", "v2.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "Ver.3");
    ASSERT_TRUE(t.ReadEDXFile(put("h\nTKY2JGD parameter\n", "v3.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "");
}

// The version line may end with commas and blanks, as the index lines may: those go, a comma
// inside the text stays.
TEST_F(EdxFileTest, TheVersionLeavesTheCommasAndBlanksThatEndItsLine) {
    T2JErrIdxTbl t;
    ASSERT_TRUE(t.ReadEDXFile(
        put("h\r\nTKY2JGD parameter Ver.2.1.2,\r\n53394600,1.5,2,\r\n", "c.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "Ver.2.1.2");
    EXPECT_EQ(t.GetSize(), 1u);
    ASSERT_TRUE(t.ReadEDXFile(
        put("h\r\nTKY2JGD parameter Ver.2.1.10 (2012, patch) , ,\t,,\r\n", "b.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "Ver.2.1.10 (2012, patch)");
}

TEST_F(EdxFileTest, NumbersInTheCLocaleWhateverTheProcessLocale) {
    T2JErrIdxTbl t = table({{mesh(53394600), 1.25, -0.5}});
    t.SetT2JVerStr("Ver.2.1.2");
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "locale de_DE.UTF-8 is missing; generate it with locale-gen";
    const bool written = t.WriteEDXFile(path("de.edx"));
    T2JErrIdxTbl back;
    const bool read = back.ReadEDXFile(path("de.edx"), true);
    T2JErrIdxTbl windows;
    const bool readWindows = windows.ReadEDXFile(put(kWindowsFile, "win.edx"), true);
    std::setlocale(LC_ALL, saved.c_str());

    ASSERT_TRUE(written);
    EXPECT_EQ(get("de.edx"), "Trelvic/EDX File Version 1.00\r\nTKY2JGD parameter Ver.2.1.2\r\n"
                             "53394600,   1.25,  -0.50\r\n");
    ASSERT_TRUE(read);
    ASSERT_EQ(back.GetSize(), 1u);
    EXPECT_EQ(back.GetData(0)->GetGamma(), 1.25);
    EXPECT_EQ(back.GetData(0)->GetDelta(), -0.5);
    ASSERT_TRUE(readWindows);
    ASSERT_EQ(windows.GetSize(), 3u);
    EXPECT_EQ(windows.GetData(2)->GetDelta(), 1234.56);
}

// Reading ends at the first line that is not an index whole; what came before stays.
TEST_F(EdxFileTest, ReadingEndsAtTheFirstLineThatIsNotAnIndex) {
    const char *const notIndexes[] = {
        "",                             // a blank line
        "53394601,1.00",                // two fields
        "53394601,1.00,",               // an empty third field
        "53394601,1.00,2.00,3.00",      // a fourth field
        "53394601,1.00,2.00x",          // a number followed by text
        "53394601,1.5e2,2.00",          // an exponent
        "53394601,1,0 2",               // two numbers in one field
        "53394601,1,1,5",               // a decimal comma
        "5339460x,1.00,2.00",           // a code with a letter
        "53398001,1.00,2.00",           // second-level latitude digit 8
        "53390801,1.00,2.00",           // second-level longitude digit 8
        "533946011,1.00,2.00",          // nine digits
        "-53394601,1.00,2.00",          // a negative code
        "53394601,10000000000000.01,0", // beyond the value limit
        "53394601,nan,0",
        "53394601,inf,0",
        "TKY2JGD parameter Ver.2.1.2",
    };
    for (const char *bad : notIndexes) {
        SCOPED_TRACE(bad);
        const std::string file = std::string("h\r\nTKY2JGD parameter V\r\n53394600,1.00,2.00\r\n") +
                                 bad + "\r\n53394602,3.00,4.00\r\n";
        T2JErrIdxTbl t;
        ASSERT_TRUE(t.ReadEDXFile(put(file, "bad.edx"), true));
        ASSERT_EQ(t.GetSize(), 1u);
        EXPECT_EQ(t.GetData(0)->GetMeshCode(), JMeshCode(5339, 46, 0));
        EXPECT_EQ(t.GetData(0)->GetDelta(), 2.0);
        EXPECT_STREQ(t.GetT2JVerStr(), "V");
    }

    // A third line that is not an index gives the version and no index.
    T2JErrIdxTbl t;
    ASSERT_TRUE(
        t.ReadEDXFile(put("h\nTKY2JGD parameter Ver.2.1.2\nmesh,gamma,delta\n", "c.edx"), true));
    EXPECT_STREQ(t.GetT2JVerStr(), "Ver.2.1.2");
    EXPECT_EQ(t.GetSize(), 0u);

    // Blanks around the numbers and a signed code are still whole indexes.
    ASSERT_TRUE(
        t.ReadEDXFile(put("h\nTKY2JGD parameter V\n +53394600 , -1 ,+.5\n", "s.edx"), true));
    ASSERT_EQ(t.GetSize(), 1u);
    EXPECT_EQ(t.GetData(0)->GetMeshCode(), JMeshCode(5339, 46, 0));
    EXPECT_EQ(t.GetData(0)->GetGamma(), -1.0);
    EXPECT_EQ(t.GetData(0)->GetDelta(), 0.5);
}

TEST_F(EdxFileTest, BytesThatAreNoCp932StopTheReadAtTheirLine) {
    // A version line holding a UTF-8 mark inside cp932 text: refused, so it is never written
    // into a file that reads back otherwise.
    T2JErrIdxTbl t;
    EXPECT_FALSE(t.ReadEDXFile(
        put("h\r\nTKY2JGD parameter V\x82\xA0\xEF\xBB\xBF\r\n53394600,1,2\r\n", "m.edx"), true));
    EXPECT_EQ(t.GetStopLine(), 2);
    EXPECT_EQ(t.GetStopReason(), CString("シフトJISとして正しくないバイト列(EF BB)があります。"));
    EXPECT_STREQ(t.GetT2JVerStr(), "");

    EXPECT_FALSE(t.ReadEDXFile(
        put(testsupport::WrittenAsUtf16({"h", "TKY2JGD parameter V"}, false), "u16.edx"), true));
    EXPECT_EQ(t.GetStopLine(), 1);
    EXPECT_EQ(
        t.GetStopReason(),
        CString("UTF-16のファイルは読み込めません。Shift_JISかUTF-8で保存し直してください。"));

    // Past the version the read keeps the indexes before the line, as at any line that is not
    // an index, and names it.
    ASSERT_TRUE(t.ReadEDXFile(
        put("h\r\nTKY2JGD parameter V\r\n53394600,1,2\r\n5339\x81\r\n53394602,3,4\r\n", "i.edx"),
        true));
    EXPECT_EQ(t.GetSize(), 1u);
    EXPECT_EQ(t.GetStopLine(), 4);
    EXPECT_EQ(t.GetStopReason(), CString("シフトJISとして正しくないバイト列(81)があります。"));

    // A UTF-8 line of a cp932 file, whose bytes are cp932 too, is no index either.
    ASSERT_TRUE(t.ReadEDXFile(put("h \x91\xAA\r\nTKY2JGD parameter V\r\n53394600,1,2\r\n" +
                                      testsupport::Utf8Bytes(u8"杭1") + "\r\n53394602,3,4\r\n",
                                  "u8.edx"),
                              true));
    EXPECT_EQ(t.GetSize(), 1u);
    EXPECT_EQ(t.GetStopLine(), 4);
    EXPECT_EQ(t.GetStopReason(), CString("UTF-8の行とShift_JISの行が混在しています。Shift_"
                                         "JISかUTF-8のどちらかにそろえて保存し直してください。"));
}

TEST_F(EdxFileTest, RefusedReadsKeepOrClearAsAsked) {
    T2JErrIdxTbl held = table({{mesh(53394600), 1, 2}});
    held.SetT2JVerStr("held");
    const CString refused[] = {
        path("missing.edx"),
        put("", "empty.edx"),
        put("Trelvic/EDX File Version 1.00\r\n", "one-line.edx"),
        put("Trelvic/EDX File Version 1.00\r\n53394600,1.00,2.00\r\n", "no-version.edx"),
        put("Trelvic/EDX File Version 1.00\r\ntky2jgd parameter V\r\n", "lower-case.edx"),
        put("h\r\nTKY2JGD parameter " + std::string(240, 'v') + "\r\n", "long-line.edx"),
        // A line that reads but a version too long for the line the writer makes.
        put("h\r\nTKY2JGD parameter" + std::string(237, 'v') + "\r\n", "long-version.edx"),
    };
    for (const CString &file : refused) {
        SCOPED_TRACE(file.GetString());
        T2JErrIdxTbl kept = held;
        EXPECT_FALSE(kept.ReadEDXFile(file, false));
        ASSERT_EQ(kept.GetSize(), 1u);
        EXPECT_STREQ(kept.GetT2JVerStr(), "held");

        T2JErrIdxTbl cleared = held;
        EXPECT_FALSE(cleared.ReadEDXFile(file, true));
        EXPECT_EQ(cleared.GetSize(), 0u);
        EXPECT_STREQ(cleared.GetT2JVerStr(), "");
        int s[4] = {1, 1, 1, 1};
        cleared.GetMinMaxSec(&s[0], &s[1], &s[2], &s[3]);
        EXPECT_EQ(std::vector<int>(s, s + 4), std::vector<int>(4, 0));
    }

    // Without clear a read adds to what is held.
    ASSERT_TRUE(held.ReadEDXFile(put(kWindowsFile, "w.edx"), false));
    EXPECT_EQ(held.GetSize(), 4u);
    EXPECT_STREQ(held.GetT2JVerStr(), "Ver.2.1.2");
}

TEST_F(EdxFileTest, TablesTheFileCannotHoldAreNotWritten) {
    EXPECT_FALSE(T2JErrIdxTbl().WriteEDXFile(path("empty.edx")));
    EXPECT_FALSE(exists("empty.edx"));

    JMeshCode second;
    second.SetMeshCode2(533946);
    const T2JErrIdx good(mesh(53394600), 1, 2);
    const T2JErrIdxTbl refused[] = {
        table({good, {second, 1, 2}}),                     // not a third-level code
        table({good, {JMeshCode(-5339, 46, 0), 1, 2}}),    // a negative code
        table({good, {JMeshCode(5339, 80, 0), 1, 2}}),     // a digit out of range
        table({good, {mesh(53394601), NAN, 2}}),           // not a number
        table({good, {mesh(53394601), 1, INFINITY}}),      // infinite
        table({good, {mesh(53394601), 1, -1.0000001e13}}), // beyond the limit
    };
    for (const T2JErrIdxTbl &t : refused) {
        EXPECT_FALSE(t.WriteEDXFile(path("r.edx")));
        EXPECT_FALSE(exists("r.edx"));
    }

    T2JErrIdxTbl t = table({good});
    for (const char *version : {"Ver.2\nmesh", "Ver.2\x1a"}) {
        t.SetT2JVerStr(version);
        EXPECT_FALSE(t.WriteEDXFile(path("r.edx")));
        EXPECT_FALSE(exists("r.edx"));
    }
    t.SetT2JVerStr(CString(std::string(237, 'v')));
    EXPECT_FALSE(t.WriteEDXFile(path("r.edx")));
    // The longest version whose line still reads.
    t.SetT2JVerStr(CString(std::string(236, 'v')));
    ASSERT_TRUE(t.WriteEDXFile(path("r.edx")));
    T2JErrIdxTbl back;
    ASSERT_TRUE(back.ReadEDXFile(path("r.edx"), true));
    EXPECT_EQ(back.GetT2JVerStr().GetLength(), 236);
    EXPECT_EQ(back.GetSize(), 1u);

    // Neither a missing folder nor a full device is reported as written.
    t.SetT2JVerStr("V");
    EXPECT_FALSE(t.WriteEDXFile(path("no-folder/a.edx")));
    EXPECT_FALSE(t.WriteEDXFile("/dev/full"));
}

// ---- extremes and values

TEST_F(ErrIdxGeometryTest, ExtentReachesTheNorthEastCornerOfTheLastMesh) {
    const T2JErrIdxTbl t = table({{mesh(53394729), 0, 0}, {mesh(53394600), 0, 0}});
    // South-west corners worked out from the codes: 5339 is 35 20 N, 139 E; 46 adds 4 x 5' and
    // 6 x 7'30"; 47 adds 4 x 5' and 7 x 7'30"; 29 adds 2 x 30" and 9 x 45".
    int latMin = 0, lonMin = 0, latMax = 0, lonMax = 0;
    t.GetMinMaxSec(&latMin, &lonMin, &latMax, &lonMax);
    EXPECT_EQ(latMin, (35 * 60 + 40) * 60);
    EXPECT_EQ(lonMin, (139 * 60 + 45) * 60);
    EXPECT_EQ(latMax, (35 * 60 + 41) * 60);
    EXPECT_EQ(lonMax, (139 * 60 + 59) * 60 + 15);

    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    ASSERT_TRUE(t.GetMinMax(m_zone9, &xmin, &ymin, &xmax, &ymax, false));
    ExpectPoint(xmin, ymin, kSW4600);
    ExpectPoint(xmax, ymax, kNE4729);
    // Semi-dynamic cells reach 150 x 225 seconds from their south-west corner.
    ASSERT_TRUE(t.GetMinMax(m_zone9, &xmin, &ymin, &xmax, &ymax, false, CNVPRM_TYPE_SEMIDYNA));
    ExpectPoint(xmin, ymin, kSW4600);
    ExpectPoint(xmax, ymax, kNE4729Cell);

    // Extend widens and never narrows.
    double wide[4] = {-40000, -8000, -30000, 20000};
    ASSERT_TRUE(t.GetMinMax(m_zone9, &wide[0], &wide[1], &wide[2], &wide[3], true));
    EXPECT_EQ(std::vector<double>(wide, wide + 4),
              std::vector<double>({-40000, -8000, -30000, 20000}));
    double narrow[4] = {0, 0, -30000, 0};
    ASSERT_TRUE(t.GetMinMax(m_zone9, &narrow[0], &narrow[1], &narrow[2], &narrow[3], true));
    ExpectPoint(narrow[0], narrow[1], kSW4600);
    EXPECT_EQ(narrow[2], -30000);
    EXPECT_NEAR(narrow[3], kNE4729.y, kPlaneTolerance);

    // An empty table changes nothing; a missing zone is no extent.
    double kept[4] = {1, 2, 3, 4};
    EXPECT_TRUE(T2JErrIdxTbl().GetMinMax(m_zone9, &kept[0], &kept[1], &kept[2], &kept[3], false));
    EXPECT_FALSE(t.GetMinMax(nullptr, &kept[0], &kept[1], &kept[2], &kept[3], false));
    EXPECT_EQ(std::vector<double>(kept, kept + 4), std::vector<double>({1, 2, 3, 4}));
}

TEST_F(ErrIdxGeometryTest, ValueExtremesAndTotals) {
    const T2JErrIdxTbl t =
        table({{mesh(53394600), 2.5, -1}, {mesh(53394601), -3, 4}, {mesh(53394602), 0.5, 0}});
    double g1 = 0, g2 = 0, d1 = 0, d2 = 0;
    ASSERT_TRUE(t.GetMinMaxValue(&g1, &g2, &d1, &d2, false));
    EXPECT_EQ(std::vector<double>({g1, g2, d1, d2}), std::vector<double>({-3, 2.5, -1, 4}));
    // Extend keeps wider given values.
    g1 = -10, g2 = 1, d1 = 0, d2 = 10;
    ASSERT_TRUE(t.GetMinMaxValue(&g1, &g2, &d1, &d2, true));
    EXPECT_EQ(std::vector<double>({g1, g2, d1, d2}), std::vector<double>({-10, 2.5, -1, 10}));
    g1 = g2 = d1 = d2 = 7;
    EXPECT_TRUE(T2JErrIdxTbl().GetMinMaxValue(&g1, &g2, &d1, &d2, false));
    EXPECT_EQ(std::vector<double>({g1, g2, d1, d2}), std::vector<double>(4, 7));

    double sum = 0;
    EXPECT_EQ(t.GetGammaTotal(&sum), 3u);
    EXPECT_EQ(sum, 0.0);
    EXPECT_EQ(t.GetDeltaTotal(&sum), 3u);
    EXPECT_EQ(sum, 3.0);
}

// ---- corners

TEST_F(ErrIdxGeometryTest, CornersOfGridAndPatchIndexesAreTheMeshs) {
    for (JCnvPrmFileType type : {CNVPRM_TYPE_TKY2JGD, CNVPRM_TYPE_PATCHJGD}) {
        SCOPED_TRACE(type);
        T2JErrIdx index(mesh(53394600), 1, 2);
        int dLat = 0, dLon = 0;
        index.GetCellSizeSec(type, &dLat, &dLon);
        EXPECT_EQ(dLat, 30);
        EXPECT_EQ(dLon, 45);
        ASSERT_TRUE(index.CalcPntXY(m_zone9->GetProjection(), type));
        double x = 0, y = 0;
        index.GetSWCrd(&x, &y);
        ExpectPoint(x, y, kSW4600);
        index.GetNWCrd(&x, &y);
        ExpectPoint(x, y, kNW4600);
        index.GetNECrd(&x, &y);
        ExpectPoint(x, y, kNE4600);
        index.GetSECrd(&x, &y);
        ExpectPoint(x, y, kSE4600);
    }
}

TEST_F(ErrIdxGeometryTest, SemiDynamicCellIs150By225Seconds) {
    T2JErrIdx index(mesh(53394600), 1, 2);
    int lat = 0, lon = 0;
    index.GetSWCrdSec(&lat, &lon);
    EXPECT_EQ(lat, (35 * 60 + 40) * 60);
    EXPECT_EQ(lon, (139 * 60 + 45) * 60);
    index.GetNECrdSec(&lat, &lon); // of the mesh itself
    EXPECT_EQ(lat, (35 * 60 + 40) * 60 + 30);
    EXPECT_EQ(lon, (139 * 60 + 45) * 60 + 45);
    index.GetCellSizeSec(CNVPRM_TYPE_SEMIDYNA, &lat, &lon);
    EXPECT_EQ(lat, 150);
    EXPECT_EQ(lon, 225);

    ASSERT_TRUE(index.CalcPntXY(m_zone9->GetProjection(), CNVPRM_TYPE_SEMIDYNA));
    double x = 0, y = 0;
    index.GetSWCrd(&x, &y);
    ExpectPoint(x, y, kSW4600);
    index.GetNWCrd(&x, &y);
    ExpectPoint(x, y, kNW4600Cell);
    index.GetNECrd(&x, &y);
    ExpectPoint(x, y, kNE4600Cell);
    index.GetSECrd(&x, &y);
    ExpectPoint(x, y, kSE4600Cell);

    ASSERT_TRUE(index.GetCrdFromSW(m_zone9->GetProjection(), 30, 45, &x, &y));
    ExpectPoint(x, y, kNE4600);
}

TEST_F(ErrIdxGeometryTest, CornersStayWhenTheyCannotBeComputed) {
    T2JErrIdxTbl t = table({{mesh(53394600), 1, 2}});
    ASSERT_TRUE(t.CalcAllPntXY(m_zone9->GetProjection(), CNVPRM_TYPE_TKY2JGD));
    EXPECT_FALSE(t.CalcAllPntXY(nullptr, CNVPRM_TYPE_SEMIDYNA));
    double x = 0, y = 0;
    t.GetData(0)->GetNECrd(&x, &y);
    ExpectPoint(x, y, kNE4600);
    x = y = 5;
    EXPECT_FALSE(t.GetData(0)->GetCrdFromSW(nullptr, 0, 0, &x, &y));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 5);
}

} // namespace
