// The "editor" object (see editor_object.h).
#include "macros/editor_object.h"
#include <oleauto.h>
#include <new>
#include "macros/macro_text.h"
#include "platform/com_boundary.h"
#include "platform/cp932_wide.h"

namespace {
const wchar_t kSource[] = L"Ruvelto";
const wchar_t* const kMemberNames[] = {L"windowText", L"lineCount", L"selectedText", L"alert",
                                       L"confirm",    L"prompt",    L"lineText"};

// The positional argument `k` (0 = first) of a call; null when absent or
// passed as "missing".
VARIANT* Argument(DISPPARAMS* params, UINT k) {
  const UINT positional = params->cArgs - params->cNamedArgs;
  if (k >= positional) return nullptr;
  VARIANT* v = &params->rgvarg[params->cArgs - 1 - k];
  if (v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND) return nullptr;
  return v;
}

// The value a property put assigns.
VARIANT* PutValue(DISPPARAMS* params) {
  for (UINT k = 0; k < params->cNamedArgs; ++k)
    if (params->rgdispidNamedArgs[k] == DISPID_PROPERTYPUT) return &params->rgvarg[k];
  return nullptr;
}

// An argument as `type` (references followed): false when it cannot be one.
bool ArgumentAs(VARIANT* in, VARTYPE type, VARIANT& out) {
  VariantInit(&out);
  if (!in) return false;
  if (FAILED(VariantCopyInd(&out, in))) return false;
  if (out.vt != type && FAILED(VariantChangeType(&out, &out, 0, type))) {
    VariantClear(&out);
    return false;
  }
  return true;
}

HRESULT StringArgument(VARIANT* in, std::string& text) {
  if (in && in->vt == VT_BSTR) {  // the common case, read in place
    text = cp932::FromWide(in->bstrVal, SysStringLen(in->bstrVal));
    return S_OK;
  }
  VARIANT v;
  if (!ArgumentAs(in, VT_BSTR, v)) return in ? DISP_E_TYPEMISMATCH : DISP_E_BADPARAMCOUNT;
  text = cp932::FromWide(v.bstrVal, SysStringLen(v.bstrVal));
  VariantClear(&v);
  return S_OK;
}

HRESULT IntArgument(VARIANT* in, int& value) {
  if (in && in->vt == VT_I4) {
    value = in->lVal;
    return S_OK;
  }
  VARIANT v;
  if (!ArgumentAs(in, VT_I4, v)) return in ? DISP_E_TYPEMISMATCH : DISP_E_BADPARAMCOUNT;
  value = v.lVal;
  return S_OK;
}

// Converted straight into the string the caller gets.
void ReturnBytes(VARIANT* result, const char* bytes, size_t length) {
  if (!result) return;
  const int n = length ? cp932::ToWide(bytes, length, nullptr, 0) : 0;
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (!out) throw std::bad_alloc();
  if (n) cp932::ToWide(bytes, length, out, n);
  result->vt = VT_BSTR;
  result->bstrVal = out;
}

void ReturnString(VARIANT* result, const std::string& text) { ReturnBytes(result, text.data(), text.size()); }

// Member names compare without regard to the case of their (ASCII) letters;
// the system's locale comparison is far slower, and the engines ask for a
// name on every call.
bool SameName(const wchar_t* a, const wchar_t* b) {
  for (;; ++a, ++b) {
    wchar_t x = *a, y = *b;
    if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x + 32);
    if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y + 32);
    if (x != y) return false;
    if (!x) return true;
  }
}
}  // namespace


const char CEditorObject::kReadOnlyMessage[] = "読み取り専用ﾌﾟﾛﾊﾟﾃｨには書き込めません。";

// ---------------------------------------------------------------- IDispatch

HRESULT CEditorObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  for (UINT k = 0; k < count; ++k) ids[k] = DISPID_UNKNOWN;
  if (count == 0) return DISP_E_UNKNOWNNAME;
  for (DISPID id = kWindowText; id <= kLineText; ++id) {
    if (names[0] && SameName(names[0], kMemberNames[id - 1])) {
      ids[0] = id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;  // members take no named arguments
    }
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT CEditorObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                              EXCEPINFO* info, UINT*) {
  return ComBoundary(kSource, info, [&] { return Dispatch(id, flags, params, result, info); });
}

HRESULT CEditorObject::Dispatch(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (!params) params = &none;
  if (result) VariantInit(result);
  const bool get = (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  const bool call = (flags & DISPATCH_METHOD) != 0;
  std::string text, answer;
  int index = 0;
  HRESULT hr = S_OK;
  // windowText and selectedText: a string read or written.
  auto stringProperty = [&](std::string (CEditorObject::*read)() const, void (CEditorObject::*write)(const std::string&)) {
    if (put) {
      const HRESULT status = StringArgument(PutValue(params), text);
      if (status == S_OK) (this->*write)(text);
      return status;
    }
    if (!get) return static_cast<HRESULT>(DISP_E_MEMBERNOTFOUND);
    ReturnString(result, (this->*read)());
    return S_OK;
  };
  switch (id) {
    case kWindowText:
      return stringProperty(&CEditorObject::GetWindowText, &CEditorObject::SetWindowText);
    case kLineCount:
      if (put) {
        const std::wstring message = cp932::ToWide(kReadOnlyMessage);
        return ComFailure(kSource, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 383), info, message.c_str());
      }
      if (!get) return DISP_E_MEMBERNOTFOUND;
      if (result) {
        result->vt = VT_I4;
        result->lVal = GetLineCount();
      }
      return S_OK;
    case kSelectedText:
      return stringProperty(&CEditorObject::GetSelectedText, &CEditorObject::SetSelectedText);
    case kAlert:
      if (!call) return DISP_E_MEMBERNOTFOUND;
      if ((hr = StringArgument(Argument(params, 0), text)) == S_OK) Alert(text);
      return hr;
    case kConfirm:
      if (!call) return DISP_E_MEMBERNOTFOUND;
      if ((hr = StringArgument(Argument(params, 0), text)) != S_OK) return hr;
      {
        const bool yes = Confirm(text);
        if (result) {
          result->vt = VT_BOOL;
          result->boolVal = yes ? VARIANT_TRUE : VARIANT_FALSE;
        }
      }
      return S_OK;
    case kPrompt:
      if (!call) return DISP_E_MEMBERNOTFOUND;
      if ((hr = StringArgument(Argument(params, 0), text)) != S_OK) return hr;
      if (Argument(params, 1) && (hr = StringArgument(Argument(params, 1), answer)) != S_OK) return hr;
      ReturnString(result, Prompt(text, answer));
      return S_OK;
    case kLineText:
      if ((hr = IntArgument(Argument(params, 0), index)) != S_OK) return hr;
      if (put) {
        if ((hr = StringArgument(PutValue(params), text)) == S_OK) SetLineText(index, text);
      } else if (get) {
        // The line in place, no copy of it on the way.
        std::string scratch;
        const rv::textctl::TextSpans line = m_text.LineSpans(index);
        ReturnBytes(result, line.Contiguous(scratch), static_cast<size_t>(line.Length()));
      } else {
        hr = DISP_E_MEMBERNOTFOUND;
      }
      return hr;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// ---------------------------------------------------------------- members

std::string CEditorObject::GetWindowText() const { return m_text.AllText(); }

void CEditorObject::SetWindowText(const std::string& text) {
  MacroEdit edit;
  if (m_text.ReplaceAll(text, edit)) m_channel.Edit(edit);
}

int CEditorObject::GetLineCount() const { return m_text.LineCount(); }

std::string CEditorObject::GetSelectedText() const { return m_text.SelectedText(); }

void CEditorObject::SetSelectedText(const std::string& text) {
  MacroEdit edit;
  if (m_text.ReplaceSelection(text, edit)) m_channel.Edit(edit);
}

void CEditorObject::Alert(const std::string& message) { m_channel.Alert(message); }

bool CEditorObject::Confirm(const std::string& message) { return m_channel.Confirm(message); }

std::string CEditorObject::Prompt(const std::string& message, const std::string& answer) {
  return m_channel.Prompt(message, answer);
}

void CEditorObject::SetLineText(int index, const std::string& text) {
  MacroEdit edit;
  if (m_text.ReplaceLine(index, text, edit)) m_channel.Edit(edit);
}
