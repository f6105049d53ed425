// Regular-expression search over code page 932 text: the JScript pattern
// turned into Boost.Regex's form, the iterator that decodes the text's spans
// in place, and the searches and replacement expansion the callers use.
#include "views/regex_search.h"

#include "views/cp932_iterator.h"

#include <iterator>
#include <stdexcept>

#include <boost/regex.hpp>

#include "platform/cp932.h"

using rv::textctl::TextSpans;

namespace {

// Letters that differ only in case, as the editor's search folds them: Latin,
// full-width Latin, Greek and Cyrillic (all that code page 932 holds).
wchar_t FoldCase(wchar_t c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0x0391 && c <= 0x03A9) || (c >= 0x0410 && c <= 0x042F))
    return static_cast<wchar_t>(c + 0x20);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<wchar_t>(c + 0x20);
  if (c == 0x0401) return 0x0451;
  return c;
}

// Boost's traits with the editor's case folding, the same in every build.
class Cp932RegexTraits : public boost::cpp_regex_traits<wchar_t> {
 public:
  wchar_t translate(wchar_t c) const { return c; }
  wchar_t translate(wchar_t c, bool icase) const { return icase ? FoldCase(c) : c; }
  wchar_t translate_nocase(wchar_t c) const { return FoldCase(c); }
  wchar_t tolower(wchar_t c) const { return FoldCase(c); }
};

using Regex = boost::basic_regex<wchar_t, Cp932RegexTraits>;
using Match = boost::match_results<Cp932Iterator>;

const boost::regex_constants::match_flag_type kMatchFlags =
    boost::regex_constants::match_default | boost::regex_constants::match_not_dot_newline;

}  // namespace

// Boost sizes its work limit by the distance from the text's start to its end;
// counted in bytes instead of characters it is found at once, and no larger
// than twice the true count.
namespace std {
template <>
inline ptrdiff_t distance<Cp932Iterator>(Cp932Iterator first, Cp932Iterator last) {
  return last.Pos() - first.Pos();
}
}  // namespace std

struct RegexProgram {
  Regex regex;
};

namespace {

// JScript's classes as sets of their own, so that every build means the same
// (the library's would follow the C runtime's idea of a letter or a space).
const wchar_t kDigits[] = L"0-9";
const wchar_t kWordChars[] = L"A-Za-z0-9_";
// \b and \B between JScript's word characters (the library's own would take
// Japanese letters for word characters in one build and not in another).
const wchar_t kWordBoundary[] = L"(?:(?<=[A-Za-z0-9_])(?![A-Za-z0-9_])|(?<![A-Za-z0-9_])(?=[A-Za-z0-9_]))";
const wchar_t kNotWordBoundary[] = L"(?:(?<=[A-Za-z0-9_])(?=[A-Za-z0-9_])|(?<![A-Za-z0-9_])(?![A-Za-z0-9_]))";
const wchar_t kSpaces[] = L"\\t\\n\\x{0B}\\f\\r \\x{A0}\\x{3000}\\x{FEFF}\\x{2028}\\x{2029}";

int HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// The pattern's characters as UTF-16 units, decoded as the text is.
std::wstring DecodePattern(std::string_view pattern) {
  TextSpans spans;
  spans.part1 = pattern.data();
  spans.length1 = static_cast<int>(pattern.size());
  std::wstring out;
  for (Cp932Iterator it(&spans, 0), end(&spans, spans.length1); it != end; ++it) out += *it;
  return out;
}

// The JScript pattern in the library's form: \uXXXX and \xXX become \x{...},
// the classes \d \w \s become sets and \b \B lookarounds over JScript's word
// characters, an escaped letter JScript does not know is that letter, and
// [] / [^] match nothing / anything.
std::wstring TranslatePattern(const std::wstring& p) {
  std::wstring out;
  bool inClass = false;
  for (size_t i = 0; i < p.size(); ++i) {
    const wchar_t c = p[i];
    if (c == L'[' && !inClass) {
      if (p.compare(i, 2, L"[]") == 0) {
        out += L"(?!)";
        ++i;
        continue;
      }
      if (p.compare(i, 3, L"[^]") == 0) {
        out += L"[\\s\\S]";
        i += 2;
        continue;
      }
      inClass = true;
      out += c;
      if (i + 1 < p.size() && p[i + 1] == L'^') out += p[++i];
      continue;
    }
    if (c == L']' && inClass) inClass = false;
    if (c != L'\\' || i + 1 >= p.size()) {
      out += c;
      continue;
    }
    const wchar_t e = p[++i];
    const auto hex = [&](size_t digits) {
      unsigned value = 0;
      for (size_t k = 1; k <= digits; ++k) {
        const int h = i + k < p.size() ? HexValue(p[i + k]) : -1;
        if (h < 0) return false;
        value = value * 16 + static_cast<unsigned>(h);
      }
      wchar_t buffer[16];
      swprintf(buffer, 16, L"\\x{%X}", value);
      out += buffer;
      i += digits;
      return true;
    };
    const auto set = [&](const wchar_t* members, bool negated) {
      if (inClass) {
        if (negated) out += L'\\', out += e;  // the library's own, inside a set
        else out += members;
      } else {
        out += negated ? L"[^" : L"[";
        out += members;
        out += L']';
      }
    };
    switch (e) {
      case L'u': if (!hex(4)) out += L'u'; break;
      case L'x': if (!hex(2)) out += L'x'; break;
      case L'd': case L'D': set(kDigits, e == L'D'); break;
      case L'w': case L'W': set(kWordChars, e == L'W'); break;
      case L's': case L'S': set(kSpaces, e == L'S'); break;
      case L'0': out += L"\\x{0}"; break;
      case L'b': case L'B':
        if (inClass) out += e == L'b' ? L"\\x{8}" : L"B";  // in a set: a backspace, or the letter
        else out += e == L'b' ? kWordBoundary : kNotWordBoundary;
        break;
      case L'v': out += L"\\x{B}"; break;  // the library's \v is any vertical space
      case L'f': case L'n': case L'r': case L't': case L'c':
        out += L'\\';
        out += e;
        break;
      default:
        if ((e >= L'1' && e <= L'9') || !((e >= L'a' && e <= L'z') || (e >= L'A' && e <= L'Z'))) out += L'\\';
        out += e;
    }
  }
  return out;
}

// A match's groups as byte offsets.
void TakeGroups(const Match& m, RegexMatch& out) {
  out.groups.clear();
  for (size_t g = 0; g < m.size(); ++g)
    out.groups.emplace_back(m[g].matched ? m[g].first.Pos() : -1, m[g].matched ? m[g].second.Pos() : -1);
}

// Runs a search step, turning the library's giving up into kTooComplex.
template <typename Step>
RegexStatus Guarded(Step step) {
  try {
    step();
    return RegexStatus::kDone;
  } catch (const std::runtime_error&) {
    return RegexStatus::kTooComplex;
  }
}

// Every match from `from` on, as the library's own iterator steps: after an
// empty match the next may not be empty at the same place.
RegexStatus ForEachMatch(const Regex& re, const TextSpans& text, int from,
                         const std::function<bool(const Match&)>& found) {
  return Guarded([&] {
    const Cp932Iterator begin(&text, 0), end(&text, text.Length());
    Cp932Iterator at(&text, from);
    boost::regex_constants::match_flag_type flags = kMatchFlags;
    if (from > 0) flags |= boost::regex_constants::match_prev_avail;
    Match m;
    while (boost::regex_search(at, end, m, re, flags, begin)) {
      if (!found(m)) return;
      at = m[0].second;
      flags = kMatchFlags;
      if (at != begin) flags |= boost::regex_constants::match_prev_avail;
      if (m[0].first == m[0].second) flags |= boost::regex_constants::match_not_initial_null;
      if (at == end && m[0].first == m[0].second) return;
    }
  });
}

}  // namespace

CompiledRegex CompileRegex(std::string_view pattern, bool matchCase, std::string& error) {
  error.clear();
  try {
    auto program = std::make_shared<RegexProgram>();
    boost::regex_constants::syntax_option_type flags = boost::regex_constants::ECMAScript;
    if (!matchCase) flags |= boost::regex_constants::icase;
    program->regex.assign(TranslatePattern(DecodePattern(pattern)), flags);
    return CompiledRegex(std::move(program));
  } catch (const std::exception& e) {
    error = e.what();
    if (error.empty()) error = "?";
    return CompiledRegex();
  }
}

RegexStatus RegexSearchAll(const CompiledRegex& re, const TextSpans& text, const RegexMatchFound& found) {
  if (!re.Valid()) return RegexStatus::kDone;
  return ForEachMatch(re.Program()->regex, text, 0,
                      [&](const Match& m) { return found(m[0].first.Pos(), m[0].second.Pos()); });
}

RegexStatus RegexSearchAll(const CompiledRegex& re, std::string_view text, const RegexMatchFound& found) {
  TextSpans spans;
  spans.part1 = text.data();
  spans.length1 = static_cast<int>(text.size());
  return RegexSearchAll(re, spans, found);
}

RegexStatus RegexFindAllFrom(const CompiledRegex& re, const TextSpans& text, int from,
                             const std::function<bool(const RegexMatch&)>& found) {
  if (!re.Valid()) return RegexStatus::kDone;
  RegexMatch match;
  return ForEachMatch(re.Program()->regex, text, from, [&](const Match& m) {
    TakeGroups(m, match);
    return found(match);
  });
}

RegexStatus RegexFindFrom(const CompiledRegex& re, const TextSpans& text, int from, bool notEmptyAtFrom,
                          RegexMatch& match) {
  match.groups.clear();
  if (!re.Valid() || from > text.Length()) return RegexStatus::kDone;
  return Guarded([&] {
    const Cp932Iterator begin(&text, 0), end(&text, text.Length());
    boost::regex_constants::match_flag_type flags = kMatchFlags;
    if (from > 0) flags |= boost::regex_constants::match_prev_avail;
    if (notEmptyAtFrom) flags |= boost::regex_constants::match_not_initial_null;
    Match m;
    if (boost::regex_search(Cp932Iterator(&text, from), end, m, re.Program()->regex, flags, begin)) TakeGroups(m, match);
  });
}

RegexStatus RegexMatchExactly(const CompiledRegex& re, const TextSpans& text, int start, int end,
                              RegexMatch& match) {
  match.groups.clear();
  if (!re.Valid() || start < 0 || end > text.Length() || start > end) return RegexStatus::kDone;
  return Guarded([&] {
    const Cp932Iterator begin(&text, 0), last(&text, text.Length());
    boost::regex_constants::match_flag_type flags = kMatchFlags | boost::regex_constants::match_continuous;
    if (start > 0) flags |= boost::regex_constants::match_prev_avail;
    Match m;
    // Searched to the text's end, so that lookahead and $ see what follows.
    if (boost::regex_search(Cp932Iterator(&text, start), last, m, re.Program()->regex, flags, begin) &&
        m[0].second.Pos() == end)
      TakeGroups(m, match);
  });
}

std::string ExpandReplacement(std::string_view r, const RegexMatch& match, const TextSpans& text) {
  std::string out, scratch;
  const int groups = static_cast<int>(match.groups.size());
  const auto group = [&](int g) {
    const auto& [s, e] = match.groups[static_cast<size_t>(g)];
    if (s >= 0) out.append(text.Bytes(s, e - s, scratch), static_cast<size_t>(e - s));
  };
  const auto digit = [&](size_t i) { return i < r.size() && r[i] >= '0' && r[i] <= '9' ? r[i] - '0' : -1; };
  for (size_t i = 0; i < r.size();) {
    const size_t length = cp932::CharLength(r.data(), i, r.size());
    const char c = r[i];
    if (length == 1 && c == '$' && i + 1 < r.size()) {
      const int d1 = digit(i + 1), d2 = digit(i + 2);
      if (d1 >= 0 && d2 >= 0 && d1 * 10 + d2 >= 1 && d1 * 10 + d2 < groups) {
        group(d1 * 10 + d2);
        i += 3;
        continue;
      }
      if (d1 >= 1 && d1 < groups) {
        group(d1);
        i += 2;
        continue;
      }
      if (r[i + 1] == '&' && groups > 0) {
        group(0);
        i += 2;
        continue;
      }
      if (r[i + 1] == '$') {
        out += '$';
        i += 2;
        continue;
      }
    }
    if (length == 1 && c == '\\' && i + 1 < r.size()) {
      const char e = r[i + 1];
      const char* escaped = e == 'n' ? "\r\n" : e == 't' ? "\t" : e == '\\' ? "\\" : nullptr;
      if (escaped) {
        out += escaped;
        i += 2;
        continue;
      }
    }
    out.append(r.data() + i, length);
    i += length;
  }
  return out;
}
