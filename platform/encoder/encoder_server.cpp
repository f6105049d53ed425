// An in-process COM server for "Scripting.Encoder" on systems that have the
// name but not the class (Wine). One class, one dispatch method:
// EncodeScriptFile (dispatch id 0) taking the kind, the text, flags and a
// default language and returning the encoded text (encoded_script.h). An
// unknown kind is refused with an exception whose description the caller sees;
// a null string counts as an empty one, and no C++ exception leaves a call.
#include <windows.h>
#include <oleauto.h>
#include <string>
#include "platform/com_boundary.h"
#include "platform/com_object.h"
#include "platform/encoder/encoded_script.h"
#include "platform/encoder/encoder_clsid.h"

namespace {
LONG g_objects = 0;  // live objects and server locks

const wchar_t kSource[] = L"Scripting.Encoder";

// A null string is the empty one.
std::u16string FromBstr(BSTR s) {
  return s ? std::u16string(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string();
}

class Encoder : public DispatchObject {
 public:
  Encoder() { InterlockedIncrement(&g_objects); }
  ~Encoder() override { InterlockedDecrement(&g_objects); }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    bool known = names[0] && _wcsicmp(names[0], L"EncodeScriptFile") == 0;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (!known) return DISP_E_UNKNOWNNAME;
    ids[0] = 0;
    return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* badArg) override {
    return ComBoundary(kSource, info, [&] { return EncodeScriptFile(id, flags, params, result, info, badArg); });
  }

 private:
  // A variant cleared when it goes out of scope.
  struct OwnedVariant : VARIANT {
    OwnedVariant() { VariantInit(this); }
    ~OwnedVariant() { VariantClear(this); }
  };

  HRESULT EncodeScriptFile(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                           UINT* badArg) {
    if (id != 0) return DISP_E_MEMBERNOTFOUND;
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params || params->cArgs != 4) return DISP_E_BADPARAMCOUNT;
    if (params->cNamedArgs) return DISP_E_NONAMEDARGS;
    OwnedVariant kind, text;  // arguments arrive last first
    if (FAILED(VariantChangeType(&kind, &params->rgvarg[3], 0, VT_BSTR))) {
      if (badArg) *badArg = 3;
      return DISP_E_TYPEMISMATCH;
    }
    if (FAILED(VariantChangeType(&text, &params->rgvarg[2], 0, VT_BSTR))) {
      if (badArg) *badArg = 2;
      return DISP_E_TYPEMISMATCH;
    }
    const std::u16string kindText = FromBstr(kind.bstrVal);
    std::u16string encoded;
    if (!EncodeScriptText(kindText, FromBstr(text.bstrVal), encoded)) {
      const std::u16string description = u"エンコードできないファイルの種類です: " + kindText;
      return ComFailure(kSource, E_INVALIDARG, info, reinterpret_cast<const wchar_t*>(description.c_str()));
    }
    if (!result) return S_OK;
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal =
        SysAllocStringLen(reinterpret_cast<const OLECHAR*>(encoded.data()), static_cast<UINT>(encoded.size()));
    return result->bstrVal ? S_OK : E_OUTOFMEMORY;
  }
};

// The one factory is static, so it does not use ComObject: its count keeps
// the server loaded instead of deleting it.
class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is static: its count only keeps the server loaded.
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_objects)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_objects)); }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Encoder* encoder = new (std::nothrow) Encoder;
    if (!encoder) return E_OUTOFMEMORY;
    HRESULT hr = encoder->QueryInterface(iid, out);
    encoder->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) InterlockedIncrement(&g_objects);
    else InterlockedDecrement(&g_objects);
    return S_OK;
  }
};

Factory g_factory;
}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != kEncoderClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

namespace {
// The class's key in the registry's classes, as the system names it.
const char kClassKey[] = "CLSID\\{32DA2B15-CFED-11D1-B747-00C04FC2B085}\\InprocServer32";

// This server's own file.
std::string ModulePath() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ModulePath), &module);
  char path[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameA(module, path, sizeof path);
  return n && n < sizeof path ? std::string(path, n) : std::string();
}

LONG SetText(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
}
}  // namespace

// Self-registration (regsvr32) for whoever wants the class by name; the
// program itself needs none, it loads the server from its own folder.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
  const std::string path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  HKEY key = nullptr;
  LONG status = RegCreateKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    status = SetText(key, nullptr, path);
    if (status == ERROR_SUCCESS) status = SetText(key, "ThreadingModel", "Both");
    RegCloseKey(key);
  }
  return HRESULT_FROM_WIN32(status);
}

// Takes the registration back only where it names this server.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
  char named[MAX_PATH * 2] = "";
  LONG size = sizeof named;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, kClassKey, named, &size) != ERROR_SUCCESS) return S_OK;
  if (lstrcmpiA(named, ModulePath().c_str()) != 0) return S_OK;
  const LONG status = RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);  // once: the macro reads it more than once
  return HRESULT_FROM_WIN32(status);
}
