// The parameters dialog (see parameterdlg.h).
#include "hosting/parameterdlg.h"
#include "platform/framework/app.h"

namespace {
const char kSection[] = "Settings";
}

CParameterDlg::CParameterDlg(CWnd* parent) : CDialog(IDD_PARAMETERS, parent) {}

BOOL CParameterDlg::OnInitDialog() {
  CWinApp* app = AfxGetApp();
  m_hostParameter = app->GetProfileString(kSection, "HostParameter", "");
  m_scriptParameter = app->GetProfileString(kSection, "ScriptParameter", "");
  SetDlgItemText(IDC_HOST_PARAMETER, m_hostParameter.c_str());
  SetDlgItemText(IDC_SCRIPT_PARAMETER, m_scriptParameter.c_str());
  return CDialog::OnInitDialog();
}

void CParameterDlg::OnOK() {
  m_hostParameter = GetDlgItemText(IDC_HOST_PARAMETER);
  m_scriptParameter = GetDlgItemText(IDC_SCRIPT_PARAMETER);
  CWinApp* app = AfxGetApp();
  app->WriteProfileString(kSection, "HostParameter", m_hostParameter.c_str());
  app->WriteProfileString(kSection, "ScriptParameter", m_scriptParameter.c_str());
  CDialog::OnOK();
}
