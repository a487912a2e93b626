#pragma once

#include <functional>

namespace dm::platform {

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, so that a logout or a
// kill closes the window in order and the database is saved. Install before the event
// loop starts; the handler runs once per signal on the thread of the caller.
void onTerminationRequest(std::function<void()> handler);

} // namespace dm::platform
