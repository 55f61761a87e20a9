#include "font_match.h"

#include <fontconfig/fontconfig.h>

#include <system_error>
#include <thread>

namespace kv17::platform {

namespace {

constexpr int kNormalWeight = 400;  // FW_NORMAL

// Joined before the first match, or at exit when no font is ever made.
struct ConfigurationLoad {
    bool started = false;
    std::thread helper;
    void Finish() {
        if (helper.joinable()) helper.join();
    }
    ~ConfigurationLoad() { Finish(); }
} configurationLoad;

}  // namespace

void LoadFontConfigurationAhead() {
    if (configurationLoad.started) return;
    configurationLoad.started = true;
    try {
        configurationLoad.helper = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the first match loads it.
    }
}

FontFile MatchFont(const char* family, int weight, bool italic) {
    configurationLoad.Finish();
    FontFile found;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return found;
    if (family && *family) FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family);
    // Win32 weights are OpenType weights.
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        FcWeightFromOpenType(weight > 0 ? weight : kNormalWeight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result;
    // The match comes with the configuration's font rules applied, among
    // them the one that asks for synthetic bold.
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return found;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        found.path = (const char*)file;
        FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
        FcBool embolden = FcFalse;
        FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
        found.embolden = embolden;
    }
    FcPatternDestroy(match);
    return found;
}

}  // namespace kv17::platform
