// Splitting command-line texts into parameters: blanks, quoting, the empty quoted pair, missing parameters.
#include "process/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Param(std::string_view commandLine, int n) { return std::string(CommandLineParam(commandLine, n)); }

TEST(CommandLineParam, ProgramIsParameterZeroAndMissingParametersAreEmpty) {
  const char* line = "\"C:\\Program Files\\coilprobe.exe\"  /ih later";
  EXPECT_EQ(Param(line, 0), "C:\\Program Files\\coilprobe.exe");
  EXPECT_EQ(Param(line, 1), "/ih");
  EXPECT_EQ(Param(line, 2), "later");
  EXPECT_EQ(Param(line, 3), "");
  EXPECT_EQ(Param(line, -1), "");
  EXPECT_EQ(Param("coilprobe.exe", 1), "");
  EXPECT_EQ(Param("", 0), "");
}

TEST(CommandLineParam, EveryControlByteSeparatesAndHighBytesAreOrdinary) {
  const char* line = "p\t\x01x\x1f\r\ny \xA0\xE9t\xFF";
  EXPECT_EQ(Param(line, 1), "x");
  EXPECT_EQ(Param(line, 2), "y");
  EXPECT_EQ(Param(line, 3), "\xA0\xE9t\xFF");
}

TEST(CommandLineParam, OnlyQuotesAroundTheWholeParameterAreRemoved) {
  EXPECT_EQ(Param("p a\"b c\"d", 1), "a\"b c\"d");
  EXPECT_EQ(Param("p \"a b\"", 1), "a b");
  EXPECT_EQ(Param("p \"/ih\"", 1), "/ih");
  EXPECT_EQ(Param("p \"a b\"c d", 1), "\"a b\"c");
  EXPECT_EQ(Param("p \"a b\"c d", 2), "d");
  EXPECT_EQ(Param("p \"ab\"\"cd\"", 1), "ab\"\"cd");
}

TEST(CommandLineParam, AnOpenQuoteRunsToTheEnd) {
  EXPECT_EQ(Param("p \"", 1), "\"");
  EXPECT_EQ(Param("p \"a b", 1), "\"a b");
  EXPECT_EQ(Param("p \"a b", 2), "");
}

TEST(CommandLineParam, AnEmptyQuotedPairIsWhiteSpace) {
  EXPECT_EQ(Param("p \"\" /ih", 1), "/ih");
  EXPECT_EQ(Param("p \"\"/ih", 1), "/ih");
  EXPECT_EQ(Param("p \"\" \"\"\"\" x \"\" y", 2), "y");
  EXPECT_EQ(Param("p \"\"", 1), "");
  EXPECT_EQ(Param("p \"\"a\"\"", 1), "a\"\"");
}

TEST(CommandLineParam, AZeroByteEndsTheText) {
  std::string_view line("p a\0b c", 7);
  EXPECT_EQ(Param(line, 1), "a");
  EXPECT_EQ(Param(line, 2), "");
  EXPECT_EQ(Param(std::string_view("p \"a\0b\" c", 9), 1), "\"a");
}

}  // namespace
