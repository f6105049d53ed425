// Costs of the colouring view: a colour pass over one full screen of a 1 MiB
// script at its start, middle and end (target at most 2 ms); a keystroke and a
// repaint in the middle of a 100 KB single line (target under 5 ms each);
// typing at the end of a coloured 1 MiB text against 10 KiB (target ratio at
// most 1.5); and 10,000 replacements with redraw off, coloured view against
// the plain edit view (the colouring must add next to nothing).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "bench/bench_util.h"
#include "views/colorview.h"

namespace {

using bench::MakeText;
using bench::Now;
using bench::Pump;

struct Subject {
  CWnd parent;
  CMyEditView* view = nullptr;
};

template <class View>
View* Make(Subject& s, HFONT font, const std::string& text) {
  const char* cls = CWnd::RegisterWndClass("RvColorBenchParent", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  s.parent.CreateEx(0, cls, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr);
  auto* view = new View;  // deletes itself when its window goes
  s.view = view;
  view->Create(&s.parent, nullptr);
  MoveWindow(view->m_hWnd, 0, 0, 880, 660, TRUE);
  view->SetFont(font, true);
  view->SetText(text.c_str());
  UpdateWindow(view->m_hWnd);
  Pump();
  return view;
}


double TypeAtEnd(CMyEditView* v) {
  SetFocus(v->m_hWnd);
  const int end = v->GetTextLength();
  v->SetSel(end, end);
  UpdateWindow(v->m_hWnd);
  const double ms = bench::MedianMs(101, [v] {
    v->SendMessage(WM_CHAR, 'a', 1);
    UpdateWindow(v->m_hWnd);
  });
  const int now = v->GetTextLength();
  v->SetSel(end, now);
  v->ReplaceSel("");
  v->m_undo.Clear();
  return ms;
}

}  // namespace

int main() {
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
  const std::string big = MakeText(1024 * 1024);
  Subject s1;
  auto* view = Make<CColorEditView>(s1, font, big);
  std::printf("colouring view, milliseconds (median)\n");
  const int lines = view->GetLineCount();
  for (int at : {0, lines / 2, lines - 40}) {
    view->SendMessage(EM_LINESCROLL, 0, at - view->GetFirstVisibleLine());
    UpdateWindow(view->m_hWnd);
    const double ms = bench::MedianMs(51, [view] { view->PaintSyntaxColors(nullptr); });
    std::printf("%-48s %8.3f  (target <= 2)\n", (std::string("colour pass, full screen, 1 MiB, line ") + std::to_string(at)).c_str(), ms);
  }

  // A minified script: one line of 100 KB, caret and view in its middle.
  std::string line;
  while (line.size() < 100 * 1024) line += "if(a){b=\"x\";c=d/e;}/*c*/var f=this.g;";
  Subject s2;
  auto* longView = Make<CColorEditView>(s2, font, line);
  SetFocus(longView->m_hWnd);
  const int middle = static_cast<int>(line.size() / 2);
  longView->SetSel(middle, middle);
  UpdateWindow(longView->m_hWnd);
  const double key = bench::MedianMs(51, [longView] {
    longView->SendMessage(WM_CHAR, 'x', 1);
    UpdateWindow(longView->m_hWnd);
  });
  const double repaint = bench::MedianMs(51, [longView] {
    InvalidateRect(longView->m_hWnd, nullptr, FALSE);
    UpdateWindow(longView->m_hWnd);
  });
  Subject s5;
  auto* plainLong = Make<CMyEditView>(s5, font, line);
  plainLong->SetSel(middle, middle);
  UpdateWindow(plainLong->m_hWnd);
  const double plainRepaint = bench::MedianMs(51, [plainLong] {
    InvalidateRect(plainLong->m_hWnd, nullptr, FALSE);
    UpdateWindow(plainLong->m_hWnd);
  });
  std::printf("%-48s %8.3f\n", "same repaint, the plain edit view", plainRepaint);
  std::printf("%-48s %8.3f  (target < 5)\n", "keystroke in the middle of a 100 KB line", key);
  std::printf("%-48s %8.3f  (target < 5)\n", "repaint in the middle of a 100 KB line", repaint);

  Subject s3;
  auto* small = Make<CColorEditView>(s3, font, MakeText(10 * 1024));
  const double typeSmall = TypeAtEnd(small), typeBig = TypeAtEnd(view);
  std::printf("%-48s %8.3f\n%-48s %8.3f  ratio %.2f (target <= 1.5)\n", "type at the end, 10 KiB", typeSmall,
              "type at the end, 1 MiB", typeBig, typeBig / typeSmall);

  // 10,000 replacements with redraw off, as a replace-all does them.
  auto replaceAll = [](CMyEditView* v) {
    v->SetText(std::string(10000, 'a').c_str());
    UpdateWindow(v->m_hWnd);
    const double t0 = Now();
    v->SetRedraw(false);
    for (int i = 0; i < 10000; ++i) {
      v->SetSel(i, i + 1);
      v->ReplaceSel("b");
    }
    v->SetRedraw(true);
    UpdateWindow(v->m_hWnd);
    return (Now() - t0) * 1000;
  };
  Subject s4;
  auto* plain = Make<CMyEditView>(s4, font, "");
  const double plainMs = replaceAll(plain), colourMs = replaceAll(small);
  std::printf("%-48s %8.3f\n%-48s %8.3f  ratio %.2f\n", "10,000 replacements, redraw off, plain view", plainMs,
              "10,000 replacements, redraw off, colouring view", colourMs, colourMs / plainMs);
  return 0;
}
