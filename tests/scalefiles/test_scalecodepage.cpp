#include "scalefiles/scalecodepage.h"

#include <gtest/gtest.h>

using dm::ScaleCodePage;

namespace {
struct ByteCase {
    int languageId;
    char16_t character;
    uint8_t byte;
};
class ScaleCodePageForward : public ::testing::TestWithParam<ByteCase> {};
} // namespace

TEST_P(ScaleCodePageForward, CharacterToByte) {
    ScaleCodePage page;
    page.select(GetParam().languageId);
    EXPECT_EQ(page.toByte(GetParam().character), GetParam().byte);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleCodePageForward,
    ::testing::Values(ByteCase{1068, 0x018F, 0xC6}, ByteCase{1068, 0x0259, 0xE6},
                      ByteCase{1068, 0x00C6, 0x00}, ByteCase{1036, 0x018F, 0x00},
                      ByteCase{1049, 0x20AC, 0x88}, ByteCase{1036, 0x20AC, 0x80},
                      ByteCase{1062, 0x20AC, 0x80}, ByteCase{1068, 0x20AC, 0x80},
                      ByteCase{1033, 0x0416, 0xC6}, ByteCase{0, 0x0416, 0xC6},
                      ByteCase{1049, 0x0000, 0x00}, ByteCase{1062, 0x0000, 0x00},
                      ByteCase{1049, u'A', u'A'}, ByteCase{1049, 0xD83D, 0x00}));

TEST(ScaleCodePage, UndefinedBytesReadAsNul) {
    ScaleCodePage page;
    page.select(1049);
    EXPECT_EQ(page.toChar(0x98), 0);
    for (int id : {1036, 1062, 1068}) {
        page.select(id);
        EXPECT_EQ(page.toChar(0x81), 0) << id;
    }
    page.select(1068);
    EXPECT_EQ(page.toChar(0xC6), 0x018F);
    const QString s = page.fromScaleBytes(QByteArray("\x81"
                                                     "A\x00",
                                                     3));
    EXPECT_EQ(s.size(), 3);
    EXPECT_EQ(s[0].unicode(), 0);
    EXPECT_EQ(s[2].unicode(), 0);
}

TEST(ScaleCodePage, ForwardIsInverseOfReverseOnEveryPage) {
    for (int id : {1049, 1036, 1062, 1068}) {
        ScaleCodePage page;
        page.select(id);
        for (int b = 1; b < 256; ++b) {
            const char16_t c = page.toChar(uint8_t(b));
            if (c != 0) {
                EXPECT_EQ(page.toByte(c), b) << id << " " << b;
            }
        }
    }
}

TEST(ScaleCodePage, EmptyAndUnselected) {
    ScaleCodePage page;
    EXPECT_EQ(page.toByte(u'A'), 0);
    EXPECT_EQ(page.toChar(uint8_t('A')), 0);
    page.select(1049);
    EXPECT_TRUE(page.toScaleBytes(QString()).isEmpty());
    EXPECT_TRUE(page.fromScaleBytes(QByteArray()).isEmpty());
    EXPECT_EQ(page.toScaleBytes(QStringLiteral("Сыр")), QByteArray("\xD1\xFB\xF0"));
}
