// A page gets no termination signals: closing its tab ends the program with
// the page, and Esc ends it as on the desktop.
#include "sdl_internal.h"

namespace kv17::platform {

int TakeTerminationSignal() { return 0; }

}  // namespace kv17::platform
