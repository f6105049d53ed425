// Costs of the text control for a 10 KiB and a 1 MiB text: typing a character at
// the end and in the middle (the message alone, and with the repaint it causes),
// line-index, line-from-index and position queries, and the ratio 1 MiB / 10 KiB
// of each (target at most 1.5); then putting a 1 MiB text into the control and
// painting the first screen (target under 50 ms); then word movement on one line
// of 16,000 double-byte characters whose bytes all have lead values (亜, 88 9F):
// Ctrl+Left from the line's end and a double-click in its middle.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>
#include "bench/bench_util.h"
#include "platform/textctl/text_control.h"

namespace {

using bench::MakeText;
using bench::Now;
using bench::Pump;

// One control with its text, in its own top-level window.
struct Subject {
  HWND parent = nullptr, edit = nullptr;
  int lines = 0, length = 0;
  std::vector<int> randLines, randIndex;
};

Subject MakeSubject(HFONT font, const std::string& text) {
  HINSTANCE hinst = GetModuleHandleA(nullptr);
  Subject s;
  s.parent = CreateWindowA("STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr,
                           hinst, nullptr);
  s.edit = CreateWindowExA(0, kTextControlClassName, "",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_NOHIDESEL, 0, 0, 880, 660,
                           s.parent, reinterpret_cast<HMENU>(1), hinst, nullptr);
  SendMessageA(s.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessageA(s.edit, EM_SETLIMITTEXT, 0, 0);
  SendMessageA(s.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  UpdateWindow(s.edit);
  s.lines = static_cast<int>(SendMessageA(s.edit, EM_GETLINECOUNT, 0, 0));
  s.length = static_cast<int>(SendMessageA(s.edit, WM_GETTEXTLENGTH, 0, 0));
  std::mt19937 rng(7);
  for (int i = 0; i < 20000; ++i) {
    s.randLines.push_back(static_cast<int>(rng() % s.lines));
    s.randIndex.push_back(static_cast<int>(rng() % s.length));
  }
  return s;
}

// Seconds per typed character at the end or in the middle of the text; the typed
// bytes are taken out again so every round sees the same text.
double Type(Subject& s, bool middle, bool paint) {
  const int n = 200;
  HWND edit = s.edit;
  SetFocus(edit);
  int at = middle ? static_cast<int>(SendMessageA(edit, EM_LINEINDEX, s.lines / 2, 0)) : s.length;
  SendMessageA(edit, EM_SETSEL, at, at);
  SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  UpdateWindow(edit);
  double t0 = Now();
  for (int i = 0; i < n; ++i) {
    SendMessageA(edit, WM_CHAR, 'x', 1);
    if (paint) UpdateWindow(edit);
  }
  double t = (Now() - t0) / n;
  SendMessageA(edit, EM_SETSEL, at, at + n);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  UpdateWindow(edit);
  return t;
}

double Query(Subject& s, UINT msg) {
  volatile LRESULT sink = 0;
  const std::vector<int>& args = msg == EM_LINEINDEX ? s.randLines : s.randIndex;
  double t0 = Now();
  for (int a : args) sink = sink + SendMessageA(s.edit, msg, a, 0);
  return (Now() - t0) / args.size();
}

template <typename Fn>
void Row(const char* name, Subject& small, Subject& large, Fn fn) {
  bench::PairedRow(name, small, large, 9, fn);
}

// Milliseconds for Ctrl+Left from the end of a long line of 亜 and for a
// double-click in its middle (median of 5 each).
void WordMovementOnALongLine(HFONT font) {
  std::string line;
  for (int i = 0; i < 16000; ++i) line += "亜";
  Subject s = MakeSubject(font, "x " + line);
  const int length = s.length;
  std::vector<double> left, dbl;
  BYTE keys[256];
  for (int round = 0; round < 5; ++round) {
    SendMessageA(s.edit, EM_SETSEL, length, length);
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    double t0 = Now();
    SendMessageA(s.edit, WM_KEYDOWN, VK_LEFT, 1);
    left.push_back(Now() - t0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);

    const int middle = 2 + 16000;
    SendMessageA(s.edit, EM_SETSEL, middle, middle);
    SendMessageA(s.edit, EM_SCROLLCARET, 0, 0);
    POINT p = {};
    SendMessageA(s.edit, RVEM_POSFROMCHAR32, middle, reinterpret_cast<LPARAM>(&p));
    t0 = Now();
    SendMessageA(s.edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 2));
    dbl.push_back(Now() - t0);
    SendMessageA(s.edit, WM_LBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 2));
  }
  std::sort(left.begin(), left.end());
  std::sort(dbl.begin(), dbl.end());
  DWORD a = 0, b = 0;
  SendMessageA(s.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  std::printf("one line of 16,000 characters 88 9F (32 KB): Ctrl+Left from its end %.2f ms, double-click in its middle %.2f ms"
              " (median of 5; selected %lu-%lu)\n",
              left[left.size() / 2] * 1e3, dbl[dbl.size() / 2] * 1e3, a, b);
  DestroyWindow(s.parent);
}

}  // namespace

int main() {
  RegisterTextControlClass(GetModuleHandleA(nullptr));
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
  std::string smallText = MakeText(10 * 1024), largeText = MakeText(1024 * 1024);
  Subject small = MakeSubject(font, smallText), large = MakeSubject(font, largeText);
  Pump();

  std::printf("text control, microseconds per operation (median of 9 alternating rounds)\n");
  std::printf("%-34s %10s %10s %8s\n", "operation", "10 KiB", "1 MiB", "ratio");
  Row("type a character at the end", small, large, [](Subject& s) { return Type(s, false, false); });
  Row("type a character in the middle", small, large, [](Subject& s) { return Type(s, true, false); });
  Row("type at the end and repaint", small, large, [](Subject& s) { return Type(s, false, true); });
  Row("type in the middle and repaint", small, large, [](Subject& s) { return Type(s, true, true); });
  Row("EM_LINEINDEX", small, large, [](Subject& s) { return Query(s, EM_LINEINDEX); });
  Row("EM_LINEFROMCHAR", small, large, [](Subject& s) { return Query(s, EM_LINEFROMCHAR); });
  Row("EM_POSFROMCHAR", small, large, [](Subject& s) { return Query(s, EM_POSFROMCHAR); });

  // Loading 1 MiB and painting the first screen, from an empty control.
  std::vector<double> loads;
  for (int i = 0; i < 5; ++i) {
    SendMessageA(large.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    UpdateWindow(large.edit);
    Pump();
    double t0 = Now();
    SendMessageA(large.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(largeText.c_str()));
    UpdateWindow(large.edit);
    GdiFlush();
    loads.push_back(Now() - t0);
  }
  std::sort(loads.begin(), loads.end());
  std::printf("put 1 MiB into the control and paint the first screen: %.1f ms (median of 5; target < 50)\n",
              loads[loads.size() / 2] * 1e3);
  DestroyWindow(small.parent);
  DestroyWindow(large.parent);
  WordMovementOnALongLine(font);
  DeleteObject(font);
  return 0;
}
