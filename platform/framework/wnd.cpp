// Window wrapper: binding, dispatch through message maps, reflection.
#include "platform/framework/wnd.h"
#include <unordered_map>
#include "platform/framework/except.h"

namespace {
// Window handle to wrapper. A window property would do the same, but costs a
// server round trip per message under Wine; everything runs on one thread.
std::unordered_map<HWND, CWnd*>& BoundWindows() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}
}  // namespace

CWnd::~CWnd() {
  if (m_hWnd && IsWindow(m_hWnd)) {
    HWND h = m_hWnd;
    Detach();
    ::DestroyWindow(h);
  }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto& map = BoundWindows();
  auto it = map.find(hwnd);
  return it == map.end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hwnd) {
  m_hWnd = hwnd;
  BoundWindows()[hwnd] = this;
}

void CWnd::Detach() {
  if (m_hWnd) {
    auto& map = BoundWindows();
    auto it = map.find(m_hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
  }
  m_hWnd = nullptr;
}

const char* CWnd::RegisterWndClass(const char* name, UINT style, HCURSOR cursor, HBRUSH background,
                                   HICON icon) {
  WNDCLASSEXA wc{};
  HINSTANCE inst = GetModuleHandleA(nullptr);
  if (GetClassInfoExA(inst, name, &wc)) return name;
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = &CWnd::StaticWndProc;
  wc.hInstance = inst;
  wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
  return name;
}

namespace {
thread_local CWnd* g_creating = nullptr;
}

CWnd* CWnd::ExchangeCreating(CWnd* wnd) {
  CWnd* previous = g_creating;
  g_creating = wnd;
  return previous;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int w, int h, HWND parent, HMENU menuOrId, void* param) {
  CREATESTRUCTA cs{};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = title;
  cs.style = style;
  cs.x = x;
  cs.y = y;
  cs.cx = w;
  cs.cy = h;
  cs.hwndParent = parent;
  cs.hMenu = menuOrId;
  cs.hInstance = GetModuleHandleA(nullptr);
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) return FALSE;
  CWnd* previous = g_creating;
  g_creating = this;
  // A window of a class with its own procedure (a control) is subclassed by a
  // creation hook before its first message, so the wrapper sees WM_CREATE too.
  HHOOK hook = SetWindowsHookExA(WH_CBT, &CWnd::CreationHook, nullptr, GetCurrentThreadId());
  HWND hwnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                              cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  if (hook) UnhookWindowsHookEx(hook);
  g_creating = previous;
  if (hwnd && !m_hWnd) SubclassWindow(hwnd);  // a class with its own procedure
  // A window refused during its creation may be gone without a last message:
  // the wrapper lets go of its handle, so that the handle map holds no stale entry.
  if (!hwnd && m_hWnd) Detach();
  return hwnd != nullptr;
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wp, LPARAM lp) {
  try {
    if (code == HCBT_CREATEWND && g_creating && !g_creating->m_hWnd) {
      CWnd* wnd = g_creating;
      g_creating = nullptr;  // only the window being created, not the ones it creates
      wnd->SubclassWindow(reinterpret_cast<HWND>(wp));
    }
  } catch (...) {
    AfxReportCurrentException();
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!hwnd) return FALSE;
  Attach(hwnd);
  WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (old != &CWnd::StaticWndProc) {
    m_pfnSuper = old;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc));
  }
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

std::string CWnd::GetWindowText() const {
  int n = GetWindowTextLengthA(m_hWnd);
  std::string s(static_cast<size_t>(n) + 1, '\0');
  n = ::GetWindowTextA(m_hWnd, s.data(), n + 1);
  s.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return s;
}

namespace {
// The start of a span of `size` centred on [lo, hi), moved into [areaLo, areaHi).
LONG CentredStart(LONG lo, LONG hi, LONG size, LONG areaLo, LONG areaHi) {
  LONG start = lo + (hi - lo - size) / 2;
  if (start + size > areaHi) start = areaHi - size;
  if (start < areaLo) start = areaLo;
  return start;
}
}  // namespace

void CWnd::CenterWindow(HWND over) const {
  if (!over) over = ::GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(over ? over : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  RECT self, target = mi.rcWork;
  GetWindowRect(m_hWnd, &self);
  if (over && ::IsWindowVisible(over) && !IsIconic(over)) GetWindowRect(over, &target);
  LONG x = CentredStart(target.left, target.right, self.right - self.left, mi.rcWork.left, mi.rcWork.right);
  LONG y = CentredStart(target.top, target.bottom, self.bottom - self.top, mi.rcWork.top, mi.rcWork.bottom);
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CWnd::GetSafeOwner(HWND parent) {
  HWND h = parent;
  while (h && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  return h;
}

namespace {
BOOL CALLBACK SendToChild(HWND hwnd, LPARAM lp) {
  auto* m = reinterpret_cast<MSG*>(lp);
  SendMessageA(hwnd, m->message, m->wParam, m->lParam);
  return TRUE;
}
}  // namespace

void CWnd::SendMessageToDescendants(UINT msg, WPARAM wp, LPARAM lp, bool deep) const {
  if (deep) {
    MSG m{};
    m.message = msg;
    m.wParam = wp;
    m.lParam = lp;
    EnumChildWindows(m_hWnd, SendToChild, reinterpret_cast<LPARAM>(&m));
  } else {
    for (HWND c = GetWindow(m_hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ::SendMessageA(c, msg, wp, lp);
  }
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
  return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.msg, m_current.wp, m_current.lp); }

bool CWnd::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_COMMAND) {
    if (const MsgMapEntry* e = FindNotifyEntry(HIWORD(wp))) {
      (this->*(e->fn))();
      if (result) *result = 0;
      return true;
    }
    return false;
  }
  if (const MsgMapEntry* e = FindMessageEntry(WM_REFLECT_BASE + msg)) {
    LRESULT r = (this->*reinterpret_cast<AFX_PMSG_MSG>(e->fn))(wp, lp);
    if (result) *result = r;
    return true;
  }
  return false;
}

BOOL CWnd::OnCommand(WPARAM wp, LPARAM lp) {
  HWND control = reinterpret_cast<HWND>(lp);
  if (control) {
    CWnd* child = FromHandle(control);
    if (child && child->OnChildNotify(WM_COMMAND, wp, lp, nullptr)) return TRUE;
    return FALSE;
  }
  return OnCmdMsg(LOWORD(wp), CmdAction::Execute, nullptr) ? TRUE : FALSE;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (const MsgMapEntry* e = FindMessageEntry(msg))
    return (this->*reinterpret_cast<AFX_PMSG_MSG>(e->fn))(wp, lp);
  switch (msg) {
    case WM_COMMAND:
      if (OnCommand(wp, lp)) return 0;
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
      CWnd* child = FromHandle(reinterpret_cast<HWND>(lp));
      LRESULT r = 0;
      if (child && child != this && child->OnChildNotify(msg, wp, lp, &r)) return r;
      break;
    }
    default:
      break;
  }
  return DefWindowProc(msg, wp, lp);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* wnd = FromHandle(hwnd);
  if (!wnd && g_creating && !g_creating->m_hWnd) {
    wnd = g_creating;  // first message of a window created by CreateEx
    wnd->Attach(hwnd);
  }
  if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
  CurrentMsg saved = wnd->m_current;
  wnd->m_current = {msg, wp, lp};
  ++wnd->m_nesting;
  LRESULT result = 0;
  try {
    result = wnd->WindowProc(msg, wp, lp);
  } catch (...) {
    AfxReportCurrentException();
  }
  if (msg == WM_NCDESTROY) {
    // The window is gone: give it back its own procedure and unbind it. The
    // final step waits for the outermost message of this wrapper.
    WNDPROC super = wnd->m_pfnSuper;
    wnd->Detach();
    wnd->m_pfnSuper = nullptr;
    if (super) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    wnd->m_destroyPending = true;
  }
  wnd->m_current = saved;
  if (--wnd->m_nesting == 0 && wnd->m_destroyPending) {
    wnd->m_destroyPending = false;
    wnd->PostNcDestroy();  // may delete wnd
  }
  return result;
}
