// The "マクロ実行中" window of a macro run (see macro_run_window.h).
#include "macros/macro_run_window.h"
#include <algorithm>
#include "dialogs/dialog_ids.h"
#include "resources/resource.h"

MacroRunWindow* MacroRunWindow::s_current = nullptr;

namespace {
constexpr UINT kLookAgain = 100;  // ms between looks for a box of the helper's that hides the window's way
constexpr int kMargin = 24;       // pixels from the corner of the documents' area

struct BoxSearch {
  DWORD process;
  bool found;
};

BOOL CALLBACK FindVisibleWindowOf(HWND h, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(h, &process);
  if (process == search->process && IsWindowVisible(h)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

// The open question's box: an enabled dialog of this thread owned by `owner`
// (boxes and the prompt are), other than `running`; a modeless Find or
// Replace is owned by it too, but waits disabled while the macro runs.
struct QuestionSearch {
  HWND owner;
  HWND running;
  HWND found;
};

BOOL CALLBACK FindQuestion(HWND h, LPARAM data) {
  auto* search = reinterpret_cast<QuestionSearch*>(data);
  char cls[16] = "";
  GetClassNameA(h, cls, sizeof cls);
  if (h != search->running && GetWindow(h, GW_OWNER) == search->owner && IsWindowVisible(h) && IsWindowEnabled(h) &&
      lstrcmpA(cls, "#32770") == 0) {
    search->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

MacroRunWindow::MacroRunWindow(HWND owner, const std::string& name, DWORD helperId, std::function<void()> stop,
                               std::function<void(UINT_PTR)> timer)
    : m_owner(owner), m_helperId(helperId), m_stop(std::move(stop)), m_timer(std::move(timer)) {
  m_hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MACRO_RUNNING), owner, DialogProc,
                              reinterpret_cast<LPARAM>(this));
  if (!m_hwnd) return;
  SetDlgItemTextA(m_hwnd, IDC_MACRO_RUNNING_NAME, name.c_str());
  m_kept.reset(new KeepEnabled(m_hwnd));
  s_current = this;
  m_hook = SetWindowsHookExA(WH_GETMESSAGE, KeysHook, nullptr, GetCurrentThreadId());
  SetTimer(m_hwnd, kShowTimer, kShowDelay, nullptr);
}

MacroRunWindow::~MacroRunWindow() {
  if (m_hook) UnhookWindowsHookEx(m_hook);
  if (s_current == this) s_current = nullptr;
  m_kept.reset();
  if (m_hwnd) DestroyWindow(m_hwnd);
}

void MacroRunWindow::Asking(bool asking) {
  m_asking = asking;
  if (!asking) ShowWhenDue();
}

void MacroRunWindow::Stopping() {
  if (!m_hwnd) return;
  EnableWindow(GetDlgItem(m_hwnd, IDCANCEL), FALSE);
  if (!m_asking) return;
  QuestionSearch search{m_owner, m_hwnd, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindQuestion, reinterpret_cast<LPARAM>(&search));
  if (search.found) EndDialog(search.found, IDCANCEL);
}

void MacroRunWindow::ShowWhenDue() {
  if (!m_hwnd || m_asking) return;
  if (IsWindowVisible(m_hwnd)) {
    // A box the helper opens once the window is up (a busy machine may be
    // that slow): the window steps aside, and comes back when the box goes.
    if (HelperShowsABox()) ShowWindow(m_hwnd, SW_HIDE);
    SetTimer(m_hwnd, kShowTimer, kLookAgain, nullptr);
    return;
  }
  const DWORD elapsed = GetTickCount() - m_begun;
  if (elapsed < kShowDelay) {
    SetTimer(m_hwnd, kShowTimer, kShowDelay - elapsed, nullptr);
    return;
  }
  if (HelperShowsABox()) {
    SetTimer(m_hwnd, kShowTimer, kLookAgain, nullptr);
    return;
  }
  Place();
  SetWindowPos(m_hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetTimer(m_hwnd, kShowTimer, kLookAgain, nullptr);
}

bool MacroRunWindow::HelperShowsABox() const {
  if (!m_helperId) return false;
  BoxSearch search{m_helperId, false};
  EnumWindows(FindVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void MacroRunWindow::Place() {
  // The corner of the documents' area, clear of the view's scroll bar and of
  // the status bar below it.
  RECT main{}, own{};
  HWND area = FindWindowExA(m_owner, nullptr, "MDICLIENT", nullptr);
  if (!m_owner || !GetWindowRect(area ? area : m_owner, &main) || !GetWindowRect(m_hwnd, &own)) return;
  const LONG width = own.right - own.left, height = own.bottom - own.top;
  LONG x = main.right - width - kMargin - GetSystemMetrics(SM_CXVSCROLL), y = main.bottom - height - kMargin;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (GetMonitorInfoA(MonitorFromWindow(m_owner, MONITOR_DEFAULTTONEAREST), &mi)) {
    x = std::max(mi.rcWork.left, std::min(x, mi.rcWork.right - width));
    y = std::max(mi.rcWork.top, std::min(y, mi.rcWork.bottom - height));
  }
  SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK MacroRunWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(hwnd, DWLP_USER, lp);
    return FALSE;  // the focus stays where it is
  }
  auto* w = reinterpret_cast<MacroRunWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!w) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) != IDCANCEL) return FALSE;
      if (w->m_stop) w->m_stop();
      return TRUE;
    case WM_TIMER:
      if (wp == kShowTimer) {
        KillTimer(hwnd, wp);
        w->ShowWhenDue();
      } else if (w->m_timer) {
        w->m_timer(wp);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

// Keys for the window reach it as a dialog's, whichever loop takes them from
// the queue (a question's box runs its own).
LRESULT CALLBACK MacroRunWindow::KeysHook(int code, WPARAM wp, LPARAM lp) {
  MacroRunWindow* w = s_current;
  auto* msg = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && w && w->m_hwnd && msg->hwnd && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST && (msg->hwnd == w->m_hwnd || IsChild(w->m_hwnd, msg->hwnd)) &&
      IsDialogMessageA(w->m_hwnd, msg))
    msg->message = WM_NULL;
  return CallNextHookEx(nullptr, code, wp, lp);
}
