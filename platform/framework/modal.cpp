// Modal UI seam and the application's message boxes.
#include "platform/framework/modal.h"
#include "platform/framework/app.h"
#include "platform/framework/resstr.h"
#include "platform/framework/wnd.h"

namespace {
ModalResponder* g_responder = nullptr;
}

void SetModalResponder(ModalResponder* responder) { g_responder = responder; }
ModalResponder* GetModalResponder() { return g_responder; }

int AfxMessageBox(const char* text, UINT type, HWND owner) {
  MessageBoxCall call;
  call.text = text ? text : "";
  CWinApp* app = AfxGetApp();
  call.caption = app ? app->m_pszAppName : std::string("Ruvelto");
  call.type = type;
  if (g_responder) return g_responder->OnMessageBox(call);
  if (!owner && app && app->m_pMainWnd) owner = CWnd::GetSafeOwner(app->m_pMainWnd->m_hWnd);
  if (owner) owner = GetLastActivePopup(owner);
  return MessageBoxA(owner, call.text.c_str(), call.caption.c_str(), type);
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
