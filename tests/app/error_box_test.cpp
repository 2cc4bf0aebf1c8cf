// The error box buffer: when its text is shown, and that no written text is lost.
#include "process/error_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> shown;
void Record(const char* text) { shown.push_back(text); }

class ErrorBoxTest : public ::testing::Test {
protected:
  void SetUp() override { shown.clear(); }
  TErrorBox box{Record};
};

TEST_F(ErrorBoxTest, ShownOnceTheTextEndsWithFourLineBreaks) {
  box.Write("Runtime error 216 at $00401000\r\n");
  box.Write("  $00401000\r\n");
  EXPECT_TRUE(shown.empty());
  box.Write("\r\n");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Runtime error 216 at $00401000\r\n  $00401000\r\n\r\n");
  EXPECT_EQ(box.Count(), 0u);
}

TEST_F(ErrorBoxTest, AnyMixOfCarriageReturnsAndLineFeedsCounts) {
  box.Write("ab\n\r\n\r");
  box.Write("\n\n\r");
  box.Write("\n");
  EXPECT_EQ(shown, (std::vector<std::string>{"ab\n\r\n\r", "\n\n\r\n"}));
}

TEST_F(ErrorBoxTest, ShortOrInterruptedLineBreaksWait) {
  box.Write("\r\n\r");
  box.Write("a\r\n\r\nb");
  EXPECT_TRUE(shown.empty());
  box.Close();
  EXPECT_EQ(shown, (std::vector<std::string>{"\r\n\ra\r\n\r\nb"}));
}

TEST_F(ErrorBoxTest, AFullBufferIsShownAndTheRestOfTheWriteGoesOn) {
  box.Write(std::string(1000, 'a'));
  box.Write(std::string(30, 'b'));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], std::string(1000, 'a') + std::string(24, 'b'));
  box.Write(std::string(2 * TErrorBox::Capacity, 'c'));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[1], std::string(6, 'b') + std::string(1018, 'c'));
  box.Close();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[3], std::string(6, 'c'));
}

TEST_F(ErrorBoxTest, ClosingAnEmptyBufferShowsNothing) {
  box.Close();
  box.Write("\r\n\r\n");
  box.Close();
  EXPECT_EQ(shown.size(), 1u);
}

TErrorBox* reentered = nullptr;
void WriteWhileShown(const char* text) {
  shown.push_back(text);
  if (shown.size() == 1) reentered->Write("late");
}

TEST(ErrorBox, TextWrittenWhileABoxIsShownStartsANewBuffer) {
  shown.clear();
  TErrorBox box(WriteWhileShown);
  reentered = &box;
  box.Write("first\r\n\r\n");
  box.Close();
  EXPECT_EQ(shown, (std::vector<std::string>{"first\r\n\r\n", "late"}));
}

}  // namespace
