// View basics and the placeholder view.
#include "platform/framework/view.h"
#include "platform/framework/doc.h"
#include "platform/framework/frame.h"
#include "platform/framework/fwids.h"
#include "platform/framework/preview.h"

CView::~CView() {
  CPrintPreviewWnd::AbandonFor(this);
  if (m_pDocument) m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const {
  for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h))
    if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(h))) return f;
  return nullptr;
}

BOOL CView::Create(CWnd* parentFrame, CDocument* doc) {
  if (doc) doc->AddView(this);
  const char* cls = RegisterWndClass("RvView", CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return CreateEx(WS_EX_CLIENTEDGE, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parentFrame->m_hWnd,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(AFX_IDW_PANE_FIRST)));
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, void*) { InvalidateRect(m_hWnd, nullptr, TRUE); }

void CView::OnActivateView(BOOL, CView*, CView*) {}

bool CView::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) {
  if (DispatchOwnCommand(id, action, ui)) return true;
  return m_pDocument && m_pDocument->OnCmdMsg(id, action, ui);
}

BEGIN_MESSAGE_MAP(CPlaceholderView, CView)
  ON_MESSAGE(WM_PAINT, OnPaint)
END_MESSAGE_MAP(CView)

LRESULT CPlaceholderView::OnPaint(WPARAM, LPARAM) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hWnd, &ps);
  if (m_pDocument) {
    SetBkMode(dc, TRANSPARENT);
    std::string t = m_pDocument->GetTitle();
    TextOutA(dc, 8, 8, t.c_str(), static_cast<int>(t.size()));
  }
  EndPaint(m_hWnd, &ps);
  return 0;
}
