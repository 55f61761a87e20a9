// The moment a page's link names, index.html?frame=N&keys=SCRIPT: the page
// runs as kv17-capture --frames N --keys SCRIPT would, windowed, as fast as
// the browser draws, and holds frame N on the canvas.
#pragma once

#include "capture_options.h"

#include <vector>

namespace kv17::page {

// Before the run: frame N (>= 1) and the keys held on the way.
void NameMoment(int frame, const std::vector<KeyHold>& keys);

}  // namespace kv17::page
