// The JScript and VBScript line lexers, headless. Each case shows a line and,
// byte for byte, the colour it is drawn in: k keyword, s string, c comment,
// t text, '.' not drawn (tabs).
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "views/syntax_lexer.h"

namespace {

using namespace syntax;

struct Lexed {
  std::string marks;
  unsigned exit;
};

Lexed Lex(int language, std::string line, unsigned state = kNormal) {
  std::vector<syntax::Run> runs;
  unsigned exit = LexLine(language, &line[0], static_cast<int>(line.size()), state, runs);
  std::string marks(line.size(), '.');
  int last = -1;
  for (const Run& r : runs) {
    EXPECT_GT(r.start, last) << "runs overlap or go backwards";
    EXPECT_LE(r.start + r.length, static_cast<int>(line.size()));
    for (int i = r.start; i < r.start + r.length; ++i) marks[i] = "tksc"[r.role];
    last = r.start + r.length - 1;
  }
  return {marks, exit};
}
std::string JS(const std::string& line, unsigned state = kNormal) { return Lex(kJScript, line, state).marks; }
std::string VB(const std::string& line, unsigned state = kNormal) { return Lex(kVBScript, line, state).marks; }

TEST(ColorLexer, KeywordTablesSearchTheirOwnOrder) {
  EXPECT_TRUE(IsKeyword(kJScript, "instanceof", 10));
  EXPECT_TRUE(IsKeyword(kJScript, "break", 5));
  EXPECT_TRUE(IsKeyword(kJScript, "with", 4));
  EXPECT_FALSE(IsKeyword(kJScript, "If", 2));
  EXPECT_FALSE(IsKeyword(kJScript, "NULL", 4));
  EXPECT_FALSE(IsKeyword(kJScript, "i", 1));       // a prefix of "if"
  EXPECT_FALSE(IsKeyword(kJScript, "iff", 3));     // "if" is a prefix of it
  // Case-insensitive order: LSet lies between Loop and Me; a byte-order sort
  // would lose it (and RSet, ReDim, ByRef...).
  for (const char* w : {"LSET", "lset", "rset", "redim", "BYREF", "dIm", "xor", "and", "elseif", "typeof"})
    EXPECT_TRUE(IsKeyword(kVBScript, w, static_cast<int>(std::string(w).size()))) << w;
  EXPECT_FALSE(IsKeyword(kVBScript, "Dimm", 4));
  EXPECT_FALSE(IsKeyword(kNone, "if", 2));
}

TEST(ColorLexer, JScriptKeywordsAreWholeTokensAtEitherEndOfTheLine) {
  EXPECT_EQ(JS("if(a)"), "kkttt");
  EXPECT_EQ(JS("return"), "kkkkkk");
  EXPECT_EQ(JS("x = null"), "ttttkkkk");
  EXPECT_EQ(JS("If NULL"), "ttttttt");
  EXPECT_EQ(JS("format(ifx)"), "ttttttttttt");   // words that contain keywords
  EXPECT_EQ(JS("this.value;"), "ttttttttttt");   // a name, a full stop, a name
  EXPECT_EQ(JS("this;"), "kkkkt");
  EXPECT_EQ(JS("\tvar\tx"), ".kkk.t");           // tabs are never drawn
  EXPECT_EQ(JS("new\"a\""), "tttsss");           // a keyword before a quote
  EXPECT_EQ(JS("if\x83\x41"), "tttt");           // ... or a double-byte character
}

TEST(ColorLexer, JScriptSlashesAndComments) {
  EXPECT_EQ(JS("a/b"), "ttt");
  EXPECT_EQ(JS("a/this;"), "ttkkkkt");
  EXPECT_EQ(JS("x // if"), "ttccccc");
  EXPECT_EQ(JS("*/ if"), "tttkk");              // a closing mark outside a comment
  Lexed open = Lex(kJScript, "a /* if");
  EXPECT_EQ(open.marks, "ttccccc");
  EXPECT_EQ(open.exit, kBlockComment);
  Lexed middle = Lex(kJScript, "if \"x\" */", kBlockComment);
  EXPECT_EQ(middle.marks, "ccccccccc");
  EXPECT_EQ(middle.exit, kNormal);
  Lexed after = Lex(kJScript, "end */ var", kBlockComment);
  EXPECT_EQ(after.marks, "cccccctkkk");
  Lexed reopened = Lex(kJScript, "/*/ x");          // opens and does not close
  EXPECT_EQ(reopened.exit, kBlockComment);
  EXPECT_EQ(Lex(kJScript, "", kBlockComment).exit, kBlockComment);
  EXPECT_EQ(Lex(kJScript, "// x /*").exit, kNormal);
}

TEST(ColorLexer, JScriptStringsEscapesAndDoubleByteTrailBytes) {
  EXPECT_EQ(JS("\"a\\\"b\" if"), "sssssstkk");   // "a\"b" stays open past \"
  EXPECT_EQ(JS("'a\\\\' if"), "ssssstkk");         // 'a\\' closes after \\ .
  Lexed open = Lex(kJScript, "\"abc if");             // unterminated: ends with the line
  EXPECT_EQ(open.marks, "sssssss");
  EXPECT_EQ(open.exit, kNormal);
  // Trail bytes 5C (backslash) and 7C (vertical bar) are part of a character.
  EXPECT_EQ(JS("\"\x83\x5C\" if"), "sssstkk");
  EXPECT_EQ(JS("if\x95\x7Cx"), "ttttt");
  // A quote that follows a lone lead byte is still a quote.
  EXPECT_EQ(JS("\"\x83\" if"), "ssstkk");
}

TEST(ColorLexer, VBScriptKeywordsCommentsAndStrings) {
  EXPECT_EQ(VB("DIM x"), "kkktt");
  EXPECT_EQ(VB("dim"), "kkk");
  EXPECT_EQ(VB("x = a/b*c"), "ttttttttt");         // slash and asterisk separate
  EXPECT_EQ(VB("If/Then"), "kktkkkk");
  EXPECT_EQ(VB("x' if"), "tcccc");                  // a name keeps the text colour
  EXPECT_EQ(VB("End' x"), "kkkccc");
  EXPECT_EQ(VB("Rem my x"), "kkkttttt");            // Rem is a keyword, not a comment
  EXPECT_EQ(VB("' Dim"), "ccccc");
  EXPECT_EQ(VB("\"a\"\"b\" Dim"), "sssssstkkk");   // a doubled quote: two strings
  EXPECT_EQ(VB("\"a\\\" Dim"), "sssstkkk");        // no escape
  EXPECT_EQ(Lex(kVBScript, "\"open").exit, kNormal);
  EXPECT_EQ(Lex(kVBScript, "x /* y").exit, kNormal);
}

TEST(ColorLexer, LongTokensArePiecesAndControlBytesAreSpaces) {
  std::string word(3000, 'a');
  std::vector<syntax::Run> runs;
  EXPECT_EQ(LexLine(kJScript, &word[0], 3000, kNormal, runs), kNormal);
  ASSERT_EQ(runs.size(), 1u);  // one colour, joined
  EXPECT_EQ(runs[0].length, 3000);
  // A keyword straddling the cut at 1024 bytes is not coloured.
  std::string cut = std::string(1022, 'a') + "if";
  EXPECT_EQ(JS(cut).substr(1022), "tt");
  std::string control = "a\x01" "b";
  std::vector<syntax::Run> r2;
  LexLine(kJScript, &control[0], 3, kNormal, r2);
  EXPECT_EQ(control, "a b");
  std::string none = "if";
  std::vector<syntax::Run> r3;
  EXPECT_EQ(LexLine(kNone, &none[0], 2, kBlockComment, r3), kNormal);
  EXPECT_TRUE(r3.empty());
}

TEST(ColorLexer, OnlyControlBytesAreBlankedAndALoneLeadByteStandsAlone) {
  struct Case {
    const char* line;
    const char* drawn;  // the line's bytes as the lexer leaves them
    const char* marks;
  };
  const Case cases[] = {
      {"\"\x83" "1\" if", "\"\x83" "1\" if", "sssstkk"},  // the digit keeps its place in the string
      {"\x83" "1if", "\x83" "1if", "tttt"},
      {"x\x80y \xA0 \xFD\xFE\xFF", "x\x80y \xA0 \xFD\xFE\xFF", "ttttttttt"},
      {"\x83\x83}", "\x83\x83}", "ttt"},                 // 83 83 is one character, then a brace
      {"a\x01\x7F" "b if", "a  b if", "tttttkk"},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    std::vector<syntax::Run> runs;
    LexLine(kJScript, &line[0], static_cast<int>(line.size()), kNormal, runs);
    EXPECT_EQ(line, c.drawn) << c.line;
    EXPECT_EQ(JS(c.line), c.marks) << c.line;
  }
}

}  // namespace
