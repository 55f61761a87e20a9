// The greeting line: its 70-byte unit repeated around "vvv", 982 bytes.
#include "greeting_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kUnit = "Valkrune greets all ppl from #fjordvex ... Thanx for all the support! ";

TEST(GreetingTextTest, EightUnitsThenVvvThenSixUnitsEndingWithoutTheBlank) {
    const std::string text = greetingText;
    ASSERT_EQ(kUnit.size(), 70u);
    ASSERT_EQ(text.size(), 982u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(text.substr(i * 70, 70), kUnit) << "unit " << i;
    // "vvv" runs straight into the next unit, with no blank between.
    EXPECT_EQ(text.substr(560, 11), "vvvValkrune");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(text.substr(563 + i * 70, 70), kUnit) << "unit " << i;
    EXPECT_EQ(text.substr(913), kUnit.substr(0, 69));
    EXPECT_EQ(text.back(), '!');
    // Printed through a format: a "%" would be taken as a conversion.
    EXPECT_EQ(strchr(greetingText, '%'), nullptr);
}

}  // namespace
