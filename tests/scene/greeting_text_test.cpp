// The greeting line: its 70-byte unit repeated around "vvv", 982 bytes.
#include "greeting_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(GreetingTextTest, EightUnitsThenVvvThenSixUnitsEndingWithoutTheBlank) {
    const std::string unit =
        "Valkrune greets all ppl from #fjordvex ... Thanx for all the support! ";
    std::string expected;
    for (int i = 0; i < 8; ++i) expected += unit;
    expected += "vvv";  // runs straight into the next unit, with no blank between
    for (int i = 0; i < 6; ++i) expected += unit;
    expected.pop_back();
    // 982 bytes, and no "%": the line is printed through a format.
    EXPECT_EQ(greetingText, expected);
}

}  // namespace
