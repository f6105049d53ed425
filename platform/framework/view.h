// Views: the window that shows one document inside its child frame.
#pragma once
#include "platform/framework/wnd.h"

class CDocument;
class CFrameWnd;
struct CPrintInfo;
enum class PrintRunEnd : int;

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

  // Printing and print preview (platform/framework/print.h gives the order
  // of the steps; print.cpp and preview.cpp run them).
  virtual BOOL OnPreparePrinting(CPrintInfo* info);
  virtual void OnBeginPrinting(HDC dc, CPrintInfo* info) {}
  virtual void OnPrepareDC(HDC dc, CPrintInfo* info);
  virtual void OnPrint(HDC dc, CPrintInfo* info) {}
  virtual void OnEndPrinting(HDC dc, CPrintInfo* info) {}
  // Gets the printer: the print dialog, or for direct printing and preview
  // the printer of print set-up or the default one. FALSE when cancelled or
  // when there is no printer (reported).
  BOOL DoPreparePrinting(CPrintInfo* info);
  // One print run to the printer, through the print dialog unless `direct`
  // (then the printer of print set-up or the default one); how it ended.
  PrintRunEnd PrintToPrinter(bool direct);
  void OnFilePrint();        // 57607: through the print dialog
  void OnFilePrintDirect();  // 57608: the default printer, no dialog
  void OnFilePrintPreview(); // 57609

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
