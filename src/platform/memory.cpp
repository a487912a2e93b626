#include "platform/memory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace dm::platform {

void trimWorkingSet() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace dm::platform
