#include "whole_number.h"

#include <charconv>

bool ParseWholeNumber(std::string_view text, int least, int most, int* value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    int parsed = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (status != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < least || parsed > most) return false;
    *value = parsed;
    return true;
}
