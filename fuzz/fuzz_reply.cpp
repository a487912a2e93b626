// Replies from a scale, and frames as the simulator reads them: every accessor must
// stay inside the bytes it is given.
#include "comm/scaleframe.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace dm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)replyCode(bytes);
    if (const auto block = parseBlockReply(bytes)) {
        if (block->data.size() != block->count ||
            block->data.data() + block->count > bytes.constData() + bytes.size())
            abort();
    }
    if (const auto size = announcedFrameSize(bytes); size && *size <= bytes.size()) {
        if (const auto f = decodeFrame(QByteArrayView(bytes).first(*size))) {
            // A decoded frame encodes back to the same bytes when its CRC was right.
            if (f->crcOk && EncodeFrame(f->command, f->payload) != bytes.first(*size))
                abort();
            (void)parseBlockPayload(f->payload);
            (void)parseReadRequest(f->payload);
        }
    }
    return 0;
}
