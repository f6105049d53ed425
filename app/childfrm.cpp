// Child frame: style, placement and the restored size kept at the maximised size.
#include "app/childfrm.h"

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
  ON_MESSAGE(WM_SIZE, OnSize)
END_MESSAGE_MAP(CMDIChildWnd)

BOOL CChildFrame::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!CMDIChildWnd::PreCreateWindow(cs)) return FALSE;
  cs.style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
             WS_MAXIMIZEBOX;
  m_frameStyle |= FWS_ADDTOTITLE;
  RECT rc{0, 0, 0, 0};
  if (m_pMDIFrame && m_pMDIFrame->m_hWndMDIClient) GetClientRect(m_pMDIFrame->m_hWndMDIClient, &rc);
  cs.x = 0;
  cs.y = 0;
  cs.cx = rc.right > 0 ? rc.right : CW_USEDEFAULT;
  cs.cy = rc.bottom > 0 ? rc.bottom : CW_USEDEFAULT;
  return TRUE;
}

void CChildFrame::ActivateFrame(int) { CMDIChildWnd::ActivateFrame(SW_SHOWMAXIMIZED); }

LRESULT CChildFrame::OnSize(WPARAM wp, LPARAM lp) {
  LRESULT r = CMDIChildWnd::OnChildSize(wp, lp);
  if (wp == SIZE_MAXIMIZED && !m_inSize) {
    // A restored child keeps the maximised size, at the top-left corner.
    m_inSize = true;
    WINDOWPLACEMENT pl{};
    pl.length = sizeof pl;
    RECT rc;
    if (GetWindowPlacement(m_hWnd, &pl) && GetWindowRect(m_hWnd, &rc)) {
      // Setting the record moves a maximised window to its maximised
      // position: keep that where the window is now.
      POINT at{rc.left, rc.top};
      ScreenToClient(::GetParent(m_hWnd), &at);
      pl.ptMaxPosition = at;
      OffsetRect(&rc, -rc.left, -rc.top);
      pl.rcNormalPosition = rc;
      SetWindowPlacement(m_hWnd, &pl);
      // Some systems still move it to their own idea of that position.
      SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_inSize = false;
  }
  return r;
}
