// The document's text in and out of its file: detection and conversion of the
// file's encoding, line ends made CR LF, and the four encoding commands.
#include <cstring>
#include <vector>
#include "platform/framework/doc.h"
#include "document/editor_settings.h"
#include "document/file_text.h"
#include "resources/resource.h"
#include "views/myeditview.h"

namespace {

// Command ids of the encoding items and the encodings they choose.
int EncodingOfCommand(UINT id) {
  switch (id) {
    case ID_ENCODE_SJIS: return static_cast<int>(TextEncoding::ShiftJis);
    case ID_ENCODE_EUC: return static_cast<int>(TextEncoding::EucJp);
    case ID_ENCODE_JIS: return static_cast<int>(TextEncoding::Jis);
    case ID_ENCODE_UTF8: return static_cast<int>(TextEncoding::Utf8);
    default: return -1;
  }
}
}  // namespace

void CMyEditView::SerializeText(CArchive& ar, Utf8Forms forms) {
  if (ar.IsLoading()) {
    unsigned long long n = ar.GetLength();
    if (!FitsSize(n)) ThrowFileTooLarge();
    ReadFileText(ar, static_cast<size_t>(n));
  } else {
    WriteFileText(ar, forms);
  }
}

void CMyEditView::SerializeBytes(CArchive& ar) {
  if (ar.IsLoading()) {
    // The control takes the bytes as they are; it ends the text at a zero byte.
    m_lastLoad = LoadReport{};
    SerializeRaw(ar);
    m_lastLoad.textCut = static_cast<unsigned long long>(GetTextLength()) < ar.GetLength();
  } else {
    SerializeRaw(ar);
  }
}

void CMyEditView::ReadFileText(CArchive& ar, size_t byteCount) {
  std::vector<char> bytes(byteCount + 1, '\0');
  ar.ReadExact(bytes.data(), byteCount);
  const DecodedFile file = DecodeFileBytes(bytes.data(), byteCount);
  m_encoding = static_cast<int>(file.encoding);
  m_lastLoad.unmappable = file.unmappable;
  m_lastLoad.textCut = file.zeroInFile || file.zeroInText;
  m_lastLoad.forms = file.forms;

  int m = NormalizeLineEnds(bytes.data(), nullptr);
  std::vector<char> text(static_cast<size_t>(m) + 1);
  NormalizeLineEnds(bytes.data(), text.data());
  bytes.clear();
  bytes.shrink_to_fit();
  SetText(text.data());
  if (GetTextLength() < m) throw CMemoryException{};
}

void CMyEditView::WriteFileText(CArchive& ar, Utf8Forms forms) {
  std::string bytes = EncodeFileText(GetText(), static_cast<TextEncoding>(m_encoding), nullptr, forms);
  ar.Write(bytes.data(), bytes.size());
}

SaveReport CMyEditView::PreviewSave(bool convert, Utf8Forms forms) const {
  SaveReport report;
  if (!convert) {
    report.bytes = static_cast<unsigned long long>(GetTextLength());
    return report;
  }
  report.bytes = EncodeFileText(GetText(), static_cast<TextEncoding>(m_encoding), &report.unmappable, forms).size();
  report.utf8 = m_encoding == static_cast<int>(TextEncoding::Utf8);
  return report;
}

void CMyEditView::OnEncoding(UINT id) {
  int encoding = EncodingOfCommand(id);
  if (encoding < 0 || encoding == m_encoding) return;
  if (m_pDocument) m_pDocument->SetModifiedFlag(TRUE);
  m_encoding = encoding;
}

void CMyEditView::OnUpdateEncoding(CCmdUI* ui) {
  ui->Enable(GetEditorSettings()->AutoDetect());
  ui->SetCheck(EncodingOfCommand(ui->m_nID) == m_encoding ? 1 : 0);
}
