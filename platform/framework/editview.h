// The edit-control view: a view that is itself a multi-line text control (the
// project's RvEdit, CP932 byte indexes) holding the whole text of its document.
// Offers the control's operations as member functions, the standard clipboard
// commands with their enable rules, the modified flag on every change, and the
// raw (byte for byte) serialisation of the text.
#pragma once
#include <string>
#include <vector>
#include "platform/framework/archive.h"
#include "platform/framework/view.h"
#include "platform/textctl/text_reader.h"

class CEditView : public CView {
 public:
  // Styles of the control window: child, visible, border, both scroll bars,
  // automatic scrolling both ways, selection kept visible without focus.
  static const DWORD kDefaultStyle;
  // The most a text may hold, the size of the largest file the editor opens:
  // 1,048,575 bytes. Every check of the size asks one of the two below.
  static const unsigned long long kMaxFileSize = 0xFFFFF;
  // Whether a text (or file) of `bytes` bytes fits.
  static bool FitsSize(unsigned long long bytes) { return bytes <= kMaxFileSize; }
  // Whether the text still fits after growing by `growth` bytes. A change that
  // does not grow it always fits, even a text already past the limit (line
  // ends made CR LF while loading can put it there).
  bool ChangeFits(long long growth) const {
    if (growth <= 0) return true;
    return FitsSize(static_cast<unsigned long long>(GetTextLength() + growth));
  }

  BOOL Create(CWnd* parentFrame, CDocument* doc) override;

  // Selection [start, end); SetSel takes the anchor and the caret end.
  void GetSel(int& start, int& end) const;
  void SetSel(int anchor, int caret, bool noScroll = false);
  void ReplaceSel(const char* text);
  void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
  int GetTextLength() const { return static_cast<int>(SendMessage(RVEM_GETTEXTLEN_ID)); }
  // The text read in place: line count, line starts, a line's or a range's bytes as
  // at most two spans, without copying the text or moving its gap, so reading a
  // line costs that line. The reader lives as long as the window (an empty text
  // before it exists); the spans it gives are valid until the next change of the
  // text. The way for code in this process to read the text.
  const rv::textctl::TextReader& Reader() const;
  // A copy of the whole text (read through the reader: the gap stays).
  std::string GetText() const;
  void SetText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
  int LineIndex(int line = -1) const { return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(line))); }
  int LineLength(int index = -1) const { return static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(index))); }
  int LineFromChar(int index = -1) const { return static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(index))); }
  int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  int GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
  // The control's answer for the position of `index`: x and y as signed 16-bit
  // values, or (-1, -1) for the index just past the last character.
  POINT PosFromCharRaw(int index) const;
  RECT GetRect() const;
  void SetMargins(int left, int right) { SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(left, right)); }
  // One tab stop every `dialogUnits` (4 per average character width).
  void SetTabStops(int dialogUnits);
  int GetTabStops() const { return m_nTabStops; }
  void SetLimitText(UINT limit) { SendMessage(EM_SETLIMITTEXT, limit); }
  void SetRedraw(bool on) { SendMessage(WM_SETREDRAW, on ? TRUE : FALSE); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }

  // Byte-for-byte load and store of the whole text (with the size limit).
  void SerializeRaw(CArchive& ar);

  // Printing (platform/framework/print.cpp): the body of each page is the
  // text from the page's first character, line by line, in the view's font
  // scaled to the printer, tabs at the view's tab stops, long lines wrapped at
  // word boundaries; a page ends at the last line that fits. Page starts are
  // kept for the run. All text is drawn as wide characters from code page 932.
  ~CEditView() override;
  void OnBeginPrinting(HDC dc, CPrintInfo* info) override;
  // Lays pages out up to the current one; ends the run after the last page.
  void OnPrepareDC(HDC dc, CPrintInfo* info) override;
  void OnPrint(HDC dc, CPrintInfo* info) override;
  void OnEndPrinting(HDC dc, CPrintInfo* info) override;
  // The part of the page (printer units) that holds the text; here all of it.
  virtual RECT GetPrintBodyRect(CPrintInfo* info);
  // Prints the text of the current page into `body`.
  void PrintPageBody(HDC dc, CPrintInfo* info, const RECT& body);
  // The colours of a printed row, the bytes [begin, end) of one line: runs in
  // order, the bytes [begin, end) of each in `color`; bytes outside every run
  // keep the context's text colour. Here: none.
  struct PrintColor {
    size_t begin, end;
    COLORREF color;
  };
  virtual void GetPrintColors(size_t begin, size_t end, std::vector<PrintColor>& runs) {}
  // Lays out pages until `page` exists or the text ends; true when it exists.
  bool PaginateTo(UINT page, CPrintInfo* info);
  // The number of the page whose first character is the last at or before
  // `index`, among the pages laid out so far.
  UINT PageOfIndex(int index) const;

 protected:
  int m_nTabStops = 32;  // dialog units
  struct PrintState;
  PrintState* m_pPrint = nullptr;  // between the start and the end of a print run

  void OnEditChange();
  void OnEditCopy();
  void OnEditCut();
  void OnEditPaste();
  void OnEditClear();
  void OnEditSelectAll();
  void OnUpdateNeedSel(CCmdUI* ui);
  void OnUpdateNeedClip(CCmdUI* ui);
  void OnUpdateNeedText(CCmdUI* ui);

  static const UINT RVEM_GETTEXTLEN_ID = WM_USER + 0x301;
  DECLARE_MESSAGE_MAP()
};

// Raises the framework's "file too large" refusal (message shown, load abandoned).
[[noreturn]] void ThrowFileTooLarge();
