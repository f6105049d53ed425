// Modal dialogs from resource templates, with simple data exchange, and the
// open/save file dialog. Both pass through the modal seam (modal.h).
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <string>
#include <vector>
#include "platform/framework/wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int result);
  // Moves data between controls and members; `save` true reads the controls.
  // Returns false when a value fails validation (the dialog stays open).
  virtual bool DoDataExchange(bool save) { return true; }
  bool UpdateData(bool save = true) { return DoDataExchange(save); }

  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  std::string GetDlgItemText(int id) const;
  void SetDlgItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
  UINT TemplateId() const { return m_templateId; }
  bool IsEnded() const { return m_ended; }

  LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override { return 0; }
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;

 protected:
  UINT m_templateId;
  CWnd* m_pParentWnd;
  int m_result = IDCANCEL;
  bool m_ended = false;
  bool m_modeless = false;  // created through the test seam

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

class CFileDialog {
 public:
  // `filter` uses '|' between parts, as in "Text (*.txt)|*.txt||".
  CFileDialog(bool openDialog, const char* defaultExt, const char* fileName, DWORD flags,
              const char* filter, HWND owner = nullptr);
  INT_PTR DoModal();
  std::string GetPathName() const { return m_path; }
  bool IsOpenDialog() const { return m_open; }

  OPENFILENAMEA m_ofn{};
  // Writes the chosen path into the dialog's buffer (used by tests' responders).
  void SetChosenPath(const std::string& path);

 private:
  bool m_open;
  std::string m_filter;
  std::string m_defExt;
  std::vector<char> m_buffer;
  std::string m_path;
};

// Data exchange between a dialog's controls and its members, one control at a
// time in a DoDataExchange. Each call returns false when a check fails; the
// failing check has shown its message and put the focus on the control, and
// the members read before it keep their new values.
class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, bool save) : m_dialog(dialog), m_save(save) {}
  CDialog& m_dialog;
  const bool m_save;  // true: controls to members
  HWND m_lastControl = nullptr;
  HWND Control(int id);
  // Shows `message`, focuses the last control (selecting an edit box's text).
  bool Fail(const std::string& message);
};

bool DDX_CBIndex(CDataExchange& dx, int id, int& index);  // drop-down list: selected item, -1 none
bool DDX_Check(CDataExchange& dx, int id, int& value);    // 0/1
bool DDX_Text(CDataExchange& dx, int id, int& value);     // decimal integer, checked when read
bool DDX_Text(CDataExchange& dx, int id, std::string& value);
bool DDX_Text(CDataExchange& dx, int id, unsigned& value);  // decimal, no sign
bool DDV_MinMaxInt(CDataExchange& dx, int value, int minValue, int maxValue);
bool DDV_MinMaxUInt(CDataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue);
// Bytes of the text; when filling the controls, sets the edit box's input limit.
bool DDV_MaxChars(CDataExchange& dx, const std::string& value, int count);
