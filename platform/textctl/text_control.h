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
// Backspace, Delete, cut, paste, clear and EM_REPLACESEL, but - like the system's
// multi-line control - not after WM_SETTEXT, which also clears the modified flag.
// EN_VSCROLL / EN_HSCROLL whenever the view scrolls, EN_SETFOCUS / EN_KILLFOCUS,
// EN_MAXTEXT. WM_CTLCOLOREDIT goes to the parent before painting: the returned
// brush fills the background, the DC's text and background colours draw the text.
//
// Input: WM_CHAR bytes (a double-byte character arrives as lead byte then trail
// byte; the lead byte waits for its trail), Tab, Enter (13 or 10 insert CR LF),
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
// 16 bits of the index; RVEM_CHARFROMPOS32 gives all of it. Mouse: click, drag with auto-scroll, double-click selects a word,
// Shift+click extends, the wheel scrolls.
//
// The clipboard is written in CF_TEXT; pasting reads CF_TEXT, or CF_UNICODETEXT
// converted with code page 932 when only that is offered.
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
