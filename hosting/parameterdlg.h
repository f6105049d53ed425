// The parameters dialog of the window and console hosts: host and script
// parameters, read from the settings file when it opens and written there
// the moment OK is pressed; Cancel writes nothing.
#pragma once
#include "platform/framework/dialog.h"
#include "resources/resource.h"

class CParameterDlg : public CDialog {
 public:
  explicit CParameterDlg(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

  std::string m_hostParameter;
  std::string m_scriptParameter;
};
