// The macro dialogs: the prompt of the "editor" object (142), Add macro (139)
// and Organize macros (141), and the add command that makes the document a
// macro file. Names typed here are checked before anything changes on disk:
// empty names and names with \ / : * ? " < > | are refused with a message and
// the dialog stays open.
#pragma once
#include <string>
#include "dialogs/dialog_ids.h"
#include "platform/framework/dialog.h"
#include "macros/macro_names.h"

class CDocument;

// "Ruveltoユーザー プロンプト": the message above the answer field.
class CPromptDlg : public CDialog {
 public:
  explicit CPromptDlg(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;
  std::string m_message;
  std::string m_answer;  // in: the default; out: the answer on OK
};

// "マクロを追加": the macro's name, at most 255 bytes, checked on OK.
class CAddMacroDlg : public CDialog {
 public:
  explicit CAddMacroDlg(CWnd* parent = nullptr);
  bool DoDataExchange(bool save) override;
  std::string m_name;
};

// "マクロの整理": the macros of one language in a list view; rename by label
// edit (Esc changes nothing), delete after a question, open for editing. Works
// directly on the given list, which stays in step with the list view.
class COrganizeMacroDlg : public CDialog {
 public:
  // `exeFolder` ends with a separator; the macro files are in its "macro".
  COrganizeMacroDlg(CSortedStringList& list, int language, const std::string& exeFolder, CWnd* parent = nullptr);
  BOOL OnInitDialog() override;

  // The steps of the buttons and of a finished label edit; `newName` null: the
  // edit was cancelled.
  void OnRename();
  void OnDelete();
  void OnEdit();
  void EndLabelEdit(const char* newName);
  // The whole text of list item `index`, whatever its length.
  std::string ItemText(int index) const;
  int SelectedItem() const;
  HWND List() const { return GetDlgItem(IDC_MACRO_LIST); }

 protected:
  LRESULT OnNotify(WPARAM, LPARAM);

 private:
  std::string PathOf(const std::string& name) const;
  CSortedStringList& m_list;
  int m_language;
  std::string m_folder;
  DECLARE_MESSAGE_MAP()
};

// Command 32796: proposes the document's title up to its first dot as the
// name, then gives the document the macro file's path and saves it there (an
// existing macro of that name is replaced without a question).
void AddDocumentAsMacro(CDocument& doc, int language, const std::string& exeFolder);
