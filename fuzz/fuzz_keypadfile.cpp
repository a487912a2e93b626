// keyboard.dat from scales and cards: at most 33 keys or a FileError.
#include "app/errors.h"
#include "scalefiles/keypadfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace dm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const std::vector<int32_t> plus = DecodeKeypadFile(bytes);
        if (plus.size() > size_t(kKeypadKeyCount) ||
            plus.size() * kKeypadRecordSize > size_t(bytes.size()))
            abort();
        std::array<int32_t, kKeypadKeyCount> keys{};
        std::copy(plus.begin(), plus.end(), keys.begin());
        const std::vector<int32_t> back = DecodeKeypadFile(EncodeKeypadFile(keys));
        if (!std::equal(plus.begin(), plus.end(), back.begin()))
            abort();
    } catch (const FileError&) {
    }
    return 0;
}
