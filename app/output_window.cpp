// The 出力 window: the text control that holds the results, and the jumps of its
// place lines.
#include "app/output_window.h"
#include "app/output_line.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/editview.h"
#include "platform/framework/dialog.h"
#include "platform/framework/fwids.h"
#include "platform/framework/safe_file.h"
#include "platform/framework/view.h"
#include "platform/textctl/text_control.h"

namespace {
const int kTextId = 1;
COutputWnd* s_output = nullptr;  // the one 出力 window (the program has one main window)
}  // namespace

const char COutputWnd::kTitle[] = "出力";

BEGIN_MESSAGE_MAP(COutputText, CWnd)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
  ON_MESSAGE(WM_LBUTTONDBLCLK, OnDoubleClick)
END_MESSAGE_MAP(CWnd)

LRESULT COutputText::OnKeyDown(WPARAM wp, LPARAM) {
  if (wp == VK_RETURN || wp == VK_F4) {
    m_owner.JumpToLine(static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0)));
    return 0;
  }
  if (wp == VK_ESCAPE) {
    if (m_owner.m_onStop) m_owner.m_onStop();
    return 0;
  }
  return Default();
}

LRESULT COutputText::OnGetDlgCode(WPARAM, LPARAM) { return Default() | DLGC_WANTALLKEYS; }

LRESULT COutputText::OnDoubleClick(WPARAM, LPARAM) {
  LRESULT r = Default();
  m_owner.JumpToLine(static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0)));
  return r;
}

BEGIN_MESSAGE_MAP(COutputWnd, CMDIChildWnd)
  ON_MESSAGE(WM_SIZE, OnSize)
  ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
  ON_MESSAGE(WM_DESTROY, OnChildDestroy)
  ON_COMMAND(ID_EDIT_COPY, OnCopy)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnSelectAll)
  ON_COMMAND(ID_FILE_SAVE, OnSaveAs)
  ON_COMMAND(ID_FILE_SAVE_AS, OnSaveAs)
END_MESSAGE_MAP(CMDIChildWnd)

void COutputWnd::OnSaveAs() {
  CFileDialog dlg(false, "txt", "出力.txt", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                  "テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*||", m_hWnd);
  if (dlg.DoModal() != IDOK) return;
  SafeWriteFile(dlg.GetPathName(), AFX_IDP_FAILED_TO_SAVE_DOC, m_text.GetWindowText());
}

void COutputWnd::OnCopy() { m_text.SendMessage(WM_COPY); }
void COutputWnd::OnSelectAll() { m_text.SendMessage(EM_SETSEL, 0, -1); }

COutputWnd* COutputWnd::Find(CMDIFrameWnd*) { return s_output; }

COutputWnd* COutputWnd::Open(CMDIFrameWnd* main, HFONT font, const std::string& note) {
  if (!s_output) {
    auto* wnd = new COutputWnd;
    if (!wnd->LoadFrame(128, WS_OVERLAPPEDWINDOW, main)) {
      delete wnd;
      return nullptr;
    }
    s_output = wnd;
    if (font) wnd->m_text.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  s_output->SetNote(note);
  s_output->ActivateFrame();
  return s_output;
}

BOOL COutputWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW;
  cs.lpszName = kTitle;
  m_strTitle = kTitle;
  return TRUE;
}

BOOL COutputWnd::OnCreateClient(CREATESTRUCTA*, CCreateContext*) {
  RegisterTextControlClass(GetModuleHandleA(nullptr));
  if (!m_text.CreateEx(0, kTextControlClassName, "",
                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_READONLY | ES_NOHIDESEL, 0, 0, 0, 0,
                       m_hWnd, reinterpret_cast<HMENU>(kTextId)))
    return FALSE;
  m_text.SendMessage(EM_SETLIMITTEXT, 0, 0);
  return TRUE;
}

void COutputWnd::ActivateFrame(int) {
  CMDIChildWnd::ActivateFrame(SW_SHOWMAXIMIZED);
  ::SetFocus(m_text.m_hWnd);
}

LRESULT COutputWnd::OnSize(WPARAM wp, LPARAM lp) {
  LRESULT r = CMDIChildWnd::OnChildSize(wp, lp);
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  if (m_text.m_hWnd) ::MoveWindow(m_text.m_hWnd, 0, 0, rc.right, rc.bottom, TRUE);
  return r;
}

LRESULT COutputWnd::OnSetFocus(WPARAM, LPARAM) {
  if (m_text.m_hWnd) ::SetFocus(m_text.m_hWnd);
  return 0;
}

LRESULT COutputWnd::OnChildDestroy(WPARAM wp, LPARAM lp) {
  if (s_output == this) s_output = nullptr;
  if (m_onStop) m_onStop();
  return CMDIChildWnd::OnChildDestroy(wp, lp);
}

void COutputWnd::Clear() { m_text.SetWindowText(""); }

void COutputWnd::AppendLines(const std::string& lines) {
  int end = static_cast<int>(m_text.SendMessage(RVEM_GETTEXTLEN));
  std::string text = end > 0 ? "\r\n" + lines : lines;
  // Keep the caret where the user put it; the text only grows at the end.
  DWORD start = 0, stop = 0;
  m_text.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&stop));
  m_text.SendMessage(EM_SETSEL, end, end);
  m_text.SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  m_text.SendMessage(EM_SETSEL, start, stop);
  m_text.SendMessage(EM_SCROLLCARET);  // the caret's column in sight, not the new text's end
}

void COutputWnd::SetNote(const std::string& note) {
  m_strTitle = note.empty() ? std::string(kTitle) : std::string(kTitle) + " - " + note;
  SetWindowText(m_strTitle.c_str());
  if (m_pMDIFrame) m_pMDIFrame->OnUpdateFrameTitle();
}

std::string COutputWnd::LineText(int line) const {
  int start = static_cast<int>(m_text.SendMessage(EM_LINEINDEX, line));
  if (start < 0) return {};
  int length = static_cast<int>(m_text.SendMessage(EM_LINELENGTH, start));
  std::string text(static_cast<size_t>(length) + 2, '\0');
  *reinterpret_cast<WORD*>(&text[0]) = static_cast<WORD>(length + 1);
  int got = static_cast<int>(m_text.SendMessage(EM_GETLINE, line, reinterpret_cast<LPARAM>(&text[0])));
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return text;
}

bool COutputWnd::JumpToLine(int line) {
  OutputLocation at;
  if (!ParseOutputLine(LineText(line), &at)) return false;
  int start = static_cast<int>(m_text.SendMessage(EM_LINEINDEX, line));
  m_text.SendMessage(EM_SETSEL, start, start);
  CDocument* doc = AfxGetApp()->OpenDocumentFile(at.path.c_str());
  auto* view = doc ? dynamic_cast<CEditView*>(doc->GetFirstView()) : nullptr;
  if (!view) return false;
  HWND edit = view->m_hWnd;
  int lineStart = static_cast<int>(::SendMessageA(edit, EM_LINEINDEX, at.line - 1, 0));
  if (lineStart < 0) lineStart = static_cast<int>(::SendMessageA(edit, RVEM_GETTEXTLEN, 0, 0));
  int length = static_cast<int>(::SendMessageA(edit, EM_LINELENGTH, lineStart, 0));
  std::string text(static_cast<size_t>(length) + 2, '\0');
  *reinterpret_cast<WORD*>(&text[0]) = static_cast<WORD>(length + 1);
  int got = static_cast<int>(::SendMessageA(edit, EM_GETLINE, at.line - 1, reinterpret_cast<LPARAM>(&text[0])));
  if (got < 0) got = 0;
  const int column = ByteOfColumn(text.data(), got, at.column);
  const int matched = m_matchLength ? m_matchLength(text.data(), got, column) : 0;
  int from = lineStart + column;
  int to = matched > 0 ? from + matched : lineStart + ByteOfColumn(text.data(), got, at.column + 1);
  view->SetSel(from, to);
  ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
  if (CFrameWnd* frame = view->GetParentFrame()) frame->ActivateFrame();
  ::SetFocus(edit);
  return true;
}

bool COutputWnd::JumpToNext(int step) {
  int count = static_cast<int>(m_text.SendMessage(EM_GETLINECOUNT));
  int line = static_cast<int>(m_text.SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
  OutputLocation at;
  for (int i = line + step; i >= 0 && i < count; i += step) {
    if (!ParseOutputLine(LineText(i), &at)) continue;
    return JumpToLine(i);
  }
  return false;
}
