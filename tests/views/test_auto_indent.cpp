// The auto-indentation rules on bytes: what Enter indents the new line with,
// how much of a long line is looked at, and when a typed brace moves back.
#include <gtest/gtest.h>

#include "views/auto_indent.h"

using indent::AfterEnter;

TEST(AutoIndent, JScriptCodeAddsATabAfterAnOpenStatement) {
  EXPECT_EQ(AfterEnter("\tif (a) {", true), "\t\t");
  EXPECT_EQ(AfterEnter("\tx = 1;", true), "\t");
  EXPECT_EQ(AfterEnter("\tx = 1", true), "\t\t");
  for (const char* closed : {"f(a)", "f(a,", "// x/", "a >", "}"}) EXPECT_EQ(AfterEnter(closed, true), "") << closed;
  // An unindented line is looked at without its trailing blanks.
  EXPECT_EQ(AfterEnter("if (a) {  ", true), "\t");
  EXPECT_EQ(AfterEnter("x;\t ", true), "");
}

TEST(AutoIndent, TheLastCharacterCountsNotTheLastByte) {
  // Trail bytes that look like a brace: マ (83 7D) and ± (81 7D) leave the
  // statement open; after 83 83 the brace is a character of its own.
  const struct {
    const char* line;
    const char* indent;
  } cases[] = {{"\tx = \"\x83\x7D", "\t\t"}, {"\ta\x81\x7D", "\t\t"}, {"\t\x83\x83}", "\t"}, {"\tx\x83", "\t\t"}};
  for (const auto& c : cases) EXPECT_EQ(AfterEnter(c.line, true), c.indent) << c.line;
}

TEST(AutoIndent, FourBlanksBecomeATabAndOtherLanguagesOnlyCopy) {
  EXPECT_EQ(AfterEnter("    x;", true), "\t");
  EXPECT_EQ(AfterEnter("      \tx", false), "\t  \t");
  EXPECT_EQ(AfterEnter("\tDim a", false), "\t");  // VBScript, none, or inside a comment
  EXPECT_EQ(AfterEnter("", true), "");
  EXPECT_EQ(AfterEnter("\t\t", true), "\t\t");
}

TEST(AutoIndent, LongLinesAreLookedAtUpTo254Bytes) {
  EXPECT_EQ(indent::LookedAt(0), 0u);
  EXPECT_EQ(indent::LookedAt(255), 255u);
  EXPECT_EQ(indent::LookedAt(256), 254u);
  EXPECT_EQ(indent::LookedAt(100000), 254u);
}

TEST(AutoIndent, BraceMovesBackOnlyAfterBlanks) {
  EXPECT_TRUE(indent::BraceMovesBack("\t\t"));
  EXPECT_TRUE(indent::BraceMovesBack(" "));
  EXPECT_FALSE(indent::BraceMovesBack(""));
  EXPECT_FALSE(indent::BraceMovesBack("foo(x);"));
  EXPECT_FALSE(indent::BraceMovesBack("\tx"));
}
