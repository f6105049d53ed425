// The editor's side of the syntax check (see script_check.h).
#include "macros/script_check.h"
#include <algorithm>
#include <cstdio>
#include "hosting/script_text.h"
#include "platform/cp932_wide.h"
#include "platform/encoder/encoded_script.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/syntax_lexer.h"

bool IsMarkupScript(const std::string& path) {
  const std::string ext = LowerExtension(path);
  return ext == ".wsf" || ext == ".wsc" || ext == ".hta";
}

bool HasCheckEngine(const std::string& path, int language) {
  const int coloured = syntax::LanguageOfPath(path, language);
  return IsMarkupScript(path) || coloured == syntax::kJScript || coloured == syntax::kVBScript;
}

namespace {

bool EqualsNoCase(const std::u16string& value, const char* lower) {
  size_t i = 0;
  for (; i < value.size() && lower[i]; ++i) {
    const char16_t c = value[i] >= u'A' && value[i] <= u'Z' ? value[i] - u'A' + u'a' : value[i];
    if (c != static_cast<unsigned char>(lower[i])) return false;
  }
  return i == value.size() && !lower[i];
}

// The engine a language attribute names (0 JScript, 1 VBScript); -1 for an
// encoded body or a language no engine here reads.
int EngineOfLanguage(const std::u16string& value) {
  if (EqualsNoCase(value, "jscript") || EqualsNoCase(value, "javascript")) return 0;
  if (EqualsNoCase(value, "vbscript")) return 1;
  return -1;
}

// The engine of an element: the one its language attribute names, else the
// one its type names ("text/javascript", "text/vbscript"); in a page (.hta)
// an element that names neither is JScript, as the browser reads it.
int EngineOfElement(const ScriptElement& element, const std::u16string& doc, bool page) {
  if (element.hasLanguage) return EngineOfLanguage(element.Language(doc));
  if (!element.hasType) return page ? 0 : -1;
  const std::u16string type = element.Type(doc);
  const size_t slash = type.find(u'/');
  return slash == std::u16string::npos ? -1 : EngineOfLanguage(type.substr(slash + 1));
}

// Lines end at LF, or at a CR not followed by LF, as in the text control.
bool EndsLine(const std::u16string& text, size_t at) {
  return text[at] == u'\n' || (text[at] == u'\r' && (at + 1 == text.size() || text[at + 1] != u'\n'));
}

// Each script element of `text` checked on its own; `result` positions moved
// from the element's code to the document.
DocumentCheck CheckElements(ScriptChecker& checker, const std::string& text, bool page) {
  const std::wstring wide = cp932::ToWide(text);
  const std::u16string doc(wide.begin(), wide.end());
  DocumentCheck check;
  check.verdict.state = ScriptCheckResult::Clean;
  bool answered = true;
  size_t scanned = 0, line = 0, lineStart = 0;  // the line of doc[scanned] and where it starts
  ForEachScriptElement(doc, [&](const ScriptElement& element) {
    const int engine = element.hasSource ? -1 : EngineOfElement(element, doc, page);
    if (!answered || engine < 0 || !element.codeFound) return;
    for (; scanned < element.codeAt; ++scanned)
      if (EndsLine(doc, scanned)) ++line, lineStart = scanned + 1;
    const std::wstring code(doc.begin() + element.codeAt, doc.begin() + element.codeEnd);
    ScriptCheckResult result = checker.Check(cp932::FromWide(code.data(), code.size()), engine);
    if (result.state == ScriptCheckResult::Lost || result.state == ScriptCheckResult::NotStarted) {
      check.verdict = result;
      answered = false;
      return;
    }
    if (result.state == ScriptCheckResult::NoEngine && check.verdict.state == ScriptCheckResult::Clean) {
      check.verdict = result;
      return;
    }
    if (result.state != ScriptCheckResult::Error) return;
    // The error's line in the document, and its column counted from that line's start.
    size_t at = element.codeAt, errorLine = line, errorStart = result.line ? std::u16string::npos : lineStart;
    for (; at < element.codeEnd && errorStart == std::u16string::npos; ++at)
      if (EndsLine(doc, at) && ++errorLine == line + static_cast<size_t>(result.line)) errorStart = at + 1;
    if (errorStart == std::u16string::npos) errorStart = lineStart;  // past the code: keep the line found
    const size_t codeColumn = result.line ? 0 : element.codeAt - lineStart;
    result.line = static_cast<int>(line) + result.line;
    result.column += static_cast<int>(codeColumn);
    const size_t width = std::min(static_cast<size_t>(result.column), doc.size() - errorStart);
    const std::wstring before(doc.begin() + errorStart, doc.begin() + errorStart + width);
    result.byteColumn = static_cast<int>(cp932::FromWide(before.data(), before.size()).size());
    if (check.errors.empty()) check.verdict = result;
    check.errors.push_back(result);
  });
  return check;
}
}  // namespace

bool ScriptChecker::EnsureStarted() {
  MacroStreamEnd how;
  if (m_connection && m_connection->HelperRunning() && !m_connection->Ended(how)) return true;
  m_connection.reset(new MacroConnection());
  const std::string helper = m_helper.empty() ? MacroHelperBesideProgram() : m_helper;
  if (m_connection->Start(helper, m_lastError)) {
    m_helperId = m_connection->HelperId();
    return true;
  }
  m_connection.reset();
  return false;
}

void ScriptChecker::EndHelper() {
  if (m_connection) m_connection->EndHelper();
}

ScriptCheckResult ScriptChecker::Check(const std::string& text, int language) {
  ScriptCheckResult result;
  if (m_abandon && WaitForSingleObject(m_abandon, 0) == WAIT_OBJECT_0) return result;  // Lost
  if (!EnsureStarted()) {
    result.state = ScriptCheckResult::NotStarted;
    return result;
  }
  const int32_t serial = ++m_serial;
  if (!m_connection->Send(MacroMessage{MacroMessageKind::Check,
                                       {kMacroStartMagic, kMacroVersion, serial, language ? 1 : 0},
                                       {text}})) {
    m_connection.reset();
    return result;  // Lost
  }
  const DWORD begun = GetTickCount();
  for (;;) {
    MacroMessage answer;
    while (m_connection->Next(answer)) {
      if (answer.kind != MacroMessageKind::Checked || answer.Number(0) != serial) continue;  // an older check's
      result.state = answer.Number(6) ? ScriptCheckResult::NoEngine
                     : answer.Number(1) ? ScriptCheckResult::Error
                                        : ScriptCheckResult::Clean;
      result.line = answer.Number(2);
      result.column = answer.Number(3);
      result.byteColumn = answer.Number(4);
      result.status = answer.Number(5);
      result.description = answer.Text(0);
      return result;
    }
    MacroStreamEnd how;
    const DWORD spent = GetTickCount() - begun;
    if (m_connection->Ended(how) || spent >= m_timeout) break;
    const HANDLE waits[2] = {m_connection->Arrived(), m_abandon};
    if (WaitForMultipleObjects(m_abandon ? 2 : 1, waits, FALSE, m_timeout - spent) == WAIT_OBJECT_0 + 1) break;
  }
  m_connection.reset();  // ends the helper; the next check starts another
  return result;         // Lost
}

DocumentCheck CheckDocument(ScriptChecker& checker, const std::string& text, const std::string& path, int language) {
  if (IsMarkupScript(path)) return CheckElements(checker, text, LowerExtension(path) == ".hta");
  DocumentCheck check;
  const int coloured = syntax::LanguageOfPath(path, language);
  check.verdict = checker.Check(text, coloured == syntax::kVBScript ? 1 : 0);
  if (check.verdict.state == ScriptCheckResult::Error) check.errors.push_back(check.verdict);
  return check;
}

std::string ScriptCheckDescription(const ScriptCheckResult& result) {
  if (!result.description.empty()) return result.description;
  char number[16];  // the engine gave only its number
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(result.status));
  return AfxFormatString1(IDS_CHECK_NUMBER_ONLY, number);
}

std::string ScriptCheckStatusText(const ScriptCheckResult& result) {
  switch (result.state) {
    case ScriptCheckResult::Clean:
      return LoadResString(IDS_CHECK_CLEAN);
    case ScriptCheckResult::Error: {
      const std::string description = ScriptCheckDescription(result);
      // "構文エラー: %s (行 %d, 列 %d)"
      const std::string pattern = LoadResString(IDS_CHECK_ERROR);
      std::string text(pattern.size() + description.size() + 32, '\0');
      const int n = std::snprintf(&text[0], text.size(), pattern.c_str(), description.c_str(), result.line + 1,
                                  result.column + 1);
      text.resize(n > 0 ? static_cast<size_t>(n) < text.size() ? n : text.size() - 1 : 0);
      return text;
    }
    case ScriptCheckResult::NoEngine:
      return LoadResString(IDS_CHECK_NO_ENGINE);
    case ScriptCheckResult::NotStarted:
      return AfxFormatString1(IDS_CHECK_CANNOT_START, "ruvelto-macro.exe");
    default:
      return LoadResString(IDS_CHECK_LOST);
  }
}
