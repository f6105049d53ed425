// The go-to-line dialog: one unsigned line number, counted from 1, refused
// with the framework's messages when it is not a number or out of range.
#pragma once
#include "platform/framework/dialog.h"

class CGoToLineDlg : public CDialog {
 public:
  static const UINT kTemplate = 132;
  static const int kLineField = 1000;

  explicit CGoToLineDlg(unsigned line, unsigned maxLine, CWnd* parent = nullptr)
      : CDialog(kTemplate, parent), m_line(line), m_maxLine(maxLine) {}
  bool DoDataExchange(bool save) override {
    CDataExchange dx(*this, save);
    return DDX_Text(dx, kLineField, m_line) && DDV_MinMaxUInt(dx, m_line, 1, m_maxLine);
  }

  unsigned m_line;
  unsigned m_maxLine;
};
