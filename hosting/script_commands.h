// The script commands of a script window, acting on its document: run with the
// default host (32771), under the window host (32775) or the console host
// through the batch wrapper (32776), and write an encoded copy (32786). They
// start what they run and return at once; they never wait for it.
#pragma once
#include <windows.h>
#include <string>

class CDocument;

// The enable rule of a script command for a document with this path.
bool IsScriptCommandEnabled(UINT id, const std::string& path);
// Saves `doc` to its own path before its file is run: when it is modified,
// or in any case when `always`. False when the save failed: the document has
// told the user, and running the file on disk would run what the editor no
// longer shows.
bool SaveDocumentBeforeRun(CDocument& doc, bool always);
// What a run of the document's file needs once it is saved.
struct ScriptRunRequest {
  std::string path;  // the document's file
  std::string hostParameters, scriptParameters;
};
// The steps before every run: the parameters dialog when `parameters` (Cancel
// runs nothing), the saves, and the question about a file saved as UTF-8.
// False when nothing must run.
bool PrepareScriptRun(bool parameters, CDocument& doc, ScriptRunRequest& request);
// Runs the document's file (saved first) as command `id` says, the hosts by
// their full paths in the system folder, the console host through a wrapper in
// the temporary folder. When the saved file is UTF-8 by the encoding detector
// (whatever the editor read it as), which the script hosts do not read, the
// user is asked first, and No (the default) runs nothing.
void RunScriptCommand(UINT id, CDocument& doc);
// Writes `text` (the view's text, CP932) encoded to a file the user names; the
// name offered is never the document's own. A name that is the file of an
// open document is asked about (No the default, which goes back to the name),
// and that document is marked modified once its file holds the encoded copy.
// `utf8`: the document is saved as UTF-8 and the copy will not be; the user
// is asked first, and No (the default) writes nothing.
void EncodeScriptCommand(CDocument& doc, const std::string& text, bool utf8);
// Shows "'%s' を開くことができません。(Error:%lu)" (string IDP_CANNOT_OPEN) when
// the shell or the system cannot open `path`.
void ReportCannotOpen(const std::string& path, unsigned long error);
// "<progId> オブジェクトを作成できません。" (stop icon), then the system's text for
// `status` in a plain box, or "ｴﾗｰ ﾒｯｾｰｼﾞはありません。" when it has none.
void ReportCannotCreate(const char* progId, HRESULT status);
