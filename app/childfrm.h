// The frame of one document's view, always shown maximised in the main window.
#pragma once
#include "platform/framework/frame.h"

class CChildFrame : public CMDIChildWnd {
 public:
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  void ActivateFrame(int cmdShow = -1) override;

 protected:
  LRESULT OnSize(WPARAM, LPARAM);
  bool m_inSize = false;
  DECLARE_MESSAGE_MAP()
};
