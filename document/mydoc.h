// The script document: one file being edited.
#pragma once
#include "platform/framework/doc.h"

class CMyDoc : public CDocument {
 public:
  void Serialize(CArchive& ar) override;
};
