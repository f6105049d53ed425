// About box.
#include "app/aboutdlg.h"
#include <cstdio>
#include "resources/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

std::string CAboutDlg::BuildLine() {
  char buf[64];
  snprintf(buf, sizeof buf, "Build: %s @ %s", __DATE__, __TIME__);
  return buf;
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_BUILD, BuildLine().c_str());
  return TRUE;
}
