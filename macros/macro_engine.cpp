// The macro engine (see macro_engine.h).
#include "macros/macro_engine.h"
#include <oleauto.h>
#include <memory>
#include "platform/cp932_wide.h"

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

std::string FromBstr(BSTR text) { return text ? cp932::FromWide(text, SysStringLen(text)) : std::string(); }

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
  std::wstring wide = cp932::ToWide(text);
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
    failure.source = FromBstr(info.bstrSource);
    failure.description = FromBstr(info.bstrDescription);
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
  return GetProperty(target, id, VT_BSTR, v).vt == VT_BSTR ? FromBstr(v.v.bstrVal) : std::string();
}

// Steps 2 to 7 of a run; false with `failure` filled when one fails.
bool DriveControl(IDispatch* control, IDispatch* editor, const std::string& text, const std::string& languageName,
                  HWND siteWindow, CallFailure& failure) {
  if (!Put(control, kLanguage, StringVariant(languageName), failure)) return false;
  VARIANT add[3];
  add[0] = StringVariant("editor");
  VariantInit(&add[1]);
  add[1].vt = VT_DISPATCH;
  add[1].pdispVal = editor;
  editor->AddRef();
  add[2] = BoolVariant(true);
  if (!Call(control, kAddObject, DISPATCH_METHOD, add, 3, nullptr, failure)) return false;
  if (!Put(control, kAllowUI, BoolVariant(true), failure)) return false;
  VARIANT site = IntVariant(static_cast<long>(reinterpret_cast<INT_PTR>(siteWindow)));
  if (!Put(control, kSitehWnd, site, failure)) return false;
  if (!Put(control, kTimeout, IntVariant(-1), failure)) return false;
  VARIANT statement = StringVariant(text);
  VariantArg ignored;
  return Call(control, kExecuteStatement, DISPATCH_METHOD, &statement, 1, &ignored.v, failure);
}

// The failure as the control's error record tells it: source and description
// where the call carried only a status, and the position when it has a number.
void ReadErrorRecord(IDispatch* control, MacroFailure& failure) {
  VariantArg error;
  CallFailure ignored;
  if (!Call(control, kError, DISPATCH_PROPERTYGET, nullptr, 0, &error.v, ignored) || error.v.vt != VT_DISPATCH ||
      !error.v.pdispVal)
    return;
  IDispatch* record = error.v.pdispVal;
  if (failure.source.empty()) failure.source = GetString(record, kErrorSource);
  if (failure.description.empty()) failure.description = GetString(record, kErrorDescription);
  if (GetLong(record, kErrorNumber) != 0) {
    failure.hasPosition = true;
    failure.line = GetLong(record, kErrorLine);
    failure.column = GetLong(record, kErrorColumn);
    failure.code = GetString(record, kErrorText);
  }
}
}  // namespace

bool RunMacroInControl(const std::string& macro, const std::string& languageName, const std::wstring& progId,
                       HWND site, IDispatch* editor, MacroFailure& failure) {
  failure = MacroFailure{};
  CLSID clsid{};
  IDispatch* control = nullptr;
  HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&control));
  if (FAILED(hr) || !control) {
    failure.cannotCreate = true;
    failure.status = FAILED(hr) ? hr : E_NOINTERFACE;
    return false;
  }
  CallFailure call;
  bool ok;
  try {
    ok = DriveControl(control, editor, macro, languageName, site, call);
  } catch (const std::bad_alloc&) {
    ok = false;
    call = CallFailure{E_OUTOFMEMORY, std::string(), std::string()};
  }
  if (!ok) {
    failure.status = call.status;
    failure.source = call.source;
    failure.description = call.description;
    ReadErrorRecord(control, failure);
  }
  control->Release();
  return ok;
}
