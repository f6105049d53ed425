// The Options dialog: colouring language, tab width, auto-indent, encoding
// detection, default extension, start-up behaviour and the online-help path.
// The caller fills the members, runs it and takes them back on OK; the dialog
// reads and writes no file.
#pragma once
#include <string>
#include "dialogs/option_ranges.h"
#include "platform/framework/dialog.h"

class COptionsDlg : public CDialog {
 public:
  enum { IDD = 131 };
  explicit COptionsDlg(CWnd* parent = nullptr);

  HWND m_spin = nullptr;   // up-down control 1004, attached to the tab width
  int m_nStress = 0;       // 1002: 0 none, 1 JScript, 2 VBScript; -1 no choice
  int m_bAutoIndent = 0;   // 1005
  int m_bAutoKanji = 0;    // 1006
  int m_nTabStops = 4;     // 1007, 1 to 255
  int m_nFilterIndex = -1; // 1008: .wsf, .js, .vbs, .hta
  std::string m_strHelpPath;  // 1009, at most 260 bytes
  int m_nOpenMode = -1;    // 1011: empty file, most recent file, nothing

  static const int kMaxTabStops = options::kMaxTabStops;
  static const int kMaxHelpPath = 260;

  BOOL OnInitDialog() override;
  bool DoDataExchange(bool save) override;

 protected:
  void OnBrowse();
  DECLARE_MESSAGE_MAP()
};
