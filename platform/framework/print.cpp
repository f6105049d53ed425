// Printing: the printer's context, the views' print run (the page loop of
// print.h), and the edit view's page body laid out by print_layout.
#include "platform/framework/print.h"

#include <cderr.h>
#include <winspool.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "platform/cp932_wide.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/editview.h"
#include "platform/framework/modal.h"
#include "platform/framework/preview.h"
#include "platform/framework/preview_ids.h"
#include "platform/framework/print_layout.h"
#include "platform/framework/resstr.h"

// ---------------------------------------------------------------- the printer

CPrintInfo::CPrintInfo() : m_pd{} { m_pd.lStructSize = sizeof m_pd; }

void CPrintInfo::PageRangeToDialog() {
  auto field = [](UINT page) { return static_cast<WORD>(std::min<UINT>(page, 0xFFFF)); };
  m_pd.nMinPage = field(m_nMinPage);
  m_pd.nMaxPage = field(m_nMaxPage);
  m_pd.nFromPage = field(m_nFromPage);
  m_pd.nToPage = field(m_nToPage);
}

void CPrintInfo::PageRangeFromDialog() {
  if (m_pd.Flags & PD_PAGENUMS) {
    m_nFromPage = m_pd.nFromPage;
    m_nToPage = m_pd.nToPage;
  } else {
    m_nFromPage = m_nMinPage;
    m_nToPage = m_nMaxPage;
  }
}

RECT CPrintInfo::PageRect() const {
  RECT r{0, 0, 0, 0};
  if (m_hAttribDC) {
    r.right = GetDeviceCaps(m_hAttribDC, HORZRES);
    r.bottom = GetDeviceCaps(m_hAttribDC, VERTRES);
  }
  return r;
}

HDC AfxCreatePrinterDC(CWinApp* app) {
  if (app && app->m_hDevNames) {
    auto* names = static_cast<DEVNAMES*>(GlobalLock(app->m_hDevNames));
    auto* mode = app->m_hDevMode ? static_cast<DEVMODEA*>(GlobalLock(app->m_hDevMode)) : nullptr;
    HDC dc = nullptr;
    if (names) {
      const char* base = reinterpret_cast<const char*>(names);
      dc = CreateDCA(base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset, mode);
    }
    if (mode) GlobalUnlock(app->m_hDevMode);
    GlobalUnlock(app->m_hDevNames);
    if (dc) return dc;
  }
  char name[512];
  DWORD size = sizeof name;
  if (!GetDefaultPrinterA(name, &size)) return nullptr;
  return CreateDCA(nullptr, name, nullptr, nullptr);
}

void AfxReportNoPrinter() { AfxMessageBox("プリンタがインストールされていません。", MB_OK | MB_ICONEXCLAMATION); }

bool AfxIsNoPrinterError(DWORD err) {
  return err == PDERR_NODEFAULTPRN || err == PDERR_PRINTERNOTFOUND || err == PDERR_NODEVICES;
}

// ---------------------------------------------------------------- the view's run

BOOL CView::OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }

void CView::OnPrepareDC(HDC, CPrintInfo* info) {
  // A view that does not know its pages prints one.
  if (info) info->m_bContinuePrinting = info->GetMaxPage() != CPrintInfo::kUnknownLastPage || info->m_nCurPage == 1;
}

BOOL CView::DoPreparePrinting(CPrintInfo* info) {
  CWinApp* app = AfxGetApp();
  if (info->m_bPreview || info->m_bDirect) {
    info->m_hAttribDC = AfxCreatePrinterDC(app);
    if (!info->m_hAttribDC) AfxReportNoPrinter();
    return info->m_hAttribDC != nullptr;
  }
  PRINTDLGA& pd = info->m_pd;
  pd.hwndOwner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
  pd.Flags |= PD_RETURNDC | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  if (app) {
    pd.hDevMode = app->m_hDevMode;
    pd.hDevNames = app->m_hDevNames;
  }
  info->PageRangeToDialog();
  const BOOL ok = AfxRunCommonDialog("print", &pd);
  if (app) app->TakePrinterHandles(pd.hDevMode, pd.hDevNames);
  if (!ok) {
    if (AfxIsNoPrinterError(CommDlgExtendedError())) AfxReportNoPrinter();
    return FALSE;
  }
  info->m_hAttribDC = pd.hDC ? pd.hDC : AfxCreatePrinterDC(app);
  pd.hDC = nullptr;
  if (!info->m_hAttribDC) AfxReportNoPrinter();
  info->PageRangeFromDialog();
  return info->m_hAttribDC != nullptr;
}

namespace {

// The "印刷中" window of the job under way: the document's name, the page
// being printed and a "キャンセル" button. The owner waits (disabled) while it
// shows. The job's abort procedure lets messages through between pages, so
// that the button can be pressed and the windows repaint.
class CPrintingWnd {
 public:
  CPrintingWnd(HWND owner, const std::string& document) : m_owner(owner) {
    s_current = this;
    m_hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(AFX_IDD_PRINTING), owner, DialogProc, 0);
    if (!m_hwnd) return;  // no window: the job runs without a way out, as it would have
    SetDlgItemTextA(m_hwnd, AFX_IDC_PRINT_DOCNAME, document.c_str());
    // The owner and any modeless window (Find, Replace) wait: the text must
    // not change between pages.
    m_others.reset(new OtherWindowsDisabled(m_hwnd));
    ShowWindow(m_hwnd, SW_SHOW);
    UpdateWindow(m_hwnd);
  }
  ~CPrintingWnd() {
    m_others.reset();  // before the window goes, so the owner is activated again
    if (m_hwnd) DestroyWindow(m_hwnd);
    s_current = nullptr;
  }
  CPrintingWnd(const CPrintingWnd&) = delete;
  CPrintingWnd& operator=(const CPrintingWnd&) = delete;

  // "ページ 104 / 715"; without the total when the view does not count its pages.
  void ShowPage(UINT page, UINT total) {
    if (!m_hwnd) return;
    char text[64];
    if (total == CPrintInfo::kUnknownLastPage) std::snprintf(text, sizeof text, "ページ %u", page);
    else std::snprintf(text, sizeof text, "ページ %u / %u", page, total);
    SetDlgItemTextA(m_hwnd, AFX_IDC_PRINT_PAGENUM, text);
  }
  // Lets pending messages through; true when the user has ended the job.
  bool Cancelled() { return !AbortProc(nullptr, 0); }

  // The job's abort procedure: FALSE ends the job.
  static BOOL CALLBACK AbortProc(HDC, int) {
    CPrintingWnd* w = s_current;
    MSG msg;
    while (w && !w->m_cancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {  // for the main loop, after the job has ended
        PostQuitMessage(static_cast<int>(msg.wParam));
        w->m_cancelled = true;
        break;
      }
      if (w->m_hwnd && IsDialogMessageA(w->m_hwnd, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    return !(w && w->m_cancelled);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL && s_current) {
      s_current->m_cancelled = true;
      EnableWindow(GetDlgItem(hwnd, IDCANCEL), FALSE);
      return TRUE;
    }
    return FALSE;
  }

  HWND m_hwnd = nullptr;
  HWND m_owner;
  std::unique_ptr<OtherWindowsDisabled> m_others;
  bool m_cancelled = false;
  static CPrintingWnd* s_current;  // one job at a time
};

CPrintingWnd* CPrintingWnd::s_current = nullptr;

// Where a job stopped that the user did not end: the step that failed and the
// system's error code right after it (0 when it gave none).
struct JobFailure {
  std::string step;
  DWORD error = 0;
};

// The message for a failed job: the step, then the system's reason.
std::string FailureText(const JobFailure& failure) {
  std::string text = "印刷できませんでした。\n" + failure.step + "に失敗しました。";
  if (failure.error != 0) {
    const std::string reason = SystemMessageText(failure.error);
    text += "\n" + (reason.empty() ? std::string("エラー") : reason) + " (" + std::to_string(failure.error) + ")";
  }
  return text;
}

// StartDoc, the pages, EndDoc, with the "印刷中" window up; AbortDoc when the
// user ends the job, or when a step fails or throws, so that no job is left
// open and no page follows. A failed step is named in `failure`.
PrintRunEnd PrintPages(CView* view, HDC dc, CPrintInfo& info, JobFailure& failure) {
  std::string title = view->GetDocument() ? view->GetDocument()->GetTitle() : std::string("Ruvelto");
  CWinApp* app = AfxGetApp();
  CPrintingWnd window(app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr, title);
  // A step that failed (of page `page` when not 0): the user's キャンセル,
  // which makes the step fail, or a failure.
  auto failed = [&](const char* step, UINT page = 0) {
    failure.error = GetLastError();
    failure.step = page ? "ページ " + std::to_string(page) + " の" + step : std::string(step);
    return window.Cancelled() ? PrintRunEnd::Cancelled : PrintRunEnd::Failed;
  };
  SetAbortProc(dc, &CPrintingWnd::AbortProc);
  DOCINFOA doc{};
  doc.cbSize = sizeof doc;
  doc.lpszDocName = title.c_str();
  SetLastError(0);
  if (StartDocA(dc, &doc) <= 0) return failed("印刷ジョブの開始 (StartDoc) ");
  try {
    for (UINT page = info.GetFromPage();; ++page) {
      info.m_nCurPage = page;
      view->OnPrepareDC(dc, &info);
      if (!info.m_bContinuePrinting) break;
      window.ShowPage(page, info.GetMaxPage());
      if (window.Cancelled()) {
        AbortDoc(dc);
        return PrintRunEnd::Cancelled;
      }
      SetLastError(0);
      if (StartPage(dc) <= 0) {
        const PrintRunEnd end = failed("開始 (StartPage) ", page);
        AbortDoc(dc);
        return end;
      }
      view->OnPrepareDC(dc, &info);  // a new page resets the context
      info.m_rectDraw = info.PageRect();
      view->OnPrint(dc, &info);
      SetLastError(0);
      if (EndPage(dc) <= 0) {
        const PrintRunEnd end = failed("終了 (EndPage) ", page);
        AbortDoc(dc);
        return end;
      }
      if (page == info.GetToPage()) break;
    }
  } catch (...) {
    AbortDoc(dc);
    throw;
  }
  SetLastError(0);
  if (EndDoc(dc) <= 0) return failed("印刷ジョブの終了 (EndDoc) ");
  return PrintRunEnd::Printed;
}

}  // namespace

PrintRunEnd CView::PrintToPrinter(bool direct) {
  CPrintInfo info;
  info.m_bDirect = direct;
  if (!OnPreparePrinting(&info) || !info.m_hAttribDC) {
    OnEndPrinting(nullptr, &info);
    if (info.m_hAttribDC) DeleteDC(info.m_hAttribDC);
    // Without the dialog only a missing printer (reported) stops it here.
    return direct ? PrintRunEnd::Failed : PrintRunEnd::Cancelled;
  }
  HDC dc = info.m_hAttribDC;
  PrintRunEnd end = PrintRunEnd::Failed;
  JobFailure failure;
  try {
    OnBeginPrinting(dc, &info);
    end = PrintPages(this, dc, info, failure);
  } catch (...) {
    OnEndPrinting(dc, &info);
    DeleteDC(dc);
    throw;
  }
  OnEndPrinting(dc, &info);
  DeleteDC(dc);
  if (end == PrintRunEnd::Failed) AfxMessageBox(FailureText(failure).c_str(), MB_OK | MB_ICONEXCLAMATION);
  return end;
}

void CView::OnFilePrint() { PrintToPrinter(false); }
void CView::OnFilePrintDirect() { PrintToPrinter(true); }

void CView::OnFilePrintPreview() {
  if (CPrintPreviewWnd* open = CPrintPreviewWnd::Active()) open->Close();  // one run at a time
  auto* info = new CPrintInfo;
  info->m_bPreview = TRUE;
  if (!OnPreparePrinting(info) || !info->m_hAttribDC) {
    OnEndPrinting(nullptr, info);
    if (info->m_hAttribDC) DeleteDC(info->m_hAttribDC);
    delete info;
    return;
  }
  CPrintPreviewWnd::Open(this, info);  // takes the record; ends the run when it closes
}

// ---------------------------------------------------------------- the edit view's pages

// The printer font and what is known of its characters, and the pages.
struct CEditView::PrintState {
  HFONT font = nullptr;  // the view's font scaled to the printer; null: the printer's own
  HDC attrib = nullptr;
  int lineHeight = 1;
  int tabWidth = 1;
  RECT body{0, 0, 0, 0};   // the body the pages were laid out for
  printlayout::BodyMetrics metrics;
  printlayout::Pagination pages;
  std::vector<int> widths = std::vector<int>(0x10000, -1);  // by character code; -1: not measured
  std::vector<wchar_t> wide = std::vector<wchar_t>(0x10000, 0);

  ~PrintState() {
    if (font) DeleteObject(font);
  }
  // Code page 932 character code to its UTF-16 character, measured once.
  void Learn(unsigned code) {
    char bytes[2];
    int n = 0;
    if (code > 0xFF) bytes[n++] = static_cast<char>(code >> 8);
    bytes[n++] = static_cast<char>(code & 0xFF);
    wchar_t w = L'?';
    cp932::ToWide(bytes, static_cast<size_t>(n), &w, 1);
    wide[code] = w;
    SIZE size{0, 0};
    GetTextExtentPoint32W(attrib, &w, 1, &size);
    widths[code] = size.cx;
  }
  int Width(unsigned code) {
    if (widths[code] < 0) Learn(code);
    return widths[code];
  }
};

namespace {

// Selects a font for the life of the object (none when null).
class FontIn {
 public:
  FontIn(HDC dc, HFONT font) : m_dc(dc), m_old(font ? SelectObject(dc, font) : nullptr) {}
  ~FontIn() {
    if (m_old) SelectObject(m_dc, m_old);
  }
  FontIn(const FontIn&) = delete;
  FontIn& operator=(const FontIn&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// The text laid out a printed line at a time, read in place as three pieces cut
// at line starts: the lines before the gap of the text's buffer, the one line
// the gap falls in (copied when it straddles the gap) and the lines after it. A
// printed line never leaves its text line, so it lies in one piece; bytes are
// asked by text offset, inside the text line of the last printed line.
class PrintedLines {
 public:
  PrintedLines(const rv::textctl::TextReader& text, const printlayout::BodyMetrics& metrics,
               const printlayout::CharWidthFn& width)
      : m_metrics(metrics), m_width(width) {
    const rv::textctl::TextSpans all = text.AllSpans();
    const int gapLine = text.LineFromPos(all.length1);
    const int a = text.LineStart(gapLine), b = text.LineStart(gapLine + 1);
    m_pieces[0] = {all.part1, 0, static_cast<size_t>(a)};
    m_pieces[1] = {text.Spans(a, b - a).Contiguous(m_scratch), static_cast<size_t>(a), static_cast<size_t>(b - a)};
    m_pieces[2] = {all.part2 + (b - all.length1), static_cast<size_t>(b), static_cast<size_t>(text.Length() - b)};
  }

  // The printed line that starts at pos (pos < the text's length).
  printlayout::Line At(size_t pos) {
    m_at = &m_pieces[pos < m_pieces[1].base ? 0 : pos < m_pieces[2].base ? 1 : 2];
    printlayout::Line line = printlayout::NextLine(m_at->bytes, m_at->length, pos - m_at->base, m_metrics, m_width);
    line.begin += m_at->base;
    line.end += m_at->base;
    line.next += m_at->base;
    return line;
  }
  char ByteAt(size_t i) const { return m_at->bytes[i - m_at->base]; }
  unsigned CharCode(size_t i, size_t* length) const {
    return printlayout::CharCode(m_at->bytes, i - m_at->base, m_at->length, length);
  }

 private:
  struct Piece {
    const char* bytes;
    size_t base, length;
  };
  const printlayout::BodyMetrics& m_metrics;
  const printlayout::CharWidthFn& m_width;
  std::string m_scratch;
  Piece m_pieces[3];
  const Piece* m_at = &m_pieces[0];  // the piece of the last printed line
};

}  // namespace

CEditView::~CEditView() { delete m_pPrint; }

void CEditView::OnBeginPrinting(HDC, CPrintInfo* info) {
  if (m_pPrint || !info->m_hAttribDC) return;
  m_pPrint = new PrintState;
  PrintState& p = *m_pPrint;
  p.attrib = info->m_hAttribDC;
  // The view's font from the screen's resolution to the printer's.
  if (HFONT screenFont = GetFont()) {
    LOGFONTA lf{};
    GetObjectA(screenFont, sizeof lf, &lf);
    HDC screen = GetDC(nullptr);
    lf.lfHeight = MulDiv(lf.lfHeight, GetDeviceCaps(p.attrib, LOGPIXELSY), GetDeviceCaps(screen, LOGPIXELSY));
    lf.lfWidth = MulDiv(lf.lfWidth, GetDeviceCaps(p.attrib, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    p.font = CreateFontIndirectA(&lf);
  }
  FontIn in(p.attrib, p.font);
  TEXTMETRICW tm{};
  GetTextMetricsW(p.attrib, &tm);
  p.lineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
  // The control's rule: a dialog unit is a quarter of the average character width.
  p.tabWidth = std::max<int>(1, m_nTabStops * tm.tmAveCharWidth / 4);
  // A print to the printer counts its pages first, for the "印刷中" window.
  if (!info->m_bPreview && info->GetMaxPage() == CPrintInfo::kUnknownLastPage) {
    PaginateTo(CPrintInfo::kUnknownLastPage, info);
    info->SetMaxPage(PageOfIndex(GetTextLength()));
  }
}

void CEditView::OnEndPrinting(HDC, CPrintInfo*) {
  delete m_pPrint;
  m_pPrint = nullptr;
}

RECT CEditView::GetPrintBodyRect(CPrintInfo* info) { return info->PageRect(); }

bool CEditView::PaginateTo(UINT page, CPrintInfo* info) {
  if (!m_pPrint) OnBeginPrinting(info->m_hAttribDC, info);
  if (!m_pPrint) return false;
  PrintState& p = *m_pPrint;
  RECT body = GetPrintBodyRect(info);
  if (!EqualRect(&body, &p.body)) {  // a new body: the pages laid out so far no longer hold
    p.body = body;
    p.metrics.width = std::max<int>(1, body.right - body.left);
    p.metrics.tabWidth = p.tabWidth;
    p.metrics.linesPerPage = std::max<int>(1, (body.bottom - body.top) / p.lineHeight);
    p.pages.Reset();
  }
  FontIn in(p.attrib, p.font);
  const rv::textctl::TextReader& text = Reader();
  const printlayout::CharWidthFn width = [&p](unsigned code) { return p.Width(code); };
  PrintedLines lines(text, p.metrics, width);
  return p.pages.PaginateTo(page, static_cast<size_t>(text.Length()), p.metrics.linesPerPage,
                            [&lines](size_t pos) { return lines.At(pos).next; });
}

UINT CEditView::PageOfIndex(int index) const {
  return m_pPrint ? m_pPrint->pages.PageOf(static_cast<size_t>(std::max(0, index))) : 1;
}

void CEditView::OnPrepareDC(HDC dc, CPrintInfo* info) {
  if (!info) return;
  info->m_bContinuePrinting = PaginateTo(info->m_nCurPage, info);
}

void CEditView::OnPrint(HDC dc, CPrintInfo* info) { PrintPageBody(dc, info, GetPrintBodyRect(info)); }

void CEditView::PrintPageBody(HDC dc, CPrintInfo* info, const RECT& body) {
  if (!PaginateTo(info->m_nCurPage, info)) return;
  PrintState& p = *m_pPrint;
  const rv::textctl::TextReader& text = Reader();
  const size_t n = static_cast<size_t>(text.Length());
  const printlayout::CharWidthFn width = [&p](unsigned c) { return p.Width(c); };
  PrintedLines lines(text, p.metrics, width);
  FontIn measure(p.attrib, p.font);
  FontIn draw(dc, dc != p.attrib ? p.font : nullptr);  // a printer context has it already
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  std::vector<wchar_t> run;
  std::vector<INT> dx;
  std::vector<PrintColor> colors;
  const COLORREF textColor = GetTextColor(dc);
  const bool inColour = !AfxGetApp() || AfxGetApp()->m_bPrintColor;  // File > カラー印刷
  size_t pos = p.pages.PageStart(info->m_nCurPage);
  int y = body.top;
  for (int row = 0; row < p.metrics.linesPerPage && pos < n; ++row, y += p.lineHeight) {
    const printlayout::Line line = lines.At(pos);
    // Runs between tabs, each at its x with the widths it was laid out with.
    int x = 0, runX = 0;
    auto flush = [&] {
      if (!run.empty()) ExtTextOutW(dc, body.left + runX, y, 0, nullptr, run.data(), static_cast<UINT>(run.size()), dx.data());
      run.clear();
      dx.clear();
    };
    colors.clear();
    if (inColour) GetPrintColors(line.begin, line.end, colors);
    size_t next = 0;  // the first colour run not yet passed
    COLORREF color = textColor;
    for (size_t i = line.begin; i < line.end;) {
      while (next < colors.size() && colors[next].end <= i) ++next;
      const COLORREF want = next < colors.size() && colors[next].begin <= i ? colors[next].color : textColor;
      if (want != color) {
        flush();
        runX = x;
        SetTextColor(dc, color = want);
      }
      if (lines.ByteAt(i) == '\t') {
        flush();
        x = printlayout::NextTabStop(x, p.metrics.tabWidth);
        runX = x;
        ++i;
        continue;
      }
      size_t len = 1;
      const unsigned code = lines.CharCode(i, &len);
      const int w = p.Width(code);
      run.push_back(p.wide[code]);
      dx.push_back(w);
      x += w;
      i += len;
    }
    flush();
    SetTextColor(dc, textColor);
    pos = line.next;
  }
  SetTextAlign(dc, oldAlign);
  SetBkMode(dc, oldMode);
}

int AfxDrawTextCp932(HDC dc, const char* text, RECT* rect, UINT format) {
  const std::wstring wide = cp932::ToWide(text, text ? strlen(text) : 0);
  if (wide.empty()) return 0;
  return DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), rect, format);
}

HFONT AfxCreatePrinterFont(HDC printer) {
  TEXTMETRICW tm{};
  GetTextMetricsW(printer, &tm);
  LOGFONTW lf{};
  lf.lfHeight = tm.tmHeight;
  lf.lfWeight = tm.tmWeight;
  lf.lfItalic = tm.tmItalic;
  lf.lfCharSet = tm.tmCharSet;
  lf.lfPitchAndFamily = tm.tmPitchAndFamily;
  GetTextFaceW(printer, LF_FACESIZE, lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}
