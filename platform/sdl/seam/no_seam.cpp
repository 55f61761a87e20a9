// The test seam as the demo links it: nothing injected, recorded or
// scripted, and no lookups on the way.
#include "seam_internal.h"

namespace kv17::seam {

bool CallFails(const char*) { return false; }
void RecordCall(const char*) {}
int ScriptedMessageBoxAnswer(const char*, const char*, unsigned) { return -1; }
bool MessageBoxesGoToStderr() { return false; }
void BeforeSwap(HDC) {}
bool PaceFrames() { return true; }

}  // namespace kv17::seam
