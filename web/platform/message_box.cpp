// Modal message boxes as dialogs in the page: the caption, the text and the
// buttons the flags ask for (Yes and No, or OK). The program waits for the
// answer as a desktop program waits for its box; Esc gives the declining
// answer, as it does there.
#include "page.h"
#include "seam_internal.h"

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    kv17::seam::RecordCall("MessageBoxA");
    if (!text) text = "";
    if (!caption) caption = "Error";
    const int scripted = kv17::seam::ScriptedMessageBoxAnswer(text, caption, type);
    if (scripted >= 0) return scripted;
    return kv17::page::AskInDialog(caption, text, type);
}
