// The "editor" object that a macro sees: an automation object over the edit
// view the macro was started from. Seven members with the dispatch ids 1 to 7
// (windowText, lineCount, selectedText, alert, confirm, prompt, lineText),
// names matched without regard to case; every other name is unknown, as the
// script engines ask the host about each global name. Strings cross as
// automation strings converted from and to code page 932; integers come as
// 16-bit (VBScript) or 32-bit (JScript) values. Each change of the text goes
// through the view's ReplaceSelWithUndo and is one step of its undo history.
//
// The object keeps the view's window handle, not the view: every call finds
// the view again, and once its window is gone a call fails with a script
// error that says so. No C++ exception leaves a call.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <string>
#include "platform/com_object.h"
#include "hosting/ole_text.h"

class CMyEditView;

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

  // `owner`: the parent of alert, confirm and prompt. `view` must have its window.
  CEditorObject(CMyEditView& view, HWND owner);

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* argError) override;

  // The members as the script reaches them; each needs the view (see View()).
  std::string GetWindowText() const;
  void SetWindowText(const std::string& text);
  int GetLineCount() const;
  std::string GetSelectedText() const;
  void SetSelectedText(const std::string& text);
  void Alert(const std::string& message);
  bool Confirm(const std::string& message);
  std::string Prompt(const std::string& message, const std::string& answer);
  // An index below 0 or not below the line count is no line: reads give "",
  // writes do nothing.
  std::string GetLineText(int index) const;
  void SetLineText(int index, const std::string& text);

  // The view while its window lives, else null.
  CMyEditView* View() const;

 private:
  ~CEditorObject() override = default;
  HRESULT Dispatch(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info);
  // The view; throws when its window is gone.
  CMyEditView& TheView() const;
  HWND m_viewWindow;
  HWND m_owner;
};
