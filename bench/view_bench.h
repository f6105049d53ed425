// What the Find and Replace benchmarks share: the real edit view in a window
// of its own, and a text with a marker at the start of every other line.
#pragma once
#include <windows.h>

#include <string>
#include "views/myeditview.h"

namespace bench {

// An edit view filling a visible top-level window `parent` of class `name`.
inline CMyEditView* OpenBenchView(CWnd& parent, const char* name) {
  const char* cls = CWnd::RegisterWndClass(name, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  parent.CreateEx(0, cls, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr);
  auto* view = new CMyEditView;  // deletes itself when its window goes
  view->Create(&parent, nullptr);
  MoveWindow(view->m_hWnd, 0, 0, 880, 660, TRUE);
  return view;
}

// `base` with marker(i) put before every other line, up to `most` markers;
// `count` receives how many.
template <typename Marker>
std::string WithMarkers(const std::string& base, int most, int& count, Marker marker) {
  std::string out;
  count = 0;
  for (size_t p = 0, line = 0; p < base.size(); ++line) {
    size_t e = base.find("\r\n", p);
    e = e == std::string::npos ? base.size() : e + 2;
    if (line % 2 == 0 && count < most) out += marker(count++);
    out.append(base, p, e - p);
    p = e;
  }
  return out;
}

}  // namespace bench
