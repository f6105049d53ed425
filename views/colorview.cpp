// The colouring view: the colour pass over a rectangle, the line passes, and the
// change, key and paint handling that decides what is repainted.
#include "views/colorview.h"

#include <algorithm>
#include "document/mydoc.h"
#include "platform/cp932_wide.h"

BEGIN_MESSAGE_MAP(CColorEditView, CMyEditView)
  ON_MESSAGE(WM_REFLECT_BASE + WM_CTLCOLOREDIT, OnCtlColor)
  ON_MESSAGE(WM_PAINT, OnPaint)
  ON_CONTROL_REFLECT(EN_CHANGE, OnColorChange)
  ON_MESSAGE(WM_CHAR, OnChar)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_MESSAGE(WM_SETREDRAW, OnSetRedraw)
END_MESSAGE_MAP(CMyEditView)

namespace {

bool Intersect(RECT& out, const RECT& a, const RECT& b) { return IntersectRect(&out, &a, &b) != FALSE; }
}  // namespace

CColorEditView::CColorEditView(ViewServices services) : CMyEditView(std::move(services)), m_lineStates(1, 0) {
  m_drawn = m_colors;
  m_backBrush = CreateSolidBrush(m_drawn.background);
}

CColorEditView::~CColorEditView() {
  if (m_backBrush) DeleteObject(m_backBrush);
}

COLORREF CColorEditView::RoleColor(syntax::Role role) const {
  switch (role) {
    case syntax::kKeyword: return m_drawn.keyword;
    case syntax::kString: return m_drawn.string;
    case syntax::kComment: return m_drawn.comment;
    default: return m_drawn.text;
  }
}

void CColorEditView::SetColors(const EditorColors& colors) {
  m_colors = colors;
  m_drawn = DrawableColors(colors, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
  if (m_backBrush) DeleteObject(m_backBrush);
  m_backBrush = CreateSolidBrush(m_drawn.background);
  if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CColorEditView::ApplyViewSettings(const ViewSettings& settings, int hint) {
  CMyEditView::ApplyViewSettings(settings, hint);
  m_optionsLanguage = settings.stress;
  if (GetDocument()) m_syntaxMode = syntax::LanguageOfPath(GetDocument()->GetPathName(), m_optionsLanguage);
  SetColors(settings.colors);
}

void CColorEditView::OnUpdate(CView* sender, LPARAM hint, void* hintObject) {
  if (hint != CMyDoc::kHintPathName) return CMyEditView::OnUpdate(sender, hint, hintObject);
  const int language = syntax::LanguageOfPath(GetDocument() ? GetDocument()->GetPathName() : std::string(), m_optionsLanguage);
  if (language == m_syntaxMode) return;
  m_syntaxMode = language;
  if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CColorEditView::UpdateStates(int line) {
  if (m_syntaxMode != m_lexedLanguage) {
    // States made by one language mean nothing to the other (a JScript block
    // comment would silence every VBScript line below it).
    m_knownStates = 0;
    m_lexedLanguage = m_syntaxMode;
  }
  if (m_syntaxMode != syntax::kJScript && m_syntaxMode != syntax::kVBScript) return false;
  const int lineCount = Reader().LineCount();
  m_lineStates.resize(static_cast<size_t>(lineCount) + 1, 0);
  m_knownStates = std::min(m_knownStates, lineCount);
  line = std::min(line, lineCount);
  while (m_knownStates < line) LexStoredLine(m_knownStates);
  return true;
}

bool CColorEditView::LexStoredLine(int k) {
  const size_t next = static_cast<size_t>(k) + 1;
  const rv::textctl::TextReader& text = Reader();
  const int length = k < text.LineCount() ? text.LineEnd(k) - text.LineStart(k) : 0;
  m_runs.clear();
  if (length <= 0) {
    m_lineStates[next] = m_lineStates[next - 1];
  } else {
    text.LineSpans(k).CopyTo(m_lineBuffer);  // the lexer blanks control bytes in its copy
    m_lineStates[next] = syntax::LexLine(m_syntaxMode, &m_lineBuffer[0], length, m_lineStates[next - 1], m_runs);
  }
  m_knownStates = std::max(m_knownStates, k + 1);
  return length > 0;
}

unsigned CColorEditView::LineState(int line) {
  if (line < 0 || !m_hWnd || !UpdateStates(line)) return 0;
  return m_lineStates[static_cast<size_t>(std::min(line, m_knownStates))];
}

void CColorEditView::GetPrintColors(size_t begin, size_t end, std::vector<PrintColor>& runs) {
  const rv::textctl::TextReader& text = Reader();
  const int line = text.LineFromPos(static_cast<int>(begin));
  if (line != m_printedLine || m_syntaxMode != m_printedLanguage) {
    m_printedLine = -1;
    if (!UpdateStates(line)) return;
    LexStoredLine(line);
    m_printedRuns.swap(m_runs);
    m_printedLine = line;
    m_printedLanguage = m_syntaxMode;
  }
  const size_t start = static_cast<size_t>(text.LineStart(line));
  for (const syntax::Run& run : m_printedRuns) {
    const size_t from = start + static_cast<size_t>(run.start), to = from + static_cast<size_t>(run.length);
    if (run.role == syntax::kText || to <= begin || from >= end) continue;
    runs.push_back({std::max(from, begin), std::min(to, end), RoleColor(run.role)});
  }
}

// ---------------------------------------------------------------- colour pass

void CColorEditView::PaintSyntaxColors(const RECT* rect) {
  if (!m_hWnd || m_redrawOff) return;
  const rv::textctl::TextReader& text = Reader();
  const int lineCount = text.LineCount();
  const RECT format = GetRect();
  RECT clip = format;
  if (rect && !Intersect(clip, *rect, format)) return;

  m_pDC = GetDC(m_hWnd);
  HGDIOBJ oldFont = SelectObject(m_pDC, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : GetStockObject(SYSTEM_FONT));
  GetTextMetricsA(m_pDC, &m_tm);
  const int h = m_lineHeight = std::max<int>(1, static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT)));
  SetBkMode(m_pDC, TRANSPARENT);
  IntersectClipRect(m_pDC, clip.left, clip.top, clip.right, clip.bottom);

  // Selected text keeps the control's selection colours.
  int s = 0, e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  if (s < e) {
    const int ls = text.LineFromPos(s), n = text.LineFromPos(e) - ls;
    const POINT ps = PosFromChar(s), pe = PosFromChar(e);
    RECT parts[3];
    int count = 0;
    if (n == 0) {
      parts[count++] = {ps.x, ps.y, pe.x, pe.y + h};
    } else {
      parts[count++] = {ps.x, ps.y, format.right, ps.y + h};
      if (n >= 2) parts[count++] = {format.left, ps.y + h, format.right, pe.y};
      parts[count++] = {format.left, ps.y + n * h, pe.x, pe.y + h};
    }
    for (int i = 0; i < count; ++i) {
      RECT r;
      if (Intersect(r, parts[i], format)) ExcludeClipRect(m_pDC, r.left, r.top, r.right, r.bottom);
    }
  }

  // Lines from the clip's top to its bottom, by the control's 32-bit line numbers.
  const int top = GetFirstVisibleLine();
  const int first = std::max(0, top + static_cast<int>(clip.top - format.top) / h);
  const int last = std::min(lineCount - 1, top + static_cast<int>(clip.bottom - 1 - format.top) / h);
  const int caretLine = LineFromChar(-1);
  if (first <= last && UpdateStates(first))
    for (int k = first; k <= last; ++k) LinePass(k, caretLine, format);
  DrawErrorWave(first, last, caretLine, format);

  SelectObject(m_pDC, oldFont);
  ReleaseDC(m_hWnd, m_pDC);
  m_pDC = nullptr;
}

void CColorEditView::LinePass(int k, int caretLine, const RECT& format) {
  const int start = Reader().LineStart(k);
  if (!LexStoredLine(k)) return;
  const bool hidden = k == caretLine && HideCaret(m_hWnd);
  POINT origin = {0, 0};
  SendMessage(RVEM_POSFROMCHAR32, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(&origin));
  // Runs left of the window are lexed but neither measured nor drawn.
  POINT leftEdge = {format.left, origin.y};
  const int leftIndex = static_cast<int>(SendMessage(RVEM_CHARFROMPOS32, 0, reinterpret_cast<LPARAM>(&leftEdge))) - start - 2;
  const char* bytes = m_lineBuffer.data();
  int knownIndex = -1, knownX = 0;  // a line offset whose x is known
  auto widthOf = [&](int from, int count) {
    m_wide.resize(static_cast<size_t>(count));
    int n = cp932::ToWide(bytes + from, static_cast<size_t>(count), &m_wide[0], count);
    SIZE size = {0, 0};
    if (n > 0) GetTextExtentPoint32W(m_pDC, m_wide.data(), n, &size);
    return static_cast<int>(size.cx);
  };
  for (const syntax::Run& run : m_runs) {
    if (run.role == syntax::kText) continue;  // the control drew it already
    if (run.start + run.length <= leftIndex) continue;
    // x of the run: measured on from the last known point when no tab lies
    // between, otherwise the control's answer.
    if (knownIndex < 0 || std::find(bytes + knownIndex, bytes + run.start, '\t') != bytes + run.start) {
      POINT p = {0, 0};
      SendMessage(RVEM_POSFROMCHAR32, static_cast<WPARAM>(start + run.start), reinterpret_cast<LPARAM>(&p));
      knownX = p.x;
    } else {
      knownX += widthOf(knownIndex, run.start - knownIndex);
    }
    knownIndex = run.start;
    if (knownX > format.right) break;
    m_wide.resize(static_cast<size_t>(run.length));
    int n = cp932::ToWide(bytes + run.start, static_cast<size_t>(run.length), &m_wide[0], run.length);
    if (n <= 0) continue;
    SetTextColor(m_pDC, RoleColor(run.role));
    ExtTextOutW(m_pDC, knownX, origin.y, 0, nullptr, m_wide.data(), static_cast<UINT>(n), nullptr);
    m_blankGlyphs.FillRun(m_pDC, knownX, origin.y, m_wide.data(), static_cast<size_t>(n), nullptr, m_lineHeight,
                          RoleColor(run.role));
    SIZE size = {0, 0};
    GetTextExtentPoint32W(m_pDC, m_wide.data(), n, &size);
    knownX += size.cx;
    knownIndex = run.start + run.length;
  }
  if (hidden) ShowCaret(m_hWnd);
}

void CColorEditView::DrawErrorWave(int first, int last, int caretLine, const RECT& format) {
  if (m_errorLine < first || m_errorLine > last) return;
  const rv::textctl::TextReader& text = Reader();
  const POINT from = PosFromChar(m_errorIndex), to = PosFromChar(text.LineEnd(m_errorLine));
  const int right = std::max<int>(to.x, from.x + std::max<int>(m_tm.tmAveCharWidth, 4));
  const int bottom = from.y + m_lineHeight - 1;
  if (right <= format.left || from.x >= format.right) return;
  // A zigzag of 2-pixel steps, its points on the line's last two pixel rows.
  POINT points[1024];
  int n = 0;
  const int end = std::min<int>(right, format.right + 2);
  for (int x = std::max<int>(from.x, format.left - 2); x <= end && n < 1024; x += 2, ++n)
    points[n] = {x, bottom - ((x - from.x) / 2 % 2) * 2};
  const bool hidden = m_errorLine == caretLine && HideCaret(m_hWnd);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(m_pDC, pen);
  Polyline(m_pDC, points, n);
  SelectObject(m_pDC, old);
  DeleteObject(pen);
  if (hidden) ShowCaret(m_hWnd);
}

// ---------------------------------------------------------------- the syntax error

void CColorEditView::SetSyntaxError(int line, int column) {
  int index = -1;
  if (line >= 0 && m_hWnd && line < Reader().LineCount()) {
    const int start = Reader().LineStart(line);
    index = start + std::max(0, std::min(column, Reader().LineEnd(line) - start));
  }
  if (index == m_errorIndex) return;
  InvalidateLine(m_errorLine);
  PlaceSyntaxError(index);
  InvalidateLine(m_errorLine);
}

void CColorEditView::PlaceSyntaxError(int index) {
  m_errorIndex = index;
  const int line = index < 0 ? -1 : Reader().LineFromPos(index);
  if (line == m_errorLine) return;
  m_errorLine = line;
  OnSyntaxErrorLine(line);
}

void CColorEditView::InvalidateLine(int line) {
  if (line < 0 || !m_hWnd || m_redrawOff || line >= Reader().LineCount()) return;
  const RECT format = GetRect();
  const int h = std::max<int>(1, static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT)));
  const int y = PosFromChar(Reader().LineStart(line)).y;
  RECT row = {format.left, y, format.right, y + h};
  InvalidateRect(m_hWnd, &row, FALSE);
}

// ---------------------------------------------------------------- following the text

void CColorEditView::OnTextChange(HWND control, const RvTextChange& c) {
  CMyEditView::OnTextChange(control, c);
  // The state at the start of the changed line still holds; those below may not.
  m_knownStates = c.cause == RVCC_SETTEXT ? 0 : std::min(m_knownStates, Reader().LineFromPos(c.position));
  m_printedLine = -1;
  if (m_errorIndex < 0) return;
  if (c.cause == RVCC_SETTEXT) {
    PlaceSyntaxError(-1);
  } else if (c.position < m_errorIndex) {
    const bool textGone = c.position + c.removedLength > m_errorIndex;
    PlaceSyntaxError(textGone ? c.position : m_errorIndex + c.insertedLength - c.removedLength);
  }
}

LRESULT CColorEditView::OnCtlColor(WPARAM dc, LPARAM) {
  HDC hdc = reinterpret_cast<HDC>(dc);
  SetBkColor(hdc, m_drawn.background);
  SetTextColor(hdc, RoleColor(syntax::kText));
  return reinterpret_cast<LRESULT>(m_backBrush);
}

LRESULT CColorEditView::OnPaint(WPARAM, LPARAM) {
  RECT update = {0, 0, 0, 0};
  const BOOL any = GetUpdateRect(m_hWnd, &update, FALSE);
  const LRESULT result = Default();
  if (any && !IsRectEmpty(&update)) PaintSyntaxColors(&update);
  return result;
}

// A change not made by a typed key (paste, cut, undo, a drop, a macro, a
// replacement) repaints the whole view once, when the window next paints:
// many changes in a row cost one pass. While redraw is off nothing is asked;
// turning it on repaints everything.
void CColorEditView::OnColorChange() {
  OnEditChange();
  if (IsRectEmpty(&m_pendingRect) && !m_redrawOff) {
    RECT format = GetRect();
    InvalidateRect(m_hWnd, &format, FALSE);
  }
}

void CColorEditView::PaintKeyBand(bool toBottom) {
  const RECT format = GetRect();
  const int h = m_lineHeight = std::max<int>(1, static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT)));
  const int y = PosFromChar(LineIndex(-1)).y;
  RECT band = {format.left, toBottom ? y - h : y, format.right, toBottom ? format.bottom : y + h};
  if (!m_redrawOff) InvalidateRect(m_hWnd, &band, FALSE);
}

LRESULT CColorEditView::OnChar(WPARAM ch, LPARAM) {
  m_pendingRect = {0, 0, 1, 1};
  const LRESULT result = Default();
  if (m_hWnd) {
    // These join or split lines or open or close a block comment: the lines
    // below may change colour.
    PaintKeyBand(ch == 8 || ch == 13 || ch == '*' || ch == '/');
  }
  m_pendingRect = {0, 0, 0, 0};
  return result;
}

LRESULT CColorEditView::OnKeyDown(WPARAM key, LPARAM) {
  if (key != VK_DELETE) return Default();
  m_pendingRect = {0, 0, 1, 1};
  const LRESULT result = Default();
  if (m_hWnd) PaintKeyBand(true);
  m_pendingRect = {0, 0, 0, 0};
  return result;
}

LRESULT CColorEditView::OnSetRedraw(WPARAM on, LPARAM) {
  m_redrawOff = on == 0;
  return Default();
}
