// Print preview of a 1 MiB script in the script view: the time from the
// preview command to the first page painted (target under 1 s; every page is
// laid out on the way), then paging forward and back near the start and near
// the end of the text (page starts are kept, so paging costs one page's
// drawing wherever it is). Needs a printer (scripts/lib.sh installs one in
// each Wine prefix); run it with wine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "bench/bench_util.h"
#include "platform/framework/fwids.h"
#include "platform/framework/preview.h"
#include "platform/framework/print.h"
#include "views/myview.h"

namespace {

using bench::MakeText;
using bench::Now;
using bench::Pump;

}  // namespace

int main() {
  HDC printer = AfxCreatePrinterDC(nullptr);
  if (!printer) {
    std::printf("no printer: run scripts/run.sh or scripts/test.sh once to install the prefix's printer\n");
    return 1;
  }
  DeleteDC(printer);
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
  CWnd parent;
  const char* cls = CWnd::RegisterWndClass("RvPrintBenchParent", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  parent.CreateEx(0, cls, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr);
  auto* view = new CMyView;  // deletes itself when its window goes
  view->Create(&parent, nullptr);
  MoveWindow(view->m_hWnd, 0, 0, 880, 660, TRUE);
  view->SetFont(font, true);
  const std::string text = MakeText(1024 * 1024);
  view->SetText(text.c_str());
  view->SetSel(0, 0);
  UpdateWindow(view->m_hWnd);
  Pump();

  std::printf("print preview of a %zu-byte script (%d lines)\n", text.size(), view->GetLineCount());
  const double t0 = Now();
  view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
  CPrintPreviewWnd* preview = CPrintPreviewWnd::Active();
  if (!preview) {
    std::printf("the preview did not open\n");
    return 1;
  }
  UpdateWindow(preview->Canvas());
  const double first = (Now() - t0) * 1000;
  std::printf("%-44s %10.1f ms  (target under 1000)%s\n", "command to first page painted, all paginated", first,
              first < 1000 ? "" : "  OVER");
  std::printf("%-44s %10u\n", "pages", preview->PageCount());

  auto page = [preview](UINT id) {
    preview->OnPreviewCommand(id);
    UpdateWindow(preview->Canvas());
  };
  const double nearStart = bench::MedianMs(21, [&] {
    page(AFX_ID_PREVIEW_NEXT);
    page(AFX_ID_PREVIEW_PREV);
  }) / 2;
  for (UINT i = preview->CurrentPage(); i + 2 < preview->PageCount(); ++i) preview->OnPreviewCommand(AFX_ID_PREVIEW_NEXT);
  const double nearEnd = bench::MedianMs(21, [&] {
    page(AFX_ID_PREVIEW_NEXT);
    page(AFX_ID_PREVIEW_PREV);
  }) / 2;
  preview->OnPreviewCommand(AFX_ID_PREVIEW_NUMPAGE);
  const double twoPages = bench::MedianMs(21, [&] {
    page(AFX_ID_PREVIEW_PREV);
    page(AFX_ID_PREVIEW_NEXT);
  }) / 2;
  std::printf("%-44s %10.2f ms\n", "one page on, near the start (median)", nearStart);
  std::printf("%-44s %10.2f ms\n", "one page on, near the end (median)", nearEnd);
  std::printf("%-44s %10.2f ms\n", "one page on, two pages shown (median)", twoPages);
  std::printf("%-44s %10.2f\n", "end / start ratio", nearEnd / nearStart);
  preview->OnPreviewCommand(AFX_ID_PREVIEW_CLOSE);
  Pump();
  DestroyWindow(parent.m_hWnd);
  DeleteObject(font);
  return 0;
}
