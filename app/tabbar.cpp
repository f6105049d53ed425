// The window tab bar and the MDI client hook that lays it out.
#include "app/tabbar.h"

#include "platform/framework/doc.h"
#include "platform/framework/frame.h"
#include "platform/framework/view.h"

BEGIN_MESSAGE_MAP(WindowTabBar, CWnd)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_TIMER, OnTimer)
  ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
  ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
  ON_MESSAGE(WM_NCPAINT, OnNcPaint)
END_MESSAGE_MAP(CWnd)

BEGIN_MESSAGE_MAP(MdiClientHook, CWnd)
  ON_MESSAGE(WM_MDIACTIVATE, OnMdiActivate)
  ON_MESSAGE(WM_MDICREATE, OnMdiCreate)
  ON_MESSAGE(WM_MDIDESTROY, OnMdiDestroy)
  ON_MESSAGE(WM_SIZE, OnSize)
  ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
  ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
END_MESSAGE_MAP(CWnd)

namespace {
std::string ClassNameOf(HWND window) {
  char name[513] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}
}  // namespace

// ---------------------------------------------------------------- the hook

bool MdiClientHook::Attach(CMDIFrameWnd* frame, DWORD tabStyle) {
  if (m_frame || !frame || !frame->m_hWndMDIClient) return false;
  if (!SubclassWindow(frame->m_hWndMDIClient)) return false;
  m_frame = frame;
  m_tabBar.m_owner = this;
  if (!m_tabBar.CreateEx(0, WC_TABCONTROLA, "",
                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER | tabStyle, 0, 0, 0, 0,
                         frame->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(WindowTabBar::kControlId)))) {
    Detach();
    return false;
  }
  // Below the client in z-order: the client lies over the control's display area.
  SetWindowPos(m_tabBar.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  frame->RecalcLayout();
  m_tabBar.UpdateTabs(true);
  return true;
}

bool MdiClientHook::Detach() {
  if (!m_frame) return false;
  if (m_tabBar.m_hWnd) m_tabBar.DestroyWindow();
  m_tabBar.m_owner = nullptr;
  if (m_hWnd) {
    if (m_pfnSuper) SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    CWnd::Detach();
  }
  if (m_frame->m_hWnd) m_frame->RecalcLayout();
  m_frame = nullptr;
  return true;
}

void MdiClientHook::Nudge() const {
  if (m_tabBar.m_hWnd) ::PostMessageA(m_tabBar.m_hWnd, WM_TIMER, WindowTabBar::kTimerId, 0);
}

// The frame places the client on the pane rectangle R: the tab control takes
// all of R and the client the part above the tabs.
LRESULT MdiClientHook::OnWindowPosChanging(WPARAM wp, LPARAM lp) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
  HWND tabs = m_tabBar.m_hWnd;
  if (tabs && (GetWindowLongA(tabs, GWL_STYLE) & WS_VISIBLE) && !(pos->flags & SWP_NOSIZE) && !(pos->flags & SWP_NOMOVE)) {
    RECT r = {pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
    SetWindowPos(tabs, nullptr, r.left, r.top, pos->cx, pos->cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ShrinkByTabBorder(r);
    ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    if (r.bottom < r.top) r.bottom = r.top;
    if (r.right < r.left) r.right = r.left;
    pos->x = r.left;
    pos->y = r.top;
    pos->cx = r.right - r.left;
    pos->cy = r.bottom - r.top;
  }
  return Default();
}

LRESULT MdiClientHook::OnMdiActivate(WPARAM wp, LPARAM) {
  const LRESULT result = Default();
  const int i = m_tabBar.FindItem(reinterpret_cast<HWND>(wp));
  if (i >= 0 && m_tabBar.m_hWnd) ::SendMessageA(m_tabBar.m_hWnd, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);
  Nudge();
  return result;
}

LRESULT MdiClientHook::OnMdiCreate(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (result && m_tabBar.m_hWnd) ::SendMessageA(m_tabBar.m_hWnd, TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
  Nudge();
  return result;
}

LRESULT MdiClientHook::OnMdiDestroy(WPARAM wp, LPARAM) {
  m_tabBar.RemoveWindow(reinterpret_cast<HWND>(wp), true);  // before the window goes
  const LRESULT result = Default();
  Nudge();
  return result;
}

LRESULT MdiClientHook::OnSize(WPARAM, LPARAM) {
  const LRESULT result = Default();
  m_layoutDirty = true;
  Nudge();
  return result;
}

LRESULT MdiClientHook::OnShowWindow(WPARAM shown, LPARAM status) {
  const LRESULT result = Default();
  if (status == 0 && m_tabBar.m_hWnd) {
    const LONG style = GetWindowLongA(m_tabBar.m_hWnd, GWL_STYLE);
    SetWindowLongA(m_tabBar.m_hWnd, GWL_STYLE, shown ? style | WS_VISIBLE : style & ~WS_VISIBLE);
  }
  return result;
}

// ---------------------------------------------------------------- the tab bar

void ShrinkByTabBorder(RECT& r) {
  const int b = WindowTabBar::kBorder;
  if (r.bottom - r.top > 2 * b) { r.top += b; r.bottom -= b; } else { r.top = r.bottom; }
  if (r.right - r.left > 2 * b) { r.left += b; r.right -= b; } else { r.left = r.right; }
}

LRESULT WindowTabBar::OnNcCalcSize(WPARAM, LPARAM lp) {
  const LRESULT result = Default();
  ShrinkByTabBorder(*reinterpret_cast<RECT*>(lp));  // the first rectangle in both forms
  return result;
}

// The border takes the control's background, framed by one line: shadow at the
// top and left, highlight at the bottom and right.
LRESULT WindowTabBar::OnNcPaint(WPARAM, LPARAM) {
  HDC dc = GetWindowDC(m_hWnd);
  RECT window, client;
  GetWindowRect(m_hWnd, &window);
  GetClientRect(m_hWnd, &client);
  MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  if (!IsRectEmpty(&client)) ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
  HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ old = SelectObject(dc, shadow);
  MoveToEx(dc, window.left, window.bottom - 1, nullptr);
  LineTo(dc, window.left, window.top);
  LineTo(dc, window.right - 1, window.top);
  SelectObject(dc, light);
  LineTo(dc, window.right - 1, window.bottom - 1);
  LineTo(dc, window.left, window.bottom - 1);
  SelectObject(dc, old);
  DeleteObject(shadow);
  DeleteObject(light);
  ReleaseDC(m_hWnd, dc);
  return 0;
}

LRESULT WindowTabBar::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  if (!SetTimer(m_hWnd, kTimerId, 500, nullptr)) return -1;
  m_images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR8 | ILC_MASK, 4, 4);
  if (!m_images) return -1;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
  m_dropTarget.bar = this;
  m_dropRegistered = SUCCEEDED(RegisterDragDrop(m_hWnd, &m_dropTarget));
  return 0;
}

LRESULT WindowTabBar::OnDestroy(WPARAM, LPARAM) {
  if (m_dropRegistered) RevokeDragDrop(m_hWnd);
  m_dropRegistered = false;
  const LRESULT result = Default();
  if (m_images) ImageList_Destroy(m_images);
  m_images = nullptr;
  KillTimer(m_hWnd, kTimerId);
  m_icons.clear();
  m_items.clear();
  return result;
}

LRESULT WindowTabBar::OnTimer(WPARAM id, LPARAM) {
  if (id != kTimerId) return Default();
  UpdateTabs(true);
  return 0;
}

void WindowTabBar::RequestLayout() {
  ++m_layouts;
  if (m_owner && m_owner->m_frame && m_owner->m_frame->m_hWnd) m_owner->m_frame->RecalcLayout();
}

std::string WindowTabBar::TabTitle(HWND window) const {
  if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(window)))
    if (CDocument* doc = frame->GetActiveDocument()) return doc->GetTitle();
  char text[512] = "";
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

int WindowTabBar::FindItem(HWND window) const {
  if (!window) return -1;
  const std::string cls = ClassNameOf(window);
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].window == window && m_items[i].className == cls) return static_cast<int>(i);
  return -1;
}

bool WindowTabBar::AddWindow(HWND window, bool layout, bool requireVisible) {
  if (!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD)) return false;
  if (requireVisible && !(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE)) return false;
  const std::string cls = ClassNameOf(window);
  HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
  if (!icon) icon = reinterpret_cast<HICON>(::SendMessageA(window, WM_GETICON, ICON_BIG, 0));
  int image = -1;
  if (icon) {
    for (size_t i = 0; i < m_icons.size(); ++i)
      if (m_icons[i] == icon) image = static_cast<int>(i);
    if (image < 0 && ImageList_AddIcon(m_images, icon) >= 0) {
      m_icons.push_back(icon);
      image = static_cast<int>(m_icons.size()) - 1;
    }
  }
  std::string title = TabTitle(window);
  TCITEMA item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = &title[0];
  item.iImage = image;
  SendMessage(TCM_INSERTITEMA, m_items.size(), reinterpret_cast<LPARAM>(&item));
  m_items.push_back({title, cls, window});
  if (layout) RequestLayout();
  return true;
}

bool WindowTabBar::RemoveWindow(HWND window, bool layout) {
  const int i = FindItem(window);
  if (i < 0) return false;
  if (m_hWnd) SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(i));
  m_items.erase(m_items.begin() + i);
  if (layout) RequestLayout();
  return true;
}

void WindowTabBar::UpdateTabs(bool addNew) {
  if (!m_owner || !m_owner->m_frame || !m_hWnd) return;
  bool changed = m_owner->m_layoutDirty;
  int activeIndex = -1;
  CMDIChildWnd* activeFrame = m_owner->m_frame->MDIGetActive();
  HWND active = activeFrame ? activeFrame->m_hWnd : nullptr;
  if (active) {
    for (HWND w = ::GetWindow(::GetParent(active), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
      const std::string title = TabTitle(w);
      const int i = FindItem(w);
      if (i >= 0) {
        if (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) {
          if (w == active) activeIndex = i;
          if (m_items[static_cast<size_t>(i)].title != title) {
            m_items[static_cast<size_t>(i)].title = title;
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(title.c_str());
            SendMessage(TCM_SETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            changed = true;
          }
        } else {
          RemoveWindow(w, false);
          changed = true;
        }
      } else if (addNew && AddWindow(w, false, true)) {
        changed = true;  // only a window really added changes the layout
      }
    }
  }
  if (activeIndex >= 0 && activeIndex != static_cast<int>(SendMessage(TCM_GETCURSEL))) {
    SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(activeIndex));
    changed = true;
  }
  if (!changed) return;
  RequestLayout();
  m_owner->m_layoutDirty = false;
}

LRESULT WindowTabBar::OnLButtonDown(WPARAM, LPARAM) {
  const LRESULT result = Default();  // the control selects the tab under the mouse
  const int i = static_cast<int>(SendMessage(TCM_GETCURSEL));
  if (i >= 0 && static_cast<size_t>(i) < m_items.size() && IsWindow(m_items[static_cast<size_t>(i)].window) && m_owner)
    m_owner->m_frame->MDIActivate(m_items[static_cast<size_t>(i)].window);
  return result;
}

void WindowTabBar::ActivateTabAt(POINT screen) {
  TCHITTESTINFO hit = {};
  hit.pt = screen;
  ScreenToClient(m_hWnd, &hit.pt);
  const int i = static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (i < 0 || static_cast<size_t>(i) >= m_items.size() || !m_owner) return;
  HWND w = m_items[static_cast<size_t>(i)].window;
  CMDIChildWnd* active = m_owner->m_frame->MDIGetActive();
  if (IsWindow(w) && !(active && active->m_hWnd == w)) m_owner->m_frame->MDIActivate(w);
}

HRESULT TabDropTarget::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *out = static_cast<IDropTarget*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT TabDropTarget::DragEnter(IDataObject*, DWORD keys, POINTL pt, DWORD* effect) {
  return DragOver(keys, pt, effect);
}

HRESULT TabDropTarget::DragOver(DWORD, POINTL pt, DWORD* effect) {
  if (bar) bar->ActivateTabAt(POINT{pt.x, pt.y});
  *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TabDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
  *effect = DROPEFFECT_NONE;
  return S_OK;
}

LRESULT WindowTabBar::OnLButtonDblClk(WPARAM, LPARAM) {
  const int i = static_cast<int>(SendMessage(TCM_GETCURSEL));
  if (i >= 0 && static_cast<size_t>(i) < m_items.size() && m_owner) {
    HWND w = m_items[static_cast<size_t>(i)].window;
    if (IsWindow(w)) {
      CMDIChildWnd* active = m_owner->m_frame->MDIGetActive();
      HWND client = m_owner->m_hWnd;
      if (active && active->m_hWnd == w && IsZoomed(w))
        ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(w), 0);
      else
        ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(w), 0);
    }
  }
  return Default();
}
