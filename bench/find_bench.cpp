// Find and Replace All over a 1 MiB text in the edit view, next to the same
// work through the system's multi-line edit control: a search that runs to the
// end without a hit (case-sensitive, target under 10 ms; case-insensitive,
// target under 30 ms), and Replace All of 10,000 hits (target at most 200 ms),
// checked byte for byte against a plain replacement and undone in one step.
// The system control has no search: its text is read out and searched
// candidate by candidate with the system comparison, and its hits replaced
// with EM_SETSEL and EM_REPLACESEL.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "bench/bench_util.h"
#include "bench/view_bench.h"
#include "views/findreplace.h"
#include "views/myeditview.h"

namespace {

using bench::MakeText;
using bench::Now;

using bench::MedianMs;

// The plain search over the system control's text: every candidate compared.
int SystemSearch(HWND edit, const std::string& find, bool matchCase) {
  const int n = GetWindowTextLengthA(edit);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  GetWindowTextA(edit, &text[0], n + 1);
  const int m = static_cast<int>(find.size());
  for (int p = 0; p + m <= n; p += IsDBCSLeadByte(static_cast<BYTE>(text[p])) ? 2 : 1)
    if (CompareStringA(LOCALE_USER_DEFAULT, matchCase ? 0 : NORM_IGNORECASE, &text[p], m, find.data(), m) ==
        CSTR_EQUAL)
      return p;
  return -1;
}

std::string PlainReplace(std::string text, const std::string& find, const std::string& with) {
  for (size_t p = 0; (p = text.find(find, p)) != std::string::npos; p += with.size()) text.replace(p, find.size(), with);
  return text;
}

}  // namespace

int main() {
  CWnd parent;
  CMyEditView* view = bench::OpenBenchView(parent, "RvFindBench");
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 400, 300, parent.m_hWnd,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);

  // 1 MiB without the find text.
  const std::string text = MakeText(1 << 20);
  view->SetText(text.c_str());
  SetWindowTextA(edit, text.c_str());
  const std::string absent = "Qz\x82\xA0";
  for (bool matchCase : {true, false}) {
    view->FindState().filter = SearchFilter();  // the first search builds the table
    const double first = MedianMs(1, [&] {
      view->SetSel(0, 0);
      view->SearchText(absent, TRUE, matchCase);
    });
    const double ours = MedianMs(5, [&] {
      view->SetSel(0, 0);
      view->SearchText(absent, TRUE, matchCase);
    });
    const double system = MedianMs(3, [&] { SystemSearch(edit, absent, matchCase); });
    std::printf("find next, 1 MiB, no hit, %-16s view %7.2f ms (first %7.2f)  system control %8.2f ms  ratio %.3f\n",
                matchCase ? "case-sensitive:" : "case-insensitive:", ours, first, system, ours / system);
  }

  // 10,000 hits: "HIT" at the start of every other line of a text that,
  // replaced, stays within the size a file may have (1,048,575 bytes).
  const std::string base = MakeText((1 << 20) - 50000);
  int count = 0;
  const std::string hits = bench::WithMarkers(base, 10000, count, [](int) { return std::string("HIT"); });
  const std::string want = PlainReplace(hits, "HIT", "hit!");
  view->SetText(hits.c_str());
  view->m_undo.Clear();
  view->SetSel(0, 0);
  double start = Now();
  view->ReplaceAll("HIT", "hit!", TRUE);
  const double ours = (Now() - start) * 1000.0;
  const bool same = view->GetText() == want;
  start = Now();
  view->Undo();
  const double undo = (Now() - start) * 1000.0;
  const bool undone = view->GetText() == hits;

  std::printf("replace all, %d hits in 1 MiB: view %7.2f ms; result %s the plain replacement; one undo %7.2f ms %s\n",
              count, ours, same ? "equals" : "DIFFERS FROM", undo, undone ? "restores the text" : "DOES NOT RESTORE THE TEXT");
  std::fflush(stdout);

  // The system control replaces far more slowly: its first 500 hits, scaled.
  const int systemHits = 500;
  SetWindowTextA(edit, hits.c_str());
  start = Now();
  {
    const int n = GetWindowTextLengthA(edit);
    std::string t(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(edit, &t[0], n + 1);
    t.resize(static_cast<size_t>(n));
    int delta = 0;
    int done = 0;
    for (size_t p = 0; done < systemHits && (p = t.find("HIT", p)) != std::string::npos; p += 3, ++done) {
      const int at = static_cast<int>(p) + delta;
      SendMessageA(edit, EM_SETSEL, at, at + 3);
      SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("hit!"));
      ++delta;
    }
  }
  const double system = (Now() - start) * 1000.0 * count / systemHits;
  std::printf("replace all, %d hits in 1 MiB: view %7.2f ms  system control %8.2f ms (%d hits timed, scaled)  "
              "ratio %.4f\n", count, ours, system, systemHits, ours / system);
  DestroyWindow(parent.m_hWnd);
  return same && undone ? 0 : 1;
}
