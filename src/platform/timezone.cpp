#include "platform/timezone.h"

#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace dm::platform {

void settleTimeZone() {
    if (std::getenv("TZ") == nullptr && ::access("/etc/localtime", R_OK) == 0) {
        ::setenv("TZ", ":/etc/localtime", 0);
        ::tzset();
    }
}

} // namespace dm::platform
