// Edit view base: creation, recording of the control's change reports into the
// history, undo and redo, the undoable replace operation and character positions.
#include "views/myeditview.h"
#include "document/editor_settings.h"
#include "platform/framework/doc.h"
#include "platform/framework/fwids.h"
#include "resources/resource.h"
#include "views/findreplace.h"
#include "views/line_ends.h"

BEGIN_MESSAGE_MAP(CMyEditView, CEditView)
  ON_MESSAGE(WM_CREATE, OnCreate)
  ON_MESSAGE(WM_DESTROY, OnDestroy)
  ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
  ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
  ON_COMMAND_RANGE(ID_ENCODE_SJIS, ID_ENCODE_JIS, OnEncoding)
  ON_UPDATE_COMMAND_UI_RANGE(ID_ENCODE_SJIS, ID_ENCODE_JIS, OnUpdateEncoding)
  ON_REGISTERED_MESSAGE(FindReplaceMessage(), OnFindDialogMessage)
  ON_COMMAND(ID_EDIT_FIND, OnEditFind)
  ON_COMMAND(ID_EDIT_REPLACE, OnEditReplace)
  ON_COMMAND(ID_EDIT_REPEAT, OnEditRepeat)
  ON_COMMAND(ID_EDIT_FIND_PREV, OnEditFindPrev)
  ON_UPDATE_COMMAND_UI(ID_EDIT_FIND, OnUpdateNeedText)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REPLACE, OnUpdateNeedText)
  ON_UPDATE_COMMAND_UI(ID_EDIT_REPEAT, OnUpdateNeedFindText)
  ON_UPDATE_COMMAND_UI(ID_EDIT_FIND_PREV, OnUpdateNeedFindText)
  ON_COMMAND_RANGE(ID_SCRIPT_RUN, ID_SCRIPT_RUN, OnScriptCommand)
  ON_COMMAND_RANGE(ID_SCRIPT_WSCRIPT, ID_SCRIPT_CSCRIPT, OnScriptCommand)
  ON_COMMAND_RANGE(ID_SCRIPT_ENCODE, ID_SCRIPT_ENCODE, OnScriptCommand)
  ON_UPDATE_COMMAND_UI(ID_SCRIPT_RUN, OnUpdateScriptCommand)
  ON_UPDATE_COMMAND_UI_RANGE(ID_SCRIPT_WSCRIPT, ID_SCRIPT_CSCRIPT, OnUpdateScriptCommand)
  ON_UPDATE_COMMAND_UI(ID_SCRIPT_ENCODE, OnUpdateScriptCommand)
END_MESSAGE_MAP(CEditView)

namespace {
unsigned g_viewSerials = 0;  // views are made on the user interface thread only
}  // namespace

CMyEditView::CMyEditView(ViewServices services) : m_serial(++g_viewSerials), m_services(std::move(services)) {}
CMyEditView::~CMyEditView() {
  if (m_viewFont) DeleteObject(m_viewFont);
}


LRESULT CMyEditView::OnCreate(WPARAM, LPARAM) {
  if (Default() == -1) return -1;
  SetLimitText(0);
  RegisterDropTarget();
  m_undo.owner = this;
  SendMessage(RVEM_SETCHANGELISTENER, 0, reinterpret_cast<LPARAM>(static_cast<RvTextChangeListener*>(this)));
  SetFont(static_cast<HFONT>(GetStockObject(OEM_FIXED_FONT)), true);
  SetTabStops(16);
  return 0;
}

LRESULT CMyEditView::OnDestroy(WPARAM, LPARAM) {
  CloseOwnFindDialog();  // the dialog belongs to this view and ends with it
  RevokeDropTarget();
  SendMessage(RVEM_SETCHANGELISTENER, 0, 0);
  return Default();
}

void CMyEditView::OnInitialUpdate() {
  CEditView::OnInitialUpdate();
  m_undo.Clear();
}

void CMyEditView::OnUpdate(CView* sender, LPARAM hint, void* hintObject) {
  if (hint != HintFontAndColors && hint != HintOptions) {
    CEditView::OnUpdate(sender, hint, hintObject);
    return;
  }
  if (!m_services.settings) return;
  const ViewSettings settings = m_services.settings();
  LOGFONTA lf{};
  if (hint == HintFontAndColors && settings.font && GetObjectA(settings.font, sizeof lf, &lf)) {
    if (HFONT copy = CreateFontIndirectA(&lf)) {
      SetFont(copy, true);
      if (m_viewFont) DeleteObject(m_viewFont);
      m_viewFont = copy;
    }
  }
  SetTabStops(settings.tabStops * 4);
  ApplyViewSettings(settings, static_cast<int>(hint));
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

// ---------------------------------------------------------------- recording

std::string CMyEditView::GetTextRange(int start, int length) const {
  std::string out;
  if (start < 0) return out;
  Reader().Spans(start, length).CopyTo(out);
  const size_t nul = out.find('\0');
  if (nul != std::string::npos) out.resize(nul);  // stops early at a NUL
  return out;
}

namespace {
// A typed character that extends the typing run before it: any but tab, blank and 0x7F.
bool JoinsTypingRun(const RvTextChange& c) {
  if (c.cause != RVCC_CHAR) return false;
  return !(c.insertedLength == 1 && (c.inserted[0] == '\t' || c.inserted[0] == ' ' || c.inserted[0] == '\x7F'));
}
}  // namespace

void CMyEditView::OnTextChange(HWND, const RvTextChange& c) {
  ++m_textChanges;
  if (m_services.textChanged) m_services.textChanged(*this);
  if (m_applyingHistory) return;
  if (c.cause == RVCC_SETTEXT) {
    m_undo.Clear();  // records of another text
    return;
  }
  try {
    const bool forward = c.cause == RVCC_DELETE && !(c.flags & RVCF_SELECTION);
    std::string removed;
    if (c.removedLength > 0) removed.assign(c.removed, static_cast<size_t>(c.removedLength));
    m_undo.RecordChange(c.position, std::move(removed), c.insertedLength, forward, JoinsTypingRun(c),
                        (c.flags & RVCF_CONTINUED) != 0);
  } catch (...) {
    m_undo.Clear();  // a history that missed a change must not act on the text
  }
}

// ---------------------------------------------------------------- commands

void CMyEditView::OnEditUndo() { m_undo.Undo(); }
void CMyEditView::OnEditRedo() { m_undo.Redo(); }
void CMyEditView::OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(m_undo.CanUndo()); }
void CMyEditView::OnUpdateEditRedo(CCmdUI* ui) { ui->Enable(m_undo.CanRedo()); }

// ---------------------------------------------------------------- operations for other parts

void CMyEditView::ReplaceSelWithUndo(const char* text) { ReplaceSel(text ? text : ""); }

BOOL CMyEditView::CopySelectedText(std::string& out) const {
  int s, e;
  GetSel(s, e);
  if (s == e) return FALSE;
  Reader().Spans(s, e - s).CopyTo(out);
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

bool CMyEditView::SendReplaceRange(int start, int end, const std::string& text, int caret) {
  RvReplaceRange range{start, end, text.data(), static_cast<int>(text.size()), caret};
  return SendMessage(RVEM_REPLACERANGE, 0, reinterpret_cast<LPARAM>(&range)) != FALSE;
}

void CMyEditView::ApplyStep(int start, int end, const std::string& text, int caret) {
  m_applyingHistory = true;
  SendReplaceRange(start, end, text, caret);
  m_applyingHistory = false;
}

bool CMyEditView::ApplyEdit(int start, int end, const std::string& text, int caret) {
  if (!m_hWnd) return false;
  if (start == end && text.empty()) {
    SetSel(caret, caret);  // only the caret moves
    return true;
  }
  if (start < 0 || end < start || end > Reader().Length() ||
      !ChangeFits(static_cast<long long>(text.size()) - (end - start)))
    return false;
  UndoGroup step(m_undo);  // the removal and the insertion are one step
  return SendReplaceRange(start, end, text, caret);
}

void CMyEditView::SelectAndClear(int start, int end) { ApplyStep(start, end, std::string(), start); }

void CMyEditView::ReplaceRange(int start, int end, const std::string& text) { ApplyStep(start, end, text, start); }

void CMyEditView::InsertAt(int position, const std::string& text, bool caretBefore) {
  ApplyStep(position, position, text, caretBefore ? position : position + static_cast<int>(text.size()));
}

// ---------------------------------------------------------------- script commands

void CMyEditView::OnScriptCommand(UINT id) {
  if (CDocument* doc = GetDocument()) {
    // The file is UTF-8 only when saves convert to the file's encoding.
    const bool utf8 = GetEditorSettings()->AutoDetect() && m_encoding == static_cast<int>(TextEncoding::Utf8);
    if (m_services.scriptCommand) m_services.scriptCommand(id, *doc, *this, utf8);
  }
}

void CMyEditView::OnUpdateScriptCommand(CCmdUI* ui) {
  CDocument* doc = GetDocument();
  ui->Enable(doc && m_services.scriptCommandEnabled && m_services.scriptCommandEnabled(ui->m_nID, doc->GetPathName()));
}
