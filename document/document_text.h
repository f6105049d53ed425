// What a script document needs of the view that holds its text: the two ways
// of loading and storing it, what the last load could not show, and what a
// save would write. The edit view implements it; the document knows nothing
// else of the view.
#pragma once

#include <cstddef>

#include "document/encoding.h"
#include "platform/framework/archive.h"

// What the last load of the view's text found.
struct LoadReport {
  std::size_t unmappable = 0;  // characters shown as stand-ins (UTF-8 files)
  bool textCut = false;        // a zero byte (in the file or made by conversion) ended the text early
  Utf8FormsRead forms;         // UTF-8 files: the form each JIS-form cell came in
};

// What storing the text now would write.
struct SaveReport {
  unsigned long long bytes = 0;  // size of the file
  std::size_t unmappable = 0;    // characters the file's encoding cannot hold
  bool utf8 = false;             // the file is written as UTF-8
};

class DocumentText {
 public:
  // Through the file's encoding (detection on) or byte for byte (detection off).
  // A store to UTF-8 writes the JIS-form cells in `forms`.
  virtual void SerializeText(CArchive& ar, Utf8Forms forms) = 0;
  virtual void SerializeBytes(CArchive& ar) = 0;
  virtual LoadReport LastLoad() const = 0;
  virtual SaveReport PreviewSave(bool convert, Utf8Forms forms) const = 0;

 protected:
  ~DocumentText() = default;
};
