// The print preview window; see preview.h.
#include "platform/framework/preview.h"

#include <algorithm>
#include <cstdio>
#include "platform/framework/app.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/print.h"
#include "platform/framework/view.h"

CPrintPreviewWnd* CPrintPreviewWnd::s_active = nullptr;

namespace {

const int kStripHeight = 32;
const int kGap = 8;      // grey around and between the sheets
const int kShadow = 3;

struct StripButton {
  UINT id;
  const char* text;
  int width;
};
const StripButton kButtons[] = {
    {AFX_ID_PREVIEW_PRINT, "印刷(&P)...", 76},  {AFX_ID_PREVIEW_NEXT, "次ページ(&N)", 84},
    {AFX_ID_PREVIEW_PREV, "前ページ(&V)", 84},   {AFX_ID_PREVIEW_NUMPAGE, "2 ページ(&T)", 84},
    {AFX_ID_PREVIEW_ZOOMIN, "拡大(&I)", 64},     {AFX_ID_PREVIEW_ZOOMOUT, "縮小(&M)", 64},
    {AFX_ID_PREVIEW_CLOSE, "閉じる(&C)", 72},
};

}  // namespace

// The area under the strip where the sheets are drawn; scrolls when zoomed.
class CPreviewCanvas : public CWnd {
 public:
  explicit CPreviewCanvas(CPrintPreviewWnd* owner) : m_owner(owner) {}
  // Until its creation has succeeded the creator owns the object.
  bool m_created = false;
  void PostNcDestroy() override {
    if (m_created) delete this;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        RECT client;
        GetClientRect(m_hWnd, &client);
        // Drawn off the screen first, so that paging does not flicker.
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
        HGDIOBJ old = SelectObject(mem, bmp);
        m_owner->PaintCanvas(mem, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        EndPaint(m_hWnd, &ps);
        return 0;
      }
      case WM_VSCROLL:
      case WM_HSCROLL:
        m_owner->Scroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wp));
        return 0;
      case WM_MOUSEWHEEL:
        m_owner->Scroll(SB_VERT, GET_WHEEL_DELTA_WPARAM(wp) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
      case WM_LBUTTONDOWN:
        // A click on the pages zooms in, at the largest size back out.
        m_owner->OnPreviewCommand(m_owner->Zoom() + 1 < CPrintPreviewWnd::kZoomLevels ? AFX_ID_PREVIEW_ZOOMIN
                                                                                      : AFX_ID_PREVIEW_ZOOMOUT);
        return 0;
      case WM_SIZE:
        m_owner->Layout();
        break;
    }
    return CWnd::WindowProc(msg, wp, lp);
  }

 private:
  CPrintPreviewWnd* m_owner;
};

CPrintPreviewWnd* CPrintPreviewWnd::Active() { return s_active; }

CPrintPreviewWnd* CPrintPreviewWnd::Open(CView* view, CPrintInfo* info) {
  if (s_active) s_active->Close();
  CWinApp* app = AfxGetApp();
  auto* w = new CPrintPreviewWnd;
  w->m_view = view;
  w->m_info = info;
  w->m_main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
  w->m_pages = app && app->m_nPreviewPages == 2 ? 2 : 1;
  info->m_nNumPreviewPages = static_cast<UINT>(w->m_pages);
  HDC printer = info->m_hAttribDC;
  w->m_paper = SIZE{std::max(1, GetDeviceCaps(printer, PHYSICALWIDTH)), std::max(1, GetDeviceCaps(printer, PHYSICALHEIGHT))};
  w->m_printable = POINT{GetDeviceCaps(printer, PHYSICALOFFSETX), GetDeviceCaps(printer, PHYSICALOFFSETY)};
  if (w->m_paper.cx < GetDeviceCaps(printer, HORZRES) || w->m_paper.cy < GetDeviceCaps(printer, VERTRES)) {
    w->m_paper = SIZE{GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES)};  // no paper size known
    w->m_printable = POINT{0, 0};
  }
  // The sheets are drawn through a mapping, where the screen's own default
  // font would be tiny: the printer's default font, made for that mapping.
  w->m_pageFont = AfxCreatePrinterFont(printer);

  RECT area{0, 0, 640, 480};
  if (w->m_main) {
    GetClientRect(w->m_main, &area);
    MapWindowPoints(w->m_main, nullptr, reinterpret_cast<POINT*>(&area), 2);
  }
  const char* cls = RegisterWndClass("RvPrintPreview", 0, nullptr, GetSysColorBrush(COLOR_BTNFACE));
  if (!w->CreateEx(0, cls, "印刷プレビュー", WS_POPUP | WS_CLIPCHILDREN, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, w->m_main, nullptr)) {
    w->EndRun(true);
    delete w;  // the one delete: PostNcDestroy leaves a window that was never made to its creator
    ReportFailure();
    return nullptr;
  }
  w->m_created = true;
  s_active = w;
  view->OnBeginPrinting(printer, info);
  info->m_nCurPage = std::max(1u, std::min(info->m_nCurPage, info->GetMaxPage()));
  w->m_accel = LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_PREVIEW_ACCEL));

  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  w->m_stripFont = CreateFontIndirectA(&ncm.lfMessageFont);
  int x = kGap;
  for (const StripButton& b : kButtons) {
    HWND h = CreateWindowExA(0, "BUTTON", b.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 4, b.width, 24,
                             w->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), AfxGetInstanceHandle(), nullptr);
    ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(w->m_stripFont), FALSE);
    x += b.width + 4;
  }
  w->m_pageLabel = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, x + 8, 4, 160, 24,
                                   w->m_hWnd, nullptr, AfxGetInstanceHandle(), nullptr);
  ::SendMessageA(w->m_pageLabel, WM_SETFONT, reinterpret_cast<WPARAM>(w->m_stripFont), FALSE);
  auto* canvas = new CPreviewCanvas(w);
  const char* canvasCls = RegisterWndClass("RvPreviewCanvas", 0, nullptr, nullptr);
  if (!canvas->CreateEx(0, canvasCls, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, kStripHeight,
                        area.right - area.left, std::max<LONG>(1, area.bottom - area.top - kStripHeight), w->m_hWnd,
                        nullptr)) {
    delete canvas;
    w->Close();  // ends the run; the window deletes itself
    ReportFailure();
    return nullptr;
  }
  canvas->m_created = true;
  w->m_canvas = canvas;
  w->UpdateControls();
  w->Layout();
  w->m_waiting.reset(new OtherWindowsDisabled(w->m_hWnd));
  ::ShowWindow(w->m_hWnd, SW_SHOW);
  SetFocus(w->m_canvas->m_hWnd);
  return w;
}

void CPrintPreviewWnd::ReportFailure() {
  AfxMessageBox("印刷プレビューのウィンドウを作成できませんでした。", MB_OK | MB_ICONEXCLAMATION);
}

CPrintPreviewWnd::~CPrintPreviewWnd() {
  if (m_pageFont) DeleteObject(m_pageFont);
  if (m_stripFont) DeleteObject(m_stripFont);
  if (m_accel) DestroyAcceleratorTable(m_accel);
}

void CPrintPreviewWnd::EndRun(bool callView) {
  if (!m_info) return;
  CPrintInfo* info = m_info;
  m_info = nullptr;
  HDC printer = info->m_hAttribDC;
  if (callView && m_view) m_view->OnEndPrinting(printer, info);
  if (printer) DeleteDC(printer);
  delete info;
  if (s_active == this) s_active = nullptr;
}

void CPrintPreviewWnd::Close() {
  EndRun(true);
  m_waiting.reset();  // before this window goes, so the main window is activated again
  if (m_main) SetActiveWindow(m_main);
  if (m_hWnd) DestroyWindow();
}

void CPrintPreviewWnd::AbandonFor(CView* view) {
  if (!s_active || s_active->m_view != view) return;
  s_active->m_view = nullptr;
  s_active->Close();
}

UINT CPrintPreviewWnd::CurrentPage() const { return m_info ? m_info->m_nCurPage : 0; }
UINT CPrintPreviewWnd::PageCount() const { return m_info ? m_info->GetMaxPage() : 0; }
HWND CPrintPreviewWnd::Canvas() const { return m_canvas ? m_canvas->m_hWnd : nullptr; }

void CPrintPreviewWnd::OnPreviewCommand(UINT id) {
  if (!m_info) return;
  UINT& page = m_info->m_nCurPage;
  const UINT last = std::max(1u, PageCount());
  switch (id) {
    case AFX_ID_PREVIEW_CLOSE:
      Close();
      return;
    case AFX_ID_PREVIEW_PRINT: {
      // The print command of the view, once the preview has ended.
      HWND main = m_main;
      Close();
      if (main) ::PostMessageA(main, WM_COMMAND, ID_FILE_PRINT, 0);
      return;
    }
    case AFX_ID_PREVIEW_NEXT:
      if (page + static_cast<UINT>(PagesShown()) - 1 < last) ++page;
      break;
    case AFX_ID_PREVIEW_PREV:
      if (page > 1) --page;
      break;
    case AFX_ID_PREVIEW_NUMPAGE:
      if (m_zoom) return;
      m_pages = m_pages == 1 ? 2 : 1;
      if (CWinApp* app = AfxGetApp()) app->m_nPreviewPages = m_pages;
      m_info->m_nNumPreviewPages = static_cast<UINT>(m_pages);
      break;
    case AFX_ID_PREVIEW_ZOOMIN:
      if (m_zoom + 1 >= kZoomLevels) return;
      ++m_zoom;
      break;
    case AFX_ID_PREVIEW_ZOOMOUT:
      if (m_zoom == 0) return;
      --m_zoom;
      break;
    default:
      return;
  }
  UpdateControls();
  Layout();
}

void CPrintPreviewWnd::UpdateControls() {
  if (!m_info || !m_hWnd) return;
  const UINT page = CurrentPage(), last = std::max(1u, PageCount());
  auto enable = [this](UINT id, bool on) {
    HWND b = GetDlgItem(m_hWnd, static_cast<int>(id));
    if (!on && GetFocus() == b && m_canvas) SetFocus(m_canvas->m_hWnd);  // the focus never stays on a dead button
    EnableWindow(b, on);
  };
  enable(AFX_ID_PREVIEW_NEXT, page + static_cast<UINT>(PagesShown()) - 1 < last);
  enable(AFX_ID_PREVIEW_PREV, page > 1);
  enable(AFX_ID_PREVIEW_NUMPAGE, m_zoom == 0);
  enable(AFX_ID_PREVIEW_ZOOMIN, m_zoom + 1 < kZoomLevels);
  enable(AFX_ID_PREVIEW_ZOOMOUT, m_zoom > 0);
  ::SetWindowTextA(GetDlgItem(m_hWnd, AFX_ID_PREVIEW_NUMPAGE), m_pages == 1 ? "2 ページ(&T)" : "1 ページ(&O)");
  char label[64];
  if (PagesShown() == 2 && page < last)
    std::snprintf(label, sizeof label, "ページ %u - %u / %u", page, page + 1, last);
  else
    std::snprintf(label, sizeof label, "ページ %u / %u", page, last);
  ::SetWindowTextA(m_pageLabel, label);
}

SIZE CPrintPreviewWnd::SheetSize() const {
  RECT client{0, 0, 1, 1};
  if (m_canvas && m_canvas->m_hWnd) GetClientRect(m_canvas->m_hWnd, &client);
  const int n = m_zoom ? 1 : m_pages;
  // Whole pages: as high as the canvas, narrower when the pages would not fit side by side.
  LONG h = std::max<LONG>(1, client.bottom - 2 * kGap - kShadow);
  LONG w = MulDiv(h, m_paper.cx, m_paper.cy);
  const LONG room = (client.right - (n + 1) * kGap - n * kShadow) / n;
  if (w > room) {
    w = std::max<LONG>(1, room);
    h = MulDiv(w, m_paper.cy, m_paper.cx);
  }
  if (m_zoom == 0) return SIZE{w, h};
  // Zoomed: the printed size on this screen, and halfway to it.
  HDC screen = GetDC(nullptr);
  LONG full = MulDiv(m_paper.cx, GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(m_info->m_hAttribDC, LOGPIXELSX));
  ReleaseDC(nullptr, screen);
  full = std::max(full, w * 2);
  const LONG zw = m_zoom == 1 ? (w + full) / 2 : full;
  return SIZE{zw, MulDiv(zw, m_paper.cy, m_paper.cx)};
}

RECT CPrintPreviewWnd::SheetRect(int n) const {
  RECT client{0, 0, 1, 1};
  if (m_canvas && m_canvas->m_hWnd) GetClientRect(m_canvas->m_hWnd, &client);
  const SIZE s = SheetSize();
  const int count = PagesShown();
  const LONG total = count * s.cx + (count - 1) * (kGap + kShadow);
  LONG left = std::max<LONG>(kGap, (client.right - total) / 2) - m_scroll.x;
  LONG top = (m_zoom ? kGap : std::max<LONG>(kGap, (client.bottom - s.cy) / 2)) - m_scroll.y;
  left += n * (s.cx + kGap + kShadow);
  return RECT{left, top, left + s.cx, top + s.cy};
}

void CPrintPreviewWnd::SetScrollBars() {
  if (!m_canvas || !m_canvas->m_hWnd || m_settingScrollBars) return;
  m_settingScrollBars = true;  // a bar shown or hidden resizes the canvas, which comes back here
  HWND c = m_canvas->m_hWnd;
  RECT client;
  GetClientRect(c, &client);
  const SIZE s = SheetSize();
  // Whole pages need no bars; zoomed, the bars cover the sheet and the grey around it.
  const LONG contentW = m_zoom ? s.cx + 2 * kGap + kShadow : 0, contentH = m_zoom ? s.cy + 2 * kGap + kShadow : 0;
  m_scroll.x = std::max<LONG>(0, std::min<LONG>(m_scroll.x, contentW - client.right));
  m_scroll.y = std::max<LONG>(0, std::min<LONG>(m_scroll.y, contentH - client.bottom));
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  si.nMax = std::max<LONG>(0, contentW - 1);
  si.nPage = static_cast<UINT>(client.right);
  si.nPos = m_scroll.x;
  SetScrollInfo(c, SB_HORZ, &si, TRUE);
  si.nMax = std::max<LONG>(0, contentH - 1);
  si.nPage = static_cast<UINT>(client.bottom);
  si.nPos = m_scroll.y;
  SetScrollInfo(c, SB_VERT, &si, TRUE);
  m_settingScrollBars = false;
}

void CPrintPreviewWnd::Layout() {
  if (!m_canvas || !m_canvas->m_hWnd) return;
  SetScrollBars();
  InvalidateRect(m_canvas->m_hWnd, nullptr, FALSE);
}

void CPrintPreviewWnd::Scroll(int bar, int code) {
  if (!m_zoom || !m_canvas) return;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(m_canvas->m_hWnd, bar, &si);
  LONG& pos = bar == SB_VERT ? m_scroll.y : m_scroll.x;
  const LONG line = 32, page = static_cast<LONG>(si.nPage);
  switch (code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  Layout();
}

void CPrintPreviewWnd::PaintCanvas(HDC dc, const RECT& client) {
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  FillRect(dc, &client, grey);
  DeleteObject(grey);
  if (!m_info || !m_view) return;
  const UINT first = m_info->m_nCurPage;
  for (int i = 0; i < PagesShown(); ++i) {
    const UINT page = first + static_cast<UINT>(i);
    if (page > std::max(1u, PageCount())) break;
    DrawPage(dc, page, SheetRect(i));
  }
  m_info->m_nCurPage = first;
}

void CPrintPreviewWnd::DrawPage(HDC dc, UINT page, const RECT& sheet) {
  RECT shadow = sheet;
  OffsetRect(&shadow, kShadow, kShadow);
  FillRect(dc, &shadow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FrameRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
  // Printer units onto the sheet; logical (0, 0) is where the printable area starts.
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, m_paper.cx, m_paper.cy, nullptr);
  SetViewportExtEx(dc, sheet.right - sheet.left, sheet.bottom - sheet.top, nullptr);
  SetViewportOrgEx(dc, sheet.left, sheet.top, nullptr);
  SetWindowOrgEx(dc, -m_printable.x, -m_printable.y, nullptr);
  if (m_pageFont) SelectObject(dc, m_pageFont);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  m_info->m_nCurPage = page;
  m_view->OnPrepareDC(dc, m_info);
  if (m_info->m_bContinuePrinting) {
    m_info->m_rectDraw = m_info->PageRect();
    m_view->OnPrint(dc, m_info);
  }
  RestoreDC(dc, saved);
}

BOOL CPrintPreviewWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  if (m_accel && TranslateAcceleratorA(m_hWnd, m_accel, msg)) return TRUE;
  if (IsDialogMessageA(m_hWnd, msg)) return TRUE;
  // Keys of the preview never reach the waiting main window's accelerators.
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

LRESULT CPrintPreviewWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnPreviewCommand(LOWORD(wp));
      return 0;
    case WM_SIZE:
      if (m_canvas && m_canvas->m_hWnd)
        MoveWindow(m_canvas->m_hWnd, 0, kStripHeight, LOWORD(lp), std::max(1, HIWORD(lp) - kStripHeight), TRUE);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      EndRun(true);
      m_waiting.reset();
      break;
  }
  return CWnd::WindowProc(msg, wp, lp);
}
