// The editor font and colour dialog.
#include "dialogs/colorfontdlg.h"
#include <string>
#include "dialogs/dialog_ids.h"
#include "platform/framework/except.h"
#include "platform/framework/modal.h"
#include "views/editor_colors.h"

namespace {
const char kProp[] = "RvColorFontDlg";
const UINT kLiveReady = WM_APP + 0x3A1;
const int kFaceList = 1136, kStyleList = 1137, kSizeList = 1138;

std::string ComboText(HWND dlg, int id) {
  char buf[LF_FACESIZE * 2] = "";
  GetDlgItemTextA(dlg, id, buf, sizeof buf);
  return buf;
}

int CALLBACK HasCharset(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}
}  // namespace

CColorFontDlg::CColorFontDlg(const LOGFONTA* initial, DWORD flags, HWND owner) {
  if (initial) m_initial = *initial;
  m_chosen = m_initial;
  m_cf.lStructSize = sizeof m_cf;
  m_cf.hwndOwner = owner;
  m_cf.lpLogFont = &m_chosen;
  m_cf.Flags = (flags & ~CF_EFFECTS) | CF_ENABLETEMPLATE | CF_ENABLEHOOK;
  m_cf.hInstance = GetModuleHandleA(nullptr);
  m_cf.lpTemplateName = MAKEINTRESOURCEA(IDD);
  m_cf.lpfnHook = &CColorFontDlg::HookProc;
  m_cf.lCustData = reinterpret_cast<LPARAM>(this);
}

void CColorFontDlg::SetColors(COLORREF keyword, COLORREF comment, COLORREF string, COLORREF text,
                              COLORREF background) {
  m_keyword = keyword;
  m_comment = comment;
  m_string = string;
  m_text = text;
  m_background = background;
}

INT_PTR CColorFontDlg::DoModal() {
  m_chosen = m_initial;
  m_keepInitial = false;
  return AfxRunCommonDialog("font", &m_cf) ? IDOK : IDCANCEL;
}

void CColorFontDlg::GetCurrentFont(LOGFONTA* font) const {
  if (!font) return;
  *font = m_keepInitial ? m_initial : m_chosen;
}

std::string CColorFontDlg::ShownChoice() const {
  return ComboText(m_hWnd, kFaceList) + "\n" + ComboText(m_hWnd, kStyleList) + "\n" + ComboText(m_hWnd, kSizeList);
}

// The face is not in the list: show the first listed face of the same
// character set (any listed face when none has it), as the dialog's own choice.
void CColorFontDlg::PreselectListedFace() {
  HWND list = GetDlgItem(m_hWnd, kFaceList);
  const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
  if (count <= 0) return;
  int pick = 0;
  HDC dc = GetDC(nullptr);
  for (int i = 0; i < count; ++i) {
    char face[LF_FACESIZE * 2] = "";
    if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof face)) continue;
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
    LOGFONTA lf{};
    lf.lfCharSet = m_initial.lfCharSet;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc, &lf, HasCharset, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      pick = i;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  SendMessageA(list, CB_SETCURSEL, pick, 0);
  SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kFaceList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  // The size stays the font's own when the new face offers it.
  HDC screen = GetDC(nullptr);
  const int points = MulDiv(m_initial.lfHeight < 0 ? -m_initial.lfHeight : m_initial.lfHeight, 72,
                            GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  HWND sizes = GetDlgItem(m_hWnd, kSizeList);
  const std::string text = std::to_string(points);
  const LRESULT at = SendMessageA(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
  if (points > 0 && at != CB_ERR) {
    SendMessageA(sizes, CB_SETCURSEL, at, 0);
    SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kSizeList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
  }
}

void CColorFontDlg::OnInitDialog() {
  // The template's buttons become the pickers.
  m_textPicker.SubclassDlgItem(IDC_CF_TEXT, m_hWnd);
  m_stringPicker.SubclassDlgItem(IDC_CF_STRING, m_hWnd);
  m_keywordPicker.SubclassDlgItem(IDC_CF_KEYWORD, m_hWnd);
  m_commentPicker.SubclassDlgItem(IDC_CF_COMMENT, m_hWnd);
  m_backgroundPicker.SubclassDlgItem(IDC_CF_BACKGROUND, m_hWnd);
  // An automatic choice shows the colour the editor draws for it.
  EditorColors automatic;
  automatic.keyword = automatic.comment = automatic.string = automatic.text = automatic.background = EditorColors::kAutomatic;
  const EditorColors shown = DrawableColors(automatic, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
  m_keywordPicker.m_automaticShownAs = shown.keyword;
  m_commentPicker.m_automaticShownAs = shown.comment;
  m_stringPicker.m_automaticShownAs = shown.string;
  m_textPicker.m_automaticShownAs = shown.text;
  m_backgroundPicker.m_automaticShownAs = shown.background;
  m_keywordPicker.SetColor(m_keyword);
  m_commentPicker.SetColor(m_comment);
  m_stringPicker.SetColor(m_string);
  m_textPicker.SetColor(m_text);
  m_backgroundPicker.SetColor(m_background);
  HWND list = GetDlgItem(m_hWnd, kFaceList);
  m_faceUnlisted = m_initial.lfFaceName[0] &&
                   SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(m_initial.lfFaceName)) == CB_ERR;
  if (m_faceUnlisted) PreselectListedFace();
  m_shownAtStart = ShownChoice();
}

void CColorFontDlg::OnOK() {
  m_keyword = m_keywordPicker.GetColor();
  m_comment = m_commentPicker.GetColor();
  m_string = m_stringPicker.GetColor();
  m_text = m_textPicker.GetColor();
  m_background = m_backgroundPicker.GetColor();
  m_keepInitial = m_faceUnlisted && ShownChoice() == m_shownAtStart;
}

UINT_PTR CALLBACK CColorFontDlg::HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    if (msg == WM_INITDIALOG) {
      auto* self = reinterpret_cast<CColorFontDlg*>(reinterpret_cast<CHOOSEFONTA*>(lp)->lCustData);
      SetPropA(hwnd, kProp, self);
      self->m_hWnd = hwnd;
      self->OnInitDialog();
      if (GetModalResponder()) PostMessageA(hwnd, kLiveReady, 0, 0);
      return TRUE;
    }
    auto* self = static_cast<CColorFontDlg*>(GetPropA(hwnd, kProp));
    if (!self) return FALSE;
    switch (msg) {
      case WM_COMMAND:
        if (lp) {
          // Control notifications go to the control's own wrapper (the pickers' clicks).
          CWnd* child = CWnd::FromHandle(reinterpret_cast<HWND>(lp));
          if (child && child->OnChildNotify(WM_COMMAND, wp, lp, nullptr)) return TRUE;
        }
        if (LOWORD(wp) == IDOK) self->OnOK();  // then the dialog's own OK
        return FALSE;
      case kLiveReady:
        AfxLiveDialogReady("font", hwnd);
        return TRUE;
      case WM_DESTROY:
        RemovePropA(hwnd, kProp);
        self->m_hWnd = nullptr;
        return FALSE;
      default:
        return FALSE;
    }
  } catch (...) {
    AfxReportCurrentException();
  }
  return FALSE;
}
