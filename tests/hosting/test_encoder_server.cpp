// The stand-in encoder server as the program meets it: found beside the
// program (no registration; the build copies it beside this test), called by
// dispatch id 0.
#include <windows.h>
#include <oleauto.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "platform/encoder/encoded_script.h"
#include "hosting/script_launcher.h"

namespace {
struct Com {
  Com() { CoInitialize(nullptr); }
  ~Com() { CoUninitialize(); }
};

HRESULT Encode(IDispatch* encoder, const wchar_t* kind, const wchar_t* text, std::wstring& out, std::wstring& error) {
  VARIANT args[4];
  for (VARIANT& v : args) VariantInit(&v);
  args[3].vt = VT_BSTR, args[3].bstrVal = SysAllocString(kind);
  args[2].vt = VT_BSTR, args[2].bstrVal = SysAllocString(text);
  args[1].vt = VT_I4, args[1].lVal = 0;
  args[0].vt = VT_BSTR, args[0].bstrVal = SysAllocString(L"");
  DISPPARAMS params{args, nullptr, 4, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info{};
  HRESULT hr = encoder->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &info, nullptr);
  if (SUCCEEDED(hr) && result.vt == VT_BSTR) out.assign(result.bstrVal, SysStringLen(result.bstrVal));
  if (info.bstrDescription) error = info.bstrDescription;
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  VariantClear(&result);
  for (VARIANT& v : args) VariantClear(&v);
  return hr;
}

// Leaves the process no free stretch of address space much above 1 MiB while
// it lives: everything is reserved (64 MiB, 1 MiB, then 64 KiB pieces), then
// every other 1 MiB piece, in address order, is given back.
class AddressSpaceSqueeze {
 public:
  AddressSpaceSqueeze() {
    std::vector<void*> mib;
    for (SIZE_T size : {SIZE_T(64) << 20, SIZE_T(1) << 20, SIZE_T(64) << 10})
      while (void* p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
        (size == (SIZE_T(1) << 20) ? mib : m_held).push_back(p);
    std::sort(mib.begin(), mib.end());
    for (size_t k = 0; k < mib.size(); ++k) {
      if (k % 2 == 0 && m_given < 48) {
        VirtualFree(mib[k], 0, MEM_RELEASE);
        ++m_given;
      } else {
        m_held.push_back(mib[k]);
      }
    }
  }
  ~AddressSpaceSqueeze() {
    for (void* p : m_held) VirtualFree(p, 0, MEM_RELEASE);
  }
  int given() const { return m_given; }

 private:
  std::vector<void*> m_held;
  int m_given = 0;
};

// What the console host prints for `script` (run in its folder), or "" when it did not run.
std::string ConsoleOutput(const std::string& folder, const std::string& script) {
  std::string out = folder + "\\out.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = file;
  PROCESS_INFORMATION pi{};
  std::string command = "cscript.exe //nologo \"" + script + "\"";
  BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                folder.c_str(), &si, &pi);
  CloseHandle(file);
  if (!started) return "";
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  char buffer[4096];
  DWORD n = 0;
  HANDLE in = CreateFileA(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ReadFile(in, buffer, sizeof buffer, &n, nullptr);
  CloseHandle(in);
  return std::string(buffer, n);
}
}  // namespace

TEST(EncoderServer, FoundBesideTheProgramWhereTheNameHasNoClass) {
  Com com;
  // As in a fresh prefix: the name resolves, its class is not registered.
  CLSID clsid;
  IUnknown* system = nullptr;
  if (SUCCEEDED(CLSIDFromProgID(L"Scripting.Encoder", &clsid))) {
    EXPECT_TRUE(FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(&system))))
        << "the prefix has the encoder registered; the fallback is not what this run tests";
  }
  if (system) system->Release();
  IDispatch* beside = nullptr;
  ASSERT_EQ(CreateEncoderBesideProgram(&beside), S_OK);
  std::wstring out, error;
  ASSERT_EQ(Encode(beside, L".vbs", L"MsgBox 1\r\n", out, error), S_OK);
  std::u16string expected = EncodeScriptBlock(u"MsgBox 1\r\n");
  EXPECT_EQ(out, std::wstring(expected.begin(), expected.end()));
  beside->Release();
}

// For those who want the class by name: regsvr32's calls register it, the
// name then gives the server, and unregistering takes it back.
TEST(EncoderServer, SelfRegistrationComesAndGoes) {
  Com com;
  char self[MAX_PATH];
  std::string dll(self, GetModuleFileNameA(nullptr, self, sizeof self));
  dll = dll.substr(0, dll.find_last_of('\\') + 1) + "ruvelto_encoder.dll";
  HMODULE server = LoadLibraryA(dll.c_str());
  ASSERT_TRUE(server);
  using Call = HRESULT(STDAPICALLTYPE*)();
  auto registerServer = reinterpret_cast<Call>(GetProcAddress(server, "DllRegisterServer"));
  auto unregisterServer = reinterpret_cast<Call>(GetProcAddress(server, "DllUnregisterServer"));
  ASSERT_TRUE(registerServer && unregisterServer);
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"Scripting.Encoder", &clsid), S_OK);
  auto created = [&] {
    IDispatch* byName = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&byName));
    if (byName) byName->Release();
    return SUCCEEDED(hr);
  };
  ASSERT_EQ(registerServer(), S_OK);
  EXPECT_TRUE(created());
  EXPECT_EQ(unregisterServer(), S_OK);
  EXPECT_FALSE(created());
  EXPECT_EQ(unregisterServer(), S_OK);  // nothing left to take back
  CoFreeUnusedLibraries();
  FreeLibrary(server);
}

TEST(EncoderServer, CreatedByNameEncodesKnownKindsAndDescribesARefusal) {
  Com com;
  IDispatch* encoder = nullptr;
  ASSERT_EQ(CreateScriptEncoder(&encoder), S_OK);
  DISPID id = -1;
  LPOLESTR name = const_cast<LPOLESTR>(L"EncodeScriptFile");
  EXPECT_EQ(encoder->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 0);
  std::wstring out, error;
  ASSERT_EQ(Encode(encoder, L".js", L"WScript.Echo(\"表\");\r\n", out, error), S_OK);
  std::u16string expected = EncodeScriptBlock(u"WScript.Echo(\"表\");\r\n");
  EXPECT_EQ(out, std::wstring(expected.begin(), expected.end()));
  // The system's JScript engine reads the encoded copy and runs it as the plain text.
  const wchar_t* script = L"var s = 'a<b>@';\r\nfor (var i = 0; i < 70; i++) s += i % 10;\r\nWScript.Echo(s);\r\n";
  ASSERT_EQ(Encode(encoder, L".js", script, out, error), S_OK);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "rv enc 日本";
  CreateDirectoryA(folder.c_str(), nullptr);
  auto write = [&](const char* name, const std::wstring& text) {
    std::string bytes(text.begin(), text.end());  // ASCII
    HANDLE h = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
  };
  write("plain.js", script);
  write("coded.jse", out);
  std::string plain = ConsoleOutput(folder, "plain.js");
  EXPECT_NE(plain.find("a<b>@0123456789"), std::string::npos) << plain;
  EXPECT_EQ(ConsoleOutput(folder, "coded.jse"), plain);
  for (const char* name : {"plain.js", "coded.jse", "out.txt"}) DeleteFileA((folder + "\\" + name).c_str());
  RemoveDirectoryA(folder.c_str());
  out.clear();
  EXPECT_EQ(Encode(encoder, L".txt", L"x", out, error), DISP_E_EXCEPTION);
  EXPECT_TRUE(out.empty());
  EXPECT_NE(error.find(L".txt"), std::wstring::npos);
  encoder->Release();
}

TEST(EncoderServer, RunningOutOfMemoryIsAnErrorOfTheCallNotAnException) {
  Com com;
  IDispatch* encoder = nullptr;
  ASSERT_EQ(CreateScriptEncoder(&encoder), S_OK);
  // 400,000 line breaks (800 KB) fit in the pieces left; their encoded form
  // (two characters each, 1.6 MB) does not.
  const std::wstring text(400000, L'\n');
  std::wstring out, error;
  HRESULT hr;
  {
    AddressSpaceSqueeze squeeze;
    ASSERT_GE(squeeze.given(), 8);
    hr = Encode(encoder, L".js", text.c_str(), out, error);
  }
  EXPECT_EQ(hr, DISP_E_EXCEPTION);
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(error.empty());
  encoder->Release();
}
