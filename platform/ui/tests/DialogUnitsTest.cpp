#include "platform/ui/DialogUnits.h"
#include "platform/ui/UiFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

TEST(DialogUnitsTest, ConversionRoundsHalfAwayFromZero) {
    const DialogUnits units(7, 15);
    EXPECT_EQ(units.ToPixelsX(4), 7);
    EXPECT_EQ(units.ToPixelsX(2), 4); // 3.5
    EXPECT_EQ(units.ToPixelsX(1), 2); // 1.75
    EXPECT_EQ(units.ToPixelsX(-2), -4);
    EXPECT_EQ(units.ToPixelsX(180), 315);
    EXPECT_EQ(units.ToPixelsY(8), 15);
    EXPECT_EQ(units.ToPixelsY(4), 8);    // 7.5
    EXPECT_EQ(units.ToPixelsY(85), 159); // 159.375
    EXPECT_EQ(units.ToPixels(QRect(2, 4, 180, 85)), QRect(4, 8, 315, 159));
    EXPECT_EQ(units.ToPixels(QSize(179, 45)), QSize(313, 84));
}

TEST(DialogUnitsTest, UiFontIsTheInstalledJapaneseGothic) {
    const QFont proportional = UiFont(11);
    EXPECT_EQ(QFontInfo(proportional).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(UiFont(9, false)).family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(QFontInfo(proportional).pointSize(), 11);
    const QFontMetrics metrics(proportional);
    EXPECT_TRUE(metrics.inFont(QChar(0x51E6))); // 処
    EXPECT_TRUE(metrics.inFont(QChar(0xFF77))); // ｷ

    // Base units from the font: a larger font gives larger dialogs.
    const DialogUnits small(UiFont(9));
    const DialogUnits large(proportional);
    EXPECT_EQ(large.BaseY(), metrics.height());
    EXPECT_GT(large.BaseX(), 0);
    EXPECT_LT(large.BaseX(), large.BaseY());
    EXPECT_LT(small.BaseX(), large.BaseX());
    EXPECT_LT(small.BaseY(), large.BaseY());
}

TEST(DialogUnitsTest, ControlsAreFoundByTheirId) {
    QWidget dialog;
    const DialogUnits units(6, 14);
    auto *first = new QLabel(&dialog);
    auto *second = new QLabel(&dialog);
    PlaceControl(first, 18009, QRect(7, 7, 166, 10), units);
    PlaceControl(second, 18010, QRect(7, 20, 166, 10), units);

    EXPECT_EQ(GetDlgItem(&dialog, 18009), first);
    EXPECT_EQ(GetDlgItem(&dialog, 18010), second);
    EXPECT_EQ(GetDlgItem(&dialog, 18008), nullptr);
    EXPECT_EQ(second->geometry(), QRect(11, 35, 249, 18));
    EXPECT_EQ(GetDlgCtrlID(second), 18010);
    EXPECT_EQ(GetDlgCtrlID(&dialog), 0);
    EXPECT_EQ(GetDlgCtrlID(nullptr), 0);
    SetDlgCtrlID(&dialog, 1);
    EXPECT_EQ(GetDlgCtrlID(&dialog), 1);
}
