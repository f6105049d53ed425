// The state of one text-control window and the operations its message handlers
// share. Private to platform/textctl: text_control.cpp (messages, editing,
// clipboard, IME), text_view.cpp (layout, painting, scrolling, caret) and
// text_input.cpp (keyboard and mouse).
//
// Rules kept by all three files:
// - Every change of the text goes through ReplaceRange (WM_SETTEXT through
//   SetText), which updates the display and the scroll bars, reports the change
//   to the listener and sends EN_UPDATE / EN_CHANGE.
// - After anything that reaches outside code (a report, a notification), the
//   window may have been destroyed: check s->destroyed and stop. The state
//   itself stays valid until the outermost message of the window returns.
// - Every change of the selection goes through SetSelection.
// - Nothing here is called while painting except the layout functions (XOfPos,
//   ForEachChar, Measure*), which never change state other than the width and
//   glyph caches.
// - While redraw is off (WM_SETREDRAW FALSE) nothing invalidates, scrolls bits or
//   moves the caret; turning it on repaints everything.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "platform/cp932.h"
#include "platform/cp932_wide.h"
#include "platform/textctl/blank_glyphs.h"
#include "platform/textctl/text_control.h"
#include "platform/textctl/text_model.h"

namespace rv::textctl {

struct EditState {
  HWND hwnd = nullptr;
  TextModel model;
  TextPos anchor = 0;  // the fixed end of the selection
  TextPos caret = 0;   // the moving end; the caret stands here
  DWORD style = 0;

  // Font and measurements. measureDc is a memory DC with the font selected.
  HFONT font = nullptr;  // as set by WM_SETFONT; not owned; null = system font
  HDC measureDc = nullptr;
  HGDIOBJ measureOldFont = nullptr;
  int lineHeight = 16;
  int aveCharWidth = 8;
  std::vector<uint16_t> widthCache;  // advance + 1 per UTF-16 unit; 0 = unknown
  BlankGlyphs blankGlyphs;  // glyphs the font's hinting leaves without a pixel
  wchar_t singleByteWide[256] = {};  // single-byte CP932 values as UTF-16

  // Geometry.
  std::vector<int> tabStopsDu;  // empty: every 32 dialog units
  std::vector<int> tabStopsPx;  // the same in pixels
  int leftMargin = 0, rightMargin = 0;
  RECT formatRect = {};
  int topLine = 0;
  int xOffset = 0;          // pixels scrolled to the left
  int measuredExtent = 0;   // widest line measured so far, pixels
  int estimatedColumns = 0; // widest line at the last WM_SETTEXT, in average widths
  int lastVMax = -1, lastVPage = -1, lastVPos = -1, lastHMax = -1, lastHPage = -1, lastHPos = -1;

  // Flags and limits.
  bool modified = false;
  bool redraw = true;
  bool focused = false;
  bool caretShown = false;
  bool composing = false;  // between WM_IME_STARTCOMPOSITION and its end
  POINT caretAt = {-1, -1};  // where SetCaretPos last put the caret
  unsigned limit = 30000;
  int pendingLead = -1;  // a lead byte waiting for its trail byte

  // Change reports and re-entrance.
  RvTextChangeListener* listener = nullptr;
  int depth = 0;           // messages of this window being handled, nested
  bool destroyed = false;  // WM_NCDESTROY came; freed when depth drops to 0
  int imeCharDepth = 0;    // inside WM_IME_CHAR: typed bytes come from the IME
  bool imeResult = false;  // inside WM_IME_COMPOSITION with a result string
  bool imeChained = false; // the last report was a character of that result

  // Mouse and keyboard.
  bool dragging = false;
  bool dragTimer = false;
  POINT dragPoint = {};
  int desiredX = -1;  // x kept across up/down moves; -1 = take the caret's
  int wheelRest = 0;

  TextPos SelStart() const { return anchor < caret ? anchor : caret; }
  TextPos SelEnd() const { return anchor < caret ? caret : anchor; }
  bool ReadOnly() const { return (style & ES_READONLY) != 0; }
};

EditState* StateOf(HWND hwnd);

// text_control.cpp
// Sends a notification to the parent; false when the window was destroyed meanwhile.
bool Notify(EditState* s, int code);
// Replaces [start, end) by text, reports the change (cause: RvChangeCause) and
// notifies; the selection becomes an empty caret at newCaret (moved forward to a
// boundary). False when the window was destroyed meanwhile: stop at once.
bool ReplaceRange(EditState* s, TextPos start, TextPos end, const char* text, int length, TextPos newCaret,
                  int cause);
// Replaces the selection by text honouring the limit (all or nothing when
// wholeOrNothing) and scrolls the caret into view.
void ReplaceSelection(EditState* s, const char* text, int length, bool wholeOrNothing, int cause);
void SetSelection(EditState* s, TextPos anchor, TextPos caret);
void CopyToClipboard(EditState* s);
void PasteFromClipboard(EditState* s);
// Removes a non-empty selection (not when read-only) and scrolls the caret into view.
void ClearSelection(EditState* s, int cause);
// Copies the selection to the clipboard and removes it (not when read-only).
void CutSelection(EditState* s);

// text_view.cpp
void ApplyFont(EditState* s, HFONT font);
void RecalcFormatRect(EditState* s);
void RecalcTabStops(EditState* s);
int CharWidth(EditState* s, wchar_t ch);
// Calls fn(pos, length, x, width, ch) for each character of a line, x relative to
// the line's start (before scrolling); tabs come as ch = '\t'. Stops when fn
// returns false. Returns the x after the last character visited.
template <typename Fn>
int ForEachChar(EditState* s, const std::string& line, TextPos lineStart, Fn fn);
// x of pos (relative to the text's left edge, before scrolling).
int XOfPos(EditState* s, TextPos pos);
int LineWidth(EditState* s, int line);
// The boundary in a line closest to x (text coordinates).
TextPos PosAtX(EditState* s, int line, int x);
// Client position of pos; valid for every pos in [0, Length()].
POINT ClientPosOf(EditState* s, TextPos pos);
// The boundary nearest to a client point, clamped to the text.
TextPos PosAtPoint(EditState* s, int x, int y, int* lineOut);
int VisibleLines(EditState* s);  // lines fully inside the format rectangle (>= 1)
void Paint(EditState* s);
void InvalidateLines(EditState* s, int first, int last);  // last -1 = to the bottom
void InvalidateAll(EditState* s);
void ScrollTo(EditState* s, int topLine, int xOffset);
void ScrollCaretIntoView(EditState* s);
void UpdateScrollBars(EditState* s);
void UpdateCaret(EditState* s);
// Puts the IME composition window at the caret, in the control's font.
void PlaceComposition(EditState* s);
void NoteLineWidth(EditState* s, int width);
void OnVScroll(EditState* s, int code);
void OnHScroll(EditState* s, int code);

// text_input.cpp
void OnChar(EditState* s, WPARAM ch);
void OnKeyDown(EditState* s, WPARAM key);
void OnMouseDown(EditState* s, int x, int y, bool shift);
void OnMouseDouble(EditState* s, int x, int y);
void OnMouseMove(EditState* s, int x, int y);
void OnMouseUp(EditState* s);
void OnDragTimer(EditState* s);
void OnMouseWheel(EditState* s, int delta);

constexpr UINT_PTR kDragTimerId = 0x5254;

// --- inline layout walk -----------------------------------------------------

template <typename Fn>
int ForEachChar(EditState* s, const std::string& line, TextPos lineStart, Fn fn) {
  int x = 0;
  const int n = static_cast<int>(line.size());
  for (int i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(line[i]);
    int len = 1;
    wchar_t ch;
    int width;
    if (b == '\t') {
      ch = L'\t';
      // tabStopsPx is never empty: one value is an interval, several are stops
      // after which tabs go on at the distance between the last two.
      const std::vector<int>& stops = s->tabStopsPx;
      int next = 0;
      if (stops.size() == 1) {
        int interval = stops[0] > 0 ? stops[0] : s->aveCharWidth * 8;
        next = (x / interval + 1) * interval;
      } else {
        for (int stop : stops) {
          if (stop > x) {
            next = stop;
            break;
          }
        }
        if (next == 0) {
          int last = stops.back();
          int interval = last - stops[stops.size() - 2];
          if (interval <= 0) interval = s->aveCharWidth * 8;
          next = last + ((x - last) / interval + 1) * interval;
        }
      }
      width = next - x;
    } else {
      len = static_cast<int>(cp932::CharLength(line.data(), i, n));
      if (len == 2) {
        wchar_t w[2];
        int got = cp932::ToWide(line.data() + i, 2, w, 2);
        ch = got == 1 ? w[0] : L'\x30FB';
      } else {
        ch = s->singleByteWide[b];
      }
      width = CharWidth(s, ch);
    }
    if (!fn(lineStart + i, len, x, width, ch)) return x;
    x += width;
    i += len;
  }
  return x;
}

}  // namespace rv::textctl
