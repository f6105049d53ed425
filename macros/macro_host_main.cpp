// The macro helper process (ruvelto-macro.exe): runs one macro for the editor
// that started it, which may end it at any time. Its pipes to the editor are
// two inherited handles named on its command line (its standard handles are
// NUL, so what a macro prints goes nowhere): it reads Start, runs the macro in the script
// control with the "editor" object over its own copy of the text, streams the
// edits, asks the editor for alert, confirm and prompt, and ends with Failure
// or End. A helper opened with Check is a checker instead: it answers every
// Check with the engine's verdict on the text and waits for the next, running
// nothing (script_check_engine.h), so that a check costs no process start.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include "macros/editor_object.h"
#include "macros/macro_engine.h"
#include "macros/macro_pipe.h"
#include "macros/macro_text.h"
#include "macros/script_check_engine.h"
#include "platform/cp932_wide.h"

namespace {
// The object's channel: edits and questions go out on the pipe, answers come
// back on the other one.
class PipeChannel : public MacroChannel {
 public:
  PipeChannel(HANDLE in, MacroPipeWriter& out) : m_in(in), m_out(out) {}
  void Edit(const MacroEdit& edit) override { Send(edit.ToMessage(), false); }
  void Alert(const std::string& message) override { Ask(MacroMessage{MacroMessageKind::Alert, {}, {message}}); }
  bool Confirm(const std::string& message) override {
    return Ask(MacroMessage{MacroMessageKind::Confirm, {}, {message}}).Number(0) != 0;
  }
  std::string Prompt(const std::string& message, const std::string& answer) override {
    return Ask(MacroMessage{MacroMessageKind::Prompt, {}, {message, answer}}).Text(0);
  }
  bool Read(MacroMessage& message) { return ReadMacroMessage(m_in, m_reader, message); }

 private:
  void Send(const MacroMessage& message, bool urgent = true) {
    if (!m_out.Send(message, urgent)) ExitProcess(3);  // the editor is gone: nobody to work for
  }
  MacroMessage Ask(const MacroMessage& question) {
    Send(question);
    MacroMessage reply;
    if (!ReadMacroMessage(m_in, m_reader, reply) || reply.kind != MacroMessageKind::Reply) ExitProcess(3);
    return reply;
  }
  HANDLE m_in;
  MacroPipeWriter& m_out;
  MacroMessageReader m_reader;
};

// Answers `check` and every Check after it until the editor closes the pipe.
void ServeChecks(PipeChannel& channel, MacroPipeWriter& writer, MacroMessage check) {
  do {
    const ScriptCheckOutcome o = CheckScriptSyntax(check.Text(0), check.Number(3) == 0 ? L"JScript" : L"VBScript");
    MacroMessage answer{MacroMessageKind::Checked,
                        {check.Number(2), o.hasError ? 1 : 0, o.line, o.column, o.byteColumn, o.status,
                         o.cannotCreate ? 1 : 0},
                        {o.description}};
    if (!writer.Send(answer)) return;
  } while (channel.Read(check) && IsMacroCheck(check));
}

// The pipe named by the command line's argument `k` (after the program's
// name), or null when there is no such argument or it names no pipe.
HANDLE PipeArgument(int k) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  HANDLE pipe = nullptr;
  if (args && k < count) {
    wchar_t* end = nullptr;
    const unsigned long value = wcstoul(args[k], &end, 10);
    pipe = end && *end == 0 && value ? reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(value)) : nullptr;
    if (pipe && GetFileType(pipe) != FILE_TYPE_PIPE) pipe = nullptr;
  }
  LocalFree(args);
  return pipe;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE in = PipeArgument(1), out = PipeArgument(2);
  if (!in || !out) return 2;
  // Whatever the macro starts must not hold the editor's pipes open.
  SetHandleInformation(in, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
  int exitCode = 0;
  {
    MacroPipeWriter writer(out);
    PipeChannel channel(in, writer);
    // numbers: magic, version, language, site, selection; texts: language name, ProgID, text, macro
    MacroMessage start;
    if (!channel.Read(start) || !(IsMacroStart(start) || IsMacroCheck(start))) return 2;
    if (FAILED(OleInitialize(nullptr))) return 2;
    if (start.kind == MacroMessageKind::Check) {
      ServeChecks(channel, writer, start);
      writer.Flush();
      OleUninitialize();
      return 0;
    }
    const std::wstring progId = cp932::ToWide(start.Text(1));
    MacroTextCopy text(start.Text(2), start.Number(4), start.Number(5));
    auto* editor = new CEditorObject(text, channel);
    MacroFailure failure;
    const bool ran = RunMacroInControl(start.Text(3), start.Text(0), progId,
                                       reinterpret_cast<HWND>(static_cast<INT_PTR>(start.Number(3))), editor, failure);
    editor->Release();
    if (!writer.Send(ran ? MacroMessage{MacroMessageKind::End, {}, {}} : failure.ToMessage())) exitCode = 3;
    writer.Flush();
    OleUninitialize();
  }
  return exitCode;
}
