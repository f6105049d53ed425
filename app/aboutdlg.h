// The About box: program name, version and the build date and time.
#pragma once
#include "platform/framework/dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
  BOOL OnInitDialog() override;
  // "Build: %s @ %s" from the compiler's date and time stamps.
  static std::string BuildLine();
};
