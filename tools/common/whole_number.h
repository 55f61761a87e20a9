// Numbers on a command line.
#pragma once

#include <string_view>

// `text` as a whole decimal number from `least` to `most`: false for an empty
// text, a sign, anything after the digits or a number out of that range.
bool ParseWholeNumber(std::string_view text, int least, int most, int* value);
