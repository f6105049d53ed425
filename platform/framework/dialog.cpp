// Dialogs and the file dialog wrapper.
#include "platform/framework/dialog.h"
#include "platform/framework/app.h"
#include "platform/framework/except.h"
#include "platform/framework/modal.h"

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
