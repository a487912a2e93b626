#pragma once

namespace dm::platform {

// Gives unused heap memory back to the operating system (after start-up and after
// large redraws); does nothing where the C library offers no way.
void trimWorkingSet();

} // namespace dm::platform
