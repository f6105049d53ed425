// Toolbar and status bar over the common controls.
#include "platform/framework/bars.h"
#include "platform/framework/frame.h"
#include "platform/framework/fwids.h"
#include "platform/framework/resstr.h"

int CControlBar::CalcHeight() const {
  if (!m_hWnd || !IsWindowVisible()) return 0;
  RECT r;
  GetWindowRect(m_hWnd, &r);
  return r.bottom - r.top;
}

// ---------------------------------------------------------------- status bar

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_MESSAGE(WM_SIZE, OnSize)
END_MESSAGE_MAP(CControlBar)

LRESULT CStatusBar::OnSize(WPARAM, LPARAM) {
  LRESULT r = Default();
  RecalcPanes();
  return r;
}

BOOL CStatusBar::Create(CWnd* parent, UINT id) {
  HWND h = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                           WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER | SBARS_SIZEGRIP,
                           0, 0, 0, 0, parent->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  if (!h) return FALSE;
  SubclassWindow(h);
  // Height from the bar's font.
  HDC dc = GetDC(h);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(h, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  SetWindowPos(h, nullptr, 0, 0, 100, tm.tmHeight + 8, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  if (auto* f = dynamic_cast<CFrameWnd*>(parent)) f->AddControlBar(this);
  return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
  m_ids.assign(ids, ids + count);
  m_texts.assign(static_cast<size_t>(count), std::string());
  m_widths.assign(static_cast<size_t>(count), 0);
  m_samples.assign(static_cast<size_t>(count), std::string());
  m_edges.clear();  // new panes: laid out and filled afresh
  for (size_t i = 0; i < m_ids.size(); ++i) {
    if (m_ids[i] == ID_SEPARATOR) continue;
    m_samples[i] = LoadResString(m_ids[i]);
    m_widths[i] = PaneWidthOf(m_samples[i]);
  }
  RecalcPanes();
  return TRUE;
}

int CStatusBar::PaneWidthOf(const std::string& text) {
  HDC dc = GetDC(m_hWnd);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  SIZE sz{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(m_hWnd, dc);
  return sz.cx + 10;
}

void CStatusBar::SetPaneWidthFor(int index, const std::string& sample) {
  if (index < 1 || index >= GetPaneCount() || m_samples[static_cast<size_t>(index)] == sample) return;
  m_samples[static_cast<size_t>(index)] = sample;
  m_widths[static_cast<size_t>(index)] = PaneWidthOf(sample);
  RecalcPanes();
}

void CStatusBar::RecalcPanes() {
  if (!m_hWnd || m_ids.empty()) return;
  RECT rc;
  GetClientRect(m_hWnd, &rc);
  int right = rc.right - GetSystemMetrics(SM_CXVSCROLL);
  std::vector<int> edges(m_ids.size());
  int x = right;
  for (size_t i = m_ids.size(); i-- > 1;) {
    edges[i] = x;
    x -= m_widths[i];
  }
  edges[0] = x;
  edges.back() = -1;
  if (edges == m_edges) return;
  bool newParts = edges.size() != m_edges.size();
  m_edges = edges;
  SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  if (newParts)
    for (size_t i = 0; i < m_texts.size(); ++i) SendMessage(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(m_texts[i].c_str()));
}

int CStatusBar::GetPaneWidth(int index) const { return m_widths[static_cast<size_t>(index)]; }

int CStatusBar::CommandToIndex(UINT id) const {
  for (size_t i = 0; i < m_ids.size(); ++i)
    if (m_ids[i] == id) return static_cast<int>(i);
  return -1;
}

void CStatusBar::SetPaneText(int index, const char* text) {
  if (index < 0 || index >= GetPaneCount()) return;
  std::string t = text ? text : "";
  if (m_texts[static_cast<size_t>(index)] == t) return;
  m_texts[static_cast<size_t>(index)] = t;
  SendMessage(SB_SETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(m_texts[static_cast<size_t>(index)].c_str()));
}

std::string CStatusBar::GetPaneText(int index) const {
  if (index < 0 || index >= GetPaneCount()) return "";
  return m_texts[static_cast<size_t>(index)];
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* target) {
  for (int i = 1; i < GetPaneCount(); ++i) {
    CCmdUI state;
    state.m_nID = m_ids[static_cast<size_t>(i)];
    state.m_pOther = this;
    state.DoUpdate(target, false);
    if (state.m_bTextSet) {
      SetPaneText(i, state.m_bEnabled ? state.m_text.c_str() : "");
    } else if (state.m_bEnableChanged) {
      SetPaneText(i, state.m_bEnabled ? LoadResString(state.m_nID).c_str() : "");
    } else {
      SetPaneText(i, "");
    }
  }
}

// ---------------------------------------------------------------- toolbar

BOOL CToolBar::Create(CWnd* parent, UINT id, UINT resId, const UINT* buttons, int count, int imageW, int imageH) {
  HWND h = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                           WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                               CCS_NOPARENTALIGN | CCS_NODIVIDER,
                           0, 0, 0, 0, parent->m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  if (!h) return FALSE;
  SubclassWindow(h);
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resId), IMAGE_BITMAP, 0, 0,
                                                LR_CREATEDIBSECTION));
  if (!bmp) return FALSE;
  m_images = ImageList_Create(imageW, imageH, ILC_COLOR24 | ILC_MASK, count, 0);
  ImageList_AddMasked(m_images, bmp, RGB(192, 192, 192));
  DeleteObject(bmp);
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(imageW, imageH));
  SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
  m_buttons.assign(buttons, buttons + count);
  int image = 0;
  std::vector<TBBUTTON> tb;
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    if (buttons[i] == ID_SEPARATOR) {
      b.fsStyle = BTNS_SEP;
      b.iBitmap = 6;
    } else {
      b.iBitmap = image++;
      b.idCommand = static_cast<int>(buttons[i]);
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
    tb.push_back(b);
  }
  SendMessage(TB_ADDBUTTONSA, tb.size(), reinterpret_cast<LPARAM>(tb.data()));
  DWORD size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
  SetWindowPos(h, nullptr, 0, 0, 100, HIWORD(size) + 4, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  if (auto* f = dynamic_cast<CFrameWnd*>(parent)) f->AddControlBar(this);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP(CControlBar)

LRESULT CToolBar::OnMouseMove(WPARAM, LPARAM lp) {
  LRESULT r = Default();
  POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
  TBBUTTON button{};
  UINT id = 0;
  if (index >= 0 && SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)) &&
      !(button.fsStyle & BTNS_SEP))
    id = static_cast<UINT>(button.idCommand);
  ShowPrompt(id);
  if (id && !m_trackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
    m_trackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  return r;
}

LRESULT CToolBar::OnMouseLeave(WPARAM, LPARAM) {
  m_trackingLeave = false;
  ShowPrompt(0);
  return Default();
}

void CToolBar::ShowPrompt(UINT id) {
  if (id == m_promptId) return;
  m_promptId = id;
  if (auto* frame = dynamic_cast<CFrameWnd*>(GetParent())) frame->SetMessageText(id ? id : AFX_IDS_IDLEMESSAGE);
}

CToolBar::~CToolBar() {
  if (m_images) ImageList_Destroy(m_images);
}

void CToolBar::PostNcDestroy() {
  if (m_images) ImageList_Destroy(m_images);
  m_images = nullptr;
}

bool CToolBar::IsButtonEnabled(UINT id) const { return SendMessage(TB_ISBUTTONENABLED, id) != 0; }

void CToolBar::OnUpdateCmdUI(CFrameWnd* target) {
  for (UINT id : m_buttons) {
    if (id == ID_SEPARATOR) continue;
    CCmdUI state;
    state.m_nID = id;
    state.m_pOther = this;
    state.DoUpdate(target, true);
    if (IsButtonEnabled(id) != state.m_bEnabled) SendMessage(TB_ENABLEBUTTON, id, MAKELPARAM(state.m_bEnabled, 0));
    if (state.m_nCheck >= 0 && (SendMessage(TB_ISBUTTONCHECKED, id) != 0) != (state.m_nCheck != 0))
      SendMessage(TB_CHECKBUTTON, id, MAKELPARAM(state.m_nCheck != 0, 0));
  }
}
