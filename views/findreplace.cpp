// The find and replace commands of the edit view and the program-wide state
// behind them: the modeless dialog, the search through the system's
// comparison, replacing one match or all of them as one undoable step.
#include "views/findreplace.h"

#include <algorithm>
#include <cstdlib>
#include <vector>
#include "platform/cp932.h"
#include "platform/framework/app.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "views/myeditview.h"

FindReplaceState& CMyEditView::FindState() {
  if (!m_services.find) m_services.find = std::make_shared<FindReplaceState>();
  return *m_services.find;
}

UINT FindReplaceMessage() {
  static const UINT message = ::RegisterWindowMessageA(FINDMSGSTRINGA);
  return message;
}

bool SystemComparer::Equal(const char* a, int na, const char* b, int nb, bool matchCase) {
  return ::CompareStringA(LOCALE_USER_DEFAULT, matchCase ? 0 : NORM_IGNORECASE, a, na, b, nb) == CSTR_EQUAL;
}

void CopyToBuffer(const std::string& text, char* buffer, int size) {
  size_t n = 0;
  const size_t room = static_cast<size_t>(size - 1);
  while (n < text.size()) {
    const size_t length = cp932::CharLength(text.data(), n, text.size());
    if (n + length > room) break;
    n += length;
  }
  text.copy(buffer, n);
  buffer[n] = '\0';
}

bool FindReplaceState::Open(HWND view, BOOL findOnlyDialog, const std::string& initialFind,
                            bool selectionSpansLines) {
  Close();
  CopyToBuffer(initialFind, findBuffer, kBufferSize);
  CopyToBuffer(replaceText, replaceBuffer, kBufferSize);
  fr = FINDREPLACEA{};
  fr.lStructSize = sizeof fr;
  fr.hwndOwner = view;
  fr.Flags = FR_HIDEWHOLEWORD | FR_ENABLETEMPLATE | (searchDown ? FR_DOWN : 0) | (matchCase ? FR_MATCHCASE : 0);
  fr.hInstance = AfxGetInstanceHandle();
  fr.lpTemplateName = MAKEINTRESOURCEA(findOnlyDialog ? IDD_FIND_TEMPLATE : IDD_REPLACE_TEMPLATE);
  fr.lpstrFindWhat = findBuffer;
  fr.wFindWhatLen = kBufferSize;
  fr.lpstrReplaceWith = replaceBuffer;
  fr.wReplaceWithLen = kBufferSize;
  HWND created = findOnlyDialog ? ::FindTextA(&fr) : ::ReplaceTextA(&fr);
  if (!created) return false;
  dialog = created;
  owner = view;
  findOnly = findOnlyDialog;
  inSelection = !findOnlyDialog && selectionSpansLines;
  ::CheckDlgButton(dialog, IDC_FIND_REGEX, regex ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(dialog, IDC_FIND_IN_SELECTION, inSelection ? BST_CHECKED : BST_UNCHECKED);
  if (CWinApp* app = AfxGetApp()) app->m_hWndModeless = dialog;
  ::ShowWindow(dialog, SW_SHOW);
  ::SetActiveWindow(dialog);
  return true;
}

void FindReplaceState::ReadOptions() {
  if (!dialog || !::IsWindow(dialog)) return;
  regex = ::IsDlgButtonChecked(dialog, IDC_FIND_REGEX) == BST_CHECKED;
  inSelection = !findOnly && ::IsDlgButtonChecked(dialog, IDC_FIND_IN_SELECTION) == BST_CHECKED;
}

const CompiledRegex* FindReplaceState::Pattern(BOOL matchCase, bool tell) {
  if (m_pattern.Valid() && m_patternText == findText && m_patternCase == matchCase) return &m_pattern;
  std::string error;
  m_pattern = CompileRegex(findText, matchCase != FALSE, error);
  if (!m_pattern.Valid()) {
    if (tell)
      AfxMessageBox(AfxFormatString1(IDS_REGEX_INVALID, error.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return nullptr;
  }
  m_patternText = findText;
  m_patternCase = matchCase;
  return &m_pattern;
}

void FindReplaceState::Close() {
  HWND closing = dialog;
  dialog = nullptr;
  owner = nullptr;
  if (CWinApp* app = AfxGetApp())
    if (app->m_hWndModeless == closing) app->m_hWndModeless = nullptr;
  if (closing && ::IsWindow(closing)) ::DestroyWindow(closing);
}

// ---------------------------------------------------------------- the view's commands

namespace {

SearchSource TextOf(const CMyEditView& view) { return view.Reader().AllSpans(); }

// Space left between the dialog and the text it moved off.
const int kDialogGap = 8;

// The screen rectangle of the view's selection, from the top of its first
// line to the bottom of its last; empty when the view shows none of it.
RECT SelectionOnScreen(const CMyEditView& view) {
  int s, e;
  view.GetSel(s, e);
  const POINT a = view.PosFromChar(s), b = view.PosFromChar(e);
  RECT client, shown;
  ::GetClientRect(view.m_hWnd, &client);
  RECT r{std::min(a.x, b.x), a.y, std::max(a.x, b.x) + 1, b.y + view.LineHeight()};
  if (a.y != b.y) r.left = client.left, r.right = client.right;  // several lines: their whole width
  if (!::IntersectRect(&shown, &r, &client)) return RECT{0, 0, 0, 0};
  ::MapWindowPoints(view.m_hWnd, nullptr, reinterpret_cast<POINT*>(&shown), 2);
  return shown;
}

// Where a dialog at `box` goes so that it leaves `match` free: where it is when
// it does not cover it; else just above or just below it, whichever is the
// shorter move inside `work`; else just left or right of it; else where it is.
POINT OffMatch(const RECT& box, const RECT& match, const RECT& work) {
  const POINT here{box.left, box.top};
  RECT overlap;
  if (!::IntersectRect(&overlap, &box, &match)) return here;
  const int w = box.right - box.left, h = box.bottom - box.top;
  const POINT candidates[2][2] = {{{box.left, match.top - kDialogGap - h}, {box.left, match.bottom + kDialogGap}},
                                  {{match.left - kDialogGap - w, box.top}, {match.right + kDialogGap, box.top}}};
  for (const auto& pair : candidates) {
    const POINT* best = nullptr;
    for (const POINT& p : pair) {
      const bool fits = p.x >= work.left && p.y >= work.top && p.x + w <= work.right && p.y + h <= work.bottom;
      const auto distance = [&](const POINT& q) { return std::abs(q.x - here.x) + std::abs(q.y - here.y); };
      if (fits && (!best || distance(p) < distance(*best))) best = &p;
    }
    if (best) return *best;
  }
  return here;
}

// Moves the view's open Find or Replace dialog off its selection, as the
// system's own editors do, so that the match found stays in sight.
void MoveDialogOffSelection(CMyEditView& view) {
  const FindReplaceState& state = view.FindState();
  if (!state.dialog || state.owner != view.m_hWnd || !::IsWindowVisible(state.dialog)) return;
  const RECT match = SelectionOnScreen(view);
  if (::IsRectEmpty(&match)) return;
  RECT box;
  ::GetWindowRect(state.dialog, &box);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoA(::MonitorFromRect(&box, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const POINT to = OffMatch(box, match, monitor.rcWork);
  if (to.x != box.left || to.y != box.top)
    ::SetWindowPos(state.dialog, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Says that a search was given up (an explosive pattern); true when it was.
bool SaidTooComplex(RegexStatus status) {
  if (status != RegexStatus::kTooComplex) return false;
  AfxMessageBox(IDS_REGEX_TOO_COMPLEX, MB_OK | MB_ICONEXCLAMATION);
  return true;
}

enum class PatternFound { kFound, kNone, kStopped };

// The next match of the find text as a pattern. Down: from the selection, or
// from its end when it is itself a match (an empty selection takes no empty
// match at the caret, so that the next search moves on); up: the last match
// that starts before the selection. kStopped after a message.
PatternFound FindPattern(CMyEditView& view, FindReplaceState& state, bool down, BOOL matchCase, RegexMatch& match) {
  match.groups.clear();
  const CompiledRegex* re = state.Pattern(matchCase);
  if (!re) return PatternFound::kStopped;
  const SearchSource text = TextOf(view);
  int s, e;
  view.GetSel(s, e);
  RegexStatus status;
  if (down) {
    RegexMatch current;
    status = s != e ? RegexMatchExactly(*re, text, s, e, current) : RegexStatus::kDone;
    if (status == RegexStatus::kDone) status = RegexFindFrom(*re, text, current.Found() ? e : s, s == e, match);
  } else {
    status = RegexFindAllFrom(*re, text, 0, [&](const RegexMatch& m) {
      if (m.Start() >= s) return false;
      match = m;
      return true;
    });
  }
  if (SaidTooComplex(status)) return PatternFound::kStopped;
  return match.Found() ? PatternFound::kFound : PatternFound::kNone;
}

// Replace All with the find text as a pattern: every match in the selection
// (選択範囲のみ) or from the selection on, replaced in one change of the text,
// one step of the history. Nothing changes when the search is given up.
// In the selection, the selection afterwards covers the replaced text; else
// the last replacement is selected.
void ReplacePatternAll(CMyEditView& view, FindReplaceState& state) {
  const CompiledRegex* re = state.Pattern(state.matchCase);
  if (!re) return;
  int s, e;
  view.GetSel(s, e);
  const bool inSelection = state.inSelection && s != e;
  const rv::textctl::TextReader& reader = view.Reader();
  // In the selection the pattern sees the selected text only (^ at its start).
  const SearchSource text = inSelection ? reader.Spans(s, e - s) : reader.AllSpans();
  const int base = inSelection ? s : 0;
  std::string out, scratch;
  int first = -1, copied = 0, lastStart = 0;
  const RegexStatus status = RegexFindAllFrom(*re, text, inSelection ? 0 : s, [&](const RegexMatch& m) {
    if (first < 0) first = copied = inSelection ? 0 : m.Start();
    out.append(text.Bytes(copied, m.Start() - copied, scratch), static_cast<size_t>(m.Start() - copied));
    lastStart = static_cast<int>(out.size());
    out += ExpandReplacement(state.replaceText, m, text);
    copied = m.End();
    return true;
  });
  if (SaidTooComplex(status)) return;
  if (first < 0) {
    view.ReportNotFound(state.findText);
    view.FocusFindDialog();
    return;
  }
  const int end = inSelection ? text.Length() : copied;
  out.append(text.Bytes(copied, end - copied, scratch), static_cast<size_t>(end - copied));
  const int from = base + first, to = base + end;
  if (!view.ApplyEdit(from, to, out, from + static_cast<int>(out.size()))) {
    AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
    return;
  }
  if (inSelection) view.SetSel(from, from + static_cast<int>(out.size()));
  else view.SetSel(from + lastStart, from + static_cast<int>(out.size()) - (end - copied));
  view.ScrollCaret();
}

}  // namespace

void CMyEditView::ShowFindDialog(BOOL findOnly) {
  FindReplaceState& state = FindState();
  if (state.dialog && ::IsWindow(state.dialog) && state.findOnly == findOnly && state.owner == m_hWnd) {
    ::ShowWindow(state.dialog, SW_SHOW);
    ::SetActiveWindow(state.dialog);
    MoveDialogOffSelection(*this);
    return;
  }
  std::string initial;
  if (!CopySelectedText(initial)) initial = state.findText;
  int s, e;
  GetSel(s, e);
  const bool spansLines = s != e && Reader().LineFromPos(s) != Reader().LineFromPos(e - 1);
  if (state.Open(m_hWnd, findOnly, initial, spansLines)) MoveDialogOffSelection(*this);
}

LRESULT CMyEditView::OnFindDialogMessage(WPARAM, LPARAM lp) {
  const auto* fr = reinterpret_cast<const FINDREPLACEA*>(lp);
  FindReplaceState& state = FindState();
  if (!fr) return 0;
  const BOOL down = (fr->Flags & FR_DOWN) != 0;
  const BOOL matchCase = (fr->Flags & FR_MATCHCASE) != 0;
  const std::string find = fr->lpstrFindWhat ? fr->lpstrFindWhat : "";
  const std::string replacement = fr->lpstrReplaceWith ? fr->lpstrReplaceWith : "";
  if (state.owner == m_hWnd) state.ReadOptions();
  if (fr->Flags & FR_DIALOGTERM) {
    if (state.owner == m_hWnd) {
      state.dialog = nullptr;
      state.owner = nullptr;
      if (AfxGetApp()) AfxGetApp()->m_hWndModeless = nullptr;
    }
  } else if (fr->Flags & FR_FINDNEXT) {
    FindNext(find, down, matchCase);
  } else if (fr->Flags & FR_REPLACE) {
    ReplaceCurrent(find, down, matchCase, replacement);
  } else if (fr->Flags & FR_REPLACEALL) {
    ReplaceAll(find, replacement, matchCase);
  }
  return 0;
}

void CMyEditView::FocusFindDialog() {
  HWND dialog = FindState().dialog;
  if (dialog && ::IsWindow(dialog)) ::SetFocus(dialog);
}

void CMyEditView::FindNext(const std::string& find, BOOL down, BOOL matchCase) {
  FindReplaceState& state = FindState();
  state.findText = find;
  state.searchDown = down;
  state.matchCase = matchCase;
  if (!SearchText(state.findText, down, matchCase)) {
    ReportNotFound(state.findText);
    FocusFindDialog();
  }
}

BOOL CMyEditView::PrepareReplace() {
  FindReplaceState& state = FindState();
  int s, e;
  GetSel(s, e);
  if (s != e && SelectionEquals(state.findText, state.matchCase)) return TRUE;
  if (!SearchText(state.findText, state.searchDown, state.matchCase)) {
    ReportNotFound(state.findText);
    FocusFindDialog();
  }
  return FALSE;
}

void CMyEditView::ReplaceCurrent(const std::string& find, BOOL down, BOOL matchCase, const std::string& replacement) {
  FindReplaceState& state = FindState();
  state.findText = find;
  state.replaceText = replacement;
  state.matchCase = matchCase;
  state.searchDown = down;
  if (!PrepareReplace()) return;
  int s, e;
  GetSel(s, e);
  std::string text = state.replaceText;
  if (state.regex) {
    RegexMatch m;
    if (const CompiledRegex* re = state.Pattern(matchCase)) RegexMatchExactly(*re, TextOf(*this), s, e, m);
    if (!m.Found()) return;
    text = ExpandReplacement(state.replaceText, m, TextOf(*this));
  }
  if (!ChangeFits(static_cast<long long>(text.size()) - (e - s))) {
    AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
    return;
  }
  ReplaceSelWithUndo(text.c_str());
  SearchText(state.findText, state.searchDown, state.matchCase);
}

void CMyEditView::ReplaceAll(const std::string& find, const std::string& replacement, BOOL matchCase) {
  FindReplaceState& state = FindState();
  state.findText = find;
  state.replaceText = replacement;
  state.matchCase = matchCase;
  state.searchDown = TRUE;
  if (state.regex) {
    if (!state.findText.empty()) ReplacePatternAll(*this, state);
    return;
  }
  int s, e;
  GetSel(s, e);
  const bool inSelection = state.inSelection && s != e;
  const int n = static_cast<int>(state.findText.size());
  const SearchRequest request{state.findText, true, matchCase != FALSE};
  SystemComparer compare;
  std::vector<int> matches;
  if (inSelection) {
    // Every match that lies wholly inside the selection, read as a text of its own.
    if (n == 0) return;
    const SearchSource text = Reader().Spans(s, e - s);
    for (int m = 0; (m = ::SearchText(text, m, m, request, compare, state.filter)) >= 0; m += n)
      matches.push_back(s + m);
    if (matches.empty()) {
      ReportNotFound(state.findText);
      FocusFindDialog();
      return;
    }
  } else {
    if (!PrepareReplace() && !SelectionEquals(state.findText, state.matchCase)) return;
    // Every match from the selected one on, as the repeated search would find
    // them in the text being replaced: each search starts after the previous
    // replacement, in bytes that were there before.
    GetSel(s, e);
    matches.push_back(s);
    const SearchSource text = TextOf(*this);
    for (int m = s; (m = ::SearchText(text, m + n, m + n, request, compare, state.filter)) >= 0;)
      matches.push_back(m);
  }
  const long long growth = static_cast<long long>(matches.size()) * (static_cast<long long>(replacement.size()) - n);
  if (!ChangeFits(growth)) {
    AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
    return;
  }
  UndoGroup group(m_undo);
  SetRedraw(false);
  long long delta = 0;
  for (int m : matches) {
    const int at = static_cast<int>(m + delta);
    SetSel(at, at + n, true);
    ReplaceSelWithUndo(state.replaceText.c_str());
    delta += static_cast<long long>(replacement.size()) - n;
  }
  if (inSelection) SetSel(s, static_cast<int>(e + delta));  // the selection covers the replaced text
  SetRedraw(true);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ScrollCaret();
}

void CMyEditView::ReportNotFound(const std::string& find) {
  std::string text = "文字列 '%s' が見つかりません。";
  text.replace(text.find("%s"), 2, find);
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONINFORMATION);
}

BOOL CMyEditView::SearchText(const std::string& find, BOOL down, BOOL matchCase) {
  int s, e;
  GetSel(s, e);
  if (find.empty() || (!down && s == 0)) return FALSE;
  if (FindState().regex) {
    RegexMatch m;
    const PatternFound found = FindPattern(*this, FindState(), down != FALSE, matchCase, m);
    if (found == PatternFound::kStopped) return TRUE;  // said why already: no "not found" after it
    if (found == PatternFound::kNone) return FALSE;
    SetSel(m.Start(), m.End());
    ScrollCaret();
    MoveDialogOffSelection(*this);
    return TRUE;
  }
  HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
  SystemComparer compare;
  const int m = ::SearchText(TextOf(*this), s, e, SearchRequest{find, down != FALSE, matchCase != FALSE}, compare,
                             FindState().filter);
  ::SetCursor(previous);
  if (m < 0) return FALSE;
  SetSel(m, m + static_cast<int>(find.size()));
  ScrollCaret();
  MoveDialogOffSelection(*this);
  return TRUE;
}

BOOL CMyEditView::SelectionEquals(const std::string& find, BOOL matchCase) const {
  int s, e;
  GetSel(s, e);
  FindReplaceState& state = const_cast<CMyEditView*>(this)->FindState();
  if (state.regex) {
    RegexMatch m;
    if (const CompiledRegex* re = state.Pattern(matchCase, false)) RegexMatchExactly(*re, TextOf(*this), s, e, m);
    return m.Found() && s != e;
  }
  SystemComparer compare;
  return SearchSelectionEquals(TextOf(*this), s, e, find, matchCase != FALSE, compare);
}

void CMyEditView::CloseOwnFindDialog() {
  FindReplaceState& state = FindState();
  if (state.owner == m_hWnd) state.Close();
}

void CMyEditView::OnEditFind() { ShowFindDialog(TRUE); }
void CMyEditView::OnEditReplace() { ShowFindDialog(FALSE); }
void CMyEditView::OnEditRepeat() {
  FindReplaceState& state = FindState();
  if (!SearchText(state.findText, TRUE, state.matchCase)) ReportNotFound(state.findText);
}
void CMyEditView::OnEditFindPrev() {
  FindReplaceState& state = FindState();
  if (!SearchText(state.findText, FALSE, state.matchCase)) ReportNotFound(state.findText);
}
void CMyEditView::OnUpdateNeedFindText(CCmdUI* ui) {
  ui->Enable(GetTextLength() > 0 && !FindState().findText.empty());
}
