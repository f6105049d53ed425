// Helpers shared by the benchmark programs: a clock, message pumping and a
// script-like text of mixed ASCII and Japanese.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Seconds from the performance counter.
inline double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The median of `runs` timings of f, in milliseconds.
template <typename F>
double MedianMs(int runs, F f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    f();
    t.push_back((Now() - start) * 1000.0);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

// Script-like lines of mixed ASCII and Japanese, CR LF, about `bytes` in all,
// never ending inside a character or a line break.
inline std::string MakeText(size_t bytes) {
  const char* lines[] = {"\tvar shell = WScript.CreateObject(\"WScript.Shell\");",
                         "// 日本語のコメント：設定ファイルを読み込む",
                         "if (fso.FileExists(path)) { WScript.Echo(\"見つかりました\"); }",
                         "",
                         "function 処理(x) { return x * 2; } // 倍にする"};
  std::string text;
  for (size_t i = 0; text.size() < bytes; ++i) {
    text += lines[i % 5];
    text += "\r\n";
  }
  text.resize(bytes);
  while (!text.empty() && (text.back() == '\r' || static_cast<unsigned char>(text.back()) >= 0x80)) text.pop_back();
  return text;
}

// Runs fn (which returns seconds) on a small and a large subject in alternating
// rounds, so that drifts of the host affect both alike, and prints the medians
// in microseconds with their ratio, marking a ratio over 1.5.
template <typename Subject, typename Fn>
void PairedRow(const char* name, Subject& small, Subject& large, int rounds, Fn fn) {
  std::vector<double> a, b;
  for (int round = 0; round < rounds; ++round) {
    a.push_back(fn(small));
    b.push_back(fn(large));
  }
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  const double x = a[a.size() / 2], y = b[b.size() / 2];
  std::printf("%-34s %10.2f %10.2f %8.2f%s\n", name, x * 1e6, y * 1e6, y / x, y / x <= 1.5 ? "" : "  (over 1.5)");
}

}  // namespace bench
