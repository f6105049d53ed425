// Costs of the edit view base for a 10 KiB and a 1 MiB text: typing a character
// through the view (history recording and the control) at the end and in the
// middle, line-index, line-from-index and position queries, and the ratio
// 1 MiB / 10 KiB of each (target at most 1.5); then putting a 1 MiB text into
// the view and painting the first screen (target under 50 ms).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>
#include "bench/bench_util.h"
#include "views/myeditview.h"

namespace {

using bench::MakeText;
using bench::Now;
using bench::Pump;

// One view with its text, in its own top-level window (a plain wrapped window
// stands in for the frame).
struct Subject {
  CWnd parent;
  CMyEditView* view = nullptr;
  std::string text;
  int lines = 0, length = 0;
  std::vector<int> randLines, randIndex;
};

void MakeSubject(Subject& s, HFONT font, std::string text) {
  const char* cls = CWnd::RegisterWndClass("RvBenchParent", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  s.parent.CreateEx(0, cls, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr);
  s.view = new CMyEditView;  // deletes itself when its window goes
  s.view->Create(&s.parent, nullptr);
  MoveWindow(s.view->m_hWnd, 0, 0, 880, 660, TRUE);
  s.view->SetFont(font, true);
  s.text = std::move(text);
  s.view->SetText(s.text.c_str());
  UpdateWindow(s.view->m_hWnd);
  s.lines = s.view->GetLineCount();
  s.length = s.view->GetTextLength();
  std::mt19937 rng(7);
  for (int i = 0; i < 20000; ++i) {
    s.randLines.push_back(static_cast<int>(rng() % s.lines));
    s.randIndex.push_back(static_cast<int>(rng() % s.length));
  }
}

// Seconds per typed character at the end or in the middle of the text; the typed
// bytes are taken out again (unrecorded) so every round sees the same text.
double Type(Subject& s, bool middle) {
  const int n = 200;
  CMyEditView* v = s.view;
  SetFocus(v->m_hWnd);
  int at = middle ? v->LineIndex(s.lines / 2) : s.length;
  v->SetSel(at, at);
  UpdateWindow(v->m_hWnd);
  v->m_undo.Clear();
  double t0 = Now();
  for (int i = 0; i < n; ++i) SendMessageA(v->m_hWnd, WM_CHAR, 'x', 1);
  double t = (Now() - t0) / n;
  v->SetSel(at, at + n);
  SendMessageA(v->m_hWnd, WM_CLEAR, 0, 0);
  v->m_undo.Clear();
  UpdateWindow(v->m_hWnd);
  return t;
}

double Query(Subject& s, UINT msg) {
  volatile LRESULT sink = 0;
  const std::vector<int>& args = msg == EM_LINEINDEX ? s.randLines : s.randIndex;
  double t0 = Now();
  for (int a : args) sink = sink + SendMessageA(s.view->m_hWnd, msg, a, 0);
  return (Now() - t0) / args.size();
}

double PosQuery(Subject& s) {
  volatile long sink = 0;
  double t0 = Now();
  for (int a : s.randIndex) sink = sink + s.view->PosFromChar(a).y;
  return (Now() - t0) / s.randIndex.size();
}

double PosAtEnd(Subject& s) {
  const int n = 2000;
  volatile long sink = 0;
  double t0 = Now();
  for (int i = 0; i < n; ++i) sink = sink + s.view->PosFromChar(s.length).x;
  return (Now() - t0) / n;
}

template <typename Fn>
void Row(const char* name, Subject& small, Subject& large, Fn fn) {
  bench::PairedRow(name, small, large, 11, fn);
}

}  // namespace

int main() {
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
  Subject small, large;
  MakeSubject(small, font, MakeText(10 * 1024));
  MakeSubject(large, font, MakeText(1024 * 1024));
  Pump();

  std::printf("edit view, microseconds per operation (median of 11 alternating rounds)\n");
  std::printf("%-34s %10s %10s %8s\n", "operation", "10 KiB", "1 MiB", "ratio");
  Row("type a character at the end", small, large, [](Subject& s) { return Type(s, false); });
  Row("type a character in the middle", small, large, [](Subject& s) { return Type(s, true); });
  Row("EM_LINEINDEX", small, large, [](Subject& s) { return Query(s, EM_LINEINDEX); });
  Row("EM_LINEFROMCHAR", small, large, [](Subject& s) { return Query(s, EM_LINEFROMCHAR); });
  Row("PosFromChar", small, large, PosQuery);
  Row("PosFromChar at the end of the text", small, large, PosAtEnd);

  // Loading 1 MiB into the view and painting the first screen, from empty.
  std::vector<double> loads;
  HWND h = large.view->m_hWnd;
  for (int i = 0; i < 5; ++i) {
    large.view->SetText("");
    UpdateWindow(h);
    Pump();
    double t0 = Now();
    large.view->SetText(large.text.c_str());
    UpdateWindow(h);
    GdiFlush();
    loads.push_back(Now() - t0);
  }
  std::sort(loads.begin(), loads.end());
  std::printf("put 1 MiB into the view and paint the first screen: %.1f ms (median of 5; target < 50)\n",
              loads[loads.size() / 2] * 1e3);
  small.parent.DestroyWindow();
  large.parent.DestroyWindow();
  DeleteObject(font);
  return 0;
}
