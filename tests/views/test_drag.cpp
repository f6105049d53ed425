// Drag and drop in the running application through a real view's registered
// drop target: text from another program (a test data object), a drag of the
// view's own selection moved as one undo step, a drop into the dragged
// selection refused by index, a block without its terminating zero, and a drop
// past the file size limit.
#include "tests/app/app_fixture.h"

#include <cstring>
#include "platform/framework/frame.h"
#include "views/dragdrop.h"
#include "views/myeditview.h"

namespace {

// What another program may offer: only CF_UNICODETEXT.
class UnicodeDataObject : public ComObject<IDataObject> {
 public:
  explicit UnicodeDataObject(std::wstring text) : ComObject(IID_IDataObject), m_text(std::move(text)) {}
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f->cfFormat == CF_UNICODETEXT && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* medium) override {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    const size_t bytes = (m_text.size() + 1) * sizeof(wchar_t);
    medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(medium->hGlobal), m_text.c_str(), bytes);
    GlobalUnlock(medium->hGlobal);
    medium->tymed = TYMED_HGLOBAL;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  std::wstring m_text;
};

class DragTest : public ViewFixture<CMyEditView> {
 protected:

  void SetUp() override {
    ViewFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_NE(view->m_dropTarget, nullptr);
  }
  void Load(const std::string& text) {
    view->SetText(text.c_str());
    view->m_undo.Clear();
    view->SetSel(0, 0);
  }
  // The screen point of the character at `index`, a pixel inside it.
  POINTL At(int index) const {
    POINT p = view->PosFromChar(index);
    p.x += 1;
    p.y += 1;
    ClientToScreen(view->m_hWnd, &p);
    return POINTL{p.x, p.y};
  }
  // Enter, move over and drop `data` at `index`; the effect of the drop.
  DWORD DropAt(IDataObject* data, int index, DWORD keys = MK_LBUTTON) {
    IDropTarget* target = view->m_dropTarget;
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(data, keys, At(index), &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragOver(keys, At(index), &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->Drop(data, keys & ~MK_LBUTTON, At(index), &effect);
    return effect;
  }
  DWORD DropText(const std::string& text, int index, bool withZero = true) {
    auto* data = new TextDataObject(text, withZero);
    const DWORD effect = DropAt(data, index);
    data->Release();
    return effect;
  }
  std::pair<int, int> Sel() const {
    int s, e;
    view->GetSel(s, e);
    return {s, e};
  }
};

TEST_F(DragTest, TextFromAnotherProgramIsInsertedSelectedAndUndoneInOneStep) {
  Load("one two\r\nthree");
  EXPECT_EQ(DropText("\x82\xA0xy", 4), static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(view->GetText(), "one \x82\xA0xytwo\r\nthree");
  EXPECT_EQ(Sel(), std::make_pair(4, 8));
  view->Undo();
  EXPECT_EQ(view->GetText(), "one two\r\nthree");
  // A block without its terminating zero is read to its size and no further.
  EXPECT_NE(DropText("abcdefgh", 9, false), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(view->GetText(), "one two\r\nabcdefghthree");
  // Only Unicode text on offer: converted through code page 932.
  auto* unicode = new UnicodeDataObject(L"\u3042z");
  EXPECT_NE(DropAt(unicode, 0), static_cast<DWORD>(DROPEFFECT_NONE));
  unicode->Release();
  EXPECT_EQ(view->GetText().substr(0, 3), "\x82\xA0z");
}

TEST_F(DragTest, AMoveOfTheOwnSelectionIsOneUndoStepAndACopyKeepsTheSource) {
  Load("alpha beta gamma");
  view->SetSel(0, 6);  // "alpha "
  view->m_dropIndex = -1;
  view->m_draggingSelf = TRUE;
  auto* data = new TextDataObject("alpha ");
  const DWORD effect = DropAt(data, 11);  // before "gamma"
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(view->GetText(), "alpha beta gamma");  // the source side inserts
  view->FinishOwnDrag(effect, 0, 6, "alpha ");
  EXPECT_EQ(view->GetText(), "beta alpha gamma");
  EXPECT_EQ(Sel(), std::make_pair(5, 11));
  view->Undo();
  EXPECT_EQ(view->GetText(), "alpha beta gamma");

  view->SetSel(6, 10);  // "beta", copied with Ctrl to the start
  view->m_dropIndex = -1;
  view->m_draggingSelf = TRUE;
  const DWORD copy = DropAt(data, 0, MK_LBUTTON | MK_CONTROL);
  EXPECT_EQ(copy, static_cast<DWORD>(DROPEFFECT_COPY));
  view->FinishOwnDrag(copy, 6, 10, "beta");
  EXPECT_EQ(view->GetText(), "betaalpha beta gamma");
  data->Release();
}

TEST_F(DragTest, ADropInsideTheDraggedSelectionIsRefusedByIndexAndTheMoveDeletesNothing) {
  // A long first line scrolled sideways: the selection's last line starts
  // with a character partly hidden at the left edge.
  std::string text(300, 'x');
  text += "\r\nabcdef\r\n";
  Load(text);
  view->SetSel(150, 304);  // from the first line into "ab"
  view->SendMessage(EM_LINESCROLL, 3, 0);
  view->m_dropIndex = -1;
  view->m_draggingSelf = TRUE;
  auto* data = new TextDataObject(text.substr(150, 154));
  RECT fr = view->GetRect();
  POINT edge{fr.left, view->PosFromChar(302).y + 1};
  ClientToScreen(view->m_hWnd, &edge);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  view->m_dropTarget->DragEnter(data, MK_LBUTTON, POINTL{edge.x, edge.y}, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  view->m_dropTarget->Drop(data, 0, POINTL{edge.x, edge.y}, &effect);
  data->Release();
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_GE(view->m_dropIndex, 302);
  EXPECT_LE(view->m_dropIndex, 304);
  // Even told "moved", a source whose drop landed in its selection keeps its text.
  view->SetSel(150, 304);
  view->m_dropIndex = 303;
  view->FinishOwnDrag(DROPEFFECT_MOVE, 150, 304, text.substr(150, 154));
  EXPECT_EQ(view->GetText(), text);
}

TEST_F(DragTest, ADropPastTheFileSizeLimitIsRefusedWithTheTooLargeMessage) {
  Load(std::string(CEditView::kMaxFileSize - 2, 'z'));
  EXPECT_EQ(DropText("abc", 0), static_cast<DWORD>(DROPEFFECT_NONE));
  char tooLarge[512];
  LoadStringA(GetModuleHandleA(nullptr), AFX_IDP_FILE_TOO_LARGE, tooLarge, sizeof tooLarge);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, tooLarge);
  EXPECT_EQ(view->GetTextLength(), static_cast<int>(CEditView::kMaxFileSize - 2));
  EXPECT_NE(DropText("ab", 0), static_cast<DWORD>(DROPEFFECT_NONE));
}

}  // namespace

// A drag begins when the pointer leaves the small square around the press or
// when the button has been held for the drag delay; releasing the button, Esc
// or another button first end it with no drag.
TEST_F(DragTest, ADragBeginsOnDistanceOrOnTheHoldDelay) {
  Load("one two");
  HWND w = view->m_hWnd;
  POINT cursor;
  GetCursorPos(&cursor);
  const POINT here = cursor, away = {cursor.x + 40, cursor.y + 40};
  for (UINT ends : {WM_LBUTTONUP, WM_RBUTTONDOWN}) {
    PostMessageA(w, ends, 0, 0);
    EXPECT_FALSE(WaitForDragStart(w, here)) << ends;
  }
  PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(WaitForDragStart(w, here));
  // A posted move carries the pointer's position, 40 pixels from the press.
  PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, 0);
  EXPECT_TRUE(WaitForDragStart(w, away));
  EXPECT_NE(GetCapture(), w);
  // Held still: the delay alone starts the drag.
  WriteProfileStringA("windows", "DragDelay", "30");
  EXPECT_TRUE(WaitForDragStart(w, here));
  WriteProfileStringA("windows", "DragDelay", nullptr);
}
