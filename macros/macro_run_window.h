// The "マクロ実行中" window of a macro run and when it shows: not before
// kShowDelay ms of the run have passed (a short macro shows nothing), never
// while a question of the macro or a box of the helper's own (a VBScript
// MsgBox) is up, and then at once after it is answered; it comes up beside
// the main window's lower right corner without taking the focus, so that a
// key meant for a box of the macro never stops it. The window stays enabled
// while the main window waits and while a question shows (KeepEnabled), and
// its 中止 button and Esc work in any message loop, a box's included.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include "platform/framework/modal.h"

class MacroRunWindow {
 public:
  static constexpr DWORD kShowDelay = 250;  // ms from the run's start
  // `stop` is called when the user asks to stop; `timer` with the id of a
  // timer the run set with SetTimer on Handle().
  MacroRunWindow(HWND owner, const std::string& name, DWORD helperId, std::function<void()> stop,
                 std::function<void(UINT_PTR)> timer);
  ~MacroRunWindow();
  MacroRunWindow(const MacroRunWindow&) = delete;
  MacroRunWindow& operator=(const MacroRunWindow&) = delete;

  HWND Handle() const { return m_hwnd; }
  // A question of the macro is about to show (true) or was answered (false).
  void Asking(bool asking);
  // The run is stopping: 中止 is greyed, and the question that shows, if
  // any, is closed as cancelled.
  void Stopping();

 private:
  enum : UINT_PTR { kShowTimer = 0x5201 };
  void ShowWhenDue();
  bool HelperShowsABox() const;
  void Place();
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK KeysHook(int code, WPARAM wp, LPARAM lp);

  HWND m_owner;
  DWORD m_helperId;
  std::function<void()> m_stop;
  std::function<void(UINT_PTR)> m_timer;
  DWORD m_begun = GetTickCount();
  bool m_asking = false;
  HWND m_hwnd = nullptr;
  std::unique_ptr<KeepEnabled> m_kept;
  HHOOK m_hook = nullptr;
  static MacroRunWindow* s_current;  // one run at a time
};
