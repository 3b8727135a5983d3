#include "platform/ui/QtText.h"

#include "platform/core/Path.h"

#include <gtest/gtest.h>

#include <string>

TEST(QtTextTest, JapaneseCrossesBothWays) {
    const CString caption("処理経過情報");
    const QString text = ToQString(caption);
    EXPECT_EQ(text, QString::fromUtf8(u8"処理経過情報"));
    EXPECT_EQ(ToCString(text), caption);

    // Half-width katakana are single bytes in cp932.
    const CString cancel("ｷｬﾝｾﾙ");
    EXPECT_EQ(cancel.GetLength(), 5);
    EXPECT_EQ(ToQString(cancel), QString::fromUtf8(u8"ｷｬﾝｾﾙ"));
    EXPECT_EQ(ToCString(ToQString(cancel)).Bytes(), cancel.Bytes());
}

TEST(QtTextTest, TrailBytesAndCodePageDetails) {
    // 0x95 0x5C is one character, not a backslash.
    const QString table = ToQString(CString("\x95\x5C"));
    ASSERT_EQ(table.size(), 1);
    EXPECT_EQ(table.at(0).unicode(), 0x8868);
    // cp932's wave dash is the full-width tilde (Shift_JIS would give U+301C).
    const QString wave = ToQString(CString("\x81\x60"));
    ASSERT_EQ(wave.size(), 1);
    EXPECT_EQ(wave.at(0).unicode(), 0xFF5E);
    EXPECT_EQ(ToCString(QString(QChar(0xFF5E))).Bytes(), "\x81\x60");
}

TEST(QtTextTest, EmptyNullAndUnconvertible) {
    EXPECT_TRUE(ToQString(static_cast<const char *>(nullptr)).isEmpty());
    EXPECT_TRUE(ToQString(CString()).isEmpty());
    EXPECT_TRUE(ToCString(QString()).IsEmpty());

    // A lone lead byte becomes U+FFFD; the text around it survives.
    const QString broken = ToQString(CString("A\x81"));
    EXPECT_EQ(broken, QString::fromUtf8(u8"A\uFFFD"));
    // A character with no cp932 form becomes '?'.
    EXPECT_EQ(ToCString(QString::fromUtf8(u8"x\U0001F600y")).Bytes(), "x?y");
}

// A path carries its native spelling: a message naming it shows the very characters, never the
// user-defined characters that carry them; a user-defined character of a point name shows and
// comes back as before.
TEST(QtTextTest, PathsInMessagesShowTheirNativeCharacters) {
    const char8_t *const native = u8"/現場〜A/\U0001F600\u30CF\u309A.sim";
    const CString path = Path::FromNative(reinterpret_cast<const char *>(native));
    CString message;
    message.Format("%sが見つかりません。", path.GetString());
    EXPECT_EQ(ToQString(message),
              QString::fromUtf8(u8"/現場〜A/\U0001F600\u30CF\u309A.simが見つかりません。"));
    EXPECT_EQ(ToQPath(path), QString::fromUtf8(native));
    EXPECT_EQ(FromQPath(ToQPath(path)), path);
    const CString userDefined("\xF9\x40\xF0\x40");
    EXPECT_EQ(ToQString(userDefined), QString::fromUtf8(u8"\uE69C\uE000"));
    EXPECT_EQ(ToCString(ToQString(userDefined)), userDefined);
}
