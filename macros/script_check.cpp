// The editor's side of the syntax check (see script_check.h).
#include "macros/script_check.h"
#include <cstdio>
#include "platform/framework/resstr.h"
#include "resources/resource.h"

bool ScriptChecker::EnsureStarted() {
  MacroStreamEnd how;
  if (m_connection && m_connection->HelperRunning() && !m_connection->Ended(how)) return true;
  m_connection.reset(new MacroConnection());
  const std::string helper = m_helper.empty() ? MacroHelperBesideProgram() : m_helper;
  if (m_connection->Start(helper, m_lastError)) return true;
  m_connection.reset();
  return false;
}

void ScriptChecker::EndHelper() {
  if (m_connection) m_connection->EndHelper();
}

ScriptCheckResult ScriptChecker::Check(const std::string& text, int language) {
  ScriptCheckResult result;
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
    WaitForSingleObject(m_connection->Arrived(), m_timeout - spent);
  }
  m_connection.reset();  // ends the helper; the next check starts another
  return result;         // Lost
}

std::string ScriptCheckStatusText(const ScriptCheckResult& result) {
  switch (result.state) {
    case ScriptCheckResult::Clean:
      return LoadResString(IDS_CHECK_CLEAN);
    case ScriptCheckResult::Error: {
      std::string description = result.description;
      if (description.empty()) {  // the engine gave only its number
        char number[16];
        std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(result.status));
        description = AfxFormatString1(IDS_CHECK_NUMBER_ONLY, number);
      }
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
