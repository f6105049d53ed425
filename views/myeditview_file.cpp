// The document's text in and out of its file: detection and conversion of the
// file's encoding, line ends made CR LF, and the four encoding commands.
#include <cstring>
#include <vector>
#include "platform/framework/doc.h"
#include "document/editor_settings.h"
#include "views/myeditview.h"

namespace {

// Command ids of the encoding items and the encodings they choose.
int EncodingOfCommand(UINT id) {
  switch (id) {
    case 32790: return static_cast<int>(TextEncoding::ShiftJis);
    case 32792: return static_cast<int>(TextEncoding::EucJp);
    case 32793: return static_cast<int>(TextEncoding::Jis);
    case 32791: return static_cast<int>(TextEncoding::Utf8);
    default: return -1;
  }
}
}  // namespace

void CMyEditView::SerializeText(CArchive& ar) {
  if (ar.IsLoading()) {
    unsigned long long n = ar.GetLength();
    if (n > kMaxFileSize) ThrowFileTooLarge();
    ReadFileText(ar, static_cast<size_t>(n));
  } else {
    WriteFileText(ar);
  }
}

void CMyEditView::ReadFileText(CArchive& ar, size_t byteCount) {
  std::vector<char> bytes(byteCount + 1, '\0');
  ar.ReadExact(bytes.data(), byteCount);
  bytes[byteCount] = '\0';
  m_unmappableOnLoad = 0;
  m_zeroByteOnLoad = memchr(bytes.data(), 0, byteCount) != nullptr;

  DetectionCode code = DetectEncoding(bytes.data());
  m_encoding = static_cast<int>(code);
  switch (code) {
    case DetectionCode::EucJp:
      EucToShiftJis(bytes.data());
      break;
    case DetectionCode::Jis:
      JisToShiftJis(bytes.data());
      break;
    case DetectionCode::Utf8:
      Utf8ToShiftJis(bytes.data(), byteCount, &m_unmappableOnLoad);
      break;
    default:
      m_encoding = static_cast<int>(TextEncoding::ShiftJis);
      break;
  }

  int m = NormalizeLineEnds(bytes.data(), nullptr);
  std::vector<char> text(static_cast<size_t>(m) + 1);
  NormalizeLineEnds(bytes.data(), text.data());
  bytes.clear();
  bytes.shrink_to_fit();
  SetText(text.data());
  if (GetTextLength() < m) throw CMemoryException{};
}

void CMyEditView::WriteFileText(CArchive& ar) {
  std::string text = GetText();
  const size_t length = text.size();
  switch (static_cast<TextEncoding>(m_encoding)) {
    case TextEncoding::EucJp: {
      text.resize(ShiftJisToEucCapacity(length));
      text.resize(ShiftJisToEuc(text.data()));
      break;
    }
    case TextEncoding::Jis: {
      text.resize(ShiftJisToJisCapacity(length));
      text.resize(ShiftJisToJis(text.data()));
      break;
    }
    case TextEncoding::Utf8:
      text = ShiftJisToUtf8(text);
      break;
    default:
      break;
  }
  ar.Write(text.data(), text.size());
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
