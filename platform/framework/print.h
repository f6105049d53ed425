// Printing of views: the record of one print run (CPrintInfo), the printer's
// device context from the print dialog, the printer chosen in print set-up or
// the default printer, and the messages of a failed run. The run itself (the
// views' print virtuals, the page loop) is CView's, in print.cpp.
//
// Order of the view's steps in a run: OnPreparePrinting (which gets the
// printer through DoPreparePrinting); OnBeginPrinting; per page OnPrepareDC
// (which may end the run by clearing m_bContinuePrinting), then OnPrint with
// m_rectDraw the page's printable area; OnEndPrinting. Once OnPreparePrinting
// has been called, OnEndPrinting follows on every way out (a cancelled
// dialog, a failed job, the preview closed), with a null context when no
// printing started. Print preview runs the same steps, drawing each page
// scaled on the screen; m_hAttribDC is then the printer and the output context
// the screen's.
#pragma once
#include <windows.h>
#include <commdlg.h>

class CWinApp;

// How a print run to the printer ended (CView::PrintToPrinter). Failed runs
// have said why.
enum class PrintRunEnd : int { Printed, Cancelled, Failed };

struct CPrintInfo {
  CPrintInfo();

  // The last page of a run whose pages are not counted: printing goes on
  // until the view's OnPrepareDC ends it.
  static const UINT kUnknownLastPage = 0xFFFFFFFF;

  PRINTDLGA m_pd;                  // the print dialog's data (flags; its page fields are 16-bit)
  BOOL m_bPreview = FALSE;         // a print preview, not a print
  BOOL m_bDirect = FALSE;          // the default printer without the dialog
  BOOL m_bContinuePrinting = TRUE; // cleared by OnPrepareDC after the last page
  UINT m_nCurPage = 1;             // the page being printed or shown, from 1
  UINT m_nNumPreviewPages = 1;     // pages side by side in the preview
  RECT m_rectDraw = {0, 0, 0, 0};  // the page's drawing rectangle, printer units
  HDC m_hAttribDC = nullptr;       // the printer's context, owned by the run

  // Pages are counted in 32 bits; the print dialog sees at most 65535.
  void SetMinPage(UINT page) { m_nMinPage = page; }
  void SetMaxPage(UINT page) { m_nMaxPage = page; }
  UINT GetMinPage() const { return m_nMinPage; }
  UINT GetMaxPage() const { return m_nMaxPage; }
  UINT GetFromPage() const { return m_nFromPage; }
  UINT GetToPage() const { return m_nToPage; }
  // The page range into the dialog's fields before it shows, and the range
  // chosen in it back after OK (all pages unless page numbers were chosen).
  void PageRangeToDialog();
  void PageRangeFromDialog();
  // The printable area of the printer in its device units.
  RECT PageRect() const;

 private:
  UINT m_nMinPage = 1, m_nMaxPage = kUnknownLastPage;
  UINT m_nFromPage = 1, m_nToPage = kUnknownLastPage;
};

// The printer chosen in print set-up (the application's device names and
// mode), or the system's default printer; null when there is none.
HDC AfxCreatePrinterDC(CWinApp* app);
// "プリンタがインストールされていません。"
void AfxReportNoPrinter();
// A print dialog's failure that means there is no printer.
bool AfxIsNoPrinterError(DWORD commDlgError);
// Draws code page 932 text as wide characters (DrawTextW), as the printer's
// default font may report a Western character set.
int AfxDrawTextCp932(HDC dc, const char* text, RECT* rect, UINT format);
// The font a printer's context starts with, made as a font object so that
// another context (a preview's, a metafile's) can draw with it in printer units.
HFONT AfxCreatePrinterFont(HDC printer);
