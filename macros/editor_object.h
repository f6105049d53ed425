// The "editor" object that a macro sees, in the macro's helper process: an
// automation object over the helper's copy of the text and selection of the
// view the macro was started from. Seven members with the dispatch ids 1 to 7
// (windowText, lineCount, selectedText, alert, confirm, prompt, lineText),
// names matched without regard to case; every other name is unknown, as the
// script engines ask the host about each global name. Strings cross as
// automation strings converted from and to code page 932; integers come as
// 16-bit (VBScript) or 32-bit (JScript) values. Reads are answered from the
// copy; each change is made in the copy and handed to the channel as one edit,
// without waiting; alert, confirm and prompt are asked of the channel, which
// answers them in the editor. No C++ exception leaves a call.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include "macros/macro_protocol.h"
#include "platform/com_object.h"

class MacroTextCopy;

// Where the object's changes and questions go: to the editor (a pipe in the
// helper process, the view itself in a test).
class MacroChannel {
 public:
  virtual ~MacroChannel() = default;
  virtual void Edit(const MacroEdit& edit) = 0;
  virtual void Alert(const std::string& message) = 0;
  virtual bool Confirm(const std::string& message) = 0;
  // The answer; empty when cancelled.
  virtual std::string Prompt(const std::string& message, const std::string& answer) = 0;
};

class CEditorObject : public DispatchObject {
 public:
  // The members' dispatch ids.
  enum Member : DISPID {
    kWindowText = 1,
    kLineCount,
    kSelectedText,
    kAlert,
    kConfirm,
    kPrompt,
    kLineText,
  };
  // The description of the script error raised by writing lineCount.
  static const char kReadOnlyMessage[];

  // Both outlive the object's use by the script.
  CEditorObject(MacroTextCopy& text, MacroChannel& channel) : m_text(text), m_channel(channel) {}

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* argError) override;

  // The members as the script reaches them.
  std::string GetWindowText() const;
  void SetWindowText(const std::string& text);
  int GetLineCount() const;
  std::string GetSelectedText() const;
  void SetSelectedText(const std::string& text);
  void Alert(const std::string& message);
  bool Confirm(const std::string& message);
  std::string Prompt(const std::string& message, const std::string& answer);
  // An index below 0 or not below the line count is no line: reads give ""
  // (the dispatch reads the line in place), writes do nothing.
  void SetLineText(int index, const std::string& text);

 private:
  ~CEditorObject() override = default;
  HRESULT Dispatch(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info);
  MacroTextCopy& m_text;
  MacroChannel& m_channel;
};
