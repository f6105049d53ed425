// Document template: creation of document, frame and view together.
#include "platform/framework/doctempl.h"
#include <algorithm>
#include <cstdio>
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/frame.h"
#include "platform/framework/resstr.h"
#include "platform/framework/view.h"

CDocTemplate::CDocTemplate(UINT resourceId, DocFactory doc, FrameFactory frame, ViewFactory view)
    : m_nIDResource(resourceId), m_docFactory(std::move(doc)), m_frameFactory(std::move(frame)),
      m_viewFactory(std::move(view)) {}

CDocTemplate::~CDocTemplate() {
  for (CDocument* d : std::vector<CDocument*>(m_docs)) {
    d->m_pDocTemplate = nullptr;
  }
  if (m_hMenuShared) DestroyMenu(m_hMenuShared);
}

void CDocTemplate::LoadTemplate() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  m_strDocStrings = LoadResString(m_nIDResource);
  if (!m_hMenuShared) m_hMenuShared = LoadMenuA(inst, MAKEINTRESOURCEA(m_nIDResource));
  if (!m_hAccelTable) m_hAccelTable = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(m_nIDResource));
}

std::string CDocTemplate::GetDocString(DocStringIndex index) const {
  size_t start = 0;
  for (int i = 0; i < index; ++i) {
    size_t nl = m_strDocStrings.find('\n', start);
    if (nl == std::string::npos) return "";
    start = nl + 1;
  }
  size_t end = m_strDocStrings.find('\n', start);
  return m_strDocStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void CDocTemplate::AddDocument(CDocument* doc) {
  m_docs.push_back(doc);
  doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
  m_docs.erase(std::remove(m_docs.begin(), m_docs.end(), doc), m_docs.end());
  doc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::FindDocument(const std::string& path) const {
  for (CDocument* d : m_docs)
    if (!d->GetPathName().empty() && lstrcmpiA(d->GetPathName().c_str(), path.c_str()) == 0) return d;
  return nullptr;
}

void CDocTemplate::SetDefaultTitle(CDocument* doc) {
  char title[64];
  snprintf(title, sizeof title, "%s%d", GetDocString(docName).c_str(), ++m_nUntitledCount);
  doc->SetTitle(title);
}

CDocument* CDocTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
  CDocument* doc = m_docFactory();
  AddDocument(doc);
  CWinApp* app = AfxGetApp();
  CMDIChildWnd* frame = m_frameFactory();
  frame->m_pTemplate = this;
  CCreateContext ctx;
  ctx.document = doc;
  ctx.docTemplate = this;
  ctx.newView = m_viewFactory();
  bool autoDelete = doc->m_bAutoDelete;
  doc->m_bAutoDelete = false;  // a failed frame must not take the document with it yet
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | CFrameWnd::FWS_ADDTOTITLE,
                        app ? app->m_pMainWnd : nullptr, &ctx)) {
    if (!ctx.newView->m_hWnd) delete ctx.newView;
    delete doc;
    return nullptr;
  }
  doc->m_bAutoDelete = autoDelete;
  if (!path) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      frame->DestroyWindow();
      return nullptr;
    }
  } else {
    if (!doc->OnOpenDocument(path)) {
      frame->DestroyWindow();
      return nullptr;
    }
    doc->SetPathName(path);
  }
  if (CView* v = frame->GetActiveView()) v->OnInitialUpdate();
  if (makeVisible) frame->ActivateFrame();
  frame->OnUpdateFrameTitle();
  return doc;
}

void CDocTemplate::CloseAllDocuments(bool) {
  for (CDocument* d : std::vector<CDocument*>(m_docs)) d->OnCloseDocument();
}

bool CDocTemplate::SaveAllModified() {
  for (CDocument* d : std::vector<CDocument*>(m_docs))
    if (!d->SaveModified()) return false;
  return true;
}
