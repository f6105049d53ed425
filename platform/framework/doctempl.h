// The document template: makes a document, its child frame and its view
// together, names new documents from the base name and a counter, and keeps the
// list of open documents of its kind.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "platform/framework/cmdtarget.h"

class CDocument;
class CFrameWnd;
class CMDIChildWnd;
class CView;

class CDocTemplate : public CCmdTarget {
 public:
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  using DocFactory = std::function<CDocument*()>;
  using FrameFactory = std::function<CMDIChildWnd*()>;
  using ViewFactory = std::function<CView*()>;

  CDocTemplate(UINT resourceId, DocFactory doc, FrameFactory frame, ViewFactory view);
  ~CDocTemplate() override;

  // Loads the template string, menu and accelerators of the resource id.
  void LoadTemplate();
  std::string GetDocString(DocStringIndex index) const;
  HMENU GetMenu() const { return m_hMenuShared; }
  HACCEL GetAccel() const { return m_hAccelTable; }
  UINT GetResourceId() const { return m_nIDResource; }

  const std::vector<CDocument*>& Documents() const { return m_docs; }
  void AddDocument(CDocument* doc);
  void RemoveDocument(CDocument* doc);
  // The open document with this path (compared without case), or null.
  CDocument* FindDocument(const std::string& path) const;

  // Opens `path` (or a new untitled document when null) in a new frame and view.
  CDocument* OpenDocumentFile(const char* path, bool makeVisible = true);
  void SetDefaultTitle(CDocument* doc);
  void CloseAllDocuments(bool endSession);
  bool SaveAllModified();

 private:
  UINT m_nIDResource;
  DocFactory m_docFactory;
  FrameFactory m_frameFactory;
  ViewFactory m_viewFactory;
  std::string m_strDocStrings;
  HMENU m_hMenuShared = nullptr;
  HACCEL m_hAccelTable = nullptr;
  std::vector<CDocument*> m_docs;
  int m_nUntitledCount = 0;
};
