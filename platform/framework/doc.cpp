// Document state, the save-if-modified prompt, loading and safe saving.
#include "platform/framework/doc.h"
#include <algorithm>
#include "platform/framework/app.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/except.h"
#include "platform/framework/frame.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "platform/framework/safe_file.h"
#include "platform/framework/view.h"

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
  ON_COMMAND(ID_FILE_SAVE, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP(CCmdTarget)

CDocument::~CDocument() {
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const std::string& title) {
  m_strTitle = title;
  for (CView* v : m_views)
    if (CFrameWnd* f = v->GetParentFrame()) f->OnUpdateFrameTitle();
}

void CDocument::SetPathName(const std::string& path, bool addToMru) {
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  m_strPathName = (n > 0 && n < sizeof full) ? std::string(full, n) : path;
  // The title is the file name.
  size_t cut = LastPathSeparator(m_strPathName);
  SetTitle(cut == std::string::npos ? m_strPathName : m_strPathName.substr(cut + 1));
  if (addToMru && AfxGetApp()) AfxGetApp()->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* view) {
  m_views.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
  view->m_pDocument = nullptr;
  if (m_views.empty() && m_bAutoDelete) {
    DeleteContents();
    delete this;
  }
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, void* hintObject) {
  std::vector<CView*> views = m_views;
  for (CView* v : views)
    if (v != sender) v->OnUpdate(sender, hint, hintObject);
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.clear();
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::ReportSaveLoadException(const char* path, bool saving, UINT defaultPrompt) {
  AfxMessageBox(defaultPrompt, MB_OK | MB_ICONEXCLAMATION);
}

// Runs the serialise step over an open file; a failure is reported to the user
// (a step that raised CUserException has already said why) and gives false.
bool CDocument::SerializeReporting(HANDLE file, int mode, const std::string& path, UINT failPrompt) {
  try {
    CArchive ar(file, static_cast<CArchive::Mode>(mode), path);
    Serialize(ar);
    return true;
  } catch (...) {
    AfxReportCurrentException(failPrompt);
  }
  return false;
}

BOOL CDocument::OnOpenDocument(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ReportFileError(CFileException{GetLastError() == ERROR_ACCESS_DENIED ? CFileException::AccessDenied
                                                                         : CFileException::FileNotFound,
                                   GetLastError(), path},
                    AFX_IDP_FAILED_TO_OPEN_DOC);
    return FALSE;
  }
  DeleteContents();
  SetModifiedFlag(TRUE);  // dirty while loading
  bool ok = SerializeReporting(file, CArchive::load, path, AFX_IDP_FAILED_TO_OPEN_DOC);
  m_fileIdentity = ReadFileIdentity(file);
  CloseHandle(file);
  if (!ok) {
    DeleteContents();
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}


BOOL CDocument::OnSaveDocument(const char* path) {
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  std::string target = (n > 0 && n < sizeof full) ? std::string(full, n) : std::string(path);
  if (!SafeWriteFile(target, AFX_IDP_FAILED_TO_SAVE_DOC, [&](HANDLE file) {
        return SerializeReporting(file, CArchive::store, target, AFX_IDP_FAILED_TO_SAVE_DOC);
      }))
    return FALSE;
  if (lstrcmpiA(target.c_str(), m_strPathName.c_str()) == 0) m_fileIdentity = ReadFileIdentity(target);
  SetModifiedFlag(FALSE);
  return TRUE;
}

FileIdentity CDocument::ChangedFileOnDisk() const {
  if (m_strPathName.empty() || !m_fileIdentity.exists) return FileIdentity{};
  const FileIdentity now = ReadFileIdentity(m_strPathName);
  return now.exists && now != m_fileIdentity ? now : FileIdentity{};
}

bool CDocument::FileVanished() const {
  return !m_strPathName.empty() && m_fileIdentity.exists && !ReadFileIdentity(m_strPathName).exists;
}

void CDocument::OnCloseDocument() {
  bool autoDelete = m_bAutoDelete;
  m_bAutoDelete = false;  // views going away must not delete us early
  std::vector<CView*> views = m_views;
  for (CView* v : views) {
    if (CFrameWnd* f = v->GetParentFrame()) f->DestroyWindow();
  }
  DeleteContents();
  if (autoDelete) delete this;
}

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  std::string name = m_strPathName.empty() ? m_strTitle : m_strTitle;
  std::string prompt = AfxFormatString1(AFX_IDP_ASK_TO_SAVE, name.c_str());
  switch (AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
  }
}

// A file deleted while it was open is written again at its path; a read-only
// one is offered to be saved under another name (DoSave).
BOOL CDocument::DoFileSave() { return DoSave(m_strPathName.empty() ? nullptr : m_strPathName.c_str()); }

bool CDocument::ChooseSavePath(std::string& path, BOOL) {
  std::string filter;
  if (m_pDocTemplate) {
    filter = m_pDocTemplate->GetDocString(CDocTemplate::filterName) + "|*" +
             m_pDocTemplate->GetDocString(CDocTemplate::filterExt) + "||";
  }
  CFileDialog dlg(false, nullptr, m_strPathName.empty() ? m_strTitle.c_str() : m_strPathName.c_str(),
                  OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, filter.empty() ? nullptr : filter.c_str());
  if (dlg.DoModal() != IDOK) return false;
  path = dlg.GetPathName();
  return true;
}

BOOL CDocument::DoSave(const char* path, BOOL replace) {
  std::string chosen;
  for (;;) {
    if (!path) {
      if (!ChooseSavePath(chosen, replace)) return FALSE;
      path = chosen.c_str();
    }
    if (!IsReadOnlyFile(path)) break;
    std::string question = AfxFormatString1(AFX_IDP_ASK_SAVE_AS_READ_ONLY, path);
    if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return FALSE;
    path = nullptr;
  }
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  BOOL ok = OnSaveDocument(path);
  SetCursor(old);
  if (!ok) return FALSE;
  if (replace) {
    SetPathName(path);
    m_fileIdentity = ReadFileIdentity(m_strPathName);
  }
  return TRUE;
}

void CDocument::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }
