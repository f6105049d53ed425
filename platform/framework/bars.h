// Control bars: the toolbar and the status bar, common controls wrapped so
// that the frame lays them out and updates them at idle time through the same
// enable/check queries as the menus.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "platform/framework/wnd.h"

class CFrameWnd;

class CControlBar : public CWnd {
 public:
  // Height the bar takes at the top or bottom of the frame (0 when hidden).
  virtual int CalcHeight() const;
  virtual void OnUpdateCmdUI(CFrameWnd* target) = 0;
  virtual bool IsTop() const = 0;
};

class CStatusBar : public CControlBar {
 public:
  // `indicators`: ID_SEPARATOR for the message pane, else a string id whose
  // text sets the pane's width.
  BOOL Create(CWnd* parent, UINT id);
  BOOL SetIndicators(const UINT* ids, int count);
  void SetPaneText(int index, const char* text);
  std::string GetPaneText(int index) const;
  int CommandToIndex(UINT id) const;
  int GetPaneCount() const { return static_cast<int>(m_ids.size()); }
  UINT GetItemID(int index) const { return m_ids[static_cast<size_t>(index)]; }
  int GetPaneWidth(int index) const;
  // Sizes pane `index` (not the message pane) to `sample` as SetIndicators
  // sizes it to its string; the same sample again costs nothing.
  void SetPaneWidthFor(int index, const std::string& sample);
  // Sets the indicator panes' texts from their enable queries; only a text
  // that changed reaches the control.
  void OnUpdateCmdUI(CFrameWnd* target) override;
  bool IsTop() const override { return false; }
  // Lays the panes out along the bar's width; the control hears of it only
  // when an edge moved.
  void RecalcPanes();

 protected:
  LRESULT OnSize(WPARAM, LPARAM);

 private:
  // A pane's width for this text in the bar's font.
  int PaneWidthOf(const std::string& text);
  std::vector<UINT> m_ids;
  std::vector<int> m_widths;
  std::vector<std::string> m_samples;  // the text each pane's width was taken from
  std::vector<std::string> m_texts;
  std::vector<int> m_edges;  // the right edges last given to the control
  DECLARE_MESSAGE_MAP()
};

class CToolBar : public CControlBar {
 public:
  // Creates the bar and loads resource `resId`: a bitmap of 16x15 images and a
  // list of command ids (0 for a separator).
  BOOL Create(CWnd* parent, UINT id, UINT resId, const UINT* buttons, int count, int imageW = 16,
              int imageH = 15);
  void OnUpdateCmdUI(CFrameWnd* target) override;
  bool IsTop() const override { return true; }
  int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }
  UINT GetItemID(int index) const { return m_buttons[static_cast<size_t>(index)]; }
  bool IsButtonEnabled(UINT id) const;
  ~CToolBar() override;

 protected:
  // The image list is the bar's own: it goes with the window.
  void PostNcDestroy() override;
  // The status-bar prompt of the button under the pointer, enabled or not;
  // the idle text again once the pointer is over no button.
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnMouseLeave(WPARAM, LPARAM);
  void ShowPrompt(UINT id);

 private:
  std::vector<UINT> m_buttons;
  HIMAGELIST m_images = nullptr;
  UINT m_promptId = 0;  // the button whose prompt is shown (0: none)
  bool m_trackingLeave = false;
  DECLARE_MESSAGE_MAP()
};
