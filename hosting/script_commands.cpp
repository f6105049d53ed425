// The script commands (see script_commands.h).
#include "hosting/script_commands.h"
#include <oleauto.h>
#include <algorithm>
#include <vector>
#include <cstdio>
#include "document/encoding.h"
#include "platform/framework/app.h"
#include "platform/framework/dialog.h"
#include "platform/framework/doc.h"
#include "platform/framework/except.h"
#include "platform/framework/modal.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/resstr.h"
#include "platform/framework/safe_file.h"
#include "resources/resource.h"
#include "hosting/console_wrapper.h"
#include "hosting/ole_text.h"
#include "hosting/parameterdlg.h"
#include "hosting/script_launcher.h"
#include "hosting/script_text.h"

void ReportCannotOpen(const std::string& path, unsigned long error) {
  std::string pattern = LoadResString(IDP_CANNOT_OPEN);
  std::string text(pattern.size() + path.size() + 16, '\0');
  const int n = snprintf(&text[0], text.size(), pattern.c_str(), path.c_str(), error);
  text.resize(n > 0 ? std::min(static_cast<size_t>(n), text.size() - 1) : 0);
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool SaveDocumentBeforeRun(CDocument& doc, bool always) {
  return !(always || doc.IsModified()) || doc.DoSave(doc.GetPathName().c_str());
}

namespace {

// Steps 1 and 2 of every run: this document saved to its own path, then every
// other one after the save question. False when the run must not go on.
bool SaveBeforeRun(CDocument& doc) {
  return SaveDocumentBeforeRun(doc, false) && AfxGetApp()->SaveAllModified() != FALSE;
}

// The question `question` (a warning) about the file `path`, No the default;
// true to go on.
bool AskWithNoFirst(UINT question, const std::string& path) {
  const std::string text = AfxFormatString1(question, path.c_str());
  return AfxMessageBox(text.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
}

// True when the encoding detector takes the file at `path` for UTF-8: the
// bytes the host will read, whatever the editor read them as.
bool FileIsUtf8(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return DetectEncoding(bytes.c_str()) == DetectionCode::Utf8;
}

// The identity of the file at `path` (volume and file index), false when it
// cannot be opened.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  return ok;
}

// True when `a` and `b` name one file, however spelt (letter case, short
// names, links); when either cannot be opened, when their full paths match
// regardless of case.
bool IsSameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x{}, y{};
  if (FileIdentity(a, x) && FileIdentity(b, y))
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
           x.nFileIndexLow == y.nFileIndexLow;
  char fullA[MAX_PATH * 2], fullB[MAX_PATH * 2];
  const DWORD na = GetFullPathNameA(a.c_str(), sizeof fullA, fullA, nullptr);
  const DWORD nb = GetFullPathNameA(b.c_str(), sizeof fullB, fullB, nullptr);
  return na > 0 && na < sizeof fullA && nb > 0 && nb < sizeof fullB && lstrcmpiA(fullA, fullB) == 0;
}

// The open documents whose file is `path`.
std::vector<CDocument*> DocumentsOfFile(const std::string& path) {
  std::vector<CDocument*> found;
  for (CDocument* doc : AfxGetApp()->GetOpenDocuments())
    if (!doc->GetPathName().empty() && IsSameFile(path, doc->GetPathName())) found.push_back(doc);
  return found;
}

void Launch(const ScriptLaunch& launch, const std::string& reportedPath) {
  DWORD error = 0;
  if (!LaunchScriptHost(launch, error)) ReportCannotOpen(reportedPath, error);
}

// Calls EncodeScriptFile (dispatch id 0) with kind, text, 0 and "". On failure
// shows the encoder's description (or the system's text) and returns false.
bool CallEncoder(IDispatch* encoder, const std::string& kind, const std::string& text, std::string& result) {
  VARIANT args[4];  // in reverse order
  for (VARIANT& v : args) VariantInit(&v);
  args[3].vt = VT_BSTR;
  args[3].bstrVal = SysAllocString(WideFromCp932(kind).c_str());
  std::wstring wide = WideFromCp932(text);
  args[2].vt = VT_BSTR;
  args[2].bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  args[1].vt = VT_I4;
  args[1].lVal = 0;
  args[0].vt = VT_BSTR;
  args[0].bstrVal = SysAllocString(L"");
  DISPPARAMS params{args, nullptr, 4, 0};
  VARIANT answer;
  VariantInit(&answer);
  EXCEPINFO info{};
  HRESULT hr = encoder->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &answer, &info, nullptr);
  for (VARIANT& v : args) VariantClear(&v);
  if (SUCCEEDED(hr) && answer.vt != VT_BSTR) hr = VariantChangeType(&answer, &answer, 0, VT_BSTR);
  bool ok = SUCCEEDED(hr);
  if (ok) {
    result = Cp932FromBstr(answer.bstrVal);
  } else {
    if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    std::string message = info.bstrDescription ? Cp932FromBstr(info.bstrDescription)
                                               : SystemMessageText(static_cast<DWORD>(info.scode ? info.scode : hr));
    if (message.empty()) message = "ｴﾗｰ ﾒｯｾｰｼﾞはありません。";
    AfxMessageBox(message.c_str(), MB_OK | MB_ICONSTOP);
  }
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  VariantClear(&answer);
  return ok;
}

// Writes the encoded copy over `path`, safely (see SafeWriteFile).
bool WriteEncodedCopy(const std::string& path, const std::string& bytes) {
  return SafeWriteFile(path, AFX_IDP_FILE_GENERIC, bytes);
}
}  // namespace

bool IsScriptCommandEnabled(UINT id, const std::string& path) {
  return id == ID_SCRIPT_WSCRIPT || id == ID_SCRIPT_CSCRIPT || id == ID_SCRIPT_CAPTURE ? CanRunUnderHosts(path)
                                                                                    : CanRunScript(path);
}

bool PrepareScriptRun(bool parameters, CDocument& doc, ScriptRunRequest& request) {
  if (parameters) {
    CParameterDlg dlg;
    if (dlg.DoModal() != IDOK) return false;
    request.hostParameters = dlg.m_hostParameter;
    request.scriptParameters = dlg.m_scriptParameter;
  }
  if (!SaveBeforeRun(doc)) return false;
  request.path = doc.GetPathName();
  return !FileIsUtf8(request.path) || AskWithNoFirst(IDS_RUN_UTF8_SCRIPT, request.path);
}

void RunScriptCommand(UINT id, CDocument& doc) {
  ScriptRunRequest request;
  if (!PrepareScriptRun(id != ID_SCRIPT_RUN, doc, request)) return;
  const std::string& path = request.path;
  const std::string& host = request.hostParameters;
  const std::string& script = request.scriptParameters;
  const std::string folder = PathFolder(path);
  const std::string name = path.substr(LastPathSeparator(path) + 1);
  if (id == ID_SCRIPT_RUN) {
    Launch({"OPEN", name, "", folder, SW_SHOW}, path);
    return;
  }
  DWORD error = 0;
  const char* exe = id == ID_SCRIPT_WSCRIPT ? "WScript.exe" : "CScript.exe";
  const std::string hostPath = SystemHostPath(exe, error);
  if (hostPath.empty()) {
    ReportCannotOpen(exe, error);
  } else if (id == ID_SCRIPT_WSCRIPT) {
    Launch({"OPEN", hostPath, WScriptParameterString(name, host, script), folder, SW_SHOW}, path);
  } else {
    // A wrapper of its own: an earlier console may still be reading its wrapper.
    RemoveFinishedConsoleWrappers();
    std::string wrapper;
    if (!WriteConsoleWrapper(ScriptWrapperText(hostPath, name, host, script), wrapper, error)) {
      ReportCannotOpen(wrapper, error);
      return;
    }
    HANDLE process = nullptr;
    if (LaunchScriptHostWatched({"OPEN", wrapper, "", folder, SW_SHOW}, error, process)) {
      WatchConsoleWrapper(wrapper, process);
    } else {
      DeleteFileA(wrapper.c_str());  // nothing reads it
      ReportCannotOpen(wrapper, error);
    }
  }
}

void ReportCannotCreate(const char* progId, HRESULT status) {
  AfxMessageBox((std::string(progId) + " オブジェクトを作成できません。").c_str(), MB_OK | MB_ICONSTOP);
  const std::string reason = SystemMessageText(static_cast<DWORD>(status));
  AfxMessageBox(reason.empty() ? "ｴﾗｰ ﾒｯｾｰｼﾞはありません。" : reason.c_str(), MB_OK);
}

void EncodeScriptCommand(CDocument& doc, const std::string& text, bool utf8) {
  if (utf8 && !AskWithNoFirst(IDS_ENCODE_UTF8_SCRIPT, doc.GetPathName())) return;
  HRESULT init = CoInitialize(nullptr);
  IDispatch* encoder = nullptr;
  HRESULT hr = CreateScriptEncoder(&encoder);
  if (FAILED(hr) || !encoder) {
    ReportCannotCreate("Scripting.Encoder", hr);
  } else {
    EncodeTarget target = EncodeTargetFor(doc.GetPathName());
    for (;;) {
      CFileDialog dlg(false, nullptr, target.proposedPath.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                      "すべてのファイル (*.*)|*.*||");
      if (dlg.DoModal() != IDOK) break;
      const std::string chosen = dlg.GetPathName();
      // The file of an open script loses its readable form for good: asked
      // with No first, and No goes back to the choice of a name.
      const std::vector<CDocument*> sources = DocumentsOfFile(chosen);
      if (!sources.empty() && !AskWithNoFirst(IDS_ENCODE_OVER_SOURCE, chosen)) continue;
      std::string result;
      // Encoded before anything is written: a refusing encoder leaves the target as it was.
      if (CallEncoder(encoder, target.kind, text, result) && WriteEncodedCopy(chosen, result)) {
        // Its window now holds the only readable copy: closing it asks to save.
        for (CDocument* source : sources) source->SetModifiedFlag(TRUE);
        std::string done = "エンコードファイル '" + chosen + "' を出力しました。";
        AfxMessageBox(done.c_str(), MB_OK | MB_ICONINFORMATION);
      }
      break;
    }
    encoder->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
}
