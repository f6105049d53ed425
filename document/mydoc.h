// The script document: one file being edited. Its text lives in its view; the
// document decides how the file's bytes reach the view and go back to disk
// (encoding detection on or off), offers the Save As dialog with the default
// extensions, and warns where a file cannot come back unchanged.
#pragma once
#include "document/encoding.h"
#include "platform/framework/doc.h"

class DocumentText;

class CMyDoc : public CDocument {
 public:
  // The update hint sent to the views when the document's path changes.
  static const LPARAM kHintPathName = 3;
  void SetPathName(const std::string& path, bool addToMru = true) override;
  void Serialize(CArchive& ar) override;
  BOOL OnOpenDocument(const char* path) override;
  BOOL OnSaveDocument(const char* path) override;
  // Save As with the script filters, the default extension and the last folder.
  bool ChooseSavePath(std::string& path, BOOL replace) override;
  // The view's text, through the narrow interface the document needs.
  DocumentText* GetText() const;

  // The loaded UTF-8 file held characters that code page 932 cannot show;
  // saving over the same file would lose them.
  unsigned long long m_lossyCharacters = 0;
  // A zero byte ended the loaded text early; saving over the file would cut it.
  bool m_textCut = false;
  // The form each JIS-form cell takes when the text is saved as UTF-8: the one
  // the loaded file used. m_otherForm counts the loaded characters written the
  // other way, which a save over the file would change.
  Utf8Forms m_utf8Forms;
  unsigned long long m_otherForm = 0;

  // The name the Save As dialog proposes for an untitled document.
  static std::string ProposedName(const std::string& title, const std::string& filterExt);
  // The Save As filter (1..4) of the path's own extension, 5 (all files) for
  // another one, `otherwise` when the path has none.
  static int FilterIndexOf(const std::string& path, int otherwise);
  // Adds the extension of filter 1..4 when the name has none; 5 (all files) adds none.
  static std::string AddFilterExtension(const std::string& path, int filterIndex);

 private:
  bool IsOwnFile(const char* path) const;
  // Asks before a save that would lose text or write a file too large to open
  // again; false when the user says No (nothing is written).
  bool ConfirmSave(const char* path);
};
