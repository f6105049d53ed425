// Script document loading and saving.
#include "document/mydoc.h"
#include <vector>
#include "platform/framework/fwids.h"
#include "platform/framework/modal.h"

namespace {
const unsigned long long kMaxFileSize = 0xFFFFF;  // 1,048,575 bytes
}

void CMyDoc::Serialize(CArchive& ar) {
  if (ar.IsLoading()) {
    unsigned long long n = ar.GetLength();
    if (n > kMaxFileSize) {
      AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
      throw CUserException{};
    }
    std::vector<char> bytes(static_cast<size_t>(n));
    ar.ReadExact(bytes.data(), bytes.size());
  }
}
