// The Macro menu's commands (see macro_commands.h).
#include "macros/macro_commands.h"
#include "hosting/script_commands.h"
#include "macros/macro_dialogs.h"
#include "macros/macro_run.h"
#include "platform/framework/frame.h"
#include "platform/framework/resstr.h"
#include "macros/macro_menu.h"
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "views/myeditview.h"
#include "views/myview.h"

bool CMacroCommands::RebuildMenu(HMENU bar) {
  return RebuildMacroItems(bar, m_exeFolder, m_language, m_list, m_nextId);
}

void CMacroCommands::EnableItems(HMENU popup) const {
  for (int id = ID_MACRO_FIRST; id < m_nextId; ++id)
    EnableMenuItem(popup, static_cast<UINT>(id), MF_BYCOMMAND | MF_ENABLED);
}

bool CMacroCommands::RunItem(UINT id, HMENU bar, CMyEditView* view) {
  if (id < ID_MACRO_FIRST || static_cast<int>(id) >= m_nextId) return false;
  const int n = GetMenuStringA(bar, id, nullptr, 0, MF_BYCOMMAND);
  std::string name(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
  const int got = n > 0 ? GetMenuStringA(bar, id, &name[0], n + 1, MF_BYCOMMAND) : 0;
  name.resize(got > 0 ? static_cast<size_t>(got) : 0);
  Run(name, view);
  return true;
}

void CMacroCommands::Run(const std::string& name, CMyEditView* view) {
  const std::string path = m_exeFolder + MacroRelativePath(name, m_language);
  // The run sees what the editor shows, or nothing runs.
  if (CWinApp* app = AfxGetApp())
    if (CDocument* doc = app->FindOpenDocument(path.c_str()))
      if (!SaveDocumentBeforeRun(*doc, true)) return;
  std::string text;
  unsigned long error = 0;
  if (!ReadMacroFile(path, text, error)) {
    ReportCannotOpen(path, error);
    return;
  }
  ExecuteText(text, view, path);
}

void CMacroCommands::ExecuteText(const std::string& text, CMyEditView* view, const std::string& path) const {
  if (!view) return;
  MacroRunRequest request;
  request.macro = text;
  request.path = path;
  request.language = m_language;
  request.owner = m_site;
  request.helper = m_helper;
  request.scriptControl = m_scriptControl;
  if (RunMacro(request, *view) != MacroRunEnd::Stopped) return;
  if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(m_site)))
    frame->SetMessageText(LoadResString(IDS_MACRO_STOPPED).c_str());
}

void CMacroCommands::Organize(CWnd* parent) {
  COrganizeMacroDlg dlg(m_list, m_language, m_exeFolder, parent);
  dlg.DoModal();
}

void CMacroCommands::AddFromView(CMyView& view) const {
  if (CDocument* doc = view.GetDocument()) AddDocumentAsMacro(*doc, m_language, m_exeFolder);
}
