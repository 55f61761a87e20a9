// The greeting line that scrolls through every frame.
#pragma once

// 982 bytes and a terminating zero; no "%", so it prints as stored.
extern const char* const greetingText;
