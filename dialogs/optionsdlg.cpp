// The Options dialog.
#include "dialogs/optionsdlg.h"
#include <commctrl.h>
#include "dialogs/dialog_ids.h"

namespace {
const char* const kStressItems[] = {"しない", "JScript", "VBScript"};
const char* const kExtensionItems[] = {".wsf", ".js", ".vbs", ".hta"};
const char* const kOpenModeItems[] = {"空のファイルを開く", "最近使ったファイルを開く", "何もファイルを開かない"};
const char kHelpFilter[] = "HTML ヘルプ ファイル (*.chm)|*.chm|すべてのファイル (*.*)|*.*||";

template <size_t N>
void FillList(HWND list, const char* const (&items)[N]) {
  ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
  for (const char* item : items) ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}
}  // namespace

BEGIN_MESSAGE_MAP(COptionsDlg, CDialog)
  ON_COMMAND(IDC_OPT_BROWSE, OnBrowse)
END_MESSAGE_MAP(CDialog)

COptionsDlg::COptionsDlg(CWnd* parent) : CDialog(IDD, parent) {}

BOOL COptionsDlg::OnInitDialog() {
  // The lists get their items before the data exchange selects in them.
  FillList(GetDlgItem(IDC_OPT_STRESS), kStressItems);
  FillList(GetDlgItem(IDC_OPT_EXTENSION), kExtensionItems);
  FillList(GetDlgItem(IDC_OPT_OPENMODE), kOpenModeItems);
  CDialog::OnInitDialog();
  ::SendMessageA(m_spin, UDM_SETRANGE32, options::kMinTabStops, kMaxTabStops);
  return TRUE;
}

bool COptionsDlg::DoDataExchange(bool save) {
  CDataExchange dx(*this, save);
  m_spin = GetDlgItem(IDC_OPT_SPIN);
  return DDX_CBIndex(dx, IDC_OPT_STRESS, m_nStress) &&
         DDX_Check(dx, IDC_OPT_AUTOINDENT, m_bAutoIndent) && DDX_Check(dx, IDC_OPT_AUTOKANJI, m_bAutoKanji) &&
         DDX_Text(dx, IDC_OPT_TABSTOPS, m_nTabStops) && DDV_MinMaxInt(dx, m_nTabStops, options::kMinTabStops, kMaxTabStops) &&
         DDX_CBIndex(dx, IDC_OPT_EXTENSION, m_nFilterIndex) &&
         DDX_Text(dx, IDC_OPT_HELPPATH, m_strHelpPath) && DDV_MaxChars(dx, m_strHelpPath, kMaxHelpPath) &&
         DDX_CBIndex(dx, IDC_OPT_OPENMODE, m_nOpenMode);
}

void COptionsDlg::OnBrowse() {
  // A failed check has shown its message; refilling the controls from the
  // members would throw away what was typed after the failing field.
  if (!UpdateData(true)) return;
  CFileDialog dlg(true, nullptr, m_strHelpPath.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kHelpFilter,
                  m_hWnd);
  if (dlg.DoModal() != IDOK) return;
  m_strHelpPath = dlg.GetPathName();
  UpdateData(false);
}
