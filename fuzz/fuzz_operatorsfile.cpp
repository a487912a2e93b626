// Salesmen.dat from scales and cards: records or a FileError, never a read past the end.
#include "app/errors.h"
#include "scalefiles/operatorsfile.h"

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
    std::vector<OperatorFileItem> items;
    try {
        items = DecodeOperatorsFile(bytes, page);
    } catch (const FileError&) {
        return 0;
    }
    for (const OperatorFileItem& item : items)
        if (item.key > 255)
            abort();
    try {
        const auto back = DecodeOperatorsFile(EncodeOperatorsFile(items, page), page);
        if (back.size() != items.size())
            abort();
        for (size_t i = 0; i < items.size(); ++i)
            if (back[i].key != items[i].key || back[i].password != items[i].password ||
                back[i].name != items[i].name)
                abort();
    } catch (const FileError&) {
        // Two long texts do not fit the 255 payload bytes a record may carry.
    }
    return 0;
}
