// Keyboard and mouse input of the text control: typed bytes (double-byte
// characters arrive as lead byte then trail byte), navigation keys with Shift to
// extend the selection, Backspace and Delete, and mouse selection with
// auto-scrolling while the button is held outside the text area.
#include <algorithm>
#include "platform/textctl/text_control_impl.h"

namespace rv::textctl {

namespace {

bool KeyDown(int vk) { return (GetKeyState(vk) & 0x8000) != 0; }

// Moves the caret; with extend the anchor stays, otherwise the selection collapses.
void MoveCaret(EditState* s, TextPos pos, bool extend, bool keepX = false) {
  if (!keepX) s->desiredX = -1;
  SetSelection(s, extend ? s->anchor : pos, pos);
  ScrollCaretIntoView(s);
}

// Typed bytes replace the selection; those of an IME result say so.
void TypeBytes(EditState* s, const char* bytes, int length, int cause) {
  if (s->ReadOnly()) return;
  ReplaceSelection(s, bytes, length, true, s->imeCharDepth > 0 ? RVCC_IME : cause);
}

// Backspace and Delete: the selection, or the character before or after the caret.
void DeleteKey(EditState* s, bool forward) {
  const int cause = forward ? RVCC_DELETE : RVCC_BACKSPACE;
  if (s->ReadOnly()) return;
  if (s->anchor != s->caret) {
    ClearSelection(s, cause);
    return;
  }
  const TextModel& m = s->model;
  TextPos from = forward ? s->caret : m.PrevBoundary(s->caret);
  TextPos to = forward ? m.NextBoundary(s->caret) : s->caret;
  if (from == to) return;
  if (ReplaceRange(s, from, to, "", 0, from, cause)) ScrollCaretIntoView(s);
}

// The caret moved vertically by `lines`, keeping its x across short lines.
TextPos VerticalTarget(EditState* s, int lines) {
  const TextModel& m = s->model;
  int line = m.LineFromPos(s->caret) + lines;
  if (s->desiredX < 0) s->desiredX = XOfPos(s, s->caret);
  if (line < 0) return 0;
  if (line >= m.LineCount()) return m.Length();
  return PosAtX(s, line, s->desiredX);
}

}  // namespace

void OnChar(EditState* s, WPARAM ch) {
  if (ch > 0xFF) {
    // Both bytes of a double-byte character in one message.
    OnChar(s, (ch >> 8) & 0xFF);
    if (!s->destroyed) OnChar(s, ch & 0xFF);
    return;
  }
  unsigned char c = static_cast<unsigned char>(ch);
  if (s->pendingLead >= 0) {
    char pair[2] = {static_cast<char>(s->pendingLead), static_cast<char>(c)};
    s->pendingLead = -1;
    if (cp932::IsTrailByte(c)) {
      TypeBytes(s, pair, 2, RVCC_CHAR);
      return;
    }
    // A lead byte without its trail byte is dropped.
  }
  if (cp932::IsLeadByte(c)) {
    if (!s->ReadOnly()) s->pendingLead = c;
    return;
  }
  switch (c) {
    case 1: SetSelection(s, 0, s->model.Length()); return;  // Ctrl+A
    case 3: CopyToClipboard(s); return;                     // Ctrl+C
    case 22: PasteFromClipboard(s); return;                 // Ctrl+V
    case 24: CutSelection(s); return;                       // Ctrl+X
    case 8: DeleteKey(s, false); return;
    case '\r':
    case '\n': TypeBytes(s, "\r\n", 2, RVCC_ENTER); return;
    case '\t': TypeBytes(s, "\t", 1, RVCC_CHAR); return;
    default:
      if (c >= 0x20) {
        char b = static_cast<char>(c);
        TypeBytes(s, &b, 1, RVCC_CHAR);
      }
      return;
  }
}

void OnKeyDown(EditState* s, WPARAM key) {
  const TextModel& m = s->model;
  bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
  TextPos caret = s->caret;
  int line = m.LineFromPos(caret);
  switch (key) {
    case VK_LEFT:
      if (!shift && s->anchor != s->caret) MoveCaret(s, s->SelStart(), false);
      else MoveCaret(s, ctrl ? m.WordStartBefore(caret) : m.PrevBoundary(caret), shift);
      break;
    case VK_RIGHT:
      if (!shift && s->anchor != s->caret) MoveCaret(s, s->SelEnd(), false);
      else MoveCaret(s, ctrl ? m.WordStartAfter(caret) : m.NextBoundary(caret), shift);
      break;
    case VK_UP: MoveCaret(s, VerticalTarget(s, -1), shift, true); break;
    case VK_DOWN: MoveCaret(s, VerticalTarget(s, 1), shift, true); break;
    case VK_PRIOR:
    case VK_NEXT: {
      int page = VisibleLines(s) * (key == VK_PRIOR ? -1 : 1);
      TextPos target = VerticalTarget(s, page);
      ScrollTo(s, s->topLine + page, s->xOffset);
      if (!s->destroyed) MoveCaret(s, target, shift, true);
      break;
    }
    case VK_HOME: MoveCaret(s, ctrl ? 0 : m.LineStart(line), shift); break;
    case VK_END: MoveCaret(s, ctrl ? m.Length() : m.LineEnd(line), shift); break;
    case VK_DELETE:
      if (shift)
        CutSelection(s);
      else
        DeleteKey(s, true);
      break;
    case VK_INSERT:
      if (ctrl) CopyToClipboard(s);
      else if (shift) PasteFromClipboard(s);
      break;
  }
}

void OnMouseDown(EditState* s, int x, int y, bool shift) {
  if (GetFocus() != s->hwnd) SetFocus(s->hwnd);
  TextPos pos = PosAtPoint(s, x, y, nullptr);
  s->desiredX = -1;
  SetSelection(s, shift ? s->anchor : pos, pos);
  ScrollCaretIntoView(s);
  s->dragging = true;
  s->dragPoint = {x, y};
  SetCapture(s->hwnd);
}

void OnMouseDouble(EditState* s, int x, int y) {
  TextPos start, end;
  s->model.WordAround(PosAtPoint(s, x, y, nullptr), &start, &end);
  s->desiredX = -1;
  SetSelection(s, start, end);
  ScrollCaretIntoView(s);
}

void OnMouseMove(EditState* s, int x, int y) {
  if (!s->dragging) return;
  s->dragPoint = {x, y};
  const RECT& f = s->formatRect;
  bool outside = x < f.left || x >= f.right || y < f.top || y >= f.bottom;
  if (outside && !s->dragTimer) {
    SetTimer(s->hwnd, kDragTimerId, 50, nullptr);
    s->dragTimer = true;
  } else if (!outside && s->dragTimer) {
    KillTimer(s->hwnd, kDragTimerId);
    s->dragTimer = false;
  }
  SetSelection(s, s->anchor, PosAtPoint(s, x, y, nullptr));
}

// While the button is held outside the text area the view scrolls toward the
// mouse, a line or a few characters per tick, and the selection follows.
void OnDragTimer(EditState* s) {
  if (!s->dragging) {
    KillTimer(s->hwnd, kDragTimerId);
    s->dragTimer = false;
    return;
  }
  const RECT& f = s->formatRect;
  POINT p = s->dragPoint;
  int dy = p.y < f.top ? -1 : (p.y >= f.bottom ? 1 : 0);
  int dx = p.x < f.left ? -1 : (p.x >= f.right ? 1 : 0);
  ScrollTo(s, s->topLine + dy, s->xOffset + dx * s->aveCharWidth * 2);
  SetSelection(s, s->anchor, PosAtPoint(s, p.x, p.y, nullptr));
}

void OnMouseUp(EditState* s) {
  if (s->dragTimer) {
    KillTimer(s->hwnd, kDragTimerId);
    s->dragTimer = false;
  }
  if (s->dragging) {
    s->dragging = false;
    if (GetCapture() == s->hwnd) ReleaseCapture();
  }
}

void OnMouseWheel(EditState* s, int delta) {
  UINT perNotch = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  s->wheelRest += delta;
  int notches = s->wheelRest / WHEEL_DELTA;
  if (!notches) return;
  s->wheelRest -= notches * WHEEL_DELTA;
  int lines = perNotch == WHEEL_PAGESCROLL ? VisibleLines(s) : static_cast<int>(perNotch);
  ScrollTo(s, s->topLine - notches * lines, s->xOffset);
}

}  // namespace rv::textctl
