// Regular-expression search over code page 932 text (first version: not yet
// connected to the engine; every pattern compiles to one that finds nothing).
#include "views/regex_search.h"

struct RegexProgram {};

CompiledRegex CompileRegex(std::string_view, bool, std::string& error) {
  error.clear();
  return CompiledRegex(std::make_shared<RegexProgram>());
}

RegexStatus RegexSearchAll(const CompiledRegex&, const rv::textctl::TextSpans&, const RegexMatchFound&) {
  return RegexStatus::kDone;
}

RegexStatus RegexSearchAll(const CompiledRegex& re, std::string_view text, const RegexMatchFound& found) {
  rv::textctl::TextSpans spans;
  spans.part1 = text.data();
  spans.length1 = static_cast<int>(text.size());
  return RegexSearchAll(re, spans, found);
}
