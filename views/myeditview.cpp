// Edit view base: creation, recording of edits into the history, undo and redo,
// the undoable replace operation and character positions.
#include "views/myeditview.h"
#include <imm.h>
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "platform/cp932.h"
#include "platform/textctl/text_control.h"
#include "views/line_ends.h"

BEGIN_MESSAGE_MAP(CMyEditView, CEditView)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_CHAR, OnChar)
  ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
  ON_MESSAGE(WM_IME_COMPOSITION, OnImeComposition)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
  ON_COMMAND(ID_EDIT_CUT, OnEditCutRecorded)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPasteRecorded)
  ON_COMMAND(ID_EDIT_CLEAR, OnEditClearRecorded)
  ON_COMMAND_RANGE(32790, 32793, OnEncoding)
  ON_UPDATE_COMMAND_UI_RANGE(32790, 32793, OnUpdateEncoding)
END_MESSAGE_MAP(CEditView)

namespace {
bool IsPrintableSingleByte(unsigned c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF); }
}  // namespace

CMyEditView::CMyEditView() = default;
CMyEditView::~CMyEditView() = default;

LRESULT CMyEditView::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  SetLimitText(0);
  // Drop-target registration arrives with drag-and-drop editing.
  m_undo.owner = this;
  SetFont(static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT)), true);
  SetTabStops(16);
  return 0;
}

LRESULT CMyEditView::OnDestroy(WPARAM, LPARAM) { return Default(); }

void CMyEditView::OnInitialUpdate() {
  CEditView::OnInitialUpdate();
  m_undo.Clear();
}

// ---------------------------------------------------------------- recording

std::string CMyEditView::GetTextRange(int start, int length) const {
  const int total = GetTextLength();
  if (start < 0 || length <= 0 || start >= total) return std::string();
  if (length > total - start) length = total - start;
  const char* text = LockBuffer() + start;
  size_t n = 0;
  while (n < static_cast<size_t>(length) && text[n]) ++n;  // stops early at a NUL
  return std::string(text, n);
}

void CMyEditView::RecordSelectionDelete() {
  int s, e;
  GetSel(s, e);
  if (s != e) RecordDelete(s, e, false);
}

void CMyEditView::RecordInsert(const char* text, bool mergeable) {
  if (!text || !*text) return;
  int s, e;
  GetSel(s, e);
  m_undo.RecordInsert(s, text, mergeable);
}

void CMyEditView::RecordDelete(int start, int end, bool forward) { m_undo.RecordDelete(start, end, forward); }

void CMyEditView::RecordDeleteKey(int key) {
  int s, e;
  GetSel(s, e);
  if (key != VK_DELETE && key != VK_BACK) return;
  if (s != e) {
    RecordDelete(s, e, false);
    return;
  }
  const char* text = LockBuffer();
  const int length = GetTextLength();
  if (key == VK_DELETE) {
    if (s >= length) return;
    auto c = static_cast<unsigned char>(text[s]);
    // The caret is always on a character boundary, so the byte at s starts a character.
    bool two = (c == '\r' && s + 1 < length && text[s + 1] == '\n') || (cp932::IsLeadByte(c) && s + 1 < length);
    RecordDelete(s, s + (two ? 2 : 1), true);
    return;
  }
  if (s < 1) return;
  if (text[s - 1] == '\n' && s >= 2 && text[s - 2] == '\r') {
    RecordDelete(s - 2, s, false);
    return;
  }
  // Whether the byte before s ends a double-byte character: walk its line from
  // the line's start, which is always a character boundary.
  int pos = LineIndex(LineFromChar(s - 1));
  if (pos < 0 || pos > s - 1) pos = 0;
  int last = pos;
  while (pos < s) {
    last = pos;
    pos += (cp932::IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < s) ? 2 : 1;
  }
  RecordDelete(last, s, false);
}

void CMyEditView::RecordClipboardText() {
  if (!OpenClipboard(m_hWnd)) return;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) {
      RecordInsert(p, false);
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
}

// ---------------------------------------------------------------- input

LRESULT CMyEditView::OnChar(WPARAM wp, LPARAM) {
  const auto c = static_cast<unsigned>(wp) & 0xFFFF;
  const auto low = static_cast<unsigned char>(c & 0xFF);
  if (m_imePending > 0) {
    // These bytes belong to an IME result that is already recorded. A message
    // carries one byte, or both bytes of a double-byte character packed together.
    m_imePending -= c > 0xFF ? 2 : 1;
    if (m_imePending < 0) m_imePending = 0;
    return Default();
  }
  if (m_pendingLead && !cp932::IsTrailByte(low)) {
    m_pendingLead = 0;  // the control drops a lead byte without a trail byte too
  }
  if (m_pendingLead) {
    // The second byte of a double-byte character typed without the IME: the
    // pair is recorded as one typed character.
    char pair[3] = {static_cast<char>(m_pendingLead), static_cast<char>(low), 0};
    m_pendingLead = 0;
    RecordSelectionDelete();
    RecordInsert(pair, true);
  } else if (c == 8) {
    RecordDeleteKey(VK_BACK);
  } else if (c == 13 || c == 10) {
    RecordSelectionDelete();
    RecordInsert("\r\n", false);
  } else if (IsPrintableSingleByte(c) || c == 9 || c == 127) {
    char one[2] = {static_cast<char>(c), 0};
    RecordSelectionDelete();
    RecordInsert(one, !(c == 9 || c == 32 || c == 127));
  } else if (c < 0x100 && cp932::IsLeadByte(low)) {
    m_pendingLead = low;  // the control holds it too until its trail byte comes
  }
  return Default();
}

LRESULT CMyEditView::OnKeyDown(WPARAM wp, LPARAM) {
  if (wp == VK_DELETE) {
    m_pendingLead = 0;  // Delete drops a held lead byte in the control; moving the caret does not
    RecordDeleteKey(VK_DELETE);
  }
  return Default();
}

LRESULT CMyEditView::OnImeComposition(WPARAM, LPARAM lp) {
  m_imePending = 0;
  if (lp & GCS_RESULTSTR) {
    RecordSelectionDelete();
    HIMC imc = ImmGetContext(m_hWnd);
    LONG n = ImmGetCompositionStringA(imc, GCS_RESULTSTR, nullptr, 0);
    if (n < 0) {
      ImmReleaseContext(m_hWnd, imc);
      return 0;  // consumed: nothing inserted or recorded
    }
    std::string result(static_cast<size_t>(n), '\0');
    if (n > 0) ImmGetCompositionStringA(imc, GCS_RESULTSTR, result.data(), n);
    RecordInsert(result.c_str(), false);
    ImmReleaseContext(m_hWnd, imc);
    m_imePending = static_cast<int>(n);
  }
  return Default();
}

// ---------------------------------------------------------------- commands

void CMyEditView::OnEditUndo() { m_undo.Undo(); }
void CMyEditView::OnEditRedo() { m_undo.Redo(); }
void CMyEditView::OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(m_undo.CanUndo()); }
void CMyEditView::OnUpdateEditRedo(CCmdUI* ui) { ui->Enable(m_undo.CanRedo()); }

void CMyEditView::OnEditCutRecorded() {
  RecordSelectionDelete();
  SendMessage(WM_CUT);
}

void CMyEditView::OnEditPasteRecorded() {
  RecordSelectionDelete();
  RecordClipboardText();
  SendMessage(WM_PASTE);
}

void CMyEditView::OnEditClearRecorded() {
  RecordSelectionDelete();
  SendMessage(WM_CLEAR);
}

// ---------------------------------------------------------------- operations for other parts

void CMyEditView::ReplaceSelWithUndo(const char* text) {
  RecordSelectionDelete();
  RecordInsert(text, false);
  ReplaceSel(text ? text : "");
}

BOOL CMyEditView::CopySelectedText(std::string& out) const {
  int s, e;
  GetSel(s, e);
  if (s == e) return FALSE;
  out.assign(LockBuffer() + s, static_cast<size_t>(e - s));
  return TRUE;
}

POINT CMyEditView::PosFromChar(int index) const {
  POINT p = PosFromCharRaw(index);
  if (p.x != -1 || p.y != -1) return p;
  if (index <= 0) {
    RECT r = GetRect();
    return POINT{r.left, r.top};
  }
  // Just past the last character: after it on its line, or at the start of an
  // empty last line. The control knows its layout, double-byte characters and
  // tabs included.
  POINT end{0, 0};
  SendMessage(RVEM_POSFROMCHAR32, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&end));
  return end;
}

int CMyEditView::NormalizeLineEnds(const char* source, char* destination) {
  return NormalizeLineEndsTo(source, destination);
}

void CMyEditView::SelectAndClear(int start, int end) {
  SetSel(start, end);
  SendMessage(WM_CLEAR);
}

void CMyEditView::InsertAt(int position, const std::string& text, bool caretBefore) {
  SetSel(position, position);
  ReplaceSel(text.c_str());
  if (caretBefore) SetSel(position, position);
}
