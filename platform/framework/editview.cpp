// Edit-control view over the RvEdit text control.
#include "platform/framework/editview.h"
#include <vector>
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/textctl/text_control.h"
#include "platform/textctl/text_model.h"

static_assert(RVEM_GETTEXTPTR == WM_USER + 0x300 && RVEM_GETTEXTLEN == WM_USER + 0x301,
              "edit view and text control agree on the private messages");

const DWORD CEditView::kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL |
                                       ES_AUTOVSCROLL | ES_MULTILINE | ES_NOHIDESEL;

BEGIN_MESSAGE_MAP(CEditView, CView)
  ON_CONTROL_REFLECT(EN_CHANGE, OnEditChange)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedSel)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedSel)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateNeedSel)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateNeedClip)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateNeedText)
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
  ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP(CView)

BOOL CEditView::Create(CWnd* parentFrame, CDocument* doc) {
  if (doc) doc->AddView(this);
  RegisterTextControlClass(GetModuleHandleA(nullptr));
  return CreateEx(WS_EX_CLIENTEDGE, kTextControlClassName, "", kDefaultStyle, 0, 0, 0, 0, parentFrame->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(AFX_IDW_PANE_FIRST)));
}

void CEditView::GetSel(int& start, int& end) const {
  DWORD s = 0, e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

const rv::textctl::TextReader& CEditView::Reader() const {
  static const rv::textctl::TextModel empty;
  const auto* reader = m_hWnd ? reinterpret_cast<const rv::textctl::TextReader*>(SendMessage(RVEM_GETREADER)) : nullptr;
  return reader ? *reader : empty;
}

void CEditView::SetSel(int anchor, int caret, bool noScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(anchor), static_cast<LPARAM>(caret));
  if (!noScroll) ScrollCaret();
}

void CEditView::ReplaceSel(const char* text) { SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text)); }

POINT CEditView::PosFromCharRaw(int index) const {
  LRESULT r = SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(index));
  return POINT{static_cast<short>(LOWORD(r)), static_cast<short>(HIWORD(r))};
}

RECT CEditView::GetRect() const {
  RECT r{};
  SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void CEditView::SetTabStops(int dialogUnits) {
  m_nTabStops = dialogUnits;
  int stops = dialogUnits;
  SendMessage(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stops));
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

void ThrowFileTooLarge() {
  AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
  throw CUserException{};
}

std::string CEditView::GetText() const {
  std::string text;
  Reader().AllSpans().CopyTo(text);
  return text;
}

void CEditView::SerializeRaw(CArchive& ar) {
  if (ar.IsLoading()) {
    unsigned long long n = ar.GetLength();
    if (!FitsSize(n)) ThrowFileTooLarge();
    std::vector<char> bytes(static_cast<size_t>(n) + 1, '\0');
    ar.ReadExact(bytes.data(), static_cast<size_t>(n));
    SetText(bytes.data());
  } else {
    const rv::textctl::TextSpans text = Reader().AllSpans();
    ar.Write(text.part1, static_cast<size_t>(text.length1));
    if (text.length2 > 0) ar.Write(text.part2, static_cast<size_t>(text.length2));
  }
}

void CEditView::OnEditChange() {
  if (m_pDocument) m_pDocument->SetModifiedFlag(TRUE);
}

void CEditView::OnEditCopy() { SendMessage(WM_COPY); }
void CEditView::OnEditCut() { SendMessage(WM_CUT); }
void CEditView::OnEditPaste() { SendMessage(WM_PASTE); }
void CEditView::OnEditClear() { SendMessage(WM_CLEAR); }
void CEditView::OnEditSelectAll() { SendMessage(EM_SETSEL, 0, -1); }

void CEditView::OnUpdateNeedSel(CCmdUI* ui) {
  int s, e;
  GetSel(s, e);
  ui->Enable(s != e);
}

void CEditView::OnUpdateNeedClip(CCmdUI* ui) {
  ui->Enable(IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_UNICODETEXT));
}

void CEditView::OnUpdateNeedText(CCmdUI* ui) { ui->Enable(GetTextLength() != 0); }
