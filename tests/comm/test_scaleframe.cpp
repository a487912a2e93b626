#include "comm/scaleframe.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace dm;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

struct CrcCase {
    QByteArray data;
    quint16 crc;
};

TEST(ScaleCrc, RegisterFormValues) {
    const CrcCase cases[] = {
        {QByteArray(1, '\0'), 0x0000},
        {QByteArray(1, char(0x80)), 0x0080},
        {QByteArray("123456789"), 0xBEEF},
        // The command byte of OpenExchange and the ReadBlock request of the examples.
        {hex("80"), 0x0080},
        {hex("850100000100"), 0x574D},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComputeScaleCrc(c.data), c.crc) << c.data.toHex().constData();
    // The register form is not the XMODEM CRC (0x31C3 for the nine digits).
    EXPECT_NE(ComputeScaleCrc(QByteArray("123456789")), 0x31C3);
}

struct FrameCase {
    const char* name;
    int command;
    QByteArray payload;
    QByteArray expected;
};

class CompleteFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(CompleteFrames, EncodeAsGiven) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(EncodeFrame(c.command, c.payload).toHex(' '), c.expected.toHex(' '));
    const auto decoded = decodeFrame(c.expected);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->command, c.command);
    EXPECT_EQ(decoded->payload, c.payload);
    EXPECT_TRUE(decoded->crcOk);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CompleteFrames,
    testing::Values(FrameCase{"Identify", 0x00, {}, hex("F855CE0100000000")},
                    FrameCase{"OpenExchange", 0x80, {}, hex("F855CE0100808000")},
                    FrameCase{"ReadBlockGoods1", 0x85, readRequestPayload(1, 1),
                              hex("F855CE0600850100000100 4D57")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScaleFrame, IdentifyRequestIsTheFixedEightBytes) {
    EXPECT_EQ(identifyRequest(), hex("F855CE0100000000"));
}

TEST(ScaleFrame, CrcCoversCommandAndPayloadOnly) {
    const QByteArray a = EncodeFrame(0x82, "abc");
    const QByteArray b = EncodeFrame(0x85, "abc");
    EXPECT_NE(a.right(2), b.right(2));
    // The CRC field equals the CRC of bytes 5.. and nothing before them.
    const quint16 crc = quint16(quint8(a[a.size() - 2]) | quint8(a[a.size() - 1]) << 8);
    EXPECT_EQ(crc, ComputeScaleCrc(QByteArrayView(a).sliced(5, a.size() - 7)));
}

TEST(ScaleFrame, PayloadLimits) {
    const QByteArray largest = EncodeFrame(0x82, QByteArray(16384, 'x'));
    EXPECT_EQ(largest.size(), 16384 + 8);
    EXPECT_EQ(largest.mid(3, 2), hex("0140"));
    EXPECT_THROW(EncodeFrame(0x82, QByteArray(16385, 'x')), std::invalid_argument);
    EXPECT_THROW(EncodeFrame(256), std::invalid_argument);
    EXPECT_THROW(EncodeFrame(-1), std::invalid_argument);
    EXPECT_EQ(EncodeFrame(255).size(), 8);
}

TEST(ScaleFrame, FullFileBlock) {
    const QByteArray data(1024, char(0xA5));
    const QByteArray payload = blockPayload(1, 3, 2, data);
    EXPECT_EQ(payload.left(7), hex("01030002000004"));
    const QByteArray f = EncodeFrame(ScaleCommand::WriteBlock, payload);
    EXPECT_EQ(f.size(), 1039);
    EXPECT_EQ(f.mid(3, 3), hex("080482"));
    EXPECT_EQ(announcedFrameSize(f), 1039);
    const auto back = parseBlockPayload(decodeFrame(f)->payload);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->kind, 1);
    EXPECT_EQ(back->total, 3);
    EXPECT_EQ(back->number, 2);
    EXPECT_EQ(back->data, data);
    EXPECT_THROW(blockPayload(1, 1, 1, QByteArray(1025, 'x')), std::invalid_argument);
    EXPECT_THROW(blockPayload(1, 1, 1, {}), std::invalid_argument);
}

// Replies are read at fixed offsets whatever their preamble, length or CRC.
TEST(ScaleReply, CodesAndBlocks) {
    EXPECT_FALSE(replyCode(hex("F855CE0100")));
    EXPECT_TRUE(isReplyCode(hex("0000000000 43"), ReplyCode::Stop));
    EXPECT_TRUE(isReplyCode(hex("F855CE0100 46 FFFF"), ReplyCode::FileAbsent));
    EXPECT_FALSE(isReplyCode(hex("F855CE0100 82 0000"), ReplyCode::Stop));

    struct Case {
        QByteArray reply;
        BlockReplyError error;
        quint16 total, count;
        QByteArray data;
    };
    const Case cases[] = {
        {hex("F855CE0A00 85 01 0200 0100 0300 414243 0000"), BlockReplyError::None, 2, 3, "ABC"},
        {hex("0000000000 00 00 0100 0000 0000"), BlockReplyError::None, 1, 0, {}},
        {hex("F855CE0A00 85 01 0200 0100 03"), BlockReplyError::TooShortForHeader, 0, 0, {}},
        {hex("F855CE0A00 85 01 0200 0100 0400 414243"), BlockReplyError::TooShortForData, 0, 0, {}},
        {hex("F855CE0A00 85 01 0200 0100 FFFF 41"), BlockReplyError::TooShortForData, 0, 0, {}},
    };
    for (const Case& c : cases) {
        BlockReplyError error = BlockReplyError::None;
        const auto r = parseBlockReply(c.reply, &error);
        EXPECT_EQ(error, c.error) << c.reply.toHex().constData();
        if (c.error != BlockReplyError::None) {
            EXPECT_FALSE(r);
            continue;
        }
        ASSERT_TRUE(r);
        EXPECT_EQ(r->total, c.total);
        EXPECT_EQ(r->count, c.count);
        EXPECT_EQ(r->data.toByteArray(), c.data);
    }
}

TEST(ScaleReply, IdentifyAnswerIsExactlyThirtyFourBytes) {
    QByteArray answer(34, '\0');
    answer[16] = '\x01';
    EXPECT_EQ(identifyMode(answer), 1);
    EXPECT_FALSE(identifyMode(answer.left(33)));
    EXPECT_FALSE(identifyMode(answer + '\0'));
    EXPECT_FALSE(identifyMode(identifyRequest()));
}

TEST(ScaleFrame, DecodingRefusesWhatIsNotOneFrame) {
    const QByteArray ok = EncodeFrame(0x80);
    EXPECT_FALSE(decodeFrame(ok.left(7)));
    EXPECT_FALSE(decodeFrame(ok + 'x'));
    EXPECT_FALSE(decodeFrame(hex("F855CE0000 0000")));
    EXPECT_FALSE(decodeFrame(hex("F955CE0100808000")));
    QByteArray bad = ok;
    bad[7] = 1;
    ASSERT_TRUE(decodeFrame(bad));
    EXPECT_FALSE(decodeFrame(bad)->crcOk);
    EXPECT_TRUE(beginsLikeFrame(hex("F855")));
    EXPECT_FALSE(beginsLikeFrame(hex("F856")));
    EXPECT_FALSE(announcedFrameSize(hex("F855CE01")));
    EXPECT_EQ(parseReadRequest(readRequestPayload(10, 300))->number, 300);
    EXPECT_FALSE(parseReadRequest(hex("0A0000")));
}

} // namespace
