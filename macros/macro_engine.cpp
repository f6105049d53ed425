// The macro engine (see macro_engine.h).
#include "macros/macro_engine.h"
#include <oleauto.h>
#include <cstdio>
#include <memory>
#include "platform/framework/app.h"
#include "platform/framework/doc.h"
#include "platform/framework/editview.h"
#include "platform/framework/modal.h"
#include "platform/framework/resstr.h"
#include "platform/framework/view.h"
#include "macros/editor_object.h"
#include "hosting/script_commands.h"
#include "views/myeditview.h"

const wchar_t* g_scriptControlProgId = L"ScriptControl";

namespace {
// The script control's members (msscript's published interface).
enum : DISPID {
  kLanguage = 1500,
  kSitehWnd = 1502,
  kTimeout = 1503,
  kAllowUI = 1504,
  kError = 1507,
  kExecuteStatement = 2002,
  kAddObject = 2500,
  // Its error object.
  kErrorNumber = 201,
  kErrorSource = 202,
  kErrorDescription = 203,
  kErrorLine = 206,
  kErrorColumn = -529,
  kErrorText = -517,
};

// A call of the control that failed: its status code, source and description.
struct CallFailure {
  HRESULT status = S_OK;
  std::string source;
  std::string description;
};

struct VariantArg {
  VARIANT v;
  VariantArg() { VariantInit(&v); }
  ~VariantArg() { VariantClear(&v); }
  VariantArg(const VariantArg&) = delete;
  VariantArg& operator=(const VariantArg&) = delete;
};

VARIANT StringVariant(const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  std::wstring wide = WideFromCp932(text);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!v.bstrVal) throw std::bad_alloc();
  return v;
}

VARIANT IntVariant(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT BoolVariant(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// Invokes `id` with `args` (first argument first; they are cleared). Fills
// `failure` and returns false when the call fails.
bool Call(IDispatch* target, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result,
          CallFailure& failure) {
  std::unique_ptr<VARIANT[]> reversed(new VARIANT[count ? count : 1]);
  for (UINT k = 0; k < count; ++k) reversed[count - 1 - k] = args[k];
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.get(), nullptr, count, 0};
  if (flags & DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  EXCEPINFO info{};
  if (result) VariantInit(result);
  HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, nullptr);
  for (UINT k = 0; k < count; ++k) VariantClear(&args[k]);
  if (SUCCEEDED(hr)) return true;
  failure = CallFailure{};
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    failure.status = info.scode ? info.scode : (info.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, info.wCode) : hr);
    failure.source = Cp932FromBstr(info.bstrSource);
    failure.description = Cp932FromBstr(info.bstrDescription);
  } else {
    failure.status = hr;
  }
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  return false;
}

bool Put(IDispatch* target, DISPID id, VARIANT value, CallFailure& failure) {
  return Call(target, id, DISPATCH_PROPERTYPUT, &value, 1, nullptr, failure);
}

// A property of the error object as `type`; empty on failure.
VARIANT& GetProperty(IDispatch* target, DISPID id, VARTYPE type, VariantArg& out) {
  CallFailure ignored;
  if (Call(target, id, DISPATCH_PROPERTYGET, nullptr, 0, &out.v, ignored) && out.v.vt != type &&
      FAILED(VariantChangeType(&out.v, &out.v, 0, type)))
    VariantClear(&out.v);
  return out.v;
}

long GetLong(IDispatch* target, DISPID id) {
  VariantArg v;
  return GetProperty(target, id, VT_I4, v).vt == VT_I4 ? v.v.lVal : 0;
}

std::string GetString(IDispatch* target, DISPID id) {
  VariantArg v;
  return GetProperty(target, id, VT_BSTR, v).vt == VT_BSTR ? Cp932FromBstr(v.v.bstrVal) : std::string();
}

// Steps 2 to 7 of a run; false with `failure` filled when one fails.
bool DriveControl(IDispatch* control, IDispatch* editor, const std::string& text, const MacroRunContext& context,
                  CallFailure& failure) {
  if (!Put(control, kLanguage, StringVariant(MacroLanguageName(context.language)), failure)) return false;
  VARIANT add[3];
  add[0] = StringVariant("editor");
  VariantInit(&add[1]);
  add[1].vt = VT_DISPATCH;
  add[1].pdispVal = editor;
  editor->AddRef();
  add[2] = BoolVariant(true);
  if (!Call(control, kAddObject, DISPATCH_METHOD, add, 3, nullptr, failure)) return false;
  if (!Put(control, kAllowUI, BoolVariant(true), failure)) return false;
  VARIANT site = IntVariant(static_cast<long>(reinterpret_cast<INT_PTR>(context.site)));
  if (!Put(control, kSitehWnd, site, failure)) return false;
  if (!Put(control, kTimeout, IntVariant(-1), failure)) return false;
  VARIANT statement = StringVariant(text);
  VariantArg ignored;
  return Call(control, kExecuteStatement, DISPATCH_METHOD, &statement, 1, &ignored.v, failure);
}

// Step 9: the report's text, after the failing line has been shown.
std::string FailureReport(IDispatch* control, const CallFailure& failure, const std::string& path) {
  MacroErrorReport report;
  report.status = static_cast<unsigned long>(failure.status);
  report.source = failure.source;
  report.description = failure.description;
  VariantArg error;
  CallFailure ignored;
  if (Call(control, kError, DISPATCH_PROPERTYGET, nullptr, 0, &error.v, ignored) && error.v.vt == VT_DISPATCH &&
      error.v.pdispVal) {
    IDispatch* record = error.v.pdispVal;
    // Some controls carry only the status code in the failure: the record
    // says what went wrong.
    if (report.source.empty()) report.source = GetString(record, kErrorSource);
    if (report.description.empty()) report.description = GetString(record, kErrorDescription);
    if (GetLong(record, kErrorNumber) != 0) {
      report.hasPosition = true;
      report.line = GetLong(record, kErrorLine);
      report.column = GetLong(record, kErrorColumn);
      CDocument* doc = AfxGetApp() ? AfxGetApp()->OpenDocumentFile(path.c_str()) : nullptr;
      if (auto* view = doc ? dynamic_cast<CEditView*>(doc->GetFirstView()) : nullptr)
        SelectMacroLine(*view, report.line);
      report.code = GetString(record, kErrorText);
    }
  }
  if (report.description.empty()) report.description = SystemMessageText(static_cast<DWORD>(failure.status));
  const CWinApp* app = AfxGetApp();
  return FormatMacroErrorReport(report, app ? app->m_pszAppName : std::string("Ruvelto"));
}
}  // namespace

bool ReadMacroFile(const std::string& path, std::string& text, unsigned long& error) {
  FILE* file = fopen(path.c_str(), "rt");
  if (!file) {
    error = GetLastError();
    return false;
  }
  text.clear();
  std::string line;
  char chunk[4096];
  bool open = false;  // a line has begun and not yet ended
  while (fgets(chunk, sizeof chunk, file)) {
    line += chunk;
    open = true;
    if (!line.empty() && line.back() == '\n') {
      line.pop_back();
      text += line;
      text += "\r\n";
      line.clear();
      open = false;
    }
  }
  if (open) text += line + "\r\n";
  fclose(file);
  return true;
}

bool SelectMacroLine(CEditView& view, long line) {
  if (line < 1 || line > view.GetLineCount()) return false;
  const int start = view.LineIndex(static_cast<int>(line - 1));
  if (start < 0) return false;
  int end = line < view.GetLineCount() ? view.LineIndex(static_cast<int>(line)) - 2 : view.GetTextLength();
  if (end < start) end = start;
  view.SetSel(start, end);
  view.ScrollCaret();
  return true;
}

void ExecuteMacroText(const std::string& text, CMyEditView& view, const std::string& path,
                      const MacroRunContext& context) {
  CLSID clsid{};
  IDispatch* control = nullptr;
  HRESULT hr = CLSIDFromProgID(g_scriptControlProgId, &clsid);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&control));
  if (FAILED(hr) || !control) {
    ReportCannotCreate("ScriptControl", FAILED(hr) ? hr : E_NOINTERFACE);
    return;
  }
  auto* editor = new CEditorObject(view, context.site);
  CallFailure failure;
  bool ok;
  try {
    ok = DriveControl(control, editor, text, context, failure);
  } catch (const std::bad_alloc&) {
    ok = false;
    failure = CallFailure{E_OUTOFMEMORY, std::string(), SystemMessageText(static_cast<DWORD>(E_OUTOFMEMORY))};
  }
  const std::string report = ok ? std::string() : FailureReport(control, failure, path);
  control->Release();
  editor->Release();
  if (!ok) AfxMessageBox(report.c_str(), MB_OK | MB_ICONSTOP);
}
