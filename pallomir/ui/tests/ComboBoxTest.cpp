#include "exchange/Dorrimet/PlaneCoord.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "pallomir/ui/CPersistentFrame.h"
#include "pallomir/ui/CrdSysCmbBox.h"
#include "pallomir/ui/JColorCmbBox.h"
#include "pallomir/ui/PrmFileCmbBox.h"
#include "pallomir/ui/tests/DataFolders.h"
#include "platform/core/SettingsStore.h"
#include "platform/ui/QtText.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::vector<std::string> Texts(const QComboBox &box) {
    std::vector<std::string> texts;
    for (int i = 0; i < box.count(); ++i)
        texts.push_back(ToCString(box.itemText(i)).Bytes());
    return texts;
}

using Strings = std::vector<std::string>;

TEST(CrdSysCmbBoxTest, ListsTheZonesAndMapsSelectionsToNumbers) {
    const EarthEllips bessel(6377397.155, 299.152813);
    const PlaneCrdJpn zones(&bessel);
    CrdSysCmbBox box;
    EXPECT_FALSE(box.SetData(nullptr));
    EXPECT_EQ(box.GetCurSelNo(&zones), 1); // no selection
    ASSERT_TRUE(box.SetData(&zones));
    ASSERT_EQ(box.count(), 19);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(ToCString(box.itemText(10)).Bytes(), PlaneCrdJpn::s_area[10].label);
    EXPECT_EQ(box.GetItemArea(10), zones.GetArea(10));
    box.SetCurSelFromNo(&zones, 9);
    EXPECT_EQ(box.currentIndex(), 8);
    EXPECT_EQ(box.GetCurSelNo(&zones), 9);
    box.SetCurSelFromNo(&zones, 42);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.GetCurSelNo(&zones), 1);
    // The items are not cleared first, and the selection stays.
    box.SetCurSelFromNo(&zones, 2);
    ASSERT_TRUE(box.SetData(&zones));
    EXPECT_EQ(box.count(), 38);
    EXPECT_EQ(box.GetCurSelNo(&zones), 2);
}

TEST(JColorCmbBoxTest, ItemsFindAndColours) {
    JColorCmbBox box;
    const std::vector<COLORREF> colours = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(255, 0, 0)};
    EXPECT_TRUE(box.MakeContent(colours));
    EXPECT_EQ(Texts(box), (Strings{"0", "1", "2"}));
    EXPECT_EQ(box.GetItemColor(1), RGB(0, 128, 0));
    EXPECT_EQ(box.GetItemColor(3), 0u);
    EXPECT_EQ(box.GetItemColor(-1), 0u);
    EXPECT_EQ(box.Find(RGB(255, 0, 0)), 0);
    EXPECT_EQ(box.Find(RGB(0, 0, 255)), -1);
    EXPECT_TRUE(box.MakeContent({RGB(0, 0, 255)}));
    EXPECT_EQ(box.count(), 1);
}

TEST(JColorCmbBoxTest, ItemsArePaintedAsFramedSwatches) {
    JColorCmbBox box;
    box.MakeContent({RGB(0, 0, 255), RGB(255, 255, 0)});
    QImage image(60, JColorCmbBox::kItemHeight, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        box.DrawItem(&painter, image.rect(), 0, false, false);
    }
    const QColor window = box.palette().color(QPalette::Base);
    EXPECT_EQ(image.pixelColor(0, 0), window);
    EXPECT_EQ(image.pixelColor(4, 8), window);            // left margin of 5
    EXPECT_EQ(image.pixelColor(30, 1), window);           // top margin of 2
    EXPECT_EQ(image.pixelColor(5, 8), QColor(Qt::black)); // frame
    EXPECT_EQ(image.pixelColor(30, 2), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(54, 8), QColor(Qt::black));  // right frame at 60 - 5 - 1
    EXPECT_EQ(image.pixelColor(30, 13), QColor(Qt::black)); // bottom frame at 16 - 2 - 1
    EXPECT_EQ(image.pixelColor(30, 8), QColor(0, 0, 255));  // the colour
    EXPECT_EQ(image.pixelColor(55, 8), window);
    EXPECT_EQ(image.pixelColor(30, 14), window);

    // Selected without the focus: the button face behind the swatch.
    {
        QPainter painter(&image);
        box.DrawItem(&painter, image.rect(), 1, true, false);
    }
    EXPECT_EQ(image.pixelColor(1, 1), box.palette().color(QPalette::Button));
    EXPECT_EQ(image.pixelColor(30, 8), QColor(255, 255, 0));

    // The closed box shows the current swatch too.
    box.resize(120, 24);
    box.setCurrentIndex(0);
    const QImage shown = box.grab().toImage();
    int blue = 0;
    for (int x = 0; x < shown.width(); ++x)
        blue += shown.pixelColor(x, shown.height() / 2) == QColor(0, 0, 255) ? 1 : 0;
    EXPECT_GT(blue, 20);
}

TEST(JColorCmbBoxTest, FocusFlagFollowsTheFocus) {
    QWidget window;
    auto *box = new JColorCmbBox(&window);
    auto *other = new JColorCmbBox(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();
    EXPECT_TRUE(box->HasFocus());
    other->setFocus();
    EXPECT_FALSE(box->HasFocus());
    EXPECT_TRUE(other->HasFocus());
}

class PrmComboTest : public testsupport::TempFolderTest {};

TEST_F(PrmComboTest, KnownParameterFilesComeFirstInTheirOrder) {
    for (const char *name :
         {"関東.par", "TKY2JGD.par", "abc.par", "九州沖縄.PAR", "zz.par", "notes.txt"})
        PutFile(m_dir, name, ParBytes());
    MakeFolder(m_dir, "dir.par");
    PrmFileCmbBox box(folder());
    EXPECT_TRUE(box.SetData());
    EXPECT_EQ(Texts(box),
              (Strings{"TKY2JGD.par", "関東.par", "九州沖縄.PAR", "abc.par", "zz.par"}));
    box.setCurrentIndex(1);
    EXPECT_EQ(box.GetSelectedFile(), "関東.par");
    box.setCurrentIndex(-1);
    EXPECT_EQ(box.GetSelectedFile(), "");

    // A known name in another case is still a known name, listed as it is on disk.
    PutFile(m_dir, "sub/tky2jgd.par", ParBytes());
    PutFile(m_dir, "sub/a.par", ParBytes());
    box.SetBaseDir(path("sub"));
    box.SetData();
    EXPECT_EQ(Texts(box), (Strings{"tky2jgd.par", "a.par"}));
    box.SetBaseDir("");
    box.SetData();
    EXPECT_EQ(box.count(), 0);
}

TEST_F(PrmComboTest, VersionFoldersThenTheBaseFolder) {
    MakeFolder(m_dir, "par1.00");
    MakeFolder(m_dir, "PAR2.00");
    MakeFolder(m_dir, "data");
    PutFile(m_dir, "par3.00", "a file, not a folder");
    PrmVerCmbBox box(folder());
    EXPECT_TRUE(box.SetData());
    EXPECT_EQ(Texts(box), (Strings{"バージョン 1.00", "バージョン 2.00",
                                   "バージョン不明(実行ファイルと同じ位置)"}));
    EXPECT_EQ(box.GetSelectedDir(), ""); // nothing selected
    box.SelectItem("PAR2.00");
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.GetSelectedDirName(), "PAR2.00");
    EXPECT_EQ(box.GetSelectedDir(), folder() + "/PAR2.00");
    box.SelectItem("");
    EXPECT_EQ(box.currentIndex(), 2);
    EXPECT_EQ(box.GetSelectedDirName(), "");
    EXPECT_EQ(box.GetSelectedDir(), folder());
    box.SelectItem("par2.00"); // folder names are matched exactly
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.GetSelectedDirName(), "");

    PrmVerCmbBox empty("");
    empty.SetData();
    EXPECT_EQ(Texts(empty), (Strings{"バージョン不明(実行ファイルと同じ位置)"}));
}

class Frame : public CPersistentFrame {
  public:
    explicit Frame(const CString &prefix = CString()) : CPersistentFrame(prefix) {
        auto *bar = addToolBar(QStringLiteral("main"));
        bar->setObjectName(QStringLiteral("main"));
    }
    using CPersistentFrame::getKey;
};

class CPersistentFrameTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        const char *saved = std::getenv("XDG_CONFIG_HOME");
        m_hadSaved = saved != nullptr;
        m_saved = saved != nullptr ? saved : "";
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    void TearDown() override {
        if (m_hadSaved)
            ::setenv("XDG_CONFIG_HOME", m_saved.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        TempFolderTest::TearDown();
    }
    SettingsStore profile() const { return CPersistentFrame::GetProfile(); }

  private:
    bool m_hadSaved = false;
    std::string m_saved;
};

TEST_F(CPersistentFrameTest, RectsAreReadByFieldsNotColumns) {
    QRect rect;
    ASSERT_TRUE(CPersistentFrame::ParseRect("0010 0020 0800 0600", rect));
    EXPECT_EQ(rect, QRect(QPoint(10, 20), QSize(790, 580)));
    ASSERT_TRUE(CPersistentFrame::ParseRect("-008 -008 1928 1088", rect));
    EXPECT_EQ(rect, QRect(QPoint(-8, -8), QSize(1936, 1096)));
    // Five digits no longer shift the fields.
    ASSERT_TRUE(CPersistentFrame::ParseRect("10240 0020 12000 0600", rect));
    EXPECT_EQ(rect, QRect(QPoint(10240, 20), QSize(1760, 580)));
    ASSERT_TRUE(CPersistentFrame::ParseRect("  1  2\t300 400 ", rect));
    EXPECT_EQ(rect, QRect(QPoint(1, 2), QSize(299, 398)));
    for (const char *bad : {"", "1 2 3", "1 2 3 4 5", "a b c d", "0010 0020 0800 06x0",
                            "100 100 50 200", "0 0 100 0"})
        EXPECT_FALSE(CPersistentFrame::ParseRect(bad, rect)) << bad;
    EXPECT_EQ(CPersistentFrame::FormatRect(QRect(QPoint(-8, 20), QSize(808, 580))),
              "-008 0020 0800 0600");
}

TEST_F(CPersistentFrameTest, FirstStartOpensTheDefaultRectangleAndClosingStoresIt) {
    {
        Frame frame;
        frame.ActivateFrame(SW_SHOW);
        EXPECT_TRUE(frame.isVisible());
        // At the top left of the screen (where the window system puts a window at 0, 0).
        EXPECT_EQ(frame.geometry().size(), CPersistentFrame::s_rectDefault.size());
        EXPECT_EQ(frame.frameGeometry().topLeft(), QPoint(0, 0));
        EXPECT_FALSE(frame.isMaximized());
        EXPECT_FALSE(frame.isMinimized());
        frame.setGeometry(QRect(QPoint(10, 20), QSize(790, 580)));
        EXPECT_TRUE(frame.close());
    }
    const SettingsStore store = profile();
    EXPECT_EQ(store.GetFilePath(),
              folder() + "/" + CPersistentFrame::GetProfileName() + "/profile.ini");
    EXPECT_EQ(store.GetString("Window size", "Rect"), "0010 0020 0800 0600");
    EXPECT_EQ(store.GetInt("Window size", "icon", -1), 0);
    EXPECT_EQ(store.GetInt("Window size", "max", -1), 0);
    EXPECT_FALSE(store.GetString(CPersistentFrame::GetProfileName(), "BarState").IsEmpty());

    Frame again;
    again.ActivateFrame(SW_SHOWMAXIMIZED); // not used on the first call
    EXPECT_EQ(again.geometry(), QRect(QPoint(10, 20), QSize(790, 580)));
    EXPECT_FALSE(again.isMaximized());
    // Later calls show as asked.
    again.ActivateFrame(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(again.isMaximized());
}

TEST_F(CPersistentFrameTest, MinimizedFromMaximizedComesBackSo) {
    {
        Frame frame;
        frame.ActivateFrame(SW_SHOW);
        frame.setGeometry(QRect(QPoint(30, 40), QSize(640, 480)));
        frame.showMaximized();
        frame.showMinimized();
        // Destroyed without a close: the placement is kept all the same.
    }
    EXPECT_EQ(profile().GetInt("Window size", "icon", -1), 1);
    EXPECT_EQ(profile().GetInt("Window size", "max", -1), 1);
    EXPECT_EQ(profile().GetString("Window size", "Rect"), "0030 0040 0670 0520");

    Frame frame;
    frame.ActivateFrame(SW_SHOW);
    EXPECT_TRUE(frame.isMinimized());
    EXPECT_TRUE(frame.testAttribute(Qt::WA_ShowWithoutActivating));
    ShowWindow(&frame, SW_RESTORE);
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isMaximized());
    EXPECT_EQ(frame.normalGeometry(), QRect(QPoint(30, 40), QSize(640, 480)));
}

TEST_F(CPersistentFrameTest, PrefixedKeysAndBadStoredValues) {
    SettingsStore store = profile();
    ASSERT_TRUE(store.WriteString("Views\\Window size", "Rect", "0100 0100 0x00 0500"));
    ASSERT_TRUE(store.WriteString("Window size", "Rect", "0050 0060 0850 0660"));
    Frame prefixed("Views");
    EXPECT_EQ(prefixed.getKey("Window size"), "Views\\Window size");
    prefixed.ActivateFrame(SW_SHOW);
    // An unreadable rectangle gives the default one.
    EXPECT_EQ(prefixed.geometry().size(), CPersistentFrame::s_rectDefault.size());
    Frame plain;
    EXPECT_EQ(plain.getKey("Window size"), "Window size");
    plain.ActivateFrame(SW_SHOW);
    EXPECT_EQ(plain.geometry(), QRect(QPoint(50, 60), QSize(800, 600)));
}

} // namespace
