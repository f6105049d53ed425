// The colouring view: the colour pass over a rectangle, the line passes, and the
// change, key and paint handling that decides what is repainted.
#include "views/colorview.h"

#include <algorithm>

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

CColorEditView::CColorEditView() : m_lineStates(1, 0) {
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
  SetColors(settings.colors);
}

unsigned CColorEditView::LineState(int line) const {
  return line >= 0 && static_cast<size_t>(line) < m_lineStates.size() ? m_lineStates[static_cast<size_t>(line)] : 0;
}

unsigned CColorEditView::StateAfterLine(int line) {
  const int start = LineIndex(line);
  if (start < 0 || (m_syntaxMode != syntax::kJScript && m_syntaxMode != syntax::kVBScript)) return 0;
  if (m_syntaxMode != m_lexedLanguage) return 0;  // the stored states are of the other language
  const int length = LineLength(start);
  if (length <= 0) return LineState(line);
  m_lineBuffer.assign(LockBuffer() + start, static_cast<size_t>(length));
  m_runs.clear();
  return syntax::LexLine(m_syntaxMode, &m_lineBuffer[0], length, LineState(line), m_runs);
}

// ---------------------------------------------------------------- colour pass

void CColorEditView::PaintSyntaxColors(const RECT* rect) {
  if (!m_hWnd || m_redrawOff) return;
  if (m_syntaxMode != m_lexedLanguage) {
    // States made by one language mean nothing to the other (a JScript block
    // comment would silence every VBScript line below it).
    m_lineStates.assign(1, 0);
    m_lexedLanguage = m_syntaxMode;
  }
  const int lineCount = GetLineCount();
  m_lineStates.resize(static_cast<size_t>(lineCount) + 1, 0);
  const RECT format = GetRect();
  RECT clip = format;
  if (rect && !Intersect(clip, *rect, format)) return;

  m_pDC = GetDC(m_hWnd);
  HGDIOBJ oldFont = SelectObject(m_pDC, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : GetStockObject(SYSTEM_FONT));
  GetTextMetricsA(m_pDC, &m_tm);
  const int h = std::max<int>(1, static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT)));
  SetBkMode(m_pDC, TRANSPARENT);
  IntersectClipRect(m_pDC, clip.left, clip.top, clip.right, clip.bottom);

  // Selected text keeps the control's selection colours.
  int s = 0, e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  if (s < e) {
    const int ls = LineFromChar(s), n = LineFromChar(e) - ls;
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
  for (int k = first; k <= last; ++k) LinePass(k, caretLine, format);

  SelectObject(m_pDC, oldFont);
  ReleaseDC(m_hWnd, m_pDC);
  m_pDC = nullptr;
}

void CColorEditView::LinePass(int k, int caretLine, const RECT& format) {
  const int start = LineIndex(k);
  if (start < 0) return;
  const size_t next = static_cast<size_t>(k) + 1;
  const int length = LineLength(start);
  if (length <= 0) {
    m_lineStates[next] = m_lineStates[next - 1];
    return;
  }
  const int language = m_syntaxMode;
  if (language != syntax::kJScript && language != syntax::kVBScript) return;
  m_lineBuffer.assign(LockBuffer() + start, static_cast<size_t>(length));
  m_runs.clear();
  m_lineStates[next] = syntax::LexLine(language, &m_lineBuffer[0], length, m_lineStates[next - 1], m_runs);

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
    int n = MultiByteToWideChar(932, 0, bytes + from, count, &m_wide[0], count);
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
    int n = MultiByteToWideChar(932, 0, bytes + run.start, run.length, &m_wide[0], run.length);
    if (n <= 0) continue;
    SetTextColor(m_pDC, RoleColor(run.role));
    ExtTextOutW(m_pDC, knownX, origin.y, 0, nullptr, m_wide.data(), static_cast<UINT>(n), nullptr);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(m_pDC, m_wide.data(), n, &size);
    knownX += size.cx;
    knownIndex = run.start + run.length;
  }
  if (hidden) ShowCaret(m_hWnd);
}

// ---------------------------------------------------------------- following the text

void CColorEditView::OnTextChange(HWND control, const RvTextChange& c) {
  CMyEditView::OnTextChange(control, c);
  if (c.cause == RVCC_SETTEXT) {
    m_lineStates.assign(1, 0);
    return;
  }
  // Lines inserted or removed below the changed line move the states of the
  // lines after them, so a jump down the text finds them where they belong.
  const int removed = static_cast<int>(std::count(c.removed, c.removed + c.removedLength, '\n'));
  const int inserted = static_cast<int>(std::count(c.inserted, c.inserted + c.insertedLength, '\n'));
  if (removed == inserted) return;
  const size_t after = static_cast<size_t>(LineFromChar(c.position)) + 1;
  if (after >= m_lineStates.size()) return;
  auto from = m_lineStates.begin() + static_cast<std::ptrdiff_t>(after);
  m_lineStates.erase(from, from + std::min<std::ptrdiff_t>(removed, m_lineStates.end() - from));
  m_lineStates.insert(m_lineStates.begin() + static_cast<std::ptrdiff_t>(after), static_cast<size_t>(inserted), 0u);
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
  const int h = std::max<int>(1, static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT)));
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
