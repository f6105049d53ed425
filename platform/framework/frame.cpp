// Frames: layout, menus and their enable queries, the status-bar prompts, the
// enable check before every command, MDI main frame and MDI child frame.
#include "platform/framework/frame.h"
#include <shellapi.h>
#include "platform/framework/app.h"
#include "platform/framework/bars.h"
#include "platform/framework/doc.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/fwids.h"
#include "platform/framework/recent.h"
#include "platform/framework/resstr.h"
#include "platform/framework/view.h"

// ---------------------------------------------------------------- CFrameWnd

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_SIZE, OnSize)
  ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
  ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_CLOSE, OnClose)
  ON_MESSAGE(WM_NCDESTROY, OnNcDestroyFrame)
  ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
  ON_MESSAGE(WM_DROPFILES, OnDropFiles)
  ON_MESSAGE(WM_NOTIFY, OnNotifyTooltip)
  ON_MESSAGE(WM_SYSCOMMAND, OnSysCommand)
  ON_UPDATE_COMMAND_UI_RANGE(ID_INDICATOR_CAPS, ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_KANA, OnUpdateKeyIndicator)
END_MESSAGE_MAP(CWnd)

BOOL CFrameWnd::LoadFrame(UINT resId, DWORD style, CWnd* parent, CCreateContext* context) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  m_frameStyle = style;
  m_strTitle = LoadResString(resId);
  HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(resId));
  const char* cls = RegisterWndClass("RvFrame", CS_DBLCLKS, nullptr, nullptr, icon);
  HMENU menu = LoadMenuA(inst, MAKEINTRESOURCEA(resId));
  m_hAccelTable = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resId));
  if (!CreateEx(0, cls, m_strTitle.c_str(), style & ~FWS_ADDTOTITLE, CW_USEDEFAULT, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, menu, context)) {
    if (menu) DestroyMenu(menu);
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCTA*, CCreateContext* context) {
  if (context && context->newView) {
    if (!context->newView->Create(this, context->document)) return FALSE;
    SetActiveView(context->newView);
  }
  return TRUE;
}

void CFrameWnd::SetActiveView(CView* view) {
  CView* old = m_pViewActive;
  m_pViewActive = view;
  if (old != view) {
    if (old) old->OnActivateView(FALSE, view, old);
    if (view) view->OnActivateView(TRUE, view, old);
  }
}

CDocument* CFrameWnd::GetActiveDocument() {
  CFrameWnd* f = GetActiveFrame();
  CView* v = f ? f->GetActiveView() : nullptr;
  return v ? v->GetDocument() : nullptr;
}

CControlBar* CFrameWnd::FindBar(UINT id) const {
  for (CControlBar* b : m_bars)
    if (b->m_hWnd && static_cast<UINT>(GetDlgCtrlID(b->m_hWnd)) == id) return b;
  return nullptr;
}

void CFrameWnd::RecalcLayout() {
  if (!m_hWnd) return;
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  for (CControlBar* b : m_bars) {
    if (!b->m_hWnd || !b->IsWindowVisible()) continue;
    int h = b->CalcHeight();
    if (b->IsTop()) {
      SetWindowPos(b->m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, h, SWP_NOZORDER | SWP_NOACTIVATE);
      rc.top += h;
    } else {
      SetWindowPos(b->m_hWnd, nullptr, rc.left, rc.bottom - h, rc.right - rc.left, h, SWP_NOZORDER | SWP_NOACTIVATE);
      rc.bottom -= h;
    }
  }
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  m_clientRect = rc;
  HWND pane = GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
  if (pane) SetWindowPos(pane, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show) {
  if (!bar || !bar->m_hWnd) return;
  bar->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
  RecalcLayout();
}

void CFrameWnd::OnUpdateFrameTitle() {
  if (!(m_frameStyle & FWS_ADDTOTITLE)) return;
  CDocument* doc = GetActiveDocument();
  std::string t = doc ? doc->GetTitle() : m_strTitle;
  if (GetWindowText() != t) SetWindowText(t.c_str());
}

void CFrameWnd::ActivateFrame(int cmdShow) {
  ShowWindow(cmdShow == -1 ? SW_SHOW : cmdShow);
  BringWindowToTop(m_hWnd);
}

void CFrameWnd::SetMessageText(const char* text) {
  if (m_pStatusBar && m_pStatusBar->m_hWnd) m_pStatusBar->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT id) {
  std::string s = id ? LoadResString(id) : std::string();
  size_t nl = s.find('\n');
  if (nl != std::string::npos) s.resize(nl);
  SetMessageText(s.c_str());
}

bool CFrameWnd::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) {
  if (m_pViewActive && m_pViewActive->OnCmdMsg(id, action, ui)) return true;
  if (DispatchOwnCommand(id, action, ui)) return true;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id, action, ui);
}

bool CFrameWnd::IsCommandEnabled(UINT id) {
  CCmdUI state;
  state.m_nID = id;
  state.DoUpdate(this, true);
  return state.m_bEnabled;
}

BOOL CFrameWnd::OnCommand(WPARAM wp, LPARAM lp) {
  HWND control = reinterpret_cast<HWND>(lp);
  if (control) {
    CWnd* child = FromHandle(control);
    if (child && child->OnChildNotify(WM_COMMAND, wp, lp, nullptr)) return TRUE;
    if (HIWORD(wp) != BN_CLICKED) return FALSE;  // a control's notification, not a command
  }
  UINT id = LOWORD(wp);
  if (id >= 0xF000) return FALSE;  // system and window-list commands: default handling
  // The command's enable query is asked once more; a disabled command is dropped.
  if (!IsCommandEnabled(id)) return TRUE;
  return OnCmdMsg(id, CmdAction::Execute, nullptr) ? TRUE : FALSE;
}

bool CFrameWnd::TranslateAccelerators(HACCEL accel, MSG* msg) {
  bool down = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  if (down) m_bAltKeyTaken = false;
  if (!accel || !TranslateAcceleratorA(m_hWnd, accel, msg)) return false;
  if (msg->message == WM_SYSKEYDOWN) m_bAltKeyTaken = true;
  return true;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) return TranslateAccelerators(m_hAccelTable, msg);
  return FALSE;
}

LRESULT CFrameWnd::OnSysCommand(WPARAM wp, LPARAM lp) {
  // Alt released after Alt+key went to an accelerator (Wine sends this when
  // Alt comes up before the key): not a request of the menu bar, which would
  // take the keys that follow.
  if ((wp & 0xFFF0) == SC_KEYMENU && lp == 0 && m_bAltKeyTaken) {
    m_bAltKeyTaken = false;
    return 0;
  }
  return Default();
}

void CFrameWnd::UpdateMenuItems(HMENU popup) {
  CWinApp* app = AfxGetApp();
  if (app && app->GetRecentFileList()) app->GetRecentFileList()->UpdateMenu(popup);
  int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    UINT id = GetMenuItemID(popup, i);
    if (id == 0 || id == static_cast<UINT>(-1) || id >= 0xF000) continue;  // separator, pop-up, system
    CCmdUI state;
    state.m_nID = id;
    state.m_pMenu = popup;
    state.m_nIndex = static_cast<UINT>(i);
    state.DoUpdate(this, true);
  }
}

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM wp, LPARAM lp) {
  Default();
  if (HIWORD(lp)) return 0;  // the window menu
  UpdateMenuItems(reinterpret_cast<HMENU>(wp));
  return 0;
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wp, LPARAM lp) {
  UINT id = LOWORD(wp), flags = HIWORD(wp);
  if (flags == 0xFFFF && lp == 0) {
    m_nIDTracking = AFX_IDS_IDLEMESSAGE;  // menu closed
  } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
    m_nIDTracking = 0;
  } else if (id >= 0xF000) {
    m_nIDTracking = 0;
  } else {
    m_nIDTracking = id;
  }
  SetMessageText(m_nIDTracking);
  return Default();
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wp, LPARAM lp) {
  if (wp) SetMessageText(static_cast<UINT>(wp));
  else SetMessageText(lp ? reinterpret_cast<const char*>(lp) : "");
  return 0;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  for (CControlBar* b : m_bars)
    if (b->m_hWnd && b->IsWindowVisible()) b->OnUpdateCmdUI(this);
  OnUpdateFrameTitle();
  return 0;
}

LRESULT CFrameWnd::OnNotifyTooltip(WPARAM wp, LPARAM lp) {
  auto* hdr = reinterpret_cast<NMHDR*>(lp);
  if (hdr->code == TTN_GETDISPINFOA) {
    auto* di = reinterpret_cast<NMTTDISPINFOA*>(lp);
    UINT id = static_cast<UINT>(hdr->idFrom);
    std::string s = LoadResString(id);
    size_t nl = s.find('\n');
    s = nl == std::string::npos ? std::string() : s.substr(nl + 1);
    lstrcpynA(di->szText, s.c_str(), sizeof di->szText);
    di->lpszText = di->szText;
    di->hinst = nullptr;
    return 0;
  }
  return Default();
}

LRESULT CFrameWnd::OnCreate(WPARAM, LPARAM lp) {
  if (Default() == -1) return -1;
  auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
  return OnCreateClient(cs, static_cast<CCreateContext*>(cs->lpCreateParams)) ? 0 : -1;
}

LRESULT CFrameWnd::OnSize(WPARAM wp, LPARAM lp) {
  LRESULT r = Default();
  if (wp != SIZE_MINIMIZED) RecalcLayout();
  return r;
}

LRESULT CFrameWnd::OnSetFocus(WPARAM, LPARAM) {
  if (m_pViewActive && m_pViewActive->m_hWnd) ::SetFocus(m_pViewActive->m_hWnd);
  else Default();
  return 0;
}

LRESULT CFrameWnd::OnClose(WPARAM, LPARAM) {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    if (!app->SaveAllModified()) return 0;
    app->CloseAllDocuments(false);
  }
  DestroyWindow();
  return 0;
}

LRESULT CFrameWnd::OnNcDestroyFrame(WPARAM, LPARAM) {
  LRESULT r = Default();
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    PostQuitMessage(0);
  }
  return r;
}

LRESULT CFrameWnd::OnDropFiles(WPARAM wp, LPARAM) {
  HDROP drop = reinterpret_cast<HDROP>(wp);
  UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  SetActiveWindow(m_hWnd);
  for (UINT i = 0; i < n; ++i) {
    char path[MAX_PATH * 2];
    if (DragQueryFileA(drop, i, path, sizeof path) && AfxGetApp()) AfxGetApp()->OpenDocumentFile(path);
  }
  DragFinish(drop);
  return 0;
}

void CFrameWnd::OnViewToolbar() {
  if (CControlBar* b = FindBar(ID_VIEW_TOOLBAR)) ShowControlBar(b, !b->IsWindowVisible());
}
void CFrameWnd::OnUpdateViewToolbar(CCmdUI* ui) {
  CControlBar* b = FindBar(ID_VIEW_TOOLBAR);
  ui->Enable(b != nullptr);
  ui->SetCheck(b && b->IsWindowVisible());
}
void CFrameWnd::OnViewStatusBar() {
  if (CControlBar* b = FindBar(ID_VIEW_STATUS_BAR)) ShowControlBar(b, !b->IsWindowVisible());
}
void CFrameWnd::OnUpdateViewStatusBar(CCmdUI* ui) {
  CControlBar* b = FindBar(ID_VIEW_STATUS_BAR);
  ui->Enable(b != nullptr);
  ui->SetCheck(b && b->IsWindowVisible());
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* ui) {
  int vk = 0;
  switch (ui->m_nID) {
    case ID_INDICATOR_CAPS: vk = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: vk = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: vk = VK_SCROLL; break;
    case ID_INDICATOR_KANA: vk = VK_KANA; break;
    default: ui->Enable(FALSE); return;
  }
  ui->Enable((GetKeyState(vk) & 1) != 0);
}

// ---------------------------------------------------------------- CMDIFrameWnd

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
  // The bars belong to the main frame; child frames have none.
  ON_COMMAND(ID_VIEW_TOOLBAR, OnViewToolbar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateViewToolbar)
  ON_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateViewStatusBar)
  ON_COMMAND(ID_WINDOW_ARRANGE, OnWindowArrange)
  ON_COMMAND(ID_WINDOW_CASCADE, OnWindowCascade)
  ON_COMMAND(ID_WINDOW_TILE_HORZ, OnWindowTileHorz)
  ON_COMMAND(ID_WINDOW_TILE_VERT, OnWindowTileVert)
  ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP(CFrameWnd)

BOOL CMDIFrameWnd::LoadFrame(UINT resId, DWORD style, CWnd* parent, CCreateContext* context) {
  if (!CFrameWnd::LoadFrame(resId, style, parent, context)) return FALSE;
  m_hMenuDefault = GetMenu(m_hWnd);
  return TRUE;
}

BOOL CMDIFrameWnd::OnCreateClient(CREATESTRUCTA* cs, CCreateContext*) {
  CLIENTCREATESTRUCT ccs{};
  ccs.hWindowMenu = FindWindowMenu(cs->hMenu);
  ccs.idFirstChild = AFX_IDW_FIRST_MDICHILD;
  // Children take the style they are given: a new one is created hidden (the
  // others stay as they are) and shown by ActivateFrame once its document loaded.
  m_hWndMDIClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL |
                                        MDIS_ALLCHILDSTYLES,
                                    0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(AFX_IDW_PANE_FIRST)),
                                    GetModuleHandleA(nullptr), &ccs);
  return m_hWndMDIClient != nullptr;
}

HMENU CMDIFrameWnd::FindWindowMenu(HMENU menu) {
  if (!menu) return nullptr;
  int n = GetMenuItemCount(menu);
  for (int i = n - 1; i >= 0; --i) {
    HMENU sub = GetSubMenu(menu, i);
    if (!sub) continue;
    int m = GetMenuItemCount(sub);
    for (int j = 0; j < m; ++j) {
      UINT id = GetMenuItemID(sub, j);
      if (id >= ID_WINDOW_ARRANGE && id <= ID_WINDOW_TILE_VERT) return sub;
    }
  }
  return nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefFrameProcA(m_hWnd, m_hWndMDIClient, msg, wp, lp);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
  if (!m_hWndMDIClient) return nullptr;
  HWND h = reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<CMDIChildWnd*>(FromHandle(h));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
  CMDIChildWnd* c = MDIGetActive();
  return c ? static_cast<CFrameWnd*>(c) : this;
}

void CMDIFrameWnd::MDIActivate(HWND child) const {
  ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

bool CMDIFrameWnd::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) {
  // The active child's chain (view, document, child frame, application) first.
  if (CMDIChildWnd* child = MDIGetActive())
    if (child->OnCmdMsg(id, action, ui)) return true;
  return CFrameWnd::OnCmdMsg(id, action, ui);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
    if (m_hWndMDIClient && TranslateMDISysAccel(m_hWndMDIClient, msg)) {
      m_bAltKeyTaken = false;
      return TRUE;
    }
    HACCEL accel = m_hAccelTable;
    if (CMDIChildWnd* c = MDIGetActive())
      if (c->m_pTemplate && c->m_pTemplate->GetAccel()) accel = c->m_pTemplate->GetAccel();
    return TranslateAccelerators(accel, msg);
  }
  return FALSE;
}

void CMDIFrameWnd::OnUpdateFrameMenu() {
  if (!m_hWnd || !m_hWndMDIClient) return;
  HMENU want = m_hMenuDefault;
  if (CMDIChildWnd* c = MDIGetActive())
    if (c->m_pTemplate && c->m_pTemplate->GetMenu()) want = c->m_pTemplate->GetMenu();
  if (GetMenu(m_hWnd) != want) {
    ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(want),
                   reinterpret_cast<LPARAM>(FindWindowMenu(want)));
    DrawMenuBar(m_hWnd);
  } else {
    ::SendMessageA(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    DrawMenuBar(m_hWnd);
  }
}

void CMDIFrameWnd::OnUpdateFrameTitle() {
  if (!(m_frameStyle & FWS_ADDTOTITLE)) return;
  std::string title = m_strTitle;
  if (CMDIChildWnd* child = MDIGetActive())
    if (!IsZoomed(child->m_hWnd))
      if (CDocument* doc = child->GetActiveDocument()) title += " - " + doc->GetTitle();
  if (title == m_strTitleSet) return;
  m_strTitleSet = title;
  SetWindowText(title.c_str());  // the MDI client keeps it and adds a maximised child's title
}

void CMDIFrameWnd::RecalcLayout() { CFrameWnd::RecalcLayout(); }

void CMDIFrameWnd::OnWindowArrange() { ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
void CMDIFrameWnd::OnWindowCascade() { ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
void CMDIFrameWnd::OnWindowTileHorz() { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); }
void CMDIFrameWnd::OnWindowTileVert() { ::SendMessageA(m_hWndMDIClient, WM_MDITILE, MDITILE_VERTICAL, 0); }
void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* ui) { ui->Enable(MDIGetActive() != nullptr); }

// ---------------------------------------------------------------- CMDIChildWnd

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
  ON_MESSAGE(WM_CREATE, OnChildCreate)
  ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
  ON_MESSAGE(WM_CLOSE, OnChildClose)
  ON_MESSAGE(WM_SIZE, OnChildSize)
  ON_MESSAGE(WM_DESTROY, OnChildDestroy)
END_MESSAGE_MAP(CFrameWnd)

BOOL CMDIChildWnd::LoadFrame(UINT resId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_pMDIFrame = dynamic_cast<CMDIFrameWnd*>(parent);
  if (!m_pMDIFrame || !m_pMDIFrame->m_hWndMDIClient) return FALSE;
  m_frameStyle = style;
  m_pContext = context;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(resId));
  if (!icon) icon = LoadIconA(inst, MAKEINTRESOURCEA(128));
  const char* cls = RegisterWndClass("RvMDIChild", CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
  CREATESTRUCTA cs{};
  cs.lpszClass = cls;
  cs.lpszName = "";
  cs.style = (style & ~FWS_ADDTOTITLE) | WS_CHILD;
  cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
  cs.hwndParent = m_pMDIFrame->m_hWndMDIClient;
  cs.hInstance = inst;
  if (!PreCreateWindow(cs)) return FALSE;
  MDICREATESTRUCTA mcs{};
  mcs.szClass = cs.lpszClass;
  mcs.szTitle = cs.lpszName;
  mcs.hOwner = inst;
  mcs.x = cs.x;
  mcs.y = cs.y;
  mcs.cx = cs.cx;
  mcs.cy = cs.cy;
  // Hidden, not maximised; the clipping styles the client would otherwise add.
  mcs.style = (cs.style & ~(WS_MAXIMIZE | WS_VISIBLE)) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  mcs.lParam = reinterpret_cast<LPARAM>(context);
  CWnd* previous = ExchangeCreating(this);
  HWND h = reinterpret_cast<HWND>(::SendMessageA(m_pMDIFrame->m_hWndMDIClient, WM_MDICREATE, 0,
                                                 reinterpret_cast<LPARAM>(&mcs)));
  ExchangeCreating(previous);
  m_pContext = nullptr;
  return h != nullptr;
}

LRESULT CMDIChildWnd::OnChildCreate(WPARAM wp, LPARAM lp) {
  if (Default() == -1) return -1;
  auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
  return OnCreateClient(cs, m_pContext) ? 0 : -1;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  return DefMDIChildProcA(m_hWnd, msg, wp, lp);
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
  ShowWindow(cmdShow == -1 ? SW_SHOW : cmdShow);
  if (m_pMDIFrame) m_pMDIFrame->MDIActivate(m_hWnd);
  if (m_pMDIFrame) m_pMDIFrame->OnUpdateFrameMenu();
}

void CMDIChildWnd::OnUpdateFrameTitle() {
  CDocument* doc = m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
  if (!doc) return;
  if (GetWindowText() != doc->GetTitle()) SetWindowText(doc->GetTitle().c_str());
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM wp, LPARAM lp) {
  LRESULT r = Default();
  bool activating = reinterpret_cast<HWND>(lp) == m_hWnd;
  if (m_pViewActive) m_pViewActive->OnActivateView(activating, m_pViewActive, m_pViewActive);
  if (activating && m_pViewActive && m_pViewActive->m_hWnd) ::SetFocus(m_pViewActive->m_hWnd);
  if (m_pMDIFrame) m_pMDIFrame->OnUpdateFrameMenu();
  return r;
}

LRESULT CMDIChildWnd::OnChildClose(WPARAM, LPARAM) {
  CDocument* doc = m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
  if (doc) {
    if (!doc->SaveModified()) return 0;
    doc->OnCloseDocument();
    return 0;
  }
  DestroyWindow();
  return 0;
}

LRESULT CMDIChildWnd::OnChildSize(WPARAM wp, LPARAM lp) {
  LRESULT r = Default();
  if (wp != SIZE_MINIMIZED) RecalcLayout();
  return r;
}

LRESULT CMDIChildWnd::OnChildDestroy(WPARAM, LPARAM) {
  m_pViewActive = nullptr;
  return Default();
}

BOOL CMDIChildWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  CMDIFrameWnd* frame = m_pMDIFrame;
  HWND h = m_hWnd;
  if (frame && frame->m_hWndMDIClient) ::SendMessageA(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
  else ::DestroyWindow(h);
  if (frame && frame->m_hWnd) frame->OnUpdateFrameMenu();  // `this` is gone here
  return TRUE;
}
