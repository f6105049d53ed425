// The macro helper process (ruvelto-macro.exe): runs one macro for the editor
// that started it, which may end it at any time. Its standard input and output
// are the pipes to the editor: it reads Start, runs the macro in the script
// control with the "editor" object over its own copy of the text, streams the
// edits, asks the editor for alert, confirm and prompt, and ends with Failure
// or End.
#include <windows.h>
#include <ole2.h>
#include "macros/editor_object.h"
#include "macros/macro_engine.h"
#include "macros/macro_pipe.h"
#include "macros/macro_text.h"
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
  bool ReadStart(MacroMessage& start) {
    return ReadMacroMessage(m_in, m_reader, start) && start.kind == MacroMessageKind::Start;
  }

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
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!in || in == INVALID_HANDLE_VALUE || !out || out == INVALID_HANDLE_VALUE) return 2;
  // Whatever the macro starts must not hold the editor's pipes open.
  SetHandleInformation(in, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
  int exitCode = 0;
  {
    MacroPipeWriter writer(out);
    PipeChannel channel(in, writer);
    MacroMessage start;
    if (!channel.ReadStart(start)) return 2;
    const std::wstring progId = cp932::ToWide(start.Text(1));
    g_scriptControlProgId = progId.c_str();
    if (FAILED(OleInitialize(nullptr))) return 2;
    MacroTextCopy text(start.Text(2), start.Number(2), start.Number(3));
    auto* editor = new CEditorObject(text, channel);
    MacroFailure failure;
    const bool ran = RunMacroInControl(start.Text(3), start.Text(0),
                                       reinterpret_cast<HWND>(static_cast<INT_PTR>(start.Number(1))), editor, failure);
    editor->Release();
    if (!writer.Send(ran ? MacroMessage{MacroMessageKind::End, {}, {}} : failure.ToMessage())) exitCode = 3;
    writer.Flush();
    OleUninitialize();
  }
  return exitCode;
}
