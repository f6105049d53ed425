// The line lexers of the colouring view (see syntax_lexer.h).
#include "views/syntax_lexer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/cp932.h"
#include "platform/framework/pathutil.h"

namespace syntax {
namespace {

const char* const kJScriptWords[] = {
    "break", "case", "catch", "class", "const", "continue", "debugger", "default", "delete",
    "do", "else", "enum", "export", "extends", "false", "finally", "for", "function", "if",
    "import", "in", "instanceof", "new", "null", "return", "super", "switch", "this", "throw",
    "true", "try", "typeof", "var", "void", "while", "with"};

const char* const kVBScriptWords[] = {
    "And", "As", "Boolean", "ByRef", "Byte", "ByVal", "Call", "Case", "Class", "Const",
    "Currency", "Debug", "Dim", "Do", "Double", "Each", "Else", "ElseIf", "Empty", "End",
    "EndIf", "Enum", "Eqv", "Event", "Exit", "False", "For", "Function", "Get", "GoTo", "If",
    "Imp", "Implements", "In", "Integer", "Is", "Let", "Like", "Long", "Loop", "LSet", "Me",
    "Mod", "New", "Next", "Not", "Nothing", "Null", "On", "Option", "Optional", "Or",
    "ParamArray", "Preserve", "Private", "Public", "RaiseEvent", "ReDim", "Rem", "Resume",
    "RSet", "Select", "Set", "Shared", "Single", "Static", "Stop", "Sub", "Then", "To", "True",
    "Type", "TypeOf", "Until", "Variant", "Wend", "While", "With", "Xor"};

unsigned char Fold(unsigned char c, bool ignoreCase) {
  return ignoreCase && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Compares the `length` bytes at `word` with the NUL-terminated `key`; the
// tables are sorted by the same comparison, so the search agrees with them.
int Compare(const char* word, int length, const char* key, bool ignoreCase) {
  for (int i = 0; i < length; ++i) {
    unsigned char a = Fold(static_cast<unsigned char>(word[i]), ignoreCase);
    unsigned char b = Fold(static_cast<unsigned char>(key[i]), ignoreCase);
    if (b == 0) return 1;  // the key is a prefix of the word
    if (a != b) return a < b ? -1 : 1;
  }
  return key[length] == 0 ? 0 : -1;
}

template <size_t N>
struct Table {
  std::array<const char*, N> words;
  bool ignoreCase;
  Table(const char* const (&source)[N], bool fold) : ignoreCase(fold) {
    std::copy(source, source + N, words.begin());
    std::sort(words.begin(), words.end(), [fold](const char* a, const char* b) {
      return Compare(a, static_cast<int>(std::strlen(a)), b, fold) < 0;
    });
  }
  bool Contains(const char* word, int length) const {
    size_t lo = 0, hi = N;
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      int c = Compare(word, length, words[mid], ignoreCase);
      if (c == 0) return true;
      if (c < 0) hi = mid; else lo = mid + 1;
    }
    return false;
  }
};

enum ByteClass { kSingle, kControl, kLead, kTrail };

const int kMaxToken = 1024;

// One line pass. The token buffer is always line[t, t + n): every rule that
// moves the token start either empties the buffer first or starts it at the
// current byte.
class Lexer {
 public:
  Lexer(int language, char* line, unsigned state, std::vector<Run>& runs)
      : vb_(language == kVBScript), line_(line), state_(state), runs_(runs) {}

  unsigned Run(int length, int first) {
    colour_ = !vb_ && state_ == kBlockComment ? kComment : kText;
    t_ = first;
    bool afterLead = false;
    for (int i = first; i < length; ++i) {
      unsigned char c = static_cast<unsigned char>(line_[i]);
      ByteClass cls;
      if (afterLead && cp932::IsTrailByte(c)) {
        cls = kTrail;
        afterLead = false;
      } else if (cp932::IsLeadByte(c)) {
        // A lead byte without a trail byte after it is a character of its
        // own; the byte after it is read afresh.
        cls = kLead;
        afterLead = true;
      } else {
        cls = c < 0x20 || c == 0x7F ? kControl : kSingle;
        afterLead = false;
      }
      Byte(c, cls, i);
    }
    if (state_ == kNormal && IsWord()) {
      FlushAs(kKeyword);
      return kNormal;
    }
    Flush();
    return state_ == kBlockComment ? kBlockComment : kNormal;
  }

 private:
  bool vb_;
  char* line_;
  unsigned state_;
  std::vector<syntax::Run>& runs_;
  Role colour_ = kText;
  int t_ = 0;
  int n_ = 0;

  void Emit(int start, int length) {
    if (length <= 0) return;
    if (!runs_.empty() && runs_.back().role == colour_ &&
        runs_.back().start + runs_.back().length == start) {
      runs_.back().length += length;
      return;
    }
    runs_.push_back({start, length, colour_});
  }
  void Flush() {
    Emit(t_, n_);
    n_ = 0;
  }
  // Flushes a keyword in its colour; the colour goes back to text.
  void FlushAs(Role role) {
    colour_ = role;
    Flush();
    colour_ = kText;
  }
  void Append() { ++n_; }
  bool BufferIs(char c) const { return n_ == 1 && line_[t_] == c; }
  bool IsWord() const { return n_ > 0 && IsKeyword(vb_ ? kVBScript : kJScript, line_ + t_, n_); }
  void MakeRoom(int i) {
    if (n_ >= kMaxToken) {
      Flush();
      t_ = i;
    }
  }
  bool IsSeparator(unsigned char c) const {
    if (vb_ && (c == '*' || c == '/')) return true;
    return c != 0 && std::strchr("\t !%&()+,-:;<=>[]{|}", c) != nullptr;
  }

  void Quote(int i, unsigned open) {
    if (state_ == kNormal) {
      Flush();
      colour_ = kString;
      Emit(i, 1);
      t_ = i + 1;
      state_ = open;
    } else if (state_ == open) {
      if (!vb_ && BufferIs('\\')) {  // escaped: the string goes on
        Append();
        Flush();
        t_ = i + 1;
        return;
      }
      Append();
      Flush();
      colour_ = kText;
      t_ = i + 1;
      state_ = kNormal;
    } else {
      Append();
      Flush();
      t_ = i + 1;
    }
  }

  void Byte(unsigned char c, ByteClass cls, int i) {
    if (cls == kLead) {
      MakeRoom(i);
      Append();
      return;
    }
    if (cls == kTrail) {
      Append();
      Flush();
      t_ = i + 1;
      return;
    }
    if (c == '"') return Quote(i, kDoubleQuoted);
    if (c == '\'') return vb_ ? VbApostrophe(i) : Quote(i, kSingleQuoted);
    if (!vb_ && c == '/') return Slash(i);
    if (!vb_ && c == '*') return Asterisk(i);
    if (c == '\\') {
      if (BufferIs('\\')) {  // a doubled backslash escapes nothing after it
        Append();
        Flush();
        t_ = i + 1;
      } else {
        Flush();
        t_ = i;
        Append();
      }
      return;
    }
    if (IsSeparator(c)) return Separator(c, i);
    MakeRoom(i);
    if (cls == kControl) line_[i] = ' ';
    Append();
  }

  void Slash(int i) {
    if (state_ == kNormal) {
      if (BufferIs('/')) {
        colour_ = kComment;
        state_ = kLineComment;
        Append();
        Flush();
        t_ = i + 1;
        return;
      }
      if (IsWord()) FlushAs(kKeyword); else Flush();
    } else if (state_ == kBlockComment && BufferIs('*')) {
      state_ = kNormal;
      Append();
      Flush();
      colour_ = kText;
      t_ = i + 1;
      return;
    } else {
      Flush();
    }
    t_ = i;
    Append();
  }

  void Asterisk(int i) {
    if (state_ == kNormal && BufferIs('/')) {
      state_ = kBlockComment;
      colour_ = kComment;
      Append();
      Flush();
      t_ = i + 1;
      return;
    }
    if (state_ == kNormal && IsWord()) {
      FlushAs(kKeyword);
      t_ = i;
      Append();
      Flush();
      t_ = i + 1;
      return;
    }
    Flush();
    t_ = i;
    Append();
  }

  void VbApostrophe(int i) {
    if (state_ != kNormal) {
      Flush();
      t_ = i;
      Append();
      return;
    }
    state_ = kLineComment;
    if (IsWord()) {
      colour_ = kKeyword;
      Flush();
      colour_ = kComment;
      t_ = i;
      Append();
      return;
    }
    Flush();
    colour_ = kComment;
    Emit(i, 1);
    t_ = i + 1;
  }

  void Separator(unsigned char c, int i) {
    if (!vb_ && n_ > 0 && (line_[t_] == '*' || line_[t_] == '/')) {
      Emit(t_, 1);
      ++t_;
      --n_;
    }
    if (state_ == kNormal && IsWord()) {
      FlushAs(kKeyword);
      t_ = i;
    }
    Flush();
    if (c != '\t') Emit(i, 1);
    t_ = i + 1;
  }
};

}  // namespace

int LanguageOfPath(const std::string& path, int otherwise) {
  const size_t dot = PathExtensionDot(path);
  if (dot == std::string::npos) return otherwise;
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(Fold(static_cast<unsigned char>(c), true));
  if (ext == ".js" || ext == ".jse") return kJScript;
  if (ext == ".vbs" || ext == ".vbe") return kVBScript;
  return otherwise;
}

bool IsKeyword(int language, const char* word, int length) {
  static const Table<sizeof kJScriptWords / sizeof *kJScriptWords> jscript(kJScriptWords, false);
  static const Table<sizeof kVBScriptWords / sizeof *kVBScriptWords> vbscript(kVBScriptWords, true);
  if (language == kJScript) return jscript.Contains(word, length);
  if (language == kVBScript) return vbscript.Contains(word, length);
  return false;
}

unsigned LexLine(int language, char* line, int length, unsigned state, std::vector<Run>& runs) {
  if (language != kJScript && language != kVBScript) return kNormal;
  return Lexer(language, line, state, runs).Run(length, 0);
}

}  // namespace syntax
