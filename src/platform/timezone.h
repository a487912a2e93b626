#pragma once

namespace dm::platform {

// Without TZ the C library looks at /etc/localtime again for every local time it
// converts; naming the zone file once makes reading many dates cheap.
void settleTimeZone();

} // namespace dm::platform
