// The script view's printing: no horizontal scrolling while a print or preview
// runs, and each page framed by margins, the path header with its rule and
// the page-number footer with its rule around the edit view's body.
#include <cstdio>
#include <string>
#include "platform/framework/doc.h"
#include "platform/framework/print.h"
#include "platform/framework/print_layout.h"
#include "views/myview.h"

namespace {

const DWORD kScrollStyles = WS_HSCROLL | ES_AUTOHSCROLL;

// The height of the font the printer's context has when a page starts (its
// own default font; the view's font is selected only for the body).
int PageTextHeight(CPrintInfo* info) {
  TEXTMETRICW tm{};
  GetTextMetricsW(info->m_hAttribDC, &tm);
  return tm.tmHeight;
}

printlayout::Box ToBox(const RECT& r) { return printlayout::Box{r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const printlayout::Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

// The document's full path, or its title when it has none.
std::string HeaderText(CDocument* doc) {
  if (!doc) return std::string();
  return doc->GetPathName().empty() ? doc->GetTitle() : doc->GetPathName();
}

void Rule(HDC dc, int left, int right, int y) {
  MoveToEx(dc, left, y, nullptr);
  LineTo(dc, right, y);
}

void SetScrollStyles(HWND hwnd, DWORD remove, DWORD add) {
  const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>((static_cast<DWORD>(style) & ~remove) | add));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

BOOL CMyView::OnPreparePrinting(CPrintInfo* info) {
  if (!m_printStylesOff) {
    m_printStyles = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)) & kScrollStyles;
    m_printStylesOff = true;
    SetScrollStyles(m_hWnd, kScrollStyles, 0);
  }
  if (!CColorEditView::OnPreparePrinting(info)) return FALSE;  // the run's end gives the styles back
  if (info->m_bPreview) {
    // All pages at once, under the wait cursor; the preview opens at the
    // page that holds the start of the selection.
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    PaginateTo(CPrintInfo::kUnknownLastPage, info);
    int s = 0, e = 0;
    GetSel(s, e);
    info->m_nCurPage = PageOfIndex(s);
    info->SetMaxPage(PageOfIndex(GetTextLength()));
    SetCursor(old);
  }
  return TRUE;
}

void CMyView::OnEndPrinting(HDC dc, CPrintInfo* info) {
  if (m_printStylesOff && m_hWnd && IsWindow(m_hWnd)) SetScrollStyles(m_hWnd, 0, m_printStyles);
  m_printStylesOff = false;
  CColorEditView::OnEndPrinting(dc, info);
}

RECT CMyView::GetPrintBodyRect(CPrintInfo* info) {
  const bool header = !HeaderText(GetDocument()).empty();
  return ToRect(printlayout::FramePage(ToBox(info->PageRect()), PageTextHeight(info), header).body);
}

void CMyView::OnPrint(HDC dc, CPrintInfo* info) {
  const RECT& r = info->m_rectDraw;
  const int saved = SaveDC(dc);
  const bool visible = IntersectClipRect(dc, r.left, r.top, r.right, r.bottom) != NULLREGION;
  const std::string header = HeaderText(GetDocument());
  char footer[32];
  std::snprintf(footer, sizeof footer, "- %lu -", static_cast<unsigned long>(info->m_nCurPage));
  const printlayout::PageFrame f = printlayout::FramePage(ToBox(r), PageTextHeight(info), !header.empty());
  const int left = f.inner.left, right = f.inner.right;
  SetBkMode(dc, TRANSPARENT);
  if (visible && !header.empty()) {
    RECT box = ToRect(f.header);
    AfxDrawTextCp932(dc, header.c_str(), &box, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    Rule(dc, left, right, f.headerRule);
  }
  PrintPageBody(dc, info, ToRect(f.body));
  if (visible) {
    Rule(dc, left, right, f.footerRule);
    RECT box = ToRect(f.footer);
    AfxDrawTextCp932(dc, footer, &box, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
  }
  RestoreDC(dc, saved);
}
