// Printing of the script view in the running application: pages recorded into
// an enhanced metafile referenced to the test prefix's printer (header, rules,
// body and footer where the page frame puts them, the page count of a known
// text, a long double-byte line wrapped inside the body, an untitled
// document's title), and the scroll styles given back after a cancelled print
// and a closed preview; the printer chosen in a dialog kept also when it is
// cancelled, a job ended from its "印刷中" window, more pages than 16 bits
// count, and a preview whose window cannot be made.
#include "tests/app/app_fixture.h"

#include <string>
#include <vector>
#include "platform/framework/frame.h"
#include "platform/framework/preview.h"
#include "platform/framework/preview_ids.h"
#include "platform/framework/print.h"
#include "platform/framework/print_layout.h"
#include "platform/textctl/text_control.h"
#include "views/findreplace.h"
#include "views/myview.h"

namespace {

const DWORD kScrollStyles = WS_HSCROLL | ES_AUTOHSCROLL;

struct TextRecord {
  std::wstring text;
  int x, y;
  int width;  // the sum of the character advances
  COLORREF color;
};
struct LineRecord {
  int x0, y0, x1, y1;
};
struct RecordedPage {
  std::vector<TextRecord> texts;
  std::vector<LineRecord> rules;
};

int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM data) {
  auto* page = reinterpret_cast<RecordedPage*>(data);
  static POINT at{0, 0};
  static COLORREF color = 0;
  if (rec->iType == EMR_HEADER) color = 0;
  if (rec->iType == EMR_SETTEXTCOLOR) color = reinterpret_cast<const EMRSETTEXTCOLOR*>(rec)->crColor;
  if (rec->iType == EMR_EXTTEXTOUTW) {
    auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
    const auto* base = reinterpret_cast<const BYTE*>(rec);
    const auto* chars = reinterpret_cast<const wchar_t*>(base + t->emrtext.offString);
    TextRecord r{std::wstring(chars, t->emrtext.nChars), t->emrtext.ptlReference.x, t->emrtext.ptlReference.y, 0, color};
    if (t->emrtext.offDx) {
      const auto* dx = reinterpret_cast<const INT*>(base + t->emrtext.offDx);
      for (DWORD i = 0; i < t->emrtext.nChars; ++i) r.width += dx[i];
    }
    if (!r.text.empty()) page->texts.push_back(r);
  } else if (rec->iType == EMR_MOVETOEX) {
    auto* m = reinterpret_cast<const EMRMOVETOEX*>(rec);
    at = POINT{m->ptl.x, m->ptl.y};
  } else if (rec->iType == EMR_LINETO) {
    auto* l = reinterpret_cast<const EMRLINETO*>(rec);
    page->rules.push_back(LineRecord{at.x, at.y, l->ptl.x, l->ptl.y});
    at = POINT{l->ptl.x, l->ptl.y};
  }
  return 1;
}

std::wstring Wide(const std::string& cp932) {
  std::wstring w(cp932.size(), L'\0');
  w.resize(static_cast<size_t>(MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), &w[0],
                                                   static_cast<int>(w.size()))));
  return w;
}

class PrintTest : public AppFixture {
 protected:
  void SetUp() override { ASSERT_TRUE(Start()); }

  CMyView* View() { return ViewOfActiveOrNewWindow<CMyView>(); }
  // The view colouring JScript in `colors`, keywords in red.
  CMyView* ColouringView(EditorColors colors = EditorColors()) {
    CMyView* view = View();
    if (!view) return nullptr;
    view->m_syntaxMode = 1;
    colors.keyword = RGB(255, 0, 0);
    view->SetColors(colors);
    return view;
  }
  // The view, holding "line 1" to "line n", each ended by CR LF.
  CMyView* ViewWithLines(int n) {
    CMyView* view = View();
    if (!view) return nullptr;
    std::string text;
    for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + "\r\n";
    view->SetText(text.c_str());
    return view;
  }

  // A preview's print run over the printer (all pages laid out), each page
  // recorded as the printer would get it.
  struct Run {
    CPrintInfo info;
    std::vector<RecordedPage> pages;
    printlayout::PageFrame frame;
    int h = 0;
  };
  void Record(CMyView* view, Run& run) {
    run.info.m_bPreview = TRUE;
    ASSERT_TRUE(view->OnPreparePrinting(&run.info)) << "no printer in the test prefix";
    HDC printer = run.info.m_hAttribDC;
    view->OnBeginPrinting(printer, &run.info);
    TEXTMETRICW tm{};
    GetTextMetricsW(printer, &tm);
    run.h = tm.tmHeight;
    RECT r = run.info.PageRect();
    run.frame = printlayout::FramePage(printlayout::Box{r.left, r.top, r.right, r.bottom}, run.h, true);
    HFONT font = AfxCreatePrinterFont(printer);
    for (UINT page = 1; page <= run.info.GetMaxPage(); ++page) {
      HDC meta = CreateEnhMetaFileW(printer, nullptr, nullptr, nullptr);
      SelectObject(meta, font);
      run.info.m_nCurPage = page;
      view->OnPrepareDC(meta, &run.info);
      EXPECT_TRUE(run.info.m_bContinuePrinting);
      run.info.m_rectDraw = r;
      view->OnPrint(meta, &run.info);
      HENHMETAFILE emf = CloseEnhMetaFile(meta);
      RecordedPage recorded;
      EnumEnhMetaFile(nullptr, emf, Collect, &recorded, nullptr);
      DeleteEnhMetaFile(emf);
      run.pages.push_back(recorded);
    }
    DeleteObject(font);
    view->OnEndPrinting(printer, &run.info);
    DeleteDC(printer);
  }
  // The body's text records of a page (neither the header nor the footer).
  static std::vector<TextRecord> Body(const Run& run, const RecordedPage& page) {
    std::vector<TextRecord> body;
    for (const TextRecord& t : page.texts)
      if (t.y >= run.frame.body.top && t.y < run.frame.body.bottom) body.push_back(t);
    return body;
  }
};

TEST_F(PrintTest, PagesCarryTheHeaderRulesBodyAndFooterWhereTheFramePutsThem) {
  CMyView* view = ViewWithLines(200);
  ASSERT_NE(view, nullptr);
  const std::string path = "C:\\印刷\\テスト.js";
  view->GetDocument()->SetPathName(path.c_str(), false);
  Run run;
  Record(view, run);
  ASSERT_GE(run.pages.size(), 3u);
  const printlayout::PageFrame& f = run.frame;
  // The known text: every page but the last is full, and the lines add up to 200.
  const size_t perPage = Body(run, run.pages[0]).size();
  ASSERT_GT(perPage, 10u);
  EXPECT_EQ((200 + perPage - 1) / perPage, run.pages.size());
  EXPECT_EQ(200 - (run.pages.size() - 1) * perPage, Body(run, run.pages.back()).size());

  const RecordedPage& p3 = run.pages[2];
  ASSERT_GE(p3.texts.size(), 3u);
  // Header: the full path in one line above T, centred between the margins.
  const TextRecord& header = p3.texts.front();
  EXPECT_EQ(Wide(path), header.text);
  EXPECT_EQ(f.inner.top - run.h, header.y);
  // Footer: "- 3 -" centred, its bottom at B + h.
  const TextRecord& footer = p3.texts.back();
  EXPECT_EQ(L"- 3 -", footer.text);
  EXPECT_EQ(f.inner.bottom, footer.y);
  const int centre = (f.inner.left + f.inner.right) / 2;
  EXPECT_NEAR(centre, footer.x + footer.width / 2, run.h);
  // The body's first line at the body's top left, each line one line height lower.
  std::vector<TextRecord> body = Body(run, p3);
  ASSERT_EQ(perPage, body.size());
  EXPECT_EQ(L"line " + std::to_wstring(2 * perPage + 1), body[0].text);
  EXPECT_EQ(f.inner.left, body[0].x);
  EXPECT_EQ(f.body.top, body[0].y);
  // Rules under the header at T + g and above the footer at B - g, margin to margin.
  ASSERT_EQ(2u, p3.rules.size());
  EXPECT_EQ(f.headerRule, p3.rules[0].y0);
  EXPECT_EQ(f.headerRule, p3.rules[0].y1);
  EXPECT_EQ(f.inner.left, p3.rules[0].x0);
  EXPECT_EQ(f.inner.right, p3.rules[0].x1);
  EXPECT_EQ(f.footerRule, p3.rules[1].y0);
  EXPECT_EQ(f.footerRule, p3.rules[1].y1);
  // Nothing lies in the side margins.
  for (const TextRecord& t : p3.texts) {
    EXPECT_GE(t.x, f.inner.left);
    EXPECT_LE(t.x + t.width, f.inner.right);
  }

  // A path too long for the line loses its middle, not its file name.
  const std::string longPath = dir / "印刷テスト.js";
  view->GetDocument()->SetPathName(longPath.c_str(), false);
  Run again;
  Record(view, again);
  const std::wstring shown = again.pages[0].texts.front().text;
  EXPECT_NE(std::wstring::npos, shown.find(L"...")) << "the path fits: make it longer";
  EXPECT_EQ(0u, shown.find(L"C:\\"));
  EXPECT_EQ(shown.size() - Wide("\\印刷テスト.js").size(), shown.rfind(Wide("\\印刷テスト.js")));
}

TEST_F(PrintTest, ALongDoubleByteLineWrapsInsideTheBodyAndTabsReachTheViewsStops) {
  CMyView* view = View();
  ASSERT_NE(view, nullptr);
  std::string longLine = "x";
  for (int i = 0; i < 150; ++i) longLine += "表示";
  view->SetText(("\tTAB\r\n" + longLine + "\r\nend").c_str());
  Run run;
  Record(view, run);
  ASSERT_EQ(1u, run.pages.size());
  std::vector<TextRecord> body = Body(run, run.pages[0]);
  ASSERT_GE(body.size(), 4u);
  // The tab: "TAB" starts at the first tab stop of the view's tab width.
  EXPECT_EQ(L"TAB", body[0].text);
  EXPECT_GT(body[0].x, run.frame.inner.left);
  // The long line comes back whole from its pieces, none wider than the body.
  std::wstring joined;
  size_t i = 1;
  for (; i < body.size() && body[i].text != L"end"; ++i) {
    EXPECT_EQ(run.frame.inner.left, body[i].x);
    EXPECT_LE(body[i].x + body[i].width, run.frame.inner.right);
    joined += body[i].text;
  }
  EXPECT_GE(i - 1, 2u) << "the line was not wrapped";
  EXPECT_EQ(Wide(longLine), joined);
}

// Colouring and printing read the text where it lies: an edit in the middle of
// a long line leaves the gap of the control's buffer there through a repaint
// and a print run, and the line still prints whole.
TEST_F(PrintTest, ColouringAndPrintingLeaveTheTextWhereTheLastEditPutIt) {
  CMyView* view = ColouringView();
  ASSERT_NE(view, nullptr);
  std::string longLine = "if(";
  for (int i = 0; i < 150; ++i) longLine += "表示";
  view->SetText(("var a;\r\n" + longLine + "\r\nend").c_str());
  const int middle = 8 + 3 + 200;
  view->SetSel(middle, middle);
  view->ReplaceSel("x");
  longLine.insert(3 + 200, "x");
  auto gap = [view] {
    RvTextParts parts{};
    view->SendMessage(RVEM_GETTEXTPARTS, 0, reinterpret_cast<LPARAM>(&parts));
    return parts.length1;
  };
  ASSERT_EQ(middle + 1, gap());
  InvalidateRect(view->m_hWnd, nullptr, FALSE);
  UpdateWindow(view->m_hWnd);
  EXPECT_EQ(middle + 1, gap()) << "the colour pass";
  Run run;
  Record(view, run);
  EXPECT_EQ(middle + 1, gap()) << "the print run";
  ASSERT_EQ(1u, run.pages.size());
  const std::vector<TextRecord> body = Body(run, run.pages[0]);
  std::wstring joined;
  for (const TextRecord& t : body) joined += t.text;
  EXPECT_EQ(Wide("var a;" + longLine + "end"), joined);
}

// The body takes the colours of the screen from the same line states: a block
// comment that starts on an earlier page colours the next page's lines, and
// an automatic role prints in its default colour.
TEST_F(PrintTest, PrintedLinesTakeTheViewsColoursFromTheLineAbove) {
  EditorColors colors;
  colors.comment = EditorColors::kAutomatic;
  CMyView* view = ColouringView(colors);
  ASSERT_NE(view, nullptr);
  std::string text = "var a;\r\n/* start\r\n";
  for (int i = 0; i < 150; ++i) text += "var if x\r\n";
  text += "*/ if\r\n";
  view->SetText(text.c_str());
  Run run;
  Record(view, run);
  ASSERT_GE(run.pages.size(), 2u);
  const std::vector<TextRecord> first = Body(run, run.pages[0]), second = Body(run, run.pages[1]);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(L"var", first[0].text);
  EXPECT_EQ(RGB(255, 0, 0), first[0].color);
  EXPECT_EQ(RGB(0, 0, 0), first[1].color);  // " a;"
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(L"var if x", second[0].text);
  EXPECT_EQ(RGB(192, 0, 0), second[0].color);
  const TextRecord& last = Body(run, run.pages.back()).back();
  EXPECT_EQ(L"if", last.text);
  EXPECT_EQ(RGB(255, 0, 0), last.color);

  // File > カラー印刷 turned off prints the body in black, and the choice is kept.
  Command(ID_FILE_PRINT_COLOR);
  Run plain;
  Record(view, plain);
  for (const RecordedPage& page : plain.pages)
    for (const TextRecord& t : Body(plain, page)) EXPECT_EQ(RGB(0, 0, 0), t.color) << std::string(t.text.begin(), t.text.end());
  Exit();
  EXPECT_EQ(Ini("Settings", "PrintColor"), "0");
}

TEST_F(PrintTest, AnUntitledDocumentPrintsItsTitleAsHeader) {
  CMyView* view = View();
  ASSERT_NE(view, nullptr);
  view->SetText("a");
  Run run;
  Record(view, run);
  ASSERT_EQ(1u, run.pages.size());
  ASSERT_FALSE(run.pages[0].texts.empty());
  EXPECT_EQ(Wide(view->GetDocument()->GetTitle()), run.pages[0].texts.front().text);
  EXPECT_EQ(L"- 1 -", run.pages[0].texts.back().text);
}

TEST_F(PrintTest, TheScrollStylesComeBackAfterACancelledPrintAndAClosedPreview) {
  CMyView* view = ViewWithLines(300);
  ASSERT_NE(view, nullptr);
  auto styles = [&] { return static_cast<DWORD>(GetWindowLongA(view->m_hWnd, GWL_STYLE)) & kScrollStyles; };
  ASSERT_EQ(kScrollStyles, styles());

  DWORD during = 0xFFFFFFFF;
  ui.onCommon = [&](const char* kind, void*) {
    during = styles();
    return IDCANCEL;
  };
  Command(ID_FILE_PRINT);
  EXPECT_EQ(0u, during);
  EXPECT_EQ(kScrollStyles, styles());

  // The preview opens at the page of the selection's start, with all pages known.
  const int at = view->LineIndex(250);
  view->SetSel(at, at);
  Command(ID_FILE_PRINT_PREVIEW);
  CPrintPreviewWnd* preview = CPrintPreviewWnd::Active();
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(0u, styles());
  EXPECT_FALSE(IsWindowEnabled(Frame()->m_hWnd));
  const UINT pages = preview->PageCount();
  ASSERT_GT(pages, 2u);
  const UINT first = preview->CurrentPage();
  EXPECT_GT(first, 1u);
  // Page Up and Page Down through the preview's accelerators.
  PostMessageA(preview->Canvas(), WM_KEYDOWN, VK_PRIOR, 0);
  PumpMessages();
  EXPECT_EQ(first - 1, preview->CurrentPage());
  PostMessageA(preview->Canvas(), WM_KEYDOWN, VK_NEXT, 0);
  PostMessageA(preview->Canvas(), WM_KEYDOWN, VK_NEXT, 0);
  PumpMessages();
  EXPECT_EQ(first + 1, preview->CurrentPage());
  preview->OnPreviewCommand(AFX_ID_PREVIEW_NUMPAGE);
  EXPECT_EQ(2, preview->PagesShown());
  preview->OnPreviewCommand(AFX_ID_PREVIEW_ZOOMIN);
  EXPECT_EQ(1, preview->PagesShown());
  // Escape closes it and gives everything back.
  PostMessageA(preview->Canvas(), WM_KEYDOWN, VK_ESCAPE, 0);
  PumpMessages();
  EXPECT_EQ(nullptr, CPrintPreviewWnd::Active());
  EXPECT_EQ(kScrollStyles, styles());
  EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
  EXPECT_EQ(2, app->m_nPreviewPages);

  // The preview's print button ends the preview and asks the print dialog.
  Command(ID_FILE_PRINT_PREVIEW);
  ASSERT_NE(CPrintPreviewWnd::Active(), nullptr);
  during = 0xFFFFFFFF;
  CPrintPreviewWnd::Active()->OnPreviewCommand(AFX_ID_PREVIEW_PRINT);
  PumpMessages();
  EXPECT_EQ(nullptr, CPrintPreviewWnd::Active());
  EXPECT_EQ(0u, during) << "no print dialog after the preview's print button";
  EXPECT_EQ(kScrollStyles, styles());
}

TEST_F(PrintTest, ClosingTheDocumentUnderItsPreviewClosesThePreview) {
  CMyView* view = View();
  ASSERT_NE(view, nullptr);
  view->SetText("a");
  Command(ID_FILE_PRINT_PREVIEW);
  ASSERT_NE(CPrintPreviewWnd::Active(), nullptr);
  view->GetDocument()->OnCloseDocument();
  PumpMessages();
  EXPECT_EQ(nullptr, CPrintPreviewWnd::Active());
  EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
}

TEST_F(PrintTest, AModelessReplaceWaitsUnderThePreviewWhosePagesItCouldChange) {
  CMyView* view = View();
  ASSERT_NE(view, nullptr);
  view->SetText("a");
  Command(ID_EDIT_REPLACE);
  HWND replace = view->FindState().dialog;
  ASSERT_TRUE(replace && IsWindowVisible(replace));
  Command(ID_FILE_PRINT_PREVIEW);
  ASSERT_NE(CPrintPreviewWnd::Active(), nullptr);
  EXPECT_FALSE(IsWindowEnabled(replace));
  CPrintPreviewWnd::Active()->OnPreviewCommand(AFX_ID_PREVIEW_CLOSE);
  PumpMessages();
  EXPECT_TRUE(IsWindowEnabled(replace));
  EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
}

// A print or set-up dialog may replace the printer handles it was given: the
// new ones are kept also after Cancel, the old ones freed.
TEST_F(PrintTest, PrinterHandlesTheDialogReplacedAreKeptAfterCancel) {
  ASSERT_NE(View(), nullptr);
  for (UINT command : {ID_FILE_PRINT, ID_FILE_PRINT_SETUP}) {
    if (app->m_hDevMode) GlobalFree(app->m_hDevMode);
    HGLOBAL old = app->m_hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEA)), given = nullptr;
    ui.onCommon = [&](const char*, void* data) {
      static_cast<PRINTDLGA*>(data)->hDevMode = given = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEA));
      return IDCANCEL;
    };
    Command(command);
    EXPECT_EQ(given, app->m_hDevMode) << command;
    EXPECT_EQ(static_cast<UINT>(GMEM_INVALID_HANDLE), GlobalFlags(old)) << command << ": the old handle leaks";
  }
}

int g_pagesShown = 0;
std::vector<std::string> g_pageTexts;  // what the "印刷中" window showed
HWND g_watched = nullptr;        // a window that must wait while the job prints
bool g_watchedEnabled = false;  // it was enabled while a page printed

// Presses Cancel in the "印刷中" window when it shows its second page.
LRESULT CALLBACK CancelAtPageTwo(int code, WPARAM wp, LPARAM lp) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && call->message == WM_SETTEXT && GetDlgCtrlID(call->hwnd) == AFX_IDC_PRINT_PAGENUM) {
    g_pageTexts.push_back(reinterpret_cast<const char*>(call->lParam));
    if (g_watched && IsWindowEnabled(g_watched)) g_watchedEnabled = true;
    if (++g_pagesShown == 2) PostMessageA(GetParent(call->hwnd), WM_COMMAND, IDCANCEL, 0);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// The window shows each page with the total the preview counts.
TEST_F(PrintTest, CancelInThePrintingWindowEndsTheJobWithNoFurtherPage) {
  ASSERT_NE(ViewWithLines(400), nullptr);  // several pages
  Run preview;
  Record(View(), preview);
  const std::string total = " / " + std::to_string(preview.info.GetMaxPage());
  char spooled[MAX_PATH] = "Z:";           // the Unix path the test prefix's printer writes to
  DWORD size = sizeof spooled - 2;
  ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", "LPT1:",
                                        RRF_RT_REG_SZ, nullptr, spooled + 2, &size));
  DeleteFileA(spooled);
  g_pagesShown = 0;
  g_pageTexts.clear();
  // A modeless Replace could change the text between pages: it waits too.
  Command(ID_EDIT_REPLACE);
  g_watched = View()->FindState().dialog;
  ASSERT_TRUE(g_watched && IsWindowVisible(g_watched));
  g_watchedEnabled = false;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CancelAtPageTwo, nullptr, GetCurrentThreadId());
  EXPECT_EQ(View()->PrintToPrinter(true), PrintRunEnd::Cancelled);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_pageTexts, (std::vector<std::string>{"ページ 1" + total, "ページ 2" + total}));
  EXPECT_FALSE(g_watchedEnabled);
  EXPECT_TRUE(IsWindowEnabled(g_watched));
  g_watched = nullptr;
  EXPECT_EQ(2, g_pagesShown);
  EXPECT_TRUE(ui.shown.empty());  // a job the user ended is no failure
  EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd));
  EXPECT_EQ(std::string::npos, ReadBytes(spooled).find("%%EOF")) << "the job was not aborted";
}

TEST_F(PrintTest, PagesPast65535AreCounted) {
  CMyView* view = View();
  ASSERT_NE(view, nullptr);
  std::string text;
  for (int i = 0; i < 70000; ++i) text += "a\r\n";
  view->SetText(text.c_str());
  HFONT huge = CreateFontA(-700, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "Courier New");
  view->SetFont(huge);  // one line fills a page
  CPrintInfo info;
  info.m_bPreview = TRUE;
  ASSERT_TRUE(view->OnPreparePrinting(&info));
  EXPECT_EQ(70000u, info.GetMaxPage());
  view->OnEndPrinting(info.m_hAttribDC, &info);
  DeleteDC(info.m_hAttribDC);
  view->SetFont(nullptr);
  DeleteObject(huge);
}

const char* g_refusedClass = nullptr;
HWND g_refused = nullptr;

LRESULT CALLBACK RefuseWindowClass(int code, WPARAM wp, LPARAM lp) {
  char name[64] = "";
  if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wp), name, sizeof name) &&
      lstrcmpiA(name, g_refusedClass) == 0) {
    g_refused = reinterpret_cast<HWND>(wp);
    return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// A preview window or page area that cannot be made is reported, ends the
// run, gives the main window back and leaves no wrapper bound to it.
TEST_F(PrintTest, APreviewThatCannotBeMadeIsReportedAndEndsItsRun) {
  CMyView* view = View();
  ASSERT_NE(view, nullptr);
  for (const char* cls : {"RvPrintPreview", "RvPreviewCanvas"}) {
    ui.shown.clear();
    g_refusedClass = cls;
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseWindowClass, nullptr, GetCurrentThreadId());
    Command(ID_FILE_PRINT_PREVIEW);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(nullptr, CPrintPreviewWnd::Active()) << cls;
    EXPECT_EQ(nullptr, CWnd::FromHandle(g_refused)) << cls << ": a wrapper is still bound to the refused window";
    EXPECT_EQ(1u, ui.shown.size()) << cls;
    EXPECT_TRUE(IsWindowEnabled(Frame()->m_hWnd)) << cls;
    EXPECT_EQ(kScrollStyles, static_cast<DWORD>(GetWindowLongA(view->m_hWnd, GWL_STYLE)) & kScrollStyles) << cls;
  }
}

}  // namespace
