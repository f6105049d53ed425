// The editor font and colour dialog: the system font dialog on the program's
// template 134 with five colour pickers beside the font choice. Fixed-pitch
// screen fonts only, no effects. A face the dialog does not list (the default
// "FixedSys" under some systems) is shown as the nearest listed face of its
// character set, and OK without a change keeps the font as it was.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include "dialogs/colorpicker.h"

class CColorFontDlg {
 public:
  enum { IDD = 134 };
  // The main window passes CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT |
  // CF_FIXEDPITCHONLY | CF_NOVERTFONTS; effects are taken off, the template
  // and the hook put on.
  CColorFontDlg(const LOGFONTA* initial, DWORD flags, HWND owner = nullptr);

  // Keyword, comment, string, text, background (before the dialog is shown).
  void SetColors(COLORREF keyword, COLORREF comment, COLORREF string, COLORREF text, COLORREF background);
  COLORREF GetKeywordColor() const { return m_keyword; }
  COLORREF GetCommentColor() const { return m_comment; }
  COLORREF GetStringColor() const { return m_string; }
  COLORREF GetBackgroundColor() const { return m_background; }
  COLORREF GetTextColor() const { return m_text; }

  INT_PTR DoModal();
  // The chosen font after OK.
  void GetCurrentFont(LOGFONTA* font) const;

  CHOOSEFONTA m_cf{};
  CCJColorPicker m_textPicker, m_stringPicker, m_keywordPicker, m_commentPicker, m_backgroundPicker;

 protected:
  LOGFONTA m_initial{};
  LOGFONTA m_chosen{};
  COLORREF m_keyword = 0, m_comment = 0, m_string = 0, m_background = 0, m_text = 0;
  HWND m_hWnd = nullptr;
  // The face was not listed: what the dialog showed at first, to tell a change.
  bool m_faceUnlisted = false;
  std::string m_shownAtStart;
  bool m_keepInitial = false;

  void OnInitDialog();
  void OnOK();
  std::string ShownChoice() const;
  void PreselectListedFace();
  static UINT_PTR CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};
