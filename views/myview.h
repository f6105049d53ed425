// The script view: the colouring view with the line-number strip in its left
// margin. The strip follows the caret's line and the first visible line of
// this view (each view remembers what it last told its own strip).
#pragma once
#include "views/colorview.h"
#include "views/gutter.h"

class CMyView : public CColorEditView {
 public:
  static const int kGutterWidth = 31;
  static const int kLeftMargin = 32;

  CLineNumberWnd m_lineNumbers;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // A new window takes the colouring language and the colours of the settings.
  void OnInitialUpdate() override;

 protected:
  LRESULT OnCreate(WPARAM, LPARAM);
  // The font may have changed: the strip's rows follow the control's line height.
  void ApplyViewSettings(const ViewSettings& settings, int hint) override;

 private:
  // Tells the strip of a new caret line, and repaints it after a scroll.
  void FollowCaret();
  int m_toldLine = 0;       // the caret line last told to this view's strip
  int m_toldFirstLine = 0;  // the first visible line the strip was last painted for
  int m_depth = 0;          // nesting of this view's messages
  DECLARE_MESSAGE_MAP()
};
