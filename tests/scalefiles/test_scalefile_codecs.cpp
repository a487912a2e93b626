#include "app/errors.h"
#include "scalefiles/goodsfile.h"
#include "scalefiles/keypadfile.h"
#include "scalefiles/operatorsfile.h"
#include "scalefiles/ticketfile.h"
#include "scalefiles/totalsfile.h"

#include "testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

using namespace dm;

namespace {

QByteArray golden(const char* name) {
    QFile f(test::testDataDir() + QStringLiteral("/scalefiles/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing golden file " << name;
    return f.readAll();
}

ScaleCodePage page(int languageId) {
    ScaleCodePage p;
    p.select(languageId);
    return p;
}

QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}

struct GoldenCase {
    const char* name;
    const char* file;
    std::function<QByteArray()> encode;
};

class GoldenEncode : public ::testing::TestWithParam<GoldenCase> {};

std::array<int32_t, kKeypadKeyCount> keypadWithKey5() {
    std::array<int32_t, kKeypadKeyCount> plus{};
    plus[4] = 258;
    return plus;
}

QByteArray totalsExamples() {
    QByteArray out;
    const QDateTime last(QDate(2015, 6, 30), QTime(13, 0), Qt::UTC);
    AppendTotalsRecord(out, {7, false, 1500, 3, -1, 9, last});
    AppendTotalsRecord(out, {8, true, -1, 1, 7, 2, last});
    return out;
}

} // namespace

TEST_P(GoldenEncode, WritesTheExampleBytes) {
    const QByteArray bytes = GetParam().encode();
    EXPECT_EQ(bytes.toHex(' '), golden(GetParam().file).toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(
    Files, GoldenEncode,
    ::testing::Values(
        GoldenCase{
            "GoodsWeight1234", "goods_plu1_ab.dat",
            [] {
                return EncodeGoodsRecord({1, false, 1234, QStringLiteral("AB"), {}}, page(1049));
            }},
        GoldenCase{"GoodsCyrillicMaxPrice", "goods_plu258_cyrillic.dat",
                   [] {
                       return EncodeGoodsRecord({258, true, 999999, QStringLiteral("Сыр"),
                                                 QStringLiteral("4600000000000")},
                                                page(1049));
                   }},
        GoldenCase{"TicketEmpty", "rvt_empty.dat",
                   [] { return EncodeTicketFile(QStringList(8), page(1049)); }},
        GoldenCase{"OperatorAtPosition2", "salesmen_pos2.dat",
                   [] {
                       return EncodeOperatorsFile({{2, QStringLiteral("12"), QStringLiteral("AB")}},
                                                  page(1049));
                   }},
        GoldenCase{"KeypadKey5", "keyboard_key5_plu258.dat",
                   [] { return EncodeKeypadFile(keypadWithKey5()); }},
        GoldenCase{"Totals", "totals_examples.dat", totalsExamples}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GoodsCodec, MaxPriceBytesAndChecksum) {
    const QByteArray r = EncodeGoodsRecord({1, false, 999999, {}, {}}, page(1049));
    EXPECT_EQ(r.mid(11, 4), hex("3f420f00"));
    EXPECT_EQ(r.size(), kGoodsRecordFixedSize);
    uint32_t sum = 0;
    for (qsizetype i = 0; i + 1 < r.size(); ++i)
        sum += uint8_t(r[i]);
    EXPECT_EQ(uint8_t(r.back()), uint8_t(sum));
    EXPECT_EQ(r.mid(4, 2), hex("2f00")); // payload length counts the checksum
}

TEST(GoodsCodec, DecodesGoldenRecords) {
    const QByteArray both = golden("goods_plu1_ab.dat") + golden("goods_plu258_cyrillic.dat");
    const auto items = DecodeGoodsFile(both, page(1049));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].plu, 1);
    EXPECT_FALSE(items[0].byCount);
    EXPECT_EQ(items[0].priceHundredths, 1234);
    EXPECT_EQ(items[0].name, QStringLiteral("AB"));
    EXPECT_TRUE(items[0].barcode.isEmpty());
    EXPECT_EQ(items[1].plu, 258);
    EXPECT_TRUE(items[1].byCount);
    EXPECT_EQ(items[1].priceHundredths, 999999);
    EXPECT_EQ(items[1].name, QStringLiteral("Сыр"));
    EXPECT_EQ(items[1].barcode, QStringLiteral("4600000000000"));
}

TEST(GoodsCodec, ReaderQuirks) {
    const ScaleCodePage p = page(1049);
    // A PLU 0 record is skipped by its payload length, checksum included.
    QByteArray zero = EncodeGoodsRecord({0, false, 5, QStringLiteral("ZERO"), {}}, p);
    const QByteArray second = golden("goods_plu1_ab.dat");
    auto items = DecodeGoodsFile(zero + second, p);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].plu, 1);

    // A barcode flag other than 0x01 drops the barcode; type bit 1 alone decides.
    QByteArray flagged = EncodeGoodsRecord({5, false, 0, {}, QStringLiteral("123")}, p);
    flagged[6] = char(0x03);
    flagged[7] = char(0x00);
    items = DecodeGoodsFile(flagged, p);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_TRUE(items[0].byCount);
    EXPECT_FALSE(items[0].barcodeFlag);
    EXPECT_TRUE(items[0].barcode.isEmpty());

    // Further lines of the name, the second text and the barcode are skipped.
    QByteArray lines = hex("09000000 0000 00 01 010114 01000000") + QByteArray(20, 0) +
                       QByteArray(4, ' ') + QByteArray(4, 0) +
                       hex("000141 0c00024344 0d" // name A, second line CD
                           "000158 0c000159 0d"   // second text with two lines
                           "00023737 0c000138 0d" // barcode 77, further line
                           "00");
    items = DecodeGoodsFile(lines, p);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, QStringLiteral("A"));
    EXPECT_EQ(items[0].barcode, QStringLiteral("77"));
}

TEST(ScaleFileCodecs, RoundTripCyrillicUnderEveryCodePage) {
    for (int id : {1049, 1036, 1062, 1068}) {
        const ScaleCodePage p = page(id);
        const QString name =
            id == 1049 ? QStringLiteral("Колбаса Докторская") : QStringLiteral("Ẹ");
        const QString text =
            id == 1049 ? QStringLiteral("Магазин №1 «Весы»") : QStringLiteral("Café");
        const QString expected = p.fromScaleBytes(p.toScaleBytes(name));
        if (id == 1049) {
            EXPECT_EQ(expected, name);
        }
        const auto goods = DecodeGoodsFile(
            EncodeGoodsRecord({42, true, 5, name, QStringLiteral("2000000000008")}, p) +
                EncodeGoodsRecord({43, false, 0, QString(), QString()}, p),
            p);
        ASSERT_EQ(goods.size(), 2u) << id;
        EXPECT_EQ(goods[0].name, expected);
        EXPECT_EQ(goods[0].barcode, QStringLiteral("2000000000008"));
        EXPECT_TRUE(goods[1].name.isEmpty());

        QStringList lines(8);
        lines[0] = text;
        lines[7] = text;
        const auto ticket = DecodeTicketFile(EncodeTicketFile(lines, p), p);
        ASSERT_TRUE(ticket.has_value());
        EXPECT_EQ(ticket->at(0), p.fromScaleBytes(p.toScaleBytes(text)));
        EXPECT_EQ(ticket->at(7), ticket->at(0));
        EXPECT_TRUE(ticket->at(3).isEmpty());

        const auto ops = DecodeOperatorsFile(
            EncodeOperatorsFile({{0, QStringLiteral("0"), {}}, {1, QStringLiteral("111"), text}},
                                p),
            p);
        ASSERT_EQ(ops.size(), 2u);
        EXPECT_EQ(ops[1].key, 1u);
        EXPECT_EQ(ops[1].password, QStringLiteral("111"));
        EXPECT_EQ(ops[1].name, ticket->at(0));
    }
}

TEST(ScaleFileCodecs, SurplusRecordsAreIgnored) {
    const ScaleCodePage p = page(1049);
    QStringList first(8);
    first[0] = QStringLiteral("first");
    QStringList second(8);
    second[0] = QStringLiteral("second");
    EXPECT_EQ(DecodeTicketFile(EncodeTicketFile(first, p) + EncodeTicketFile(second, p), p)->at(0),
              QStringLiteral("first"));
    EXPECT_FALSE(DecodeTicketFile(QByteArray(), p).has_value());

    QByteArray keys = golden("keyboard_key5_plu258.dat");
    keys += keys.left(12 * 3 + 5); // surplus, even a broken one, is never read
    const auto plus = DecodeKeypadFile(keys);
    ASSERT_EQ(plus.size(), 33u);
    EXPECT_EQ(plus[4], 258);
    EXPECT_EQ(DecodeKeypadFile(keys.left(24)).size(), 2u);

    // The operator ID is the key's first byte.
    const auto ops = DecodeOperatorsFile(hex("05010000 0600 00000d 00000d"), p);
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_EQ(ops[0].key, 5u);
}

TEST(TotalsCodec, DecodesTheExamples) {
    const auto recs = DecodeTotalsFile(golden("totals_examples.dat"));
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].plu, 7);
    EXPECT_FALSE(recs[0].byCount);
    EXPECT_EQ(recs[0].dayQuantity, 1500);
    EXPECT_EQ(recs[0].dayTransactions, 3);
    EXPECT_EQ(recs[0].monthQuantity, -1);
    EXPECT_EQ(recs[0].monthTransactions, 9);
    EXPECT_EQ(recs[0].last.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
              QStringLiteral("2015-06-30 13:00:00"));
    EXPECT_TRUE(recs[1].byCount);
    EXPECT_EQ(recs[1].dayQuantity, -1);
    EXPECT_EQ(recs[1].monthQuantity, 7);
    EXPECT_TRUE(DecodeTotalsFile(QByteArray()).empty());
    // The largest positive 48-bit quantity stays positive.
    QByteArray big = golden("totals_examples.dat").left(28);
    big.replace(8, 6, hex("ffffffffff7f"));
    EXPECT_EQ(DecodeTotalsFile(big)[0].dayQuantity, (int64_t(1) << 47) - 1);
}

namespace {

struct MalformedCase {
    const char* name;
    QByteArray data;
    std::function<void(const QByteArray&)> read;
    const char* expectInMessage; // the file and the record offset
};

class MalformedInput : public ::testing::TestWithParam<MalformedCase> {};

QByteArray withByte(QByteArray data, qsizetype at, char value) {
    data[at] = value;
    return data;
}

const ScaleCodePage& cp() {
    static const ScaleCodePage p = page(1049);
    return p;
}

auto readGoods = [](const QByteArray& d) { DecodeGoodsFile(d, cp()); };
auto readTotals = [](const QByteArray& d) { DecodeTotalsFile(d); };

} // namespace

TEST_P(MalformedInput, IsRefusedWithFileAndOffset) {
    try {
        GetParam().read(GetParam().data);
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.text().contains(QString::fromLatin1(GetParam().expectInMessage)))
            << e.text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedInput,
    ::testing::Values(
        MalformedCase{"GoodsSecondRecordCut",
                      golden("goods_plu1_ab.dat") + golden("goods_plu1_ab.dat").left(54), readGoods,
                      "products.dat: the file ends inside a record (record at byte 55)"},
        MalformedCase{"GoodsZeroPluLengthPastEnd", hex("00000000 ff00 0000"), readGoods,
                      "record at byte 0"},
        MalformedCase{"GoodsNameLengthPastEnd",
                      withByte(golden("goods_plu1_ab.dat"), 44, char(0xff)), readGoods,
                      "record at byte 0"},
        MalformedCase{"Totals27Bytes", golden("totals_examples.dat").left(27), readTotals,
                      "Totals.dat: the file ends inside a record (record at byte 0)"},
        MalformedCase{"TotalsSecondRecordCut", golden("totals_examples.dat").left(50), readTotals,
                      "record at byte 28"},
        MalformedCase{"TotalsMonth0", withByte(golden("totals_examples.dat"), 28 + 25, 0),
                      readTotals, "invalid date of the last sale (record at byte 28)"},
        MalformedCase{"TotalsFebruary30",
                      withByte(withByte(golden("totals_examples.dat"), 25, 2), 26, 30), readTotals,
                      "record at byte 0"},
        MalformedCase{"TotalsHour24", withByte(golden("totals_examples.dat"), 27, 24), readTotals,
                      "record at byte 0"},
        MalformedCase{"TicketCut", golden("rvt_empty.dat").left(29),
                      [](const QByteArray& d) { DecodeTicketFile(d, cp()); }, "RVT.dat"},
        MalformedCase{"OperatorsCut",
                      golden("salesmen_pos2.dat") + golden("salesmen_pos2.dat").left(10),
                      [](const QByteArray& d) { DecodeOperatorsFile(d, cp()); },
                      "Salesmen.dat: the file ends inside a record (record at byte 16)"},
        MalformedCase{"KeypadCut", golden("keyboard_key5_plu258.dat").left(12 * 32 + 11),
                      [](const QByteArray& d) { DecodeKeypadFile(d); },
                      "keyboard.dat: the file ends inside a record (record at byte 384)"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every cut of a one-record file inside its record is refused, none is read past.
TEST(ScaleFileCodecs, EveryTruncationIsRefused) {
    struct Reader {
        const char* file;
        std::function<void(const QByteArray&)> read;
    };
    const Reader readers[] = {
        {"goods_plu258_cyrillic.dat", readGoods},
        {"rvt_empty.dat", [](const QByteArray& d) { DecodeTicketFile(d, cp()); }},
        {"salesmen_pos2.dat", [](const QByteArray& d) { DecodeOperatorsFile(d, cp()); }},
        {"keyboard_key5_plu258.dat", [](const QByteArray& d) { DecodeKeypadFile(d.left(12)); }},
        {"totals_examples.dat", [](const QByteArray& d) { DecodeTotalsFile(d.left(28)); }},
    };
    for (const Reader& r : readers) {
        const QByteArray full = golden(r.file);
        const qsizetype recordSize = QByteArray(r.file).startsWith("keyboard") ? 12
                                     : QByteArray(r.file).startsWith("totals") ? 28
                                                                               : full.size();
        for (qsizetype n = 1; n < recordSize; ++n)
            EXPECT_THROW(r.read(full.left(n)), FileError) << r.file << " cut at " << n;
        EXPECT_NO_THROW(r.read(full.left(recordSize))) << r.file;
    }
}
