// Dialogs and the file dialog wrapper.
#include "platform/framework/dialog.h"
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include "platform/framework/app.h"
#include "platform/framework/except.h"
#include "platform/framework/modal.h"
#include "platform/framework/resstr.h"

namespace {
thread_local CDialog* g_initialising = nullptr;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_templateId(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd) owner = AfxGetApp()->m_pMainWnd->m_hWnd;
  m_ended = false;
  m_result = IDCANCEL;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  g_initialising = this;
  if (ModalResponder* r = GetModalResponder()) {
    m_modeless = true;
    HWND hwnd = CreateDialogParamA(inst, MAKEINTRESOURCEA(m_templateId), owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    g_initialising = nullptr;
    if (!hwnd) return -1;
    int button = r->OnDialog(*this);
    if (!m_ended && m_hWnd) SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    int result = m_ended ? m_result : IDCANCEL;
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_modeless = false;
    return result;
  }
  INT_PTR result = DialogBoxParamA(inst, MAKEINTRESOURCEA(m_templateId), owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  g_initialising = nullptr;
  return result;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(true)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  if (!m_modeless && m_hWnd) ::EndDialog(m_hWnd, result);
}

std::string CDialog::GetDlgItemText(int id) const {
  HWND item = GetDlgItem(id);
  int n = item ? GetWindowTextLengthA(item) : 0;
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = ::GetDlgItemTextA(m_hWnd, id, s.data(), n + 1);
  s.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return s;
}

BOOL CDialog::OnCommand(WPARAM wp, LPARAM lp) {
  UINT id = LOWORD(wp);
  if (HIWORD(wp) == BN_CLICKED || lp == 0) {
    if (id == IDOK && !OnCmdMsg(id, CmdAction::Probe, nullptr)) {
      OnOK();
      return TRUE;
    }
    if (id == IDCANCEL && !OnCmdMsg(id, CmdAction::Probe, nullptr)) {
      OnCancel();
      return TRUE;
    }
  }
  if (lp) {
    CWnd* child = FromHandle(reinterpret_cast<HWND>(lp));
    if (child && child->OnChildNotify(WM_COMMAND, wp, lp, nullptr)) return TRUE;
  }
  return OnCmdMsg(id, CmdAction::Execute, nullptr) ? TRUE : FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* dlg = static_cast<CDialog*>(CWnd::FromHandle(hwnd));
  if (!dlg && msg == WM_INITDIALOG) {
    dlg = reinterpret_cast<CDialog*>(lp);
    dlg->Attach(hwnd);
    try {
      RECT before, after;
      GetWindowRect(hwnd, &before);
      BOOL focus = dlg->OnInitDialog();
      // A dialog that its initialisation did not place goes over its owner.
      GetWindowRect(hwnd, &after);
      if (EqualRect(&before, &after) && !(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) dlg->CenterWindow();
      return focus;
    } catch (...) {
      AfxReportCurrentException();
      return TRUE;
    }
  }
  if (!dlg) return FALSE;
  if (msg == WM_NCDESTROY) {
    dlg->Detach();
    return FALSE;
  }
  try {
    if (msg == WM_COMMAND) return dlg->OnCommand(wp, lp);
    if (const MsgMapEntry* e = dlg->FindMessageEntry(msg)) {
      LRESULT r = (dlg->*reinterpret_cast<AFX_PMSG_MSG>(e->fn))(wp, lp);
      if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) return static_cast<INT_PTR>(r);
      SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, r);
      return TRUE;
    }
  } catch (...) {
    AfxReportCurrentException();
  }
  return FALSE;
}

CFileDialog::CFileDialog(bool openDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, HWND owner)
    : m_open(openDialog), m_buffer(MAX_PATH * 4, '\0') {
  if (filter) {
    m_filter = filter;
    for (char& c : m_filter)
      if (c == '|') c = '\0';
    m_filter.push_back('\0');
  }
  if (defaultExt) m_defExt = defaultExt;
  if (fileName) lstrcpynA(m_buffer.data(), fileName, static_cast<int>(m_buffer.size()));
  m_ofn.lStructSize = sizeof m_ofn;
  if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd) owner = AfxGetApp()->m_pMainWnd->m_hWnd;
  m_ofn.hwndOwner = owner;
  m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
  m_ofn.nFilterIndex = 1;
  m_ofn.lpstrFile = m_buffer.data();
  m_ofn.nMaxFile = static_cast<DWORD>(m_buffer.size());
  m_ofn.lpstrDefExt = m_defExt.empty() ? nullptr : m_defExt.c_str();
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
}

void CFileDialog::SetChosenPath(const std::string& path) {
  lstrcpynA(m_buffer.data(), path.c_str(), static_cast<int>(m_buffer.size()));
}

INT_PTR CFileDialog::DoModal() {
  BOOL ok;
  if (ModalResponder* r = GetModalResponder()) {
    ok = r->OnFileDialog(*this) == IDOK;
  } else {
    ok = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
  }
  if (!ok) return IDCANCEL;
  m_path = m_buffer.data();
  return IDOK;
}

// ---------------------------------------------------------------- data exchange

HWND CDataExchange::Control(int id) {
  m_lastControl = m_dialog.GetDlgItem(id);
  return m_lastControl;
}

bool CDataExchange::Fail(const std::string& message) {
  AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
  if (m_lastControl) {
    ::SetFocus(m_lastControl);
    char cls[16] = "";
    GetClassNameA(m_lastControl, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) ::SendMessageA(m_lastControl, EM_SETSEL, 0, -1);
  }
  return false;
}

bool DDX_CBIndex(CDataExchange& dx, int id, int& index) {
  HWND c = dx.Control(id);
  if (dx.m_save)
    index = static_cast<int>(::SendMessageA(c, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(c, CB_SETCURSEL, static_cast<WPARAM>(index), 0);  // out of range: no selection
  return true;
}

bool DDX_Check(CDataExchange& dx, int id, int& value) {
  HWND c = dx.Control(id);
  if (dx.m_save)
    value = ::SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  else
    ::SendMessageA(c, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

bool DDX_Text(CDataExchange& dx, int id, std::string& value) {
  dx.Control(id);
  if (dx.m_save)
    value = dx.m_dialog.GetDlgItemText(id);
  else
    dx.m_dialog.SetDlgItemText(id, value.c_str());
  return true;
}

bool DDX_Text(CDataExchange& dx, int id, int& value) {
  if (!dx.m_save) {
    std::string text = std::to_string(value);
    return DDX_Text(dx, id, text);
  }
  std::string text;
  DDX_Text(dx, id, text);
  // Blanks around an optionally signed decimal number, nothing else.
  const char* p = text.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  char* end = nullptr;
  errno = 0;
  long n = strtol(p, &end, 10);
  bool ok = end != p && errno == 0 && n >= INT_MIN && n <= INT_MAX && (*p == '-' || *p == '+' || isdigit(static_cast<unsigned char>(*p)));
  if (ok)
    while (*end == ' ' || *end == '\t') ++end;
  if (!ok || *end) return dx.Fail("整数を入力してください。");
  value = static_cast<int>(n);
  return true;
}

bool DDX_Text(CDataExchange& dx, int id, unsigned& value) {
  if (!dx.m_save) {
    std::string text = std::to_string(value);
    return DDX_Text(dx, id, text);
  }
  std::string text;
  DDX_Text(dx, id, text);
  // Blanks around decimal digits, nothing else; at most 32 bits.
  size_t i = text.find_first_not_of(" \t");
  size_t end = text.find_last_not_of(" \t");
  unsigned long long n = 0;
  bool ok = i != std::string::npos;
  for (size_t k = i; ok && k <= end; ++k) {
    const char c = text[k];
    ok = c >= '0' && c <= '9' && (n = n * 10 + static_cast<unsigned>(c - '0')) <= 0xFFFFFFFFull;
  }
  if (!ok) return dx.Fail("正の整数を入力してください。");
  value = static_cast<unsigned>(n);
  return true;
}

namespace {
bool FailRange(CDataExchange& dx, const std::string& minValue, const std::string& maxValue) {
  std::string text = FormatPercent1("%1 から %2 までの整数を入力してください。", minValue.c_str());
  size_t at = text.find("%2");
  if (at != std::string::npos) text.replace(at, 2, maxValue);
  return dx.Fail(text);
}
}  // namespace

bool DDV_MinMaxInt(CDataExchange& dx, int value, int minValue, int maxValue) {
  if (!dx.m_save || (value >= minValue && value <= maxValue)) return true;
  return FailRange(dx, std::to_string(minValue), std::to_string(maxValue));
}

bool DDV_MinMaxUInt(CDataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue) {
  if (!dx.m_save || (value >= minValue && value <= maxValue)) return true;
  return FailRange(dx, std::to_string(minValue), std::to_string(maxValue));
}

bool DDV_MaxChars(CDataExchange& dx, const std::string& value, int count) {
  if (!dx.m_save) {
    if (dx.m_lastControl) ::SendMessageA(dx.m_lastControl, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
    return true;
  }
  if (value.size() <= static_cast<size_t>(count)) return true;
  return dx.Fail(FormatPercent1("%1 文字以内で入力してください。", std::to_string(count).c_str()));
}
