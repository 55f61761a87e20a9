#include "greeting_text.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

constexpr std::string_view kUnit =
    "Valkrune greets all ppl from #fjordvex ... Thanx for all the support! ";
constexpr std::string_view kBreak = "vvv";
constexpr size_t kLength = 8 * kUnit.size() + kBreak.size() + 6 * kUnit.size() - 1;
static_assert(kUnit.size() == 70 && kLength == 982);

// The unit eight times, "vvv", the unit five times, then once more without
// its trailing blank, so the line ends in "support!".
constexpr std::array<char, kLength + 1> ComposeGreeting() {
    std::array<char, kLength + 1> text{};
    size_t end = 0;
    auto append = [&](std::string_view part) {
        for (char c : part) text[end++] = c;
    };
    for (int i = 0; i < 8; ++i) append(kUnit);
    append(kBreak);
    for (int i = 0; i < 5; ++i) append(kUnit);
    append(kUnit.substr(0, kUnit.size() - 1));
    return text;
}

constexpr std::array<char, kLength + 1> kGreeting = ComposeGreeting();

}  // namespace

const char* const greetingText = kGreeting.data();
