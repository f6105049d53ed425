// Modal UI seam and the application's message boxes.
#include "platform/framework/modal.h"
#include <shlobj.h>
#include <vector>
#include "platform/framework/app.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "platform/framework/wnd.h"

namespace {
ModalResponder* g_responder = nullptr;
MessageBoxEcho g_echo = nullptr;
std::vector<HWND> g_keptEnabled;  // KeepEnabled's windows, on the user interface thread
}

void SetModalResponder(ModalResponder* responder) { g_responder = responder; }
ModalResponder* GetModalResponder() { return g_responder; }
void SetMessageBoxEcho(MessageBoxEcho echo) { g_echo = echo; }

namespace {
// The window that owns a box: the top-level window of `owner` (the main frame
// when none is named), or the modal dialog that holds it disabled. A modeless
// window (find, replace) never owns one: the frame would stay enabled and the
// user could close the view whose command is still asking.
HWND MessageBoxOwner(HWND owner) {
  CWinApp* app = AfxGetApp();
  if (!owner && app && app->m_pMainWnd) owner = app->m_pMainWnd->m_hWnd;
  owner = CWnd::GetSafeOwner(owner);
  if (!owner || !IsWindow(owner)) return nullptr;
  HWND popup = GetLastActivePopup(owner);
  if (popup && popup != owner && !IsWindowEnabled(owner) && IsWindowEnabled(popup) && !KeepEnabled::Contains(popup))
    return popup;
  return owner;
}

// The text with long lines (a long path has no blank to wrap at) broken so
// that the box stays within the screen: at most three fifths of its work area
// in the message font.
std::string FitToScreen(const std::string& text, HWND owner) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &mi)) return text;
  const LONG widest = (mi.rcWork.right - mi.rcWork.left) * 3 / 5;
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  HFONT font = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0) ? CreateFontIndirectA(&ncm.lfMessageFont)
                                                                                      : nullptr;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  std::string fitted = BreakLongLines(text, [&](const char* line, size_t length) {
    SIZE size{};
    return GetTextExtentPoint32A(dc, line, static_cast<int>(length), &size) && size.cx <= widest;
  });
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (font) DeleteObject(font);
  return fitted;
}
}  // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND keep) : m_keep(keep) {
  EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
  for (HWND h : m_disabled) EnableWindow(h, FALSE);
}

OtherWindowsDisabled::~OtherWindowsDisabled() {
  for (HWND h : m_disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

BOOL CALLBACK OtherWindowsDisabled::Collect(HWND h, LPARAM self) {
  auto* me = reinterpret_cast<OtherWindowsDisabled*>(self);
  if (h != me->m_keep && !KeepEnabled::Contains(h) && IsWindowVisible(h) && IsWindowEnabled(h))
    me->m_disabled.push_back(h);
  return TRUE;
}

KeepEnabled::KeepEnabled(HWND window) : m_window(window) { g_keptEnabled.push_back(window); }

KeepEnabled::~KeepEnabled() {
  for (auto it = g_keptEnabled.begin(); it != g_keptEnabled.end(); ++it)
    if (*it == m_window) {
      g_keptEnabled.erase(it);
      break;
    }
}

bool KeepEnabled::Contains(HWND window) {
  for (HWND h : g_keptEnabled)
    if (h == window) return true;
  return false;
}

int AfxMessageBox(const char* text, UINT type, HWND owner) {
  MessageBoxCall call;
  call.text = text ? text : "";
  CWinApp* app = AfxGetApp();
  call.caption = app ? app->m_pszAppName : std::string("Ruvelto");
  call.type = type;
  if (g_echo) g_echo(call);
  if (g_responder) return g_responder->OnMessageBox(call);
  owner = MessageBoxOwner(owner);
  OtherWindowsDisabled others(owner);
  return MessageBoxA(owner, FitToScreen(call.text, owner).c_str(), call.caption.c_str(), type);
}

int AfxMessageBox(UINT promptId, UINT type) {
  return AfxMessageBox(LoadResString(promptId).c_str(), type);
}

BOOL AfxRunCommonDialog(const char* kind, void* data) {
  if (g_responder && !g_responder->DrivesLive(kind)) return g_responder->OnCommonDialog(kind, data) == IDOK;
  std::string k = kind;
  if (k == "print") return PrintDlgA(static_cast<PRINTDLGA*>(data));
  if (k == "font") return ChooseFontA(static_cast<CHOOSEFONTA*>(data));
  if (k == "color") return ChooseColorA(static_cast<CHOOSECOLORA*>(data));
  if (k == "folder") {
    auto* browse = static_cast<BROWSEINFOA*>(data);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(browse);
    if (!chosen) return FALSE;
    BOOL ok = SHGetPathFromIDListA(chosen, browse->pszDisplayName);
    CoTaskMemFree(chosen);
    return ok;
  }
  return FALSE;
}

void AfxTrackPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner) {
  if (!g_responder) {
    TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr);
    return;
  }
  if (UINT id = g_responder->OnPopupMenu(menu, at)) PostMessageA(owner, WM_COMMAND, id, 0);
}

void AfxLiveDialogReady(const char* kind, HWND dialog) {
  if (!g_responder || !g_responder->DrivesLive(kind)) return;
  int button = g_responder->OnLiveDialog(kind, dialog);
  if (button && IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}
