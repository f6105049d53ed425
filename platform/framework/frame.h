// Frame windows: the frame with its menu, accelerators, bars and the command
// routing to its active view; the MDI main frame and the MDI child frame.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "platform/framework/wnd.h"

class CView;
class CDocument;
class CDocTemplate;
class CControlBar;
class CStatusBar;

// What a child frame needs to make its view.
struct CCreateContext {
  CDocument* document = nullptr;
  CDocTemplate* docTemplate = nullptr;
  CView* (*unused)() = nullptr;
  CView* newView = nullptr;  // created by the template, made a window by the frame
};

class CFrameWnd : public CWnd {
 public:
  // Window title flag: append the active document's title.
  static const DWORD FWS_ADDTOTITLE = 0x00008000;

  virtual BOOL LoadFrame(UINT resId, DWORD style, CWnd* parent, CCreateContext* context = nullptr);
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* view);
  virtual CFrameWnd* GetActiveFrame() { return this; }
  CDocument* GetActiveDocument();
  virtual void RecalcLayout();
  virtual void OnUpdateFrameTitle();
  virtual void ActivateFrame(int cmdShow = -1);
  void AddControlBar(CControlBar* bar) { m_bars.push_back(bar); }
  void ShowControlBar(CControlBar* bar, bool show);
  CStatusBar* GetMessageBar() const { return m_pStatusBar; }
  void SetMessageText(const char* text);
  void SetMessageText(UINT id);
  // Asks the enable query of `id` along the routing; true when enabled.
  bool IsCommandEnabled(UINT id);
  HACCEL m_hAccelTable = nullptr;
  std::string m_strTitle;
  DWORD m_frameStyle = 0;

  bool OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // Runs the enable queries of every item of a pop-up menu.
  void UpdateMenuItems(HMENU popup);

 protected:
  CView* m_pViewActive = nullptr;
  std::vector<CControlBar*> m_bars;
  CStatusBar* m_pStatusBar = nullptr;
  UINT m_nIDTracking = 0;
  UINT m_nIdleFlags = 0;
  // Client area left for the view or MDI client after the bars.
  RECT m_clientRect{};
  // Set when an accelerator took a key pressed with Alt, until the next key
  // goes down: the system, which never saw that key, takes Alt's release for
  // a request of the menu bar (see OnSysCommand).
  bool m_bAltKeyTaken = false;
  // The frame's accelerators for a keyboard message, keeping m_bAltKeyTaken.
  bool TranslateAccelerators(HACCEL accel, MSG* msg);
  LRESULT OnSysCommand(WPARAM, LPARAM);

  virtual BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context);
  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnInitMenuPopup(WPARAM, LPARAM);
  LRESULT OnMenuSelect(WPARAM, LPARAM);
  LRESULT OnSetMessageString(WPARAM, LPARAM);
  LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
  LRESULT OnClose(WPARAM, LPARAM);
  LRESULT OnNcDestroyFrame(WPARAM, LPARAM);
  void PostNcDestroy() override { delete this; }
  LRESULT OnSetFocus(WPARAM, LPARAM);
  LRESULT OnDropFiles(WPARAM, LPARAM);
  LRESULT OnEnterIdle(WPARAM, LPARAM);
  LRESULT OnNotifyTooltip(WPARAM, LPARAM);
  void OnViewToolbar();
  void OnUpdateViewToolbar(CCmdUI* ui);
  void OnViewStatusBar();
  void OnUpdateViewStatusBar(CCmdUI* ui);
  void OnUpdateKeyIndicator(CCmdUI* ui);
  CControlBar* FindBar(UINT id) const;
  friend class CWinApp;
  DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
 public:
  HWND m_hWndMDIClient = nullptr;
  HMENU m_hMenuDefault = nullptr;  // menu while no document is open

  BOOL LoadFrame(UINT resId, DWORD style, CWnd* parent, CCreateContext* context = nullptr) override;
  CMDIChildWnd* MDIGetActive() const;
  CFrameWnd* GetActiveFrame() override;
  void MDIActivate(HWND child) const;
  // Shows the menu of the active child's document template, or the default menu.
  void OnUpdateFrameMenu();
  void RecalcLayout() override;
  LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // "Ruvelto - title" while the active child is not maximised; a maximised
  // child's title is added by the MDI client itself ("Ruvelto - [title]").
  void OnUpdateFrameTitle() override;
  // Text of the Window menu pop-up the MDI client appends window entries to.
  static HMENU FindWindowMenu(HMENU menu);

 protected:
  std::string m_strTitleSet;  // the frame title last given to the MDI client
  BOOL OnCreateClient(CREATESTRUCTA* cs, CCreateContext* context) override;
  void OnWindowArrange();
  void OnWindowCascade();
  void OnWindowTileHorz();
  void OnWindowTileVert();
  void OnUpdateMDIWindowCmd(CCmdUI* ui);
  DECLARE_MESSAGE_MAP()
};

class CMDIChildWnd : public CFrameWnd {
 public:
  // Creates the child inside `parent`'s MDI client with the context's document and view.
  virtual BOOL LoadFrame(UINT resId, DWORD style, CWnd* parent, CCreateContext* context = nullptr) override;
  CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
  LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void ActivateFrame(int cmdShow = -1) override;
  void OnUpdateFrameTitle() override;
  BOOL PreTranslateMessage(MSG* msg) override { return FALSE; }
  // Destroys through the MDI client, then updates the main frame's menu.
  BOOL DestroyWindow() override;
  CDocTemplate* m_pTemplate = nullptr;

 protected:
  CMDIFrameWnd* m_pMDIFrame = nullptr;
  LRESULT OnMDIActivate(WPARAM, LPARAM);
  LRESULT OnChildClose(WPARAM, LPARAM);
  LRESULT OnChildCreate(WPARAM, LPARAM);
  LRESULT OnChildSize(WPARAM, LPARAM);
  LRESULT OnChildDestroy(WPARAM, LPARAM);
  CCreateContext* m_pContext = nullptr;
  DECLARE_MESSAGE_MAP()
};
