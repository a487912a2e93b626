// Discovery answers, and the interface texts the broadcast address is made from.
#include "comm/discovery.h"
#include "comm/scaleframe.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace dm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto mode = identifyMode(bytes);
    if (mode && (size != 34 || *mode != data[16]))
        abort();
    // The same bytes as an address and a mask, split at the first '/'.
    const qsizetype slash = bytes.indexOf('/');
    const QString address = QString::fromLatin1(bytes.left(slash < 0 ? bytes.size() : slash));
    const QString mask = slash < 0 ? QString() : QString::fromLatin1(bytes.mid(slash + 1));
    const QString b = BroadcastAddress(address, mask);
    if (!b.isEmpty() && b.split(u'.').size() != 4)
        abort();
    return 0;
}
