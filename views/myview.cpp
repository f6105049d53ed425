// The script view: creation of the line-number strip and keeping it in step.
#include "views/myview.h"

BEGIN_MESSAGE_MAP(CMyView, CColorEditView)
  ON_MESSAGE(WM_CREATE, OnCreate)
END_MESSAGE_MAP(CColorEditView)

LRESULT CMyView::OnCreate(WPARAM wp, LPARAM lp) {
  if (CColorEditView::OnCreate(wp, lp) == -1) return -1;
  SetMargins(kLeftMargin, 0);
  m_lineNumbers.Create(kGutterWidth, this);
  return 0;
}

void CMyView::OnInitialUpdate() {
  CColorEditView::OnInitialUpdate();
  if (s_viewSettings) ApplyViewSettings(s_viewSettings(), 1);
}

void CMyView::ApplyViewSettings(const ViewSettings& settings, int hint) {
  CColorEditView::ApplyViewSettings(settings, hint);
  if (m_lineNumbers.m_hWnd) InvalidateRect(m_lineNumbers.m_hWnd, nullptr, FALSE);
}

LRESULT CMyView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  ++m_depth;
  const LRESULT result = CColorEditView::WindowProc(msg, wp, lp);
  --m_depth;
  // After the outermost message: whatever moved the caret or scrolled (keys,
  // the mouse, the scroll bars, the wheel, selection messages) is seen here.
  if (m_depth == 0 && msg != WM_DESTROY && msg != WM_NCDESTROY && m_hWnd && IsWindow(m_hWnd) &&
      m_lineNumbers.m_hWnd && IsWindow(m_lineNumbers.m_hWnd)) {
    ++m_depth;  // its own questions to the control are not followed again
    FollowCaret();
    --m_depth;
  }
  return result;
}

void CMyView::FollowCaret() {
  const int first = GetFirstVisibleLine();
  if (first != m_toldFirstLine) {
    m_toldFirstLine = first;
    InvalidateRect(m_lineNumbers.m_hWnd, nullptr, FALSE);
  }
  const int line = LineFromChar(-1);
  if (line != m_toldLine) {
    m_lineNumbers.SetCurrentLine(m_toldLine, line);
    m_toldLine = line;
  }
}
