// The macro dialogs and the add command (see macro_dialogs.h).
#include "macros/macro_dialogs.h"
#include <commctrl.h>
#include <vector>
#include "platform/cp932_wide.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/except.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "resources/resource.h"
#include "hosting/script_commands.h"

namespace {
const int kMaxMacroName = 255;

// Shows why `name` is refused; false then.
bool AcceptMacroName(const std::string& name) {
  const MacroNameProblem problem = CheckMacroName(name);
  if (problem == MacroNameProblem::Ok) return true;
  AfxMessageBox(MacroNameMessage(problem).c_str(), MB_OK | MB_ICONEXCLAMATION);
  return false;
}

// The framework's file-error box for a failed move or delete of `path`.
void ReportFileFailure(const std::string& path, DWORD error) {
  ReportFileError(CFileException{CFileException::Generic, error, path}, AFX_IDP_FILE_GENERIC);
}
}  // namespace

// ---------------------------------------------------------------- prompt

CPromptDlg::CPromptDlg(CWnd* parent) : CDialog(IDD_PROMPT, parent) {}

BOOL CPromptDlg::OnInitDialog() {
  SetDlgItemText(IDC_PROMPT_MESSAGE, m_message.c_str());
  SetDlgItemText(IDC_PROMPT_ANSWER, m_answer.c_str());
  return CDialog::OnInitDialog();
}

void CPromptDlg::OnOK() {
  m_answer = GetDlgItemText(IDC_PROMPT_ANSWER);
  CDialog::OnOK();
}

// ---------------------------------------------------------------- add

CAddMacroDlg::CAddMacroDlg(CWnd* parent) : CDialog(IDD_ADD_MACRO, parent) {}

bool CAddMacroDlg::DoDataExchange(bool save) {
  CDataExchange dx(*this, save);
  if (!DDX_Text(dx, IDC_MACRO_NAME, m_name) || !DDV_MaxChars(dx, m_name, kMaxMacroName)) return false;
  const MacroNameProblem problem = save ? CheckMacroName(m_name) : MacroNameProblem::Ok;
  return problem == MacroNameProblem::Ok || dx.Fail(MacroNameMessage(problem));
}

void AddDocumentAsMacro(CDocument& doc, int language, const std::string& exeFolder) {
  CAddMacroDlg dlg;
  dlg.m_name = ProposedMacroName(doc.GetTitle());
  if (dlg.DoModal() != IDOK) return;
  const std::string path = exeFolder + MacroRelativePath(dlg.m_name, language);
  doc.SetPathName(path);
  doc.DoSave(path.c_str());
}

// ---------------------------------------------------------------- organize

BEGIN_MESSAGE_MAP(COrganizeMacroDlg, CDialog)
  ON_MESSAGE(WM_NOTIFY, OnNotify)
  ON_COMMAND(IDC_MACRO_RENAME, OnRename)
  ON_COMMAND(IDC_MACRO_DELETE, OnDelete)
  ON_COMMAND(IDC_MACRO_EDIT, OnEdit)
END_MESSAGE_MAP(CDialog)

COrganizeMacroDlg::COrganizeMacroDlg(CSortedStringList& list, int language, const std::string& exeFolder,
                                     CWnd* parent)
    : CDialog(IDD_ORGANIZE_MACRO, parent), m_list(list), m_language(language), m_folder(exeFolder) {}

BOOL COrganizeMacroDlg::OnInitDialog() {
  for (int k = 0; k < m_list.GetCount(); ++k) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = k;
    item.pszText = const_cast<char*>(m_list.GetAt(k).c_str());
    ::SendMessageA(List(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  return CDialog::OnInitDialog();
}

std::string COrganizeMacroDlg::PathOf(const std::string& name) const {
  return m_folder + MacroRelativePath(name, m_language);
}

int COrganizeMacroDlg::SelectedItem() const {
  return static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string COrganizeMacroDlg::ItemText(int index) const {
  // The control copies at most the room it is given (less one for the NUL):
  // the room grows until the text fits with room to spare.
  for (size_t room = 256;; room *= 2) {
    std::vector<char> buffer(room, '\0');
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(room);
    const auto n = static_cast<size_t>(
        ::SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (n + 1 < room) return std::string(buffer.data(), n);
    if (room > (1u << 20)) return std::string(buffer.data());
  }
}

void COrganizeMacroDlg::OnRename() {
  ::SetFocus(List());
  const int index = SelectedItem();
  if (index >= 0) ::SendMessageA(List(), LVM_EDITLABELA, static_cast<WPARAM>(index), 0);
}

void COrganizeMacroDlg::EndLabelEdit(const char* newText) {
  if (!newText) return;  // Esc: the edit was cancelled
  const int index = SelectedItem();
  if (index < 0) return;
  const std::string newName = newText;
  const std::string oldName = ItemText(index);
  if (!AcceptMacroName(newName)) return;
  const std::string from = PathOf(oldName), to = PathOf(newName);
  if (GetFileAttributesA(to.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (!MoveFileA(from.c_str(), to.c_str())) {
      ReportFileFailure(from, GetLastError());
      return;
    }
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(newName.c_str());
    ::SendMessageA(List(), LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (index < m_list.GetCount()) m_list.SetAt(index, newName);
    return;
  }
  const std::string fromRelative = MacroRelativePath(oldName, m_language);
  const std::string toRelative = MacroRelativePath(newName, m_language);
  if (lstrcmpiA(fromRelative.c_str(), toRelative.c_str()) != 0)
    AfxMessageBox("名前が重複しています。", MB_OK | MB_ICONEXCLAMATION);
}

void COrganizeMacroDlg::OnDelete() {
  ::SetFocus(List());
  const int index = SelectedItem();
  if (index < 0) return;
  const std::string name = ItemText(index);
  const std::string question = "'" + name + "' を削除します。\nよろしいですか？";
  if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONEXCLAMATION) == IDNO) return;
  const std::string path = PathOf(name);
  if (!DeleteFileA(path.c_str())) {
    ReportFileFailure(path, GetLastError());
    return;
  }
  ::SendMessageA(List(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  if (index < m_list.GetCount()) m_list.RemoveAt(index);
}

void COrganizeMacroDlg::OnEdit() {
  ::SetFocus(List());
  const int index = SelectedItem();
  if (index < 0) return;
  const std::string path = PathOf(ItemText(index));
  SetLastError(0);
  if (AfxGetApp()->OpenDocumentFile(path.c_str())) {
    EndDialog(IDOK);
    return;
  }
  ReportCannotOpen(path, GetLastError());
}

LRESULT COrganizeMacroDlg::OnNotify(WPARAM, LPARAM lp) {
  const auto* header = reinterpret_cast<const NMHDR*>(lp);
  if (!header || header->idFrom != IDC_MACRO_LIST) return 0;
  if (header->code == LVN_ENDLABELEDITA) {
    EndLabelEdit(reinterpret_cast<const NMLVDISPINFOA*>(lp)->item.pszText);
  } else if (header->code == LVN_ENDLABELEDITW) {
    const wchar_t* wide = reinterpret_cast<const NMLVDISPINFOW*>(lp)->item.pszText;
    if (!wide) {
      EndLabelEdit(nullptr);
    } else {
      EndLabelEdit(cp932::FromWide(wide).c_str());
    }
  }
  return 0;  // the list view never takes over the edited label itself
}
