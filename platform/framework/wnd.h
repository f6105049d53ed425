// The window wrapper: one C++ object per window, bound on creation (or by
// subclassing a control), with a virtual window procedure that looks handlers
// up in the class's message map. Notifications of child controls (WM_COMMAND
// codes, WM_CTLCOLOR*) are reflected back to the child's own wrapper.
#pragma once
#include <windows.h>
#include <string>
#include "platform/framework/cmdtarget.h"

// A child's wrapper receives reflected messages as WM_REFLECT_BASE + message.
#define WM_REFLECT_BASE 0xBC00

class CWnd : public CCmdTarget {
 public:
  HWND m_hWnd = nullptr;

  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The wrapper bound to a window, or null for windows the program does not wrap.
  static CWnd* FromHandle(HWND hwnd);
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Registers (once) an ordinary window class that uses the wrapper's procedure.
  static const char* RegisterWndClass(const char* name, UINT style, HCURSOR cursor,
                                      HBRUSH background, HICON icon = nullptr);

  BOOL CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                int x, int y, int w, int h, HWND parent, HMENU menuOrId, void* param = nullptr);
  // Takes over an existing window (a system control): its messages reach this
  // wrapper first and go on to the control's own procedure.
  BOOL SubclassWindow(HWND hwnd);
  virtual BOOL DestroyWindow();

  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs) { return TRUE; }
  virtual BOOL PreTranslateMessage(MSG* msg) { return FALSE; }
  // The window's final step, after WM_NCDESTROY and once the outermost of its
  // messages has returned (a window may destroy itself from inside one of its
  // own messages). Frames and views delete themselves here; nothing touches
  // the wrapper after this call.
  virtual void PostNcDestroy() {}
  // WM_COMMAND: control notifications are reflected to the control; menu and
  // accelerator commands are routed through OnCmdMsg.
  virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
  // A reflected notification reached this child: true when handled.
  virtual bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

  // Calls the default handling of the message being processed.
  LRESULT Default();

  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
  BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  void SetWindowText(const char* text) const { ::SetWindowTextA(m_hWnd, text); }
  std::string GetWindowText() const;
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  // Centres this window over `over` (its owner when null), kept inside the
  // work area of that window's monitor; on the work area when there is none.
  void CenterWindow(HWND over = nullptr) const;
  void SendMessageToDescendants(UINT msg, WPARAM wp, LPARAM lp, bool deep = true) const;

  static HWND GetSafeOwner(HWND parent);

 protected:
  WNDPROC m_pfnSuper = nullptr;  // the subclassed control's procedure
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp);
  void Attach(HWND hwnd);
  // The wrapper that the next created window binds to on its first message.
  static CWnd* ExchangeCreating(CWnd* wnd);
  void Detach();

 private:
  struct CurrentMsg { UINT msg; WPARAM wp; LPARAM lp; };
  CurrentMsg m_current{};
  // invariant: m_nesting counts this wrapper's messages now on the stack;
  // m_destroyPending is set between WM_NCDESTROY and the return of the
  // outermost of them, when PostNcDestroy runs.
  int m_nesting = 0;
  bool m_destroyPending = false;
  friend class CDialog;
};
