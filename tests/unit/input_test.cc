#include "core/input.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// Feeds `text` to the reader for one test.
class InputTest : public testing::Test {
 protected:
  void Feed(const std::string& text) {
    text_ = text;
    SetInputFromMemory(text_.data(), text_.size());
  }
  void TearDown() override { SetInputFromStdin(); }
  std::string text_;
};

TEST_F(InputTest, ALimitOfNTakesAtMostNMinusOneBytes) {
  Feed("abcdefgh\nxy\n");
  char buf[8];
  EXPECT_EQ(ReadLine(buf, 5), 4);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(ReadLine(buf, 5), 4);
  EXPECT_STREQ(buf, "efgh");
  EXPECT_EQ(ReadLine(buf, 5), 1);  // the rest of the line is its newline alone
  EXPECT_STREQ(buf, "\n");
  EXPECT_EQ(ReadLine(buf, 5), 3);
  EXPECT_STREQ(buf, "xy\n");
  EXPECT_EQ(ReadLine(buf, 5), -1);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(ReadLine(buf, 5), -1);  // end of input stays the end
}

TEST_F(InputTest, AnswersLoseTheirLineEnd) {
  Feed("name\n\nlast");
  char buf[16];
  ASSERT_TRUE(ReadAnswer(buf, 16));
  EXPECT_STREQ(buf, "name");
  ASSERT_TRUE(ReadAnswer(buf, 16));
  EXPECT_STREQ(buf, "");
  ASSERT_TRUE(ReadAnswer(buf, 16));  // a last line without newline is still an answer
  EXPECT_STREQ(buf, "last");
  EXPECT_FALSE(ReadAnswer(buf, 16));
}

TEST_F(InputTest, NumbersTakeSevenCharactersAndDropTheRest) {
  Feed("1234567\n-12345678\n  +42x\n");
  char number[kNumberSize];
  int value = -1;
  ASSERT_TRUE(ReadNumber(number, &value));
  EXPECT_EQ(value, 1234567);
  char rest[8];
  EXPECT_EQ(ReadLine(rest, 8), 1);  // the newline of an exact 7-character answer
  ASSERT_TRUE(ReadNumber(number, &value));  // "78" and its newline are dropped
  EXPECT_EQ(value, -123456);
  ASSERT_TRUE(ReadNumber(number, &value));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(ReadNumber(number, &value));
  EXPECT_EQ(value, 0);
}

TEST(ParseInt, LeadingDecimalNumberClampedTo32Bits) {
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt("abc"), 0);
  EXPECT_EQ(ParseInt("12abc"), 12);
  EXPECT_EQ(ParseInt(" \t-7"), -7);
  EXPECT_EQ(ParseInt("+ 5"), 0);
  EXPECT_EQ(ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(ParseInt("2147483648"), INT_MAX);
  EXPECT_EQ(ParseInt("99999999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseInt("-2147483648"), INT_MIN);
  EXPECT_EQ(ParseInt("-99999999999"), INT_MIN);
}

}  // namespace
