// The project's multi-line text control: an ANSI child-window class whose message
// interface mirrors the system EDIT control, but whose character indexes are CP932
// byte offsets (a double-byte character and CR LF each count 2).
//
// Create a window of class kTextControlClassName (after RegisterTextControlClass)
// with the usual EDIT styles: ES_MULTILINE is implied; WS_HSCROLL / WS_VSCROLL give
// scroll bars; ES_READONLY and ES_NOHIDESEL are honoured. There is no word wrap.
// All per-window state lives in the class's extra bytes (offset 0); the control
// never touches GWLP_USERDATA or window properties, so a subclass may use them.
// The control adds WS_CLIPCHILDREN to its style, so a child window in its margin
// (a line-number gutter) is never painted over. Text is drawn in WM_PAINT only;
// WM_ERASEBKGND does nothing.
//
// Messages, as the system control answers them (indexes are byte offsets):
//   EM_GETSEL, EM_SETSEL (wParam anchor, lParam caret end; -1 anchor removes the
//   selection, lParam -1 means the end), EM_REPLACESEL (no undo: the control keeps
//   none, EM_CANUNDO answers FALSE and EM_UNDO does nothing), EM_SCROLLCARET,
//   WM_CLEAR, WM_CUT, WM_COPY, WM_PASTE, WM_GETTEXTLENGTH, WM_GETTEXT, WM_SETTEXT,
//   EM_LINEINDEX (wParam line or -1 for the caret's line; -1 past the last line),
//   EM_LINELENGTH (wParam an index; -1: unselected bytes on the selection's lines),
//   EM_LINEFROMCHAR (wParam an index, -1: the line of the selection start),
//   EM_GETLINECOUNT, EM_GETLINE, EM_GETFIRSTVISIBLELINE,
//   EM_POSFROMCHAR (x, y as signed 16-bit values; 0xFFFFFFFF for an index at or past
//   the end of the text), EM_CHARFROMPOS (index in the low and line in the high 16
//   bits; -1 for a point outside the client area, edges included as inside),
//   EM_GETRECT, EM_SETRECT, EM_SETRECTNP, EM_SETMARGINS, EM_GETMARGINS,
//   EM_SETTABSTOPS (dialog units; none = 32, one value = interval, several = stops),
//   EM_SETLIMITTEXT / EM_LIMITTEXT, EM_GETLIMITTEXT (initially 30000; 0 sets the
//   maximum, 0xFFFFFFFF), EM_GETMODIFY, EM_SETMODIFY, EM_SETREADONLY, EM_LINESCROLL,
//   EM_SCROLL, EM_GETTHUMB, WM_SETFONT, WM_GETFONT, WM_SETREDRAW, EM_EMPTYUNDOBUFFER.
//   The text limit stops typing, pasting and EM_REPLACESEL (which insert what fits
//   and send EN_MAXTEXT); WM_SETTEXT ignores it.
//
// Notifications to the parent, as WM_COMMAND (control id, code) with the control's
// handle: EN_UPDATE then EN_CHANGE after every change of the text by typing, Enter,
// Backspace, Delete, cut, paste, clear, IME input, EM_REPLACESEL and
// RVEM_REPLACERANGE, but - like the system's multi-line control - not after
// WM_SETTEXT, which also clears the modified flag.
// EN_VSCROLL / EN_HSCROLL whenever the view scrolls, EN_SETFOCUS / EN_KILLFOCUS,
// EN_MAXTEXT. WM_CTLCOLOREDIT goes to the parent before painting: the returned
// brush fills the background, the DC's text and background colours draw the text.
//
// Input: WM_CHAR bytes (a double-byte character arrives as lead byte then trail
// byte, the lead byte waiting for its trail, or as both bytes in one message,
// lead byte in the high byte), Tab, Enter (13 or 10 insert CR LF),
// Backspace, 0x7F (inserted as a byte), Ctrl+A/C/V/X as characters; WM_KEYDOWN for
// the arrows, Home/End, Ctrl+Home/End, PgUp/PgDn, Ctrl+Left/Right by words, Shift to
// extend, Delete (Shift+Delete cuts), Insert with Ctrl (copy) or Shift (paste).
// WM_IME_CHAR is turned into WM_CHAR messages sent to the window (lead byte first).
// A finished IME result reaching the control as WM_IME_COMPOSITION goes to
// DefWindowProcA, which sends it back as WM_IME_CHAR (checked under Wine 8), and
// so as WM_CHAR bytes. The composition window is put at the caret (CFS_POINT, the
// control's font) on focus, at WM_IME_STARTCOMPOSITION and while composing.
// Large texts: EM_GETSEL answers -1 when an end exceeds 0xFFFF (pass pointers in
// wParam / lParam to get 32-bit values), and EM_CHARFROMPOS carries only the low
// 16 bits of the index; RVEM_CHARFROMPOS32 gives all of it. Mouse: click, drag
// with auto-scroll, double-click selects a word, Shift+click extends, the wheel
// scrolls.
//
// The clipboard is written in CF_TEXT; pasting reads CF_TEXT, or CF_UNICODETEXT
// converted with code page 932 when only that is offered.
//
// Change reports: every change of the text, WM_SETTEXT included, passes through
// one function of the control, which reports it to the listener set with
// RVEM_SETCHANGELISTENER - where, which bytes went, which came, and the input
// that caused it - synchronously, after the text, the selection and the modified
// flag have changed and before EN_UPDATE / EN_CHANGE go to the parent. A
// history records from these reports what the control really did (a lone lead
// byte deleted as one byte; a byte typed after a lone lead byte, which then reads
// as one character with it), and puts changes back with RVEM_REPLACERANGE, which
// takes exact byte ranges.
//
// Re-entrance: a listener or a parent may send the control messages from a report
// or a notification, changes included, and may destroy it; the control then
// stops the operation that notified and does nothing more with the window (its
// state is freed when the outermost message of the window returns). No C++
// exception leaves the window procedure: an allocation failure abandons the
// message and leaves the text as it was.
#pragma once
#include <windows.h>

// The window class name ("RvEdit").
extern const char kTextControlClassName[];

// Registers the class for hinst (once; later calls answer the same atom).
ATOM RegisterTextControlClass(HINSTANCE hinst);

// Private messages.
//
// RVEM_GETTEXTPTR: wParam, lParam 0. Returns a const char* to the whole text as one
//   NUL-terminated CP932 string. Read only; valid until the next change of the text.
#define RVEM_GETTEXTPTR (WM_USER + 0x300)
// RVEM_GETTEXTLEN: wParam, lParam 0. Returns the text length in bytes (O(1)).
#define RVEM_GETTEXTLEN (WM_USER + 0x301)
// RVEM_CHARFROMPOS32: wParam 0, lParam a const POINT* in client coordinates.
//   Returns the full 32-bit index nearest to the point (never -1; points outside
//   the client area are clamped).
#define RVEM_CHARFROMPOS32 (WM_USER + 0x302)
// RVEM_POSFROMCHAR32: wParam an index, lParam a POINT* receiving the client
//   position of the top-left corner of the character there. Unlike EM_POSFROMCHAR
//   this also answers the index at the end of the text (just after the last
//   character, or at the start of an empty last line). Returns TRUE.
#define RVEM_POSFROMCHAR32 (WM_USER + 0x303)
// RVEM_GETLINEHEIGHT: the height of a line in pixels.
#define RVEM_GETLINEHEIGHT (WM_USER + 0x304)
// What caused a change (RvTextChange::cause).
enum RvChangeCause {
  RVCC_CHAR = 1,      // a typed character (WM_CHAR; both bytes of a double-byte one)
  RVCC_ENTER,         // Enter or Ctrl+Enter: CR LF typed
  RVCC_BACKSPACE,     // Backspace: the selection, or the character before the caret
  RVCC_DELETE,        // Delete: the selection, or the character after the caret
  RVCC_CUT,           // WM_CUT, Ctrl+X, Shift+Delete
  RVCC_PASTE,         // WM_PASTE, Ctrl+V, Shift+Insert
  RVCC_CLEAR,         // WM_CLEAR
  RVCC_IME,           // a character of an IME result (WM_IME_CHAR)
  RVCC_REPLACESEL,    // EM_REPLACESEL
  RVCC_REPLACERANGE,  // RVEM_REPLACERANGE
  RVCC_SETTEXT,       // WM_SETTEXT (and the window text at creation)
};

// RvTextChange::flags.
#define RVCF_SELECTION 0x1  // the removed bytes were the (non-empty) selection
#define RVCF_CONTINUED 0x2  // continues the previous report as one input: the
                            // second and later characters of one IME result

// One change: at `position` the `removedLength` bytes `removed` were replaced by
// the `insertedLength` bytes `inserted`. The pointers are valid during the report
// only; neither text is NUL-terminated.
struct RvTextChange {
  int position;
  const char* removed;
  int removedLength;
  const char* inserted;
  int insertedLength;
  int cause;       // RvChangeCause
  unsigned flags;  // RVCF_*
};

// Receives the change reports of one control. An exception thrown here is
// caught by the control and goes no further.
class RvTextChangeListener {
 public:
  virtual void OnTextChange(HWND control, const RvTextChange& change) = 0;

 protected:
  ~RvTextChangeListener() = default;
};

// RVEM_SETCHANGELISTENER: wParam 0, lParam an RvTextChangeListener* (null: none).
//   The listener must outlive the window or be removed first. Returns the
//   previous listener.
#define RVEM_SETCHANGELISTENER (WM_USER + 0x305)

// RVEM_REPLACERANGE: wParam 0, lParam a const RvReplaceRange*. Replaces exactly the
//   bytes [start, end) by `text` (`length` bytes), whatever characters they cut
//   through, ignoring the text limit and the read-only style; the caret (no
//   selection) goes to `caret`, or to the character boundary after it, and is
//   scrolled into view. Reported as RVCC_REPLACERANGE and notified like
//   EM_REPLACESEL. Returns FALSE (nothing changed) for a range outside the text.
struct RvReplaceRange {
  int start;
  int end;
  const char* text;
  int length;
  int caret;
};
#define RVEM_REPLACERANGE (WM_USER + 0x306)

// RVEM_GETTEXTPARTS: wParam 0, lParam an RvTextParts* that receives the text in
//   place as two parts (either may be empty), without rearranging it as
//   RVEM_GETTEXTPTR does, so reading a large text costs nothing. Neither part is
//   NUL-terminated; both are valid until the next change. Returns the length.
struct RvTextParts {
  const char* part1;
  int length1;
  const char* part2;
  int length2;
};
#define RVEM_GETTEXTPARTS (WM_USER + 0x310)
// RVEM_GETCARET: wParam, lParam 0. Returns the index where the caret stands: the
//   moving end of the selection (EM_GETSEL answers the two ends in order only).
#define RVEM_GETCARET (WM_USER + 0x311)
// RVEM_GETREADER: wParam, lParam 0. Returns a const rv::textctl::TextReader* on the
//   control's text (platform/textctl/text_reader.h), for code in the same process:
//   line count, line starts and bytes in place, read without copying the text or
//   moving its gap. The reader lives as long as the window; the spans it gives are
//   valid until the next change of the text. Other windows use the messages above.
#define RVEM_GETREADER (WM_USER + 0x312)
