// Views: the window that shows one document inside its child frame.
#pragma once
#include "platform/framework/wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
 public:
  ~CView() override;
  CDocument* GetDocument() const { return m_pDocument; }
  CFrameWnd* GetParentFrame() const;

  virtual void OnInitialUpdate();
  virtual void OnUpdate(CView* sender, LPARAM hint, void* hintObject);
  virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);
  bool OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui) override;
  void PostNcDestroy() override { delete this; }

  // Creates the view window as the frame's client pane.
  virtual BOOL Create(CWnd* parentFrame, CDocument* doc);

 protected:
  CDocument* m_pDocument = nullptr;
  friend class CDocument;
};

// A plain view that paints its document's title; stands in where no text view exists.
class CPlaceholderView : public CView {
 protected:
  LRESULT OnPaint(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};
