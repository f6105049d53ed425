// The text control's window class: the window procedure with its EDIT-style
// messages, the editing gateway that notifies the parent, the clipboard and the
// IME hand-over. Layout and painting are in text_view.cpp, input in text_input.cpp.
#include "platform/textctl/text_control.h"

#include <algorithm>
#include <cstring>
#include "platform/cp932_wide.h"
#include "platform/textctl/text_control_impl.h"

#include <imm.h>

const char kTextControlClassName[] = "RvEdit";

namespace rv::textctl {

EditState* StateOf(HWND hwnd) { return reinterpret_cast<EditState*>(GetWindowLongPtrA(hwnd, 0)); }

bool Notify(EditState* s, int code) {
  HWND parent = GetParent(s->hwnd);
  if (parent) SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(s->hwnd), code), reinterpret_cast<LPARAM>(s->hwnd));
  return !s->destroyed;
}

namespace {

// The lines [first, last] of the text before or after a change, as invalidation needs.
void InvalidatePosRange(EditState* s, TextPos a, TextPos b) {
  if (a > b) std::swap(a, b);
  InvalidateLines(s, s->model.LineFromPos(a), s->model.LineFromPos(b));
}

}  // namespace

void SetSelection(EditState* s, TextPos anchor, TextPos caret) {
  const TextModel& m = s->model;
  anchor = std::clamp(anchor, 0, m.Length());
  caret = std::clamp(caret, 0, m.Length());
  // A selection never splits a character: it grows to whole characters.
  if (anchor <= caret) {
    anchor = m.BoundaryAtOrBefore(anchor);
    caret = m.BoundaryAtOrAfter(caret);
  } else {
    caret = m.BoundaryAtOrBefore(caret);
    anchor = m.BoundaryAtOrAfter(anchor);
  }
  if (anchor == caret) anchor = caret = m.BoundaryAtOrBefore(caret);
  if (anchor == s->anchor && caret == s->caret) return;
  TextPos oldStart = s->SelStart(), oldEnd = s->SelEnd();
  s->anchor = anchor;
  s->caret = caret;
  TextPos newStart = s->SelStart(), newEnd = s->SelEnd();
  // Repaint only what changed its selected state.
  if (oldStart == oldEnd && newStart == newEnd) {
    // caret moved, no selection either side
  } else if (oldStart == oldEnd || newStart == newEnd || newEnd <= oldStart || oldEnd <= newStart) {
    if (oldStart != oldEnd) InvalidatePosRange(s, oldStart, oldEnd);
    if (newStart != newEnd) InvalidatePosRange(s, newStart, newEnd);
  } else {
    if (oldStart != newStart) InvalidatePosRange(s, oldStart, newStart);
    if (oldEnd != newEnd) InvalidatePosRange(s, oldEnd, newEnd);
  }
  UpdateCaret(s);
}

namespace {

// Hands one change to the listener; an IME result's later characters are
// marked as continuing its first.
void Report(EditState* s, TextPos position, const std::string& removed, const char* text, int length, int cause,
            unsigned flags) {
  const bool imeResultChar = cause == RVCC_IME && s->imeResult;
  if (imeResultChar && s->imeChained) flags |= RVCF_CONTINUED;
  s->imeChained = imeResultChar;
  if (!s->listener) return;
  RvTextChange change{position, removed.data(), static_cast<int>(removed.size()), text, length, cause, flags};
  try {
    s->listener->OnTextChange(s->hwnd, change);
  } catch (...) {
    // The listener's failure is its own; the change has happened and is notified.
  }
}

}  // namespace

bool ReplaceRange(EditState* s, TextPos start, TextPos end, const char* text, int length, TextPos newCaret,
                  int cause) {
  TextModel& m = s->model;
  const unsigned flags = s->anchor != s->caret && start == s->SelStart() && end == s->SelEnd() ? RVCF_SELECTION : 0;
  std::string removed;
  if (s->listener) removed = m.Range(start, end - start);
  int linesBefore = m.LineCount();
  int firstLine = m.LineFromPos(start);
  m.Replace(start, end - start, text, length);  // changes nothing when it throws
  s->pendingLead = -1;
  s->anchor = s->caret = m.BoundaryAtOrAfter(newCaret);
  s->modified = true;
  int lastLine = m.LineFromPos(start + length);
  for (int line = firstLine; line <= lastLine && line - firstLine < 64; ++line) NoteLineWidth(s, LineWidth(s, line));
  InvalidateLines(s, firstLine, m.LineCount() != linesBefore ? -1 : lastLine);
  int maxTop = std::max(0, m.LineCount() - VisibleLines(s));
  if (s->topLine > maxTop) ScrollTo(s, maxTop, s->xOffset);
  UpdateScrollBars(s);
  UpdateCaret(s);
  Report(s, start, removed, text, length, cause, flags);
  return !s->destroyed && Notify(s, EN_UPDATE) && Notify(s, EN_CHANGE);
}

void ReplaceSelection(EditState* s, const char* text, int length, bool wholeOrNothing, int cause) {
  TextPos start = s->SelStart(), end = s->SelEnd();
  int64_t base = static_cast<int64_t>(s->model.Length()) - (end - start);
  int64_t cap = std::min<int64_t>(s->limit, 0x7FFFFFF0);
  if (base + length > cap) {
    if (!Notify(s, EN_MAXTEXT) || wholeOrNothing) return;
    int room = cap > base ? static_cast<int>(cap - base) : 0;
    // Keep only whole characters (and whole CR LF pairs) of the inserted text.
    int cut = 0;
    while (cut < room) {
      int step = static_cast<int>(cp932::CharLength(text, cut, length));
      if (step == 1 && text[cut] == '\r' && cut + 1 < length && text[cut + 1] == '\n') step = 2;
      if (cut + step > room) break;
      cut += step;
    }
    if (cut == 0 && start == end) return;
    length = cut;
  }
  if (ReplaceRange(s, start, end, text, length, start + length, cause)) ScrollCaretIntoView(s);
}

void ClearSelection(EditState* s, int cause) {
  if (s->ReadOnly() || s->anchor == s->caret) return;
  TextPos start = s->SelStart();
  if (ReplaceRange(s, start, s->SelEnd(), "", 0, start, cause)) ScrollCaretIntoView(s);
}

void CutSelection(EditState* s) {
  if (s->ReadOnly()) return;
  CopyToClipboard(s);
  ClearSelection(s, RVCC_CUT);
}

void CopyToClipboard(EditState* s) {
  TextPos start = s->SelStart(), end = s->SelEnd();
  if (start == end) return;
  if (!OpenClipboard(s->hwnd)) return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, end - start + 1);
  if (mem) {
    char* p = static_cast<char*>(GlobalLock(mem));
    int n = s->model.GetRange(start, end - start, p);
    p[n] = '\0';
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);
  }
  CloseClipboard();
}

namespace {

// The clipboard's text as CP932 bytes. CF_TEXT is taken when it was put there
// itself; when another program offered only CF_UNICODETEXT (the system then
// synthesises CF_TEXT, listed after the original), the Unicode text is converted
// with code page 932.
bool ReadClipboardText(HWND owner, std::string* out) {
  if (!OpenClipboard(owner)) return false;
  UINT first = 0;
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
    if (f == CF_TEXT || f == CF_UNICODETEXT) {
      first = f;
      break;
    }
  }
  bool ok = false;
  if (first == CF_UNICODETEXT) {
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      if (auto* w = static_cast<const wchar_t*>(GlobalLock(h))) {
        size_t cap = GlobalSize(h) / sizeof(wchar_t);
        int len = static_cast<int>(wcsnlen(w, cap));
        *out = cp932::FromWide(w, static_cast<size_t>(len));
        GlobalUnlock(h);
        ok = true;
      }
    }
  } else if (first == CF_TEXT) {
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
      if (auto* p = static_cast<const char*>(GlobalLock(h))) {
        out->assign(p, strnlen(p, GlobalSize(h)));
        GlobalUnlock(h);
        ok = true;
      }
    }
  }
  CloseClipboard();
  return ok;
}

}  // namespace

void PasteFromClipboard(EditState* s) {
  if (s->ReadOnly()) return;
  std::string text;
  if (!ReadClipboardText(s->hwnd, &text)) return;
  if (text.empty() && s->anchor == s->caret) return;
  ReplaceSelection(s, text.data(), static_cast<int>(text.size()), false, RVCC_PASTE);
}

namespace {

void SetText(EditState* s, const char* text) {
  if (!text) text = "";
  int length = static_cast<int>(strlen(text));
  std::string removed;
  if (s->listener) removed = s->model.Range(0, s->model.Length());
  s->model.SetText(text, length);  // changes nothing when it throws
  s->anchor = s->caret = 0;
  s->pendingLead = -1;
  s->modified = false;
  s->topLine = 0;
  s->xOffset = 0;
  s->desiredX = -1;
  // A cheap upper estimate of the widest line, in average character widths; the
  // measured extent grows as lines are painted or edited.
  int tabColumns = s->aveCharWidth > 0 ? std::max(1, s->tabStopsPx.back() / s->aveCharWidth) : 8;
  int widest = 0, columns = 0;
  for (int i = 0; i < length; ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      widest = std::max(widest, columns);
      columns = 0;
    } else {
      columns += c == '\t' ? tabColumns : 1;
    }
  }
  s->estimatedColumns = std::max(widest, columns);
  s->measuredExtent = 0;
  InvalidateAll(s);
  UpdateScrollBars(s);
  UpdateCaret(s);
  Report(s, 0, removed, text, length, RVCC_SETTEXT, 0);
}

LRESULT OnReplaceRange(EditState* s, const RvReplaceRange* r) {
  if (!r || r->start < 0 || r->start > r->end || r->end > s->model.Length() || r->length < 0 ||
      (r->length > 0 && !r->text))
    return FALSE;
  s->desiredX = -1;
  int caret = std::clamp(r->caret, 0, s->model.Length() - (r->end - r->start) + r->length);
  if (ReplaceRange(s, r->start, r->end, r->length ? r->text : "", r->length, caret, RVCC_REPLACERANGE))
    ScrollCaretIntoView(s);
  return TRUE;
}

LRESULT OnGetSel(EditState* s, WPARAM wp, LPARAM lp) {
  DWORD start = s->SelStart(), end = s->SelEnd();
  if (wp) *reinterpret_cast<DWORD*>(wp) = start;
  if (lp) *reinterpret_cast<DWORD*>(lp) = end;
  return (start > 0xFFFF || end > 0xFFFF) ? -1 : MAKELONG(start, end);
}

LRESULT OnSetSel(EditState* s, WPARAM wp, LPARAM lp) {
  UINT length = s->model.Length();
  UINT anchor = static_cast<UINT>(wp), caret = static_cast<UINT>(lp);
  if (static_cast<int>(anchor) == -1) {
    anchor = caret = s->caret;
  } else {
    anchor = std::min(anchor, length);
    caret = std::min(caret, length);
  }
  s->desiredX = -1;
  SetSelection(s, static_cast<TextPos>(anchor), static_cast<TextPos>(caret));
  return 0;
}

LRESULT OnLineLength(EditState* s, WPARAM wp) {
  const TextModel& m = s->model;
  int index = static_cast<int>(wp);
  if (index == -1) {
    int first = m.LineFromPos(s->SelStart()), last = m.LineFromPos(s->SelEnd());
    return (s->SelStart() - m.LineStart(first)) + (m.LineEnd(last) - s->SelEnd());
  }
  if (index < 0 || index > m.Length()) return 0;
  return m.LineLength(m.LineFromPos(index));
}

LRESULT OnGetLine(EditState* s, WPARAM wp, LPARAM lp) {
  const TextModel& m = s->model;
  int line = static_cast<int>(wp);
  char* buffer = reinterpret_cast<char*>(lp);
  if (!buffer || line < 0 || line >= m.LineCount()) return 0;
  int size = *reinterpret_cast<WORD*>(buffer);
  int n = m.GetRange(m.LineStart(line), std::min(m.LineLength(line), size), buffer);
  if (n < size) buffer[n] = '\0';
  return n;
}

LRESULT OnPosFromChar(EditState* s, WPARAM wp) {
  int index = static_cast<int>(wp);
  if (index < 0 || index >= s->model.Length()) return -1;
  POINT p = ClientPosOf(s, index);
  auto clamp16 = [](LONG v) { return static_cast<WORD>(static_cast<short>(std::clamp<LONG>(v, -32768, 32767))); };
  return MAKELONG(clamp16(p.x), clamp16(p.y));
}

LRESULT OnCharFromPos(EditState* s, LPARAM lp) {
  int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  RECT client;
  GetClientRect(s->hwnd, &client);
  if (x < client.left || x > client.right || y < client.top || y > client.bottom) return -1;
  int line = 0;
  TextPos pos = PosAtPoint(s, x, y, &line);
  return MAKELONG(static_cast<WORD>(pos), static_cast<WORD>(line));
}

LRESULT OnSetMargins(EditState* s, WPARAM wp, LPARAM lp) {
  if (wp == EC_USEFONTINFO) {
    int m = s->aveCharWidth / 4;
    if (wp & EC_LEFTMARGIN) s->leftMargin = m;
    if (wp & EC_RIGHTMARGIN) s->rightMargin = m;
  } else {
    if (wp & EC_LEFTMARGIN) s->leftMargin = LOWORD(lp);
    if (wp & EC_RIGHTMARGIN) s->rightMargin = HIWORD(lp);
  }
  RecalcFormatRect(s);
  InvalidateAll(s);
  UpdateScrollBars(s);
  UpdateCaret(s);
  return 0;
}

LRESULT OnSetRect(EditState* s, LPARAM lp, bool redraw) {
  if (lp) {
    RECT r = *reinterpret_cast<const RECT*>(lp);
    RECT client;
    GetClientRect(s->hwnd, &client);
    IntersectRect(&s->formatRect, &r, &client);
    if (s->formatRect.right <= s->formatRect.left) s->formatRect.right = s->formatRect.left + 1;
    if (s->formatRect.bottom <= s->formatRect.top) s->formatRect.bottom = s->formatRect.top + 1;
  } else {
    RecalcFormatRect(s);
  }
  if (redraw) InvalidateAll(s);
  UpdateScrollBars(s);
  UpdateCaret(s);
  return 0;
}

LRESULT OnSetTabStops(EditState* s, WPARAM wp, LPARAM lp) {
  s->tabStopsDu.clear();
  const int* stops = reinterpret_cast<const int*>(lp);
  for (WPARAM i = 0; stops && i < wp; ++i) s->tabStopsDu.push_back(stops[i]);
  RecalcTabStops(s);
  return TRUE;
}

LRESULT OnScroll(EditState* s, WPARAM wp) {
  int before = s->topLine;
  switch (wp) {
    case SB_LINEUP: case SB_LINEDOWN: case SB_PAGEUP: case SB_PAGEDOWN:
      OnVScroll(s, static_cast<int>(wp));
      return MAKELONG(static_cast<WORD>(s->topLine - before), TRUE);
    default:
      return FALSE;
  }
}

LRESULT HandleMessage(EditState* s, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TextModel& m = s->model;
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
      // Children (a line-number gutter in the margin) are never painted over.
      s->style = GetWindowLongA(hwnd, GWL_STYLE) | WS_CLIPCHILDREN;
      SetWindowLongA(hwnd, GWL_STYLE, s->style);
      RecalcFormatRect(s);
      if (cs->lpszName && *cs->lpszName) SetText(s, cs->lpszName);
      return 0;
    }
    case WM_PAINT: Paint(s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
      RecalcFormatRect(s);
      ScrollTo(s, s->topLine, s->xOffset);
      InvalidateAll(s);
      UpdateScrollBars(s);
      UpdateCaret(s);
      return 0;
    case WM_STYLECHANGED:
      if (wp == static_cast<WPARAM>(GWL_STYLE)) s->style = reinterpret_cast<STYLESTRUCT*>(lp)->styleNew;
      return 0;
    case WM_ENABLE: InvalidateAll(s); return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_SETFOCUS:
      s->focused = true;
      CreateCaret(hwnd, nullptr, 1, s->lineHeight);
      s->caretShown = false;
      UpdateCaret(s);
      PlaceComposition(s);
      if (!(s->style & ES_NOHIDESEL)) InvalidatePosRange(s, s->SelStart(), s->SelEnd());
      Notify(s, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      s->composing = false;
      s->caretShown = false;
      DestroyCaret();
      if (!(s->style & ES_NOHIDESEL)) InvalidatePosRange(s, s->SelStart(), s->SelEnd());
      Notify(s, EN_KILLFOCUS);
      return 0;
    case WM_SETFONT:
      ApplyFont(s, reinterpret_cast<HFONT>(wp));
      if (LOWORD(lp)) InvalidateAll(s);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_SETREDRAW:
      s->redraw = wp != 0;
      if (s->redraw) {
        InvalidateAll(s);
        UpdateScrollBars(s);
        UpdateCaret(s);
      }
      return 0;

    case WM_SETTEXT: SetText(s, reinterpret_cast<const char*>(lp)); return TRUE;
    case WM_GETTEXTLENGTH: return m.Length();
    case WM_GETTEXT: {
      int size = static_cast<int>(wp);
      char* out = reinterpret_cast<char*>(lp);
      if (!out || size <= 0) return 0;
      int n = std::min(m.Length(), size - 1);
      n = m.BoundaryAtOrBefore(n);
      m.GetRange(0, n, out);
      out[n] = '\0';
      return n;
    }
    case RVEM_GETTEXTPTR: return reinterpret_cast<LRESULT>(m.ContiguousText());
    case RVEM_GETTEXTLEN: return m.Length();
    case RVEM_GETTEXTPARTS: {
      auto* parts = reinterpret_cast<RvTextParts*>(lp);
      if (parts) m.Parts(parts->part1, parts->length1, parts->part2, parts->length2);
      return m.Length();
    }
    case RVEM_GETREADER: return reinterpret_cast<LRESULT>(static_cast<const rv::textctl::TextReader*>(&m));
    case RVEM_GETLINEHEIGHT: return s->lineHeight;
    case RVEM_GETCARET: return s->caret;
    case RVEM_CHARFROMPOS32: {
      const POINT* p = reinterpret_cast<const POINT*>(lp);
      if (!p) return -1;
      return PosAtPoint(s, p->x, p->y, nullptr);
    }
    case RVEM_POSFROMCHAR32: {
      if (POINT* p = reinterpret_cast<POINT*>(lp)) *p = ClientPosOf(s, static_cast<int>(wp));
      return TRUE;
    }

    case EM_GETSEL: return OnGetSel(s, wp, lp);
    case EM_SETSEL: return OnSetSel(s, wp, lp);
    case EM_REPLACESEL: {
      const char* text = lp ? reinterpret_cast<const char*>(lp) : "";
      int length = static_cast<int>(strlen(text));
      if (length == 0 && s->anchor == s->caret) {
        ScrollCaretIntoView(s);
        return 0;
      }
      ReplaceSelection(s, text, length, false, RVCC_REPLACESEL);
      return 0;
    }
    case RVEM_REPLACERANGE: return OnReplaceRange(s, reinterpret_cast<const RvReplaceRange*>(lp));
    case RVEM_SETCHANGELISTENER: {
      RvTextChangeListener* previous = s->listener;
      s->listener = reinterpret_cast<RvTextChangeListener*>(lp);
      return reinterpret_cast<LRESULT>(previous);
    }
    case EM_SCROLLCARET: ScrollCaretIntoView(s); return TRUE;
    case WM_CLEAR: ClearSelection(s, RVCC_CLEAR); return 0;
    case WM_CUT: CutSelection(s); return 0;
    case WM_COPY: CopyToClipboard(s); return 0;
    case WM_PASTE: PasteFromClipboard(s); return 0;
    case EM_CANUNDO: return FALSE;
    case EM_UNDO: case WM_UNDO: return FALSE;
    case EM_EMPTYUNDOBUFFER: return 0;

    case EM_LINEINDEX: {
      int line = static_cast<int>(wp);
      if (line == -1) line = m.LineFromPos(s->caret);
      if (line < 0 || line >= m.LineCount()) return -1;
      return m.LineStart(line);
    }
    case EM_LINELENGTH: return OnLineLength(s, wp);
    case EM_LINEFROMCHAR: {
      int index = static_cast<int>(wp);
      if (index == -1) index = s->SelStart();
      return m.LineFromPos(std::max(0, index));
    }
    case EM_GETLINECOUNT: return m.LineCount();
    case EM_GETLINE: return OnGetLine(s, wp, lp);
    case EM_GETFIRSTVISIBLELINE: return s->topLine;
    case EM_POSFROMCHAR: return OnPosFromChar(s, wp);
    case EM_CHARFROMPOS: return OnCharFromPos(s, lp);
    case EM_GETRECT:
      if (lp) *reinterpret_cast<RECT*>(lp) = s->formatRect;
      return 0;
    case EM_SETRECT: return OnSetRect(s, lp, true);
    case EM_SETRECTNP: return OnSetRect(s, lp, false);
    case EM_SETMARGINS: return OnSetMargins(s, wp, lp);
    case EM_GETMARGINS: return MAKELONG(s->leftMargin, s->rightMargin);
    case EM_SETTABSTOPS: return OnSetTabStops(s, wp, lp);
    case EM_SETLIMITTEXT: s->limit = wp ? static_cast<unsigned>(wp) : 0xFFFFFFFFu; return 0;
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(s->limit);
    case EM_GETMODIFY: return s->modified ? TRUE : FALSE;
    case EM_SETMODIFY: s->modified = wp != 0; return 0;
    case EM_SETREADONLY: {
      DWORD style = GetWindowLongA(hwnd, GWL_STYLE);
      style = wp ? (style | ES_READONLY) : (style & ~ES_READONLY);
      SetWindowLongA(hwnd, GWL_STYLE, style);
      s->style = style;
      return TRUE;
    }
    case EM_LINESCROLL:
      ScrollTo(s, s->topLine + static_cast<int>(lp), s->xOffset + static_cast<int>(wp) * s->aveCharWidth);
      return TRUE;
    case EM_SCROLL: return OnScroll(s, wp);
    case EM_GETTHUMB: return s->topLine;
    case WM_VSCROLL: OnVScroll(s, LOWORD(wp)); return 0;
    case WM_HSCROLL: OnHScroll(s, LOWORD(wp)); return 0;

    case WM_CHAR: OnChar(s, wp); return 0;
    case WM_KEYDOWN: OnKeyDown(s, wp); return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(s, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)), (wp & MK_SHIFT) != 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      OnMouseDouble(s, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(s, static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
      return 0;
    case WM_LBUTTONUP: OnMouseUp(s); return 0;
    case WM_CAPTURECHANGED:
      if (s->dragging && reinterpret_cast<HWND>(lp) != hwnd) OnMouseUp(s);
      return 0;
    case WM_TIMER:
      if (wp == kDragTimerId) {
        OnDragTimer(s);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: OnMouseWheel(s, static_cast<short>(HIWORD(wp))); return 0;

    case WM_IME_STARTCOMPOSITION:
      s->composing = true;
      PlaceComposition(s);
      break;
    case WM_IME_ENDCOMPOSITION:
      s->composing = false;
      break;
    case WM_IME_COMPOSITION:
      if (lp & GCS_RESULTSTR) {
        // The default handling sends the result back as WM_IME_CHAR messages;
        // their changes are reported as one input.
        const bool outer = !s->imeResult;
        s->imeResult = true;
        s->imeChained = false;
        LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
        if (outer) s->imeResult = false;
        return r;
      }
      break;
    case WM_IME_CHAR:
      // A double-byte result goes on as two character messages, lead byte first,
      // through the window's procedure so that a subclass sees them.
      ++s->imeCharDepth;
      if (HIBYTE(wp)) SendMessageA(hwnd, WM_CHAR, HIBYTE(wp), lp);
      if (!s->destroyed) SendMessageA(hwnd, WM_CHAR, LOBYTE(wp), lp);
      --s->imeCharDepth;
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

namespace {

void FreeState(EditState* s) {
  if (s->measureDc) {
    SelectObject(s->measureDc, s->measureOldFont);
    DeleteDC(s->measureDc);
  }
  delete s;
}

}  // namespace

LRESULT CALLBACK TextControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  EditState* s = StateOf(hwnd);
  if (msg == WM_NCCREATE) {
    try {
      s = new EditState;
      s->hwnd = hwnd;
      s->style = reinterpret_cast<CREATESTRUCTA*>(lp)->style;
      SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
      ApplyFont(s, nullptr);
      RecalcFormatRect(s);
    } catch (...) {
      return FALSE;  // WM_NCDESTROY still follows and frees the state
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (!s) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, 0, 0);
    if (s->dragTimer) KillTimer(hwnd, kDragTimerId);
    s->destroyed = true;
    // A message of this window still being handled further out keeps the state
    // until it returns.
    if (s->depth == 0) FreeState(s);
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  LRESULT result = 0;
  ++s->depth;
  try {
    result = HandleMessage(s, hwnd, msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through a window procedure; an allocation failure leaves
    // the text as the model left it, which is as it was.
    result = 0;
  }
  if (--s->depth == 0 && s->destroyed) FreeState(s);
  return result;
}

}  // namespace rv::textctl

ATOM RegisterTextControlClass(HINSTANCE hinst) {
  WNDCLASSEXA existing;
  ZeroMemory(&existing, sizeof(existing));
  existing.cbSize = sizeof(existing);
  if (ATOM atom = static_cast<ATOM>(GetClassInfoExA(hinst, kTextControlClassName, &existing))) return atom;
  WNDCLASSEXA wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = rv::textctl::TextControlProc;
  wc.cbWndExtra = sizeof(void*);
  wc.hInstance = hinst;
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kTextControlClassName;
  return RegisterClassExA(&wc);
}
