// Regular-expression Find and Replace All over a 1 MiB script-like text in the
// edit view, side by side in one run with what they are held to:
// - find next without a hit, [ァ-ヶー]+[0-9]{3}: the view's search (Boost.Regex
//   through the CP932 iterator over the text in place) against Boost.Regex over
//   the same text already decoded to a std::wstring (target ratio <= 1.3);
// - find next without a hit, CreateObject\(".*"\): against the view's literal
//   search for CreateObject(" (target ratio <= 3);
// - Replace All of 10,000 matches with groups (target <= 150 ms), checked
//   against a plain replacement and undone in one step.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <boost/regex.hpp>

#include "bench/bench_util.h"
#include "bench/view_bench.h"
#include "platform/cp932_wide.h"
#include "views/findreplace.h"
#include "views/myeditview.h"

namespace {

using bench::MakeText;
using bench::MedianMs;
using bench::Now;

// The text without any CreateObject, so that both searches run to the end.
std::string TextWithoutHits() {
  std::string text = MakeText(1 << 20);
  for (size_t p = 0; (p = text.find("CreateObject", p)) != std::string::npos;) text[p + 11] = 'x';
  return text;
}

double DoubleByteShare(const std::string& text) {
  size_t doubled = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i]))) doubled += 2, ++i;
  return 100.0 * static_cast<double>(doubled) / static_cast<double>(text.size());
}

}  // namespace

int main() {
  CWnd parent;
  CMyEditView* view = bench::OpenBenchView(parent, "RvRegexBench");
  FindReplaceState& state = view->FindState();
  bool ok = true;

  const std::string text = TextWithoutHits();
  view->SetText(text.c_str());
  std::printf("text: %zu bytes, %.0f%% of them in double-byte characters\n", text.size(), DoubleByteShare(text));

  const std::wstring wide = cp932::ToWide(text);
  const boost::wregex katakana(L"[\\x{30A1}-\\x{30F6}\\x{30FC}]+[0-9]{3}",
                               boost::regex_constants::ECMAScript);
  const struct {
    const char* pattern;
    const char* literal;  // the literal search it is compared with, or null: the wstring run
  } rows[] = {{"[ァ-ヶー]+[0-9]{3}", nullptr}, {"CreateObject\\(\".*\"\\)", "CreateObject(\""}};
  for (const auto& row : rows) {
    state.findText = row.pattern;
    const auto find = [&](BOOL regex, const std::string& what) {
      state.regex = regex;
      view->SetSel(0, 0);
      if (view->SearchText(what, TRUE, TRUE)) ok = false;  // no hit expected
    };
    // Alternating rounds, so that drifts of the shared host affect both alike.
    std::vector<double> oursMs, otherMs;
    for (int round = 0; round < 9; ++round) {
      oursMs.push_back(MedianMs(1, [&] { find(TRUE, row.pattern); }));
      otherMs.push_back(MedianMs(1, [&] {
        if (row.literal) {
          find(FALSE, row.literal);
        } else {
          boost::wsmatch m;
          if (boost::regex_search(wide, m, katakana)) ok = false;
        }
      }));
    }
    std::sort(oursMs.begin(), oursMs.end());
    std::sort(otherMs.begin(), otherMs.end());
    const double ours = oursMs[oursMs.size() / 2], other = otherMs[otherMs.size() / 2];
    std::printf("find next, 1 MiB, no hit, %-26s view %7.2f ms  %s %7.2f ms  ratio %.2f\n", row.pattern, ours,
                row.literal ? "literal search" : "Boost on wstring", other, ours / other);
  }

  // 10,000 matches: "HIT" and a digit at the start of every other line.
  const std::string base = MakeText((1 << 20) - 60000);
  int count = 0;
  const std::string hits = bench::WithMarkers(base, 10000, count, [](int i) {
    return std::string("HIT") + static_cast<char>('0' + i % 10);
  });
  const std::string want = bench::WithMarkers(base, 10000, count, [](int i) {
    return std::string("[") + static_cast<char>('0' + i % 10) + "]";
  });
  view->SetText(hits.c_str());
  view->m_undo.Clear();
  view->SetSel(0, 0);
  state.regex = TRUE;
  state.inSelection = FALSE;
  double start = Now();
  view->ReplaceAll("HIT(\\d)", "[$1]", TRUE);
  const double replace = (Now() - start) * 1000.0;
  const bool same = view->GetText() == want;
  start = Now();
  view->Undo();
  const double undo = (Now() - start) * 1000.0;
  const bool undone = view->GetText() == hits;
  std::printf("replace all with a pattern, %d matches with a group in 1 MiB: view %7.2f ms; result %s the plain "
              "replacement; one undo %7.2f ms %s\n",
              count, replace, same ? "equals" : "DIFFERS FROM", undo, undone ? "restores the text" : "DOES NOT RESTORE THE TEXT");
  DestroyWindow(parent.m_hWnd);
  return ok && same && undone ? 0 : 1;
}
