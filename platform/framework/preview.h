// The print preview window: over the main window's client area while the main
// window waits (disabled), a strip of buttons - print, next and previous page,
// one or two pages, zoom in and out, close - above the pages, each drawn as a
// white sheet with a shadow on grey, scaled from the printer's page. The view
// draws each page with its print steps through a mapping from printer units to
// the sheet on the screen, measuring with the printer's context. Page Down,
// Page Up and Escape come from accelerator table 30997. Closing ends the
// view's print run (OnEndPrinting) and gives the main window back.
#pragma once
#include <windows.h>
#include <memory>
#include "platform/framework/preview_ids.h"
#include "platform/framework/modal.h"
#include "platform/framework/wnd.h"

class CView;
struct CPrintInfo;
class CPreviewCanvas;

class CPrintPreviewWnd : public CWnd {
 public:
  static const int kZoomLevels = 3;  // whole pages, halfway, the printed size

  // Shows the preview of `view`, taking `info` (its printer context made by
  // OnPreparePrinting); runs OnBeginPrinting. Null (run ended, the failure
  // reported) when the window cannot be made.
  static CPrintPreviewWnd* Open(CView* view, CPrintInfo* info);
  // The preview on the screen, or null.
  static CPrintPreviewWnd* Active();
  // `view` goes away: its preview closes without calling the view.
  static void AbandonFor(CView* view);

  void Close();
  void OnPreviewCommand(UINT id);
  UINT CurrentPage() const;
  UINT PageCount() const;  // the print run's maximum page
  int PagesShown() const { return m_zoom ? 1 : m_pages; }
  int Zoom() const { return m_zoom; }
  // The sheet of the n-th page shown (0 or 1) in the canvas's client coordinates.
  RECT SheetRect(int n) const;
  HWND Canvas() const;

  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void PostNcDestroy() override {
    if (m_created) delete this;
  }

  // The canvas's side: painting and scrolling.
  void PaintCanvas(HDC dc, const RECT& client);
  void Scroll(int bar, int code);
  void Layout();

 private:
  CPrintPreviewWnd() = default;
  ~CPrintPreviewWnd() override;
  void EndRun(bool callView);
  void UpdateControls();
  void DrawPage(HDC dc, UINT page, const RECT& sheet);
  SIZE SheetSize() const;
  void SetScrollBars();
  static void ReportFailure();

  CView* m_view = nullptr;
  CPrintInfo* m_info = nullptr;
  HWND m_main = nullptr;
  // The main window and any modeless window (Replace) wait while the preview
  // shows: its pages are laid out from the text as it was.
  std::unique_ptr<OtherWindowsDisabled> m_waiting;
  HACCEL m_accel = nullptr;
  HFONT m_pageFont = nullptr;   // the printer's own font, for the sheet's mapping
  HFONT m_stripFont = nullptr;
  CPreviewCanvas* m_canvas = nullptr;
  HWND m_pageLabel = nullptr;
  int m_pages = 1;              // pages side by side when not zoomed
  int m_zoom = 0;               // 0: whole pages
  POINT m_scroll = {0, 0};
  bool m_settingScrollBars = false;
  bool m_created = false;       // until then the creator owns the object
  SIZE m_paper = {1, 1};        // the sheet in printer units
  POINT m_printable = {0, 0};   // where the printable area starts on it
  // The one preview of the program (the main window shows one at a time): a
  // second preview command and the closing of its document must find it.
  static CPrintPreviewWnd* s_active;
};
