// Documents: path, title, modified flag and views; loading and saving through
// an archive, with saves written to a temporary file first.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "platform/framework/archive.h"
#include "platform/framework/cmdtarget.h"
#include "platform/framework/file_identity.h"

class CView;
class CDocTemplate;

class CDocument : public CCmdTarget {
 public:
  CDocument() = default;
  ~CDocument() override;

  const std::string& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const std::string& title);
  const std::string& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(const std::string& path, bool addToMru = true);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified != FALSE; }

  const std::vector<CView*>& Views() const { return m_views; }
  CView* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }
  void AddView(CView* view);
  void RemoveView(CView* view);
  void UpdateAllViews(CView* sender, LPARAM hint = 0, void* hintObject = nullptr);

  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(const char* path);
  virtual BOOL OnSaveDocument(const char* path);
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual void Serialize(CArchive& ar) {}
  // Asks "%1 への変更を保存しますか?" when modified; true when closing may go on.
  virtual BOOL SaveModified();
  // Saves to `path`, or asks for one when null; `replace` makes the new path the document's.
  BOOL DoSave(const char* path, BOOL replace = TRUE);
  // The Save As dialog: false when cancelled. `replace` is DoSave's.
  virtual bool ChooseSavePath(std::string& path, BOOL replace);
  virtual BOOL DoFileSave();
  virtual void ReportSaveLoadException(const char* path, bool saving, UINT defaultPrompt);

  bool m_bAutoDelete = true;
  // The file as this document last loaded or saved it (exists false: none).
  FileIdentity m_fileIdentity;
  // The file on disk when another program has changed it since this document
  // loaded or saved it; exists false otherwise (a file deleted meanwhile is
  // written again by the next save, and is no such change).
  FileIdentity ChangedFileOnDisk() const;
  // True when the file was there at the last load or save and is gone now.
  bool FileVanished() const;

 protected:
  bool SerializeReporting(HANDLE file, int mode, const std::string& path, UINT failPrompt);
  void OnFileClose();
  void OnFileSave();
  void OnFileSaveAs();

  std::string m_strTitle;
  std::string m_strPathName;
  bool m_bModified = false;
  std::vector<CView*> m_views;
  CDocTemplate* m_pDocTemplate = nullptr;
  friend class CDocTemplate;
  DECLARE_MESSAGE_MAP()
};
