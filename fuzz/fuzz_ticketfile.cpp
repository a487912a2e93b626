// RVT.dat from scales and cards: eight lines or a FileError, never a read past the end.
#include "app/errors.h"
#include "scalefiles/ticketfile.h"

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
    try {
        const auto lines = DecodeTicketFile(bytes, page);
        if (!lines)
            return 0;
        if (lines->size() != kTicketLineCount)
            abort();
        if (DecodeTicketFile(EncodeTicketFile(*lines, page), page) != lines)
            abort();
    } catch (const FileError&) {
    }
    return 0;
}
