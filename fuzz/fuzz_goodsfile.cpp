// Goods files from scales and cards: the reader stays inside the bytes, refuses what it
// cannot read with FileError, and what it reads writes back and reads the same.
#include "app/errors.h"
#include "scalefiles/goodsfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace dm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScaleCodePage page = [] {
        ScaleCodePage p;
        p.select(1049);
        return p;
    }();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    std::vector<GoodsFileItem> items;
    try {
        items = DecodeGoodsFile(bytes, page);
    } catch (const FileError&) {
        return 0;
    }
    QByteArray again;
    for (GoodsFileItem item : items) {
        if (item.plu == 0 || item.name.size() > 255 || item.barcode.size() > 255)
            abort();
        item.barcodeFlag = true;
        AppendGoodsRecord(again, item, page);
    }
    const std::vector<GoodsFileItem> back = DecodeGoodsFile(again, page);
    if (back.size() != items.size())
        abort();
    for (size_t i = 0; i < items.size(); ++i) {
        const GoodsFileItem& a = items[i];
        const GoodsFileItem& b = back[i];
        if (a.plu != b.plu || a.byCount != b.byCount || a.priceHundredths != b.priceHundredths ||
            a.name != b.name || a.barcode != b.barcode)
            abort();
    }
    return 0;
}
