// The JScript and VBScript line lexers of the colouring view: pure functions
// from one line's bytes and the state carried from the line above to the
// coloured runs of the line and the state carried to the next. No Windows
// header; positions are byte offsets within the line.
//
// Tokens are collected between separators and coloured as they are closed:
// keywords (JScript case-sensitive, VBScript without regard to case), strings
// and comments; everything else keeps the text colour. Only an open block
// comment is carried from one line to the next. Bytes are read in the CP932
// sense, so a double-byte character whose trail byte is a quote, a backslash
// or a vertical bar is one character and never acts as one of those.
#pragma once
#include <string>
#include <vector>

namespace syntax {

// The colouring language (the view's SyntaxLanguage value).
enum Language { kNone = 0, kJScript = 1, kVBScript = 2 };

// Lexer states; only kBlockComment passes from one line to the next.
enum State : unsigned {
  kNormal = 0,
  kSingleQuoted = 2,
  kDoubleQuoted = 4,
  kBlockComment = 8,
  kLineComment = 16,
};

// The colour role a run is drawn in.
enum Role : unsigned char { kText, kKeyword, kString, kComment };

// `length` bytes from `start` drawn in `role`. Adjacent tokens of one role
// are joined into one run; a tab (never drawn) separates runs.
struct Run {
  int start;
  int length;
  Role role;
};

// The language a file is coloured in by its extension (any case): .js and .jse
// JScript, .vbs and .vbe VBScript; any other path, or none, `otherwise`.
int LanguageOfPath(const std::string& path, int otherwise);

// True when the `length` bytes at `word` are a keyword of `language`.
bool IsKeyword(int language, const char* word, int length);

// Lexes one line of `length` bytes entered in `state`. Appends the line's runs
// to `runs` and returns the state at the start of the next line. Control
// bytes other than tab that end up inside a token are replaced by spaces in
// `line`, as they are drawn. A language other than JScript or VBScript adds
// no runs and returns kNormal.
unsigned LexLine(int language, char* line, int length, unsigned state, std::vector<Run>& runs);

}  // namespace syntax
