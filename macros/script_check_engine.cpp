// The syntax check in the helper process (see script_check_engine.h).
#include "macros/script_check_engine.h"
#include <windows.h>
#include <activscp.h>
#include "platform/cp932_wide.h"

namespace {
// The 32-bit parse interface, named here so that no GUID library is needed.
const IID kIActiveScriptParse = {0xbb1a2ae2, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
const IID kIActiveScript = {0xbb1a2ae1, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
const IID kIActiveScriptSite = {0xdb01a1e3, 0xa42b, 0x11cf, {0x8e, 0x90, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};

// A site that knows no names and keeps the first error reported to it.
class CheckSite : public IActiveScriptSite {
 public:
  ScriptCheckOutcome outcome;
  bool reported = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIActiveScriptSite)) {
      *out = static_cast<IActiveScriptSite*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the checking function's stack, past the engine.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
    if (!error || reported) return S_OK;
    reported = true;
    outcome.hasError = true;
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    if (SUCCEEDED(error->GetSourcePosition(&context, &line, &column))) {
      outcome.line = static_cast<int32_t>(line);
      outcome.column = column > 0 ? static_cast<int32_t>(column) : 0;
    }
    EXCEPINFO info{};
    if (SUCCEEDED(error->GetExceptionInfo(&info))) {
      if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
      outcome.status = info.scode ? info.scode : (info.wCode ? MAKE_HRESULT(1, FACILITY_CONTROL, info.wCode) : 0);
      if (info.bstrDescription) outcome.description = cp932::FromWide(info.bstrDescription, SysStringLen(info.bstrDescription));
      SysFreeString(info.bstrSource);
      SysFreeString(info.bstrDescription);
      SysFreeString(info.bstrHelpFile);
    }
    // Some engines fill the description with nothing to read.
    while (!outcome.description.empty() && static_cast<unsigned char>(outcome.description.back()) <= ' ')
      outcome.description.pop_back();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }
};

// The CP932 byte count of the first `column` characters of line `line` of `wide`.
int32_t ByteColumn(const std::wstring& wide, int32_t line, int32_t column) {
  size_t start = 0;
  for (int32_t k = 0; k < line && start < wide.size(); ++k) {
    const size_t lf = wide.find(L'\n', start);
    if (lf == std::wstring::npos) return 0;
    start = lf + 1;
  }
  size_t end = start;
  while (end < wide.size() && end - start < static_cast<size_t>(column) && wide[end] != L'\r' && wide[end] != L'\n')
    ++end;
  return static_cast<int32_t>(cp932::FromWide(wide.data() + start, end - start).size());
}
}  // namespace

ScriptCheckOutcome CheckScriptSyntax(const std::string& text, const wchar_t* progId) {
  CheckSite site;
  CLSID clsid{};
  IActiveScript* engine = nullptr;
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIActiveScript, reinterpret_cast<void**>(&engine));
  IActiveScriptParse32* parse = nullptr;
  if (SUCCEEDED(hr)) hr = engine->QueryInterface(kIActiveScriptParse, reinterpret_cast<void**>(&parse));
  if (SUCCEEDED(hr)) hr = engine->SetScriptSite(&site);
  if (SUCCEEDED(hr)) hr = parse->InitNew();
  if (FAILED(hr)) {
    if (parse) parse->Release();
    if (engine) engine->Release();
    ScriptCheckOutcome failed;
    failed.cannotCreate = true;
    failed.status = hr;
    return failed;
  }
  const std::wstring wide = cp932::ToWide(text);
  BSTR code = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  EXCEPINFO info{};
  hr = parse->ParseScriptText(code ? code : L"", nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &info);
  SysFreeString(code);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrHelpFile);
  engine->Close();  // never started: the parsed code goes unrun
  parse->Release();
  engine->Release();
  ScriptCheckOutcome outcome = site.outcome;
  if (!site.reported && FAILED(hr)) {  // refused without a report: the whole text, at its start
    outcome.hasError = true;
    outcome.status = hr;
  }
  if (outcome.hasError) outcome.byteColumn = ByteColumn(wide, outcome.line, outcome.column);
  return outcome;
}
