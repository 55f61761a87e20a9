// Modal message boxes.
//
// A real SDL box with the buttons and icon the flags ask for. Where none can
// be shown (no display) the text goes to stderr as "CAPTION: text" and the
// declining answer comes back, so a program without a display ends at once
// with its message instead of waiting for an answer nobody can give.
#include "sdl_internal.h"
#include "seam_internal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

Uint32 IconFlags(UINT type) {
    switch (type & 0xF0) {
    case MB_ICONSTOP:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION:
        return SDL_MESSAGEBOX_WARNING;
    default:
        return SDL_MESSAGEBOX_INFORMATION;
    }
}

int DecliningAnswer(UINT type) { return (type & 0x0F) == MB_YESNO ? IDNO : IDOK; }

// After the box's own text, the first box printed since the display could
// not be opened also says why, so the user can do something about it.
void PrintToStderr(LPCSTR caption, LPCSTR text) {
    static bool causeTold = false;
    size_t length = strlen(text);
    while (length && text[length - 1] == '\n') --length;
    fprintf(stderr, "%s: %.*s\n", caption, (int)length, text);
    const std::string& cause = kv17::platform::WhyNoDisplay();
    if (!cause.empty() && !causeTold) {
        fprintf(stderr, "%s: %s\n", program_invocation_short_name, cause.c_str());
        causeTold = true;
    }
}

}  // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    kv17::seam::RecordCall("MessageBoxA");
    if (!text) text = "";
    if (!caption) caption = "Error";
    int scripted = kv17::seam::ScriptedMessageBoxAnswer(text, caption, type);
    if (scripted >= 0) return scripted;
    if (kv17::seam::MessageBoxesGoToStderr()) {
        PrintToStderr(caption, text);
        return DecliningAnswer(type);
    }

    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"},
    };
    bool question = (type & 0x0F) == MB_YESNO;
    SDL_MessageBoxData box{};
    box.flags = IconFlags(type);
    box.window = kv17::platform::IsWindow(owner) ? owner->sdl : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = question ? 2 : 1;
    box.buttons = question ? yesNo : ok;
    int answer = -1;
    kv17::platform::BeginModalBox();
    const int shown = SDL_ShowMessageBox(&box, &answer);
    kv17::platform::EndModalBox();
    if (shown != 0) PrintToStderr(caption, text);
    return answer < 0 ? DecliningAnswer(type) : answer;
}
