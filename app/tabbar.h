// The window tab bar of the main frame: one tab per document window, with the
// window's small icon and its document title, below the area of the document
// windows. A click activates a window, a double-click on the selected tab
// maximises or restores it. The bar follows the windows on a half-second
// timer and, sooner, whenever the MDI client activates, creates, destroys or
// resizes a window (it posts the timer message to itself then).
//
// `MdiClientHook` takes over the MDI client window: it places the tab control
// on the rectangle the frame gives the client and keeps the client over the
// control's display area, so the tabs show below the document windows. The
// tab control has WS_CLIPSIBLINGS and never paints over the client.
// Items keep window handles (and the class name, against a reused handle),
// never pointers to frames, which delete themselves.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <string>
#include <vector>
#include "platform/framework/wnd.h"

class CMDIFrameWnd;
class MdiClientHook;
class WindowTabBar;

struct WindowTabItem {
  std::string title;
  std::string className;
  HWND window;
};

// Dragging anything over a tab brings its window to the front, so that the
// drag can end in it; the tab bar itself never takes a drop.
class TabDropTarget : public IDropTarget {
 public:
  WindowTabBar* bar = nullptr;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // owned by the tab bar
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override;
};

class WindowTabBar : public CWnd {
 public:
  static const UINT kControlId = 1000;
  static const UINT_PTR kTimerId = 333;
  static const int kBorder = 5;  // the framed margin around the tabs and the client

  std::vector<WindowTabItem> m_items;  // item i is tab i
  std::vector<HICON> m_icons;          // one per image of the image list
  HIMAGELIST m_images = nullptr;
  MdiClientHook* m_owner = nullptr;
  int m_layouts = 0;  // layout recalculations asked of the frame
  TabDropTarget m_dropTarget;
  bool m_dropRegistered = false;

  // Follows the document windows: titles, the active tab, hidden windows out,
  // new visible windows in (when `addNew`). Lays out only when a tab was
  // added or removed, or the client was resized.
  void UpdateTabs(bool addNew);
  // The item of `window`, or -1.
  int FindItem(HWND window) const;
  bool AddWindow(HWND window, bool layout, bool requireVisible);
  bool RemoveWindow(HWND window, bool layout);
  std::string TabTitle(HWND window) const;
  void RequestLayout();
  // Activates the window of the tab under the screen point, if any.
  void ActivateTabAt(POINT screen);

 protected:
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnLButtonDown(WPARAM, LPARAM);
  LRESULT OnLButtonDblClk(WPARAM, LPARAM);
  LRESULT OnDestroy(WPARAM, LPARAM);
  LRESULT OnNcCalcSize(WPARAM, LPARAM);
  LRESULT OnNcPaint(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

// Shrinks `r` by the tab bar's border on each side (to nothing when too small).
void ShrinkByTabBorder(RECT& r);

class MdiClientHook : public CWnd {
 public:
  WindowTabBar m_tabBar;
  CMDIFrameWnd* m_frame = nullptr;
  bool m_layoutDirty = false;

  // Takes over the frame's MDI client and creates the tab bar with `tabStyle`.
  bool Attach(CMDIFrameWnd* frame, DWORD tabStyle);
  // Destroys the tab bar and gives the MDI client back; false when not attached.
  bool Detach();
  void Nudge() const;

 protected:
  LRESULT OnMdiActivate(WPARAM, LPARAM);
  LRESULT OnMdiCreate(WPARAM, LPARAM);
  LRESULT OnMdiDestroy(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnShowWindow(WPARAM, LPARAM);
  LRESULT OnWindowPosChanging(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};
