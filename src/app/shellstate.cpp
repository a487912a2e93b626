#include "app/shellstate.h"

namespace dm {

ShellState& shell() {
    static ShellState state;
    return state;
}

} // namespace dm
