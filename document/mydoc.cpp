// Script document loading and saving.
#include "document/mydoc.h"
#include <cstdio>
#include "platform/framework/dialog.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/cp932.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "document/editor_settings.h"
#include "views/myeditview.h"


CMyEditView* CMyDoc::GetEditView() const { return dynamic_cast<CMyEditView*>(GetFirstView()); }

void CMyDoc::Serialize(CArchive& ar) {
  CMyEditView* view = GetEditView();
  if (!view) return;
  if (GetEditorSettings()->AutoDetect()) view->SerializeText(ar);
  else view->SerializeRaw(ar);
}

BOOL CMyDoc::OnOpenDocument(const char* path) {
  CMyEditView* view = GetEditView();
  if (view) {
    view->m_unmappableOnLoad = 0;
    view->m_zeroByteOnLoad = false;
  }
  if (!CDocument::OnOpenDocument(path)) return FALSE;
  m_lossyCharacters = view ? view->m_unmappableOnLoad : 0;
  if (m_lossyCharacters > 0) {
    char text[512];
    snprintf(text, sizeof text,
             "%s\nには、このエディタで表示できない文字が %u 個あります。\n"
             "それらの文字は「・」などの別の文字で表示されています。"
             "このまま上書き保存すると、元の文字は失われます。",
             path, static_cast<unsigned>(m_lossyCharacters));
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  }
  // Without detection the raw bytes go to the control, which also stops at a zero byte.
  bool zero = view && view->m_zeroByteOnLoad;
  if (!zero && view && !GetEditorSettings()->AutoDetect()) {
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
      LARGE_INTEGER size{};
      GetFileSizeEx(f, &size);
      zero = size.QuadPart > view->GetTextLength();
      CloseHandle(f);
    }
  }
  if (zero) {
    char text[512];
    snprintf(text, sizeof text,
             "%s\nには値 0 のバイトが含まれています。表示されているのはその手前までです。\n"
             "このまま上書き保存すると、それより後ろの内容は失われます。",
             path);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  }
  return TRUE;
}

BOOL CMyDoc::OnSaveDocument(const char* path) {
  if (m_lossyCharacters > 0 && !GetPathName().empty()) {
    char full[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n > 0 && n < sizeof full && lstrcmpiA(full, GetPathName().c_str()) == 0) {
      char text[512];
      snprintf(text, sizeof text,
               "%s\nを開いたときに表示できなかった %u 個の文字は、保存すると失われます。\n上書き保存しますか?",
               path, static_cast<unsigned>(m_lossyCharacters));
      if (AfxMessageBox(text, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) return FALSE;
    }
  }
  if (!CDocument::OnSaveDocument(path)) return FALSE;
  m_lossyCharacters = 0;  // what is on disk now is what the editor shows
  return TRUE;
}

std::string CMyDoc::ProposedName(const std::string& title, const std::string& filterExt) {
  std::string name;
  for (size_t i = 0; i < title.size(); ++i) {
    auto c = static_cast<unsigned char>(title[i]);
    if (cp932::IsLeadByte(c) && i + 1 < title.size()) {
      name += title.substr(i, 2);
      ++i;
      continue;
    }
    if (c == ' ' || c == '#' || c == '%' || c == ';' || c == '/' || c == '\\') break;
    name += static_cast<char>(c);
  }
  name += filterExt;
  size_t dot = PathExtensionDot(name);
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string CMyDoc::AddFilterExtension(const std::string& path, int filterIndex) {
  static const char* const kExtensions[] = {".wsf", ".js", ".vbs", ".hta"};
  if (PathExtensionDot(path) != std::string::npos) return path;
  if (filterIndex >= 1 && filterIndex <= 4) return path + kExtensions[filterIndex - 1];
  return path;
}

bool CMyDoc::ChooseSavePath(std::string& path, BOOL replace) {
  EditorSettings* settings = GetEditorSettings();
  std::string proposed = GetPathName();
  if (proposed.empty() && replace) {
    std::string ext = m_pDocTemplate ? m_pDocTemplate->GetDocString(CDocTemplate::filterExt) : std::string(".wsf");
    proposed = ProposedName(GetTitle(), ext);
  }
  std::string last = settings->LastFolder();
  if (!last.empty()) SetCurrentDirectoryA(last.c_str());
  std::string filter = LoadResString(IDS_SAVE_FILTER);
  CFileDialog dlg(false, nullptr, proposed.c_str(), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                  filter.c_str());
  int index = settings->DefaultExtensionIndex();
  if (index < 0 || index > 3) index = 0;  // a bad setting picks the first filter
  dlg.m_ofn.nFilterIndex = static_cast<DWORD>(index + 1);
  if (dlg.DoModal() != IDOK) return false;
  path = AddFilterExtension(dlg.GetPathName(), static_cast<int>(dlg.m_ofn.nFilterIndex));
  settings->SetLastFolder(PathFolder(path));
  return true;
}
