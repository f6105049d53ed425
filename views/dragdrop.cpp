// Drag and drop of text: the data object, the drop source, the view's drop
// target, reading dropped text, and the view's drag and drop handlers.
#include "views/dragdrop.h"

#include <shlobj.h>
#include <cstring>
#include "platform/com_boundary.h"
#include "platform/cp932.h"
#include "platform/cp932_wide.h"
#include "platform/framework/modal.h"
#include "platform/framework/fwids.h"
#include "platform/textctl/text_control.h"
#include "views/myeditview.h"

bool WaitForDragStart(HWND hwnd, POINT start) {
  const int dist = static_cast<int>(GetProfileIntA("windows", "DragMinDist", 2));
  const DWORD delay = GetProfileIntA("windows", "DragDelay", 200);
  const RECT still = {start.x - dist, start.y - dist, start.x + dist + 1, start.y + dist + 1};
  const DWORD began = GetTickCount();
  SetCapture(hwnd);
  bool dragging = false;
  for (bool waiting = true; waiting;) {
    if (GetCapture() != hwnd) break;
    const DWORD held = GetTickCount() - began;
    if (held >= delay) {
      dragging = true;
      break;
    }
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - held, QS_ALLINPUT);
      continue;
    }
    switch (msg.message) {
      case WM_MOUSEMOVE:
        if (!PtInRect(&still, msg.pt)) dragging = true, waiting = false;
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
        waiting = false;
        break;
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) waiting = false;
        break;
      case WM_QUIT:
        PostQuitMessage(static_cast<int>(msg.wParam));
        waiting = false;
        break;
      default:
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        break;
    }
  }
  if (GetCapture() == hwnd) ReleaseCapture();
  return dragging;
}

namespace {
const wchar_t kDragSource[] = L"Ruvelto";

FORMATETC TextFormat(CLIPFORMAT cf) { return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The bytes of a global block up to its first zero, never past its size.
std::string BlockBytes(HGLOBAL block) {
  std::string out;
  const SIZE_T size = GlobalSize(block);
  if (const char* p = static_cast<const char*>(GlobalLock(block))) {
    out.assign(p, strnlen(p, size));
    GlobalUnlock(block);
  }
  return out;
}

std::string BlockUnicodeAsCp932(HGLOBAL block) {
  std::string out;
  const SIZE_T size = GlobalSize(block) / sizeof(wchar_t);
  if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(block))) {
    out = cp932::FromWide(p, wcsnlen(p, size));
    GlobalUnlock(block);
  }
  return out;
}

}  // namespace

bool OffersText(IDataObject* data) {
  FORMATETC text = TextFormat(CF_TEXT), unicode = TextFormat(CF_UNICODETEXT);
  return data && (data->QueryGetData(&text) == S_OK || data->QueryGetData(&unicode) == S_OK);
}

bool ReadDropText(IDataObject* data, std::string& out) {
  if (!data) return false;
  for (CLIPFORMAT cf : {static_cast<CLIPFORMAT>(CF_TEXT), static_cast<CLIPFORMAT>(CF_UNICODETEXT)}) {
    FORMATETC format = TextFormat(cf);
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) continue;
    const bool ok = medium.tymed == TYMED_HGLOBAL && medium.hGlobal;
    if (ok) out = cf == CF_TEXT ? BlockBytes(medium.hGlobal) : BlockUnicodeAsCp932(medium.hGlobal);
    ReleaseStgMedium(&medium);
    if (ok) return true;
  }
  return false;
}

// ---------------------------------------------------------------- data object

TextDataObject::TextDataObject(const std::string& text, bool withZero)
    : ComObject(IID_IDataObject), m_bytes(text) {
  if (withZero) m_bytes.push_back('\0');
}

HRESULT TextDataObject::QueryGetData(FORMATETC* f) {
  if (!f || f->cfFormat != CF_TEXT || !(f->tymed & TYMED_HGLOBAL) || f->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  return S_OK;
}

HRESULT TextDataObject::GetData(FORMATETC* f, STGMEDIUM* medium) {
  if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, m_bytes.size() ? m_bytes.size() : 1);
  if (!block) return E_OUTOFMEMORY;
  if (void* p = GlobalLock(block)) {
    if (!m_bytes.empty()) memcpy(p, m_bytes.data(), m_bytes.size());
    GlobalUnlock(block);
  }
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT TextDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT TextDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  FORMATETC text = TextFormat(CF_TEXT);
  return SHCreateStdEnumFmtEtc(1, &text, out);
}

// ---------------------------------------------------------------- drop source

HRESULT TextDropSource::QueryContinueDrag(BOOL escape, DWORD keys) {
  if (escape || (keys & (MK_RBUTTON | MK_MBUTTON))) return DRAGDROP_S_CANCEL;
  if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

// ---------------------------------------------------------------- drop target

// Each call runs at the COM boundary: OLE's drag loop must never see an exception.
HRESULT ViewDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
  return ComBoundary(kDragSource, nullptr, [&] {
    m_hasText = OffersText(data);
    return Over(keys, pt, effect);
  });
}

HRESULT ViewDropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect) {
  return ComBoundary(kDragSource, nullptr, [&] { return Over(keys, pt, effect); });
}

HRESULT ViewDropTarget::Over(DWORD keys, POINTL pt, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (!m_view || !m_hasText) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  POINT client{pt.x, pt.y};
  ScreenToClient(m_view->m_hWnd, &client);
  *effect = m_view->DragOverAt(client, keys, *effect);
  return S_OK;
}

HRESULT ViewDropTarget::DragLeave() {
  m_hasText = false;
  return S_OK;
}

HRESULT ViewDropTarget::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) {
  m_hasText = false;
  if (!effect) return E_INVALIDARG;
  return ComBoundary(kDragSource, nullptr, [&] {
    if (!m_view || !OffersText(data)) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    POINT client{pt.x, pt.y};
    ScreenToClient(m_view->m_hWnd, &client);
    *effect = m_view->DropAt(data, client, keys, *effect);
    return S_OK;
  });
}

// ---------------------------------------------------------------- the view's side

int CMyEditView::LineHeight() const {
  const int h = static_cast<int>(SendMessage(RVEM_GETLINEHEIGHT));
  return h > 0 ? h : 1;
}

int CMyEditView::CharFromPoint(int x, int y) const {
  POINT p{x, y};
  return static_cast<int>(SendMessage(RVEM_CHARFROMPOS32, 0, reinterpret_cast<LPARAM>(&p)));
}

BOOL CMyEditView::PointFitsText(int x, int y) const {
  const RECT fr = GetRect();
  return x + 1 <= fr.right && y + LineHeight() <= fr.bottom;
}

BOOL CMyEditView::PointInSelection(int x, int y, BOOL inclusiveEnd) const {
  int s, e;
  GetSel(s, e);
  if (s == e) return FALSE;
  const int h = LineHeight();
  POINT p0 = PosFromChar(s), p1 = PosFromChar(e);
  if (inclusiveEnd) ++p1.x;
  else ++p0.x;
  auto in = [&](int left, int top, int right, int bottom) { return x >= left && x < right && y >= top && y < bottom; };
  const int a = LineFromChar(s), b = LineFromChar(e);
  if (a == b) return in(p0.x, p0.y, p1.x, p0.y + h);
  const RECT fr = GetRect();
  if (in(fr.left, p1.y, p1.x, p1.y + h)) return TRUE;
  if (inclusiveEnd) return in(p0.x, p0.y, fr.right, p0.y + h) || (b - a > 1 && in(fr.left, p0.y + h, fr.right, p1.y));
  const POINT q = PosFromChar(LineIndex(a + 1) - 1);
  if (in(p0.x, p0.y, q.x, q.y + h)) return TRUE;
  for (int line = a + 1; line < b; ++line) {
    const POINT sl = PosFromChar(LineIndex(line)), ql = PosFromChar(LineIndex(line + 1) - 1);
    if (in(fr.left, sl.y, ql.x, ql.y + h)) return TRUE;
  }
  return FALSE;
}

DWORD CMyEditView::DragOverAt(POINT p, DWORD keys, DWORD allowed) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (!::PtInRect(&client, p)) return DROPEFFECT_NONE;
  DWORD scroll = 0;
  RECT inner = GetRect();
  inner.top = client.top;
  inner.bottom = client.bottom;
  ::InflateRect(&inner, -11, -11);
  if (!::PtInRect(&inner, p)) {  // the band along the edges scrolls once per event
    if (p.x < inner.left) SendMessage(EM_LINESCROLL, static_cast<WPARAM>(-1), 0);
    else if (p.x >= inner.right) SendMessage(EM_LINESCROLL, 1, 0);
    if (p.y < inner.top) SendMessage(EM_LINESCROLL, 0, -1);
    else if (p.y >= inner.bottom) SendMessage(EM_LINESCROLL, 0, 1);
    scroll = DROPEFFECT_SCROLL;
  }
  const POINT q = PosFromChar(CharFromPoint(p.x, p.y));
  if ((!m_draggingSelf || !PointInSelection(q.x, q.y, FALSE)) && PointFitsText(q.x, q.y)) ::SetCaretPos(q.x, q.y);
  // The window under the drag comes to the front: its frame, and the child
  // window that holds this view among the others.
  HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
  if (::GetForegroundWindow() != root) ::SetForegroundWindow(root);
  HWND child = ::GetParent(m_hWnd);
  HWND mdiClient = child ? ::GetParent(child) : nullptr;
  if (mdiClient && mdiClient != root &&
      reinterpret_cast<HWND>(::SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0)) != child)
    ::SendMessageA(mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
  const DWORD effect = (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
  return (effect & allowed) | scroll;
}

DWORD CMyEditView::DropAt(IDataObject* data, POINT p, DWORD keys, DWORD allowed) {
  const int i = CharFromPoint(p.x, p.y);
  m_dropIndex = i;
  const POINT q = PosFromChar(i);
  int s, e;
  GetSel(s, e);
  // Refused by index, not by pixels: a partly hidden first character of the
  // selection's line still lies inside it.
  if ((m_draggingSelf && s <= i && i <= e) || !PointFitsText(q.x, q.y)) {
    SetSel(i, i);
    ScrollCaret();
    return DROPEFFECT_NONE;
  }
  const DWORD effect = ((keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE) & allowed;
  if (m_draggingSelf) return effect ? effect : DROPEFFECT_NONE;  // the drag's source inserts
  std::string text;
  if (!ReadDropText(data, text) || text.empty()) return DROPEFFECT_NONE;
  if (!ChangeFits(static_cast<long long>(text.size()))) {
    AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
    return DROPEFFECT_NONE;
  }
  SetRedraw(false);
  SetSel(i, i, true);
  ReplaceSelWithUndo(text.c_str());
  SetSel(i, i + static_cast<int>(text.size()), true);
  SetRedraw(true);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ScrollCaret();
  return effect ? effect : DROPEFFECT_COPY;
}

void CMyEditView::FinishOwnDrag(DWORD effect, int s, int e, const std::string& text) {
  m_draggingSelf = FALSE;
  const int d = m_dropIndex;
  effect &= DROPEFFECT_COPY | DROPEFFECT_MOVE;
  if (effect == DROPEFFECT_NONE) return;
  const bool move = (effect & DROPEFFECT_MOVE) != 0;
  const int n = static_cast<int>(text.size());
  // Dropped into its own selection: nothing is removed, nothing inserted.
  if (d != -1 && d >= s && d <= e) return;
  if (d != -1 && !move && !ChangeFits(n)) {
    AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
    return;
  }
  UndoGroup group(m_undo);  // removal and insertion: one step
  SetRedraw(false);
  if (move) {
    SetSel(s, e, true);
    ReplaceSelWithUndo("");
  }
  if (d != -1) {
    const int at = (d < s || !move) ? d : d - n;
    SetSel(at, at, true);
    ReplaceSelWithUndo(text.c_str());
    SetSel(at, at + n, true);
  }
  SetRedraw(true);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  ScrollCaret();
}

LRESULT CMyEditView::OnLButtonDown(WPARAM wp, LPARAM lp) {
  const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  if (!PointInSelection(p.x, p.y, FALSE)) return Default();
  int s, e;
  GetSel(s, e);
  std::string text;
  CopySelectedText(text);
  POINT screen = p;
  ::ClientToScreen(m_hWnd, &screen);
  DWORD effect = DROPEFFECT_NONE;
  if (WaitForDragStart(m_hWnd, screen)) {
    auto* data = new TextDataObject(text);
    auto* source = new TextDropSource;
    m_dropIndex = -1;
    m_draggingSelf = TRUE;
    if (::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect) != DRAGDROP_S_DROP) effect = DROPEFFECT_NONE;
    data->Release();
    source->Release();
  }
  if (!(effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE))) {
    m_draggingSelf = FALSE;
    const int i = CharFromPoint(p.x, p.y);
    const POINT q = PosFromChar(i);
    if (PointInSelection(q.x, q.y, FALSE) || i == s) {
      SetSel(i, i);
      ScrollCaret();
    }
    return 0;
  }
  FinishOwnDrag(effect, s, e, text);
  (void)wp;
  return 0;
}

LRESULT CMyEditView::OnSetCursor(WPARAM wp, LPARAM lp) {
  POINT p;
  ::GetCursorPos(&p);
  ::ScreenToClient(m_hWnd, &p);
  if (LOWORD(lp) == HTCLIENT && PointInSelection(p.x, p.y, FALSE)) {
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return TRUE;
  }
  (void)wp;
  return Default();
}

void CMyEditView::RegisterDropTarget() {
  m_dropTarget = new ViewDropTarget(this);
  if (FAILED(::RegisterDragDrop(m_hWnd, m_dropTarget))) {
    m_dropTarget->Release();
    m_dropTarget = nullptr;
  }
}

void CMyEditView::RevokeDropTarget() {
  if (!m_dropTarget) return;
  ::RevokeDragDrop(m_hWnd);
  m_dropTarget->Detach();
  m_dropTarget->Release();
  m_dropTarget = nullptr;
}
