// Script document loading and saving.
#include "document/mydoc.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include "document/document_text.h"
#include "platform/framework/editview.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doctempl.h"
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/cp932.h"
#include "platform/framework/resstr.h"
#include "resources/resource.h"
#include "document/editor_settings.h"


DocumentText* CMyDoc::GetText() const { return dynamic_cast<DocumentText*>(GetFirstView()); }

void CMyDoc::Serialize(CArchive& ar) {
  DocumentText* text = GetText();
  if (!text) return;
  if (GetEditorSettings()->AutoDetect()) text->SerializeText(ar, m_utf8Forms);
  else text->SerializeBytes(ar);
}

namespace {
// A yes/no question about a save that would lose something; No is the default.
bool AskToSaveAnyway(const std::string& text) {
  return AfxMessageBox(text.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

std::string Format(const char* format, const char* path, unsigned long long number) {
  std::string text(strlen(format) + strlen(path) + 64, '\0');
  int n = snprintf(text.data(), text.size(), format, path, number);
  text.resize(n > 0 ? std::min(static_cast<size_t>(n), text.size() - 1) : 0);
  return text;
}
}  // namespace

BOOL CMyDoc::OnOpenDocument(const char* path) {
  if (!CDocument::OnOpenDocument(path)) return FALSE;
  const LoadReport load = GetText() ? GetText()->LastLoad() : LoadReport{};
  m_lossyCharacters = load.unmappable;
  m_textCut = load.textCut;
  m_utf8Forms = load.forms.forms;
  m_otherForm = load.forms.otherForm;
  if (m_lossyCharacters > 0) {
    AfxMessageBox(Format("%s\nには、このエディタで表示できない文字が %llu 個あります。\n"
                         "それらの文字は「?」などの別の文字で表示されています。"
                         "このまま上書き保存すると、元の文字は失われます。",
                         path, m_lossyCharacters).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
  }
  if (m_textCut) {
    AfxMessageBox(Format("%s\nには値 0 のバイトが含まれています。表示されているのはその手前までです。\n"
                         "このまま上書き保存すると、それより後ろの内容は失われます。",
                         path, 0).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
  }
  return TRUE;
}

bool CMyDoc::IsOwnFile(const char* path) const {
  if (GetPathName().empty()) return false;
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  return n > 0 && n < sizeof full && lstrcmpiA(full, GetPathName().c_str()) == 0;
}

bool CMyDoc::ConfirmSave(const char* path) {
  DocumentText* text = GetText();
  if (!text) return true;
  const SaveReport save = text->PreviewSave(GetEditorSettings()->AutoDetect(), m_utf8Forms);
  // Overwriting the file that was opened loses what the editor could not show.
  if (IsOwnFile(path)) {
    // Another program's newer version would be lost without a word.
    if (ChangedFileOnDisk().exists &&
        !AskToSaveAnyway(Format("%s\nは、このエディタで開いた後 (または保存した後) にほかのプログラムで変更されています。\n"
                                "上書き保存すると、その変更は失われます。上書き保存しますか?",
                                path, 0)))
      return false;
    if (m_lossyCharacters > 0 &&
        !AskToSaveAnyway(Format("%s\nを開いたときに表示できなかった %llu 個の文字は、保存すると失われます。\n"
                                "上書き保存しますか?",
                                path, m_lossyCharacters)))
      return false;
    if (m_textCut &&
        !AskToSaveAnyway(Format("%s\nの値 0 のバイトから後ろは読み込まれていないため、保存すると失われます。\n"
                                "上書き保存しますか?",
                                path, 0)))
      return false;
    if (m_otherForm > 0 && save.utf8 &&
        !AskToSaveAnyway(Format("%s\nでは、〜 や − などの文字が UTF-8 の二通りの書き方で混在しています。\n"
                                "保存すると、少ない方の書き方の %llu 個の文字は多い方の書き方で書かれます。\n"
                                "上書き保存しますか?",
                                path, m_otherForm)))
      return false;
  }
  if (save.unmappable > 0 &&
      !AskToSaveAnyway(Format("%s\nの文字コードでは表せない文字が %llu 個あります。\n"
                              "それらの文字は「〓」として保存されます。保存しますか?",
                              path, save.unmappable)))
    return false;
  if (!CEditView::FitsSize(save.bytes) &&
      !AskToSaveAnyway(Format("%s\nは %llu バイトになり、このエディタで開ける大きさ (", path, save.bytes) +
                       std::to_string(CEditView::kMaxFileSize) + " バイト) を超えます。\n保存しますか?"))
    return false;
  return true;
}

BOOL CMyDoc::OnSaveDocument(const char* path) {
  if (!ConfirmSave(path)) return FALSE;
  if (!CDocument::OnSaveDocument(path)) return FALSE;
  // What is on disk now is what the editor shows.
  m_lossyCharacters = 0;
  m_textCut = false;
  m_otherForm = 0;
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

namespace {
const char* const kFilterExtensions[] = {".wsf", ".js", ".vbs", ".hta"};
}  // namespace

std::string CMyDoc::AddFilterExtension(const std::string& path, int filterIndex) {
  if (PathExtensionDot(path) != std::string::npos) return path;
  if (filterIndex >= 1 && filterIndex <= 4) return path + kFilterExtensions[filterIndex - 1];
  return path;
}

int CMyDoc::FilterIndexOf(const std::string& path, int otherwise) {
  const size_t dot = PathExtensionDot(path);
  if (dot == std::string::npos) return otherwise;
  for (int i = 0; i < 4; ++i)
    if (lstrcmpiA(path.c_str() + dot, kFilterExtensions[i]) == 0) return i + 1;
  return 5;
}

void CMyDoc::SetPathName(const std::string& path, bool addToMru) {
  CDocument::SetPathName(path, addToMru);
  UpdateAllViews(nullptr, kHintPathName);
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
  dlg.m_ofn.nFilterIndex = static_cast<DWORD>(FilterIndexOf(GetPathName(), index + 1));
  if (dlg.DoModal() != IDOK) return false;
  path = AddFilterExtension(dlg.GetPathName(), static_cast<int>(dlg.m_ofn.nFilterIndex));
  settings->SetLastFolder(PathFolder(path));
  return true;
}
