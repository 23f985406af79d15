// Message box texts centred in a field of 99 blanks.
#include <gtest/gtest.h>

#include <string>

#include "engine/MessageText.h"

namespace {

// Blanks before and after the text, checking the text itself sits in between.
void ExpectPadding(const char* text, std::size_t before, std::size_t after)
{
    const std::string out(CenterMessageText(text));
    const std::string body(text);
    ASSERT_EQ(out.size(), before + body.size() + after) << text;
    EXPECT_EQ(out, std::string(before, ' ') + body + std::string(after, ' ')) << text;
}

} // namespace

TEST(CenterMessageText, CentresTheEnginesThreeMessages)
{
    ExpectPadding("Converting Finished", 40, 40);
    ExpectPadding("Please set the output directory firstly", 30, 30);
    ExpectPadding("Your computer cannot shutdown", 35, 35);
}

TEST(CenterMessageText, LengthsAtTheEdgeOfTheField)
{
    ExpectPadding(std::string(98, 'x').c_str(), 1, 0);
    ExpectPadding(std::string(99, 'x').c_str(), 0, 0);
    ExpectPadding("", 99, 0);
    const std::string hundred(100, 'y');
    EXPECT_EQ(std::string(CenterMessageText(hundred.c_str())), hundred);
    const std::string longer(300, 'z');
    EXPECT_EQ(std::string(CenterMessageText(longer.c_str())), longer);
}
