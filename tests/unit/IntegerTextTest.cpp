// Stored text to integer, as the settings file's integer reads convert it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/IntegerText.h"

TEST(IntegerText, ConvertsDecimalAndHexadecimalText) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"3", 3},          {"0x3", 3},           {"0X3", 3},           {"$1F", 31},         {"$1f", 31},
      {"x1F", 31},       {"X1f", 31},          {"  42", 42},         {"+7", 7},           {"-7", -7},
      {"-0x10", -16},    {" -$10", -16},       {"007", 7},           {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},        {"$FFFFFFFF", -1},    {"0x80000000", -2147483647 - 1},
      {"$000000001", 1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseIntegerText(text), value) << text;
}

TEST(IntegerText, AnythingElseGivesTheDefault) {
  for (const std::string text : {"", "3a", "yes", " ", "0x", "$", "x", "-", "+", "12 ", "1 2", "--1", "+-1", "$G",
                                 "0xG", "2147483648", "-2147483649", "99999999999999999999", "$100000000",
                                 "0x1FFFFFFFF", "1.5", "\t1", "0x-1", "$+1"}) {
    EXPECT_EQ(ParseIntegerText(text), std::nullopt) << '"' << text << '"';
    EXPECT_EQ(IntegerTextOr(text, 2), 2) << '"' << text << '"';
  }
  EXPECT_EQ(IntegerTextOr("0x3", 2), 3);
}
