// The line-number strip: painting, the current row, and line selection by mouse.
#include "views/gutter.h"

#include <windowsx.h>
#include <algorithm>
#include <cstdio>
#include "platform/textctl/text_control.h"

BEGIN_MESSAGE_MAP(CLineNumberWnd, CWnd)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_PAINT, OnPaint)
  ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
  ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
  ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
  ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
END_MESSAGE_MAP(CWnd)

namespace {

// An arrow pointing up and to the right (the standard arrow mirrored), hot
// spot at its top-right corner: black outline, white inside.
HCURSOR MakeLineCursor() {
  BYTE andMask[32 * 4], xorMask[32 * 4];
  std::fill(std::begin(andMask), std::end(andMask), 0xFF);
  std::fill(std::begin(xorMask), std::end(xorMask), 0x00);
  auto set = [&](int x, int y, bool white) {
    andMask[y * 4 + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    if (white) xorMask[y * 4 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
  };
  for (int y = 0; y < 12; ++y)  // the head: right edge upright, left edge the diagonal
    for (int i = 0; i <= y; ++i) set(31 - i, y, i > 0 && i < y && y < 11);
  for (int y = 8; y < 20; ++y)  // the tail, down and to the left
    for (int i = -1; i <= 1; ++i) set(31 - 4 - (y - 8) + i, y, i == 0 && y < 19);
  return CreateCursor(GetModuleHandleA(nullptr), 31, 0, 32, 32, andMask, xorMask);
}

}  // namespace

CLineNumberWnd::CLineNumberWnd() : m_cursor(MakeLineCursor()) {}

CLineNumberWnd::~CLineNumberWnd() {
  if (m_font) DeleteObject(m_font);
  if (m_cursor) DestroyCursor(m_cursor);
}

BOOL CLineNumberWnd::Create(int width, CWnd* parentView) {
  const char* cls = RegisterWndClass("RvLineNumbers", 0, nullptr, nullptr);
  m_width = m_createdWidth = width;
  return CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, width, 1, parentView->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)));
}

LRESULT CLineNumberWnd::OnCreate(WPARAM, LPARAM lp) {
  if (Default() == -1) return -1;
  // (The text control clips its children itself.)
  m_width = m_createdWidth = reinterpret_cast<const CREATESTRUCTA*>(lp)->cx;
  HDC dc = GetDC(m_hWnd);
  m_font = CreateFontA(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
  ReleaseDC(m_hWnd, dc);
  return 0;
}

LRESULT CLineNumberWnd::Control(UINT msg, WPARAM wp, LPARAM lp) const {
  return ::SendMessageA(::GetParent(m_hWnd), msg, wp, lp);
}

int CLineNumberWnd::RowHeight() const { return m_textMetrics.tmHeight > 0 ? m_textMetrics.tmHeight : 16; }

void CLineNumberWnd::FitWidth(int height) {
  HDC dc = GetDC(m_hWnd);
  HFONT controlFont = reinterpret_cast<HFONT>(Control(WM_GETFONT));
  HGDIOBJ old = SelectObject(dc, controlFont ? static_cast<HGDIOBJ>(controlFont) : GetStockObject(SYSTEM_FONT));
  GetTextMetricsA(dc, &m_textMetrics);
  const long last = std::max(Control(EM_GETLINECOUNT), Control(EM_GETFIRSTVISIBLELINE) + height / RowHeight() + 1);
  char widest[16];
  const int digits = std::snprintf(widest, sizeof widest, "%4ld", last);
  std::fill(widest, widest + digits, '8');
  SelectObject(dc, m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(SYSTEM_FONT));
  SIZE size = {0, 0}, one = {0, 0};
  GetTextExtentPoint32A(dc, widest, digits, &size);
  GetTextExtentPoint32A(dc, widest, 1, &one);
  SelectObject(dc, old);
  ReleaseDC(m_hWnd, dc);
  const int width = std::max<int>(m_createdWidth, size.cx + one.cx);
  if (width != m_width) {
    m_width = width;
    InvalidateRect(m_hWnd, nullptr, FALSE);
  }
  if (LOWORD(Control(EM_GETMARGINS)) != TextMargin()) Control(EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(TextMargin(), 0));
}

LRESULT CLineNumberWnd::OnPaint(WPARAM, LPARAM) {
  HWND parent = ::GetParent(m_hWnd);
  RECT client;
  GetClientRect(parent, &client);
  FitWidth(client.bottom);
  RECT own;
  GetClientRect(m_hWnd, &own);
  if (own.bottom != client.bottom || own.right != m_width)
    SetWindowPos(m_hWnd, nullptr, 0, 0, m_width, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);

  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hWnd, &ps);
  HGDIOBJ old = SelectObject(dc, m_font ? static_cast<HGDIOBJ>(m_font) : GetStockObject(SYSTEM_FONT));
  const int first = static_cast<int>(Control(EM_GETFIRSTVISIBLELINE));
  const int h = RowHeight();
  const int rows = static_cast<int>(client.bottom) / h + 1;
  RECT row = {0, 0, m_width, h};
  for (int k = 0; k < rows; ++k, OffsetRect(&row, 0, h)) {
    if (row.bottom <= ps.rcPaint.top || row.top >= ps.rcPaint.bottom) continue;
    const long line = first + k;
    char text[16];
    std::snprintf(text, sizeof text, "%4ld", line + 1);
    const bool current = line == m_currentLine;
    const bool error = line == m_errorLine;
    const COLORREF back = error ? RGB(255, 0, 0) : current ? RGB(0, 0, 255) : m_backColor;
    SetBkColor(dc, back);
    SetTextColor(dc, current || error ? RGB(255, 255, 255) : RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &row, brush);
    DeleteObject(brush);
    DrawTextA(dc, text, -1, &row, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, old);
  EndPaint(m_hWnd, &ps);
  m_paintedFirstLine = first;
  return 0;
}

void CLineNumberWnd::SetErrorLine(int line) {
  if (line == m_errorLine) return;
  m_errorLine = line;
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CLineNumberWnd::SetCurrentLine(int previousLine, int newLine) {
  m_currentLine = newLine;
  if (!m_hWnd) return;
  const int first = static_cast<int>(Control(EM_GETFIRSTVISIBLELINE));
  if (first != m_paintedFirstLine) {
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return;
  }
  const int h = RowHeight();
  for (int line : {previousLine, newLine}) {
    RECT r = {0, h * (line - first), m_width, h * (line - first + 1)};
    InvalidateRect(m_hWnd, &r, FALSE);
  }
}

LRESULT CLineNumberWnd::OnSetCursor(WPARAM, LPARAM lp) {
  if (LOWORD(lp) == HTCLIENT && m_cursor) {
    SetCursor(m_cursor);
    return TRUE;
  }
  return Default();
}

int CLineNumberWnd::LineAtY(int y) const {
  const int h = RowHeight();
  const int row = y >= 0 ? y / h : -((-y + h - 1) / h);
  const int last = std::max(0, static_cast<int>(Control(EM_GETLINECOUNT)) - 1);
  return std::clamp(m_paintedFirstLine + row, 0, last);
}

int CLineNumberWnd::LineEnd(int line) const {
  const int next = static_cast<int>(Control(EM_LINEINDEX, static_cast<WPARAM>(line + 1)));
  return next >= 0 ? next : static_cast<int>(Control(RVEM_GETTEXTLEN));
}

LRESULT CLineNumberWnd::OnLButtonDown(WPARAM, LPARAM lp) {
  m_anchorLine = LineAtY(GET_Y_LPARAM(lp));
  m_lastDragLine = m_anchorLine;  // a new press starts a new drag
  Control(EM_SETSEL, static_cast<WPARAM>(Control(EM_LINEINDEX, static_cast<WPARAM>(m_anchorLine))),
          LineEnd(m_anchorLine));
  Control(EM_SCROLLCARET);
  SetCapture(m_hWnd);
  return Default();
}

LRESULT CLineNumberWnd::OnMouseMove(WPARAM, LPARAM lp) {
  if (GetCapture() == m_hWnd) {
    const int line = LineAtY(GET_Y_LPARAM(lp));  // signed: above the strip counts upwards
    if (line != m_lastDragLine) {
      const int lineStart = static_cast<int>(Control(EM_LINEINDEX, static_cast<WPARAM>(line)));
      const int anchorStart = static_cast<int>(Control(EM_LINEINDEX, static_cast<WPARAM>(m_anchorLine)));
      if (line < m_anchorLine)
        Control(EM_SETSEL, static_cast<WPARAM>(LineEnd(m_anchorLine)), lineStart);  // caret at the top
      else
        Control(EM_SETSEL, static_cast<WPARAM>(anchorStart), LineEnd(line));
      Control(EM_SCROLLCARET);
      m_lastDragLine = line;
      InvalidateRect(m_hWnd, nullptr, FALSE);
    }
  }
  return Default();
}

LRESULT CLineNumberWnd::OnLButtonUp(WPARAM, LPARAM) {
  if (GetCapture() == m_hWnd) ReleaseCapture();
  return Default();
}
