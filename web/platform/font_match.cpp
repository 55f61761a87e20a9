// The page carries one outline face, the one fontconfig gives the desktop
// demo for its font where the site was built (its file and whether bold is
// synthesized are fixed then): every logical font gets it.
#include "font_match.h"

namespace kv17::platform {

FontFile MatchFont(const char*, int, bool) {
    FontFile file;
    file.path = KV17_PAGE_FONT_PATH;
    file.embolden = KV17_PAGE_FONT_EMBOLDEN;
    return file;
}

}  // namespace kv17::platform
