// The shell and COM behind the script commands' seam (see script_launcher.h).
#include "hosting/script_launcher.h"
#include <shellapi.h>
#include "platform/encoder/encoder_clsid.h"

namespace {
// A test's stand-in for the shell, set through SetScriptLauncher; the program
// installs none and runs through the shell below.
ScriptLauncher* g_launcher = nullptr;
ScriptEncoderFactory& Factory() {
  static ScriptEncoderFactory factory;
  return factory;
}

// The shell's verb on the file, keeping the started process's handle.
bool ShellOpenWatched(const ScriptLaunch& launch, DWORD& error, HANDLE& process) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = launch.verb.c_str();
  info.lpFile = launch.file.c_str();
  info.lpParameters = launch.parameters.empty() ? nullptr : launch.parameters.c_str();
  info.lpDirectory = launch.folder.empty() ? nullptr : launch.folder.c_str();
  info.nShow = launch.show;
  SetLastError(ERROR_SUCCESS);
  const BOOL ok = ShellExecuteExA(&info);
  error = GetLastError();
  process = ok ? info.hProcess : nullptr;
  return ok && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}
}  // namespace

std::string SystemHostPath(const char* exe, DWORD& error) {
  char folder[MAX_PATH + 1];
  const UINT length = GetSystemDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) {
    error = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
    return std::string();
  }
  return std::string(folder, length) + "\\" + exe;
}

void SetScriptLauncher(ScriptLauncher* launcher) { g_launcher = launcher; }

bool LaunchScriptHost(const ScriptLaunch& launch, DWORD& error) {
  if (g_launcher) return g_launcher->Launch(launch, error);
  SetLastError(ERROR_SUCCESS);
  auto answer = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, launch.verb.c_str(), launch.file.c_str(),
                    launch.parameters.empty() ? nullptr : launch.parameters.c_str(),
                    launch.folder.empty() ? nullptr : launch.folder.c_str(), launch.show));
  error = GetLastError();
  return answer > 32;
}

bool LaunchScriptHostWatched(const ScriptLaunch& launch, DWORD& error, HANDLE& process) {
  process = nullptr;
  if (g_launcher) return g_launcher->LaunchWatched(launch, error, process);
  return ShellOpenWatched(launch, error, process);
}

void SetScriptEncoderFactory(ScriptEncoderFactory factory) { Factory() = std::move(factory); }

HRESULT CreateEncoderBesideProgram(IDispatch** encoder) {
  *encoder = nullptr;
  // Loaded once and kept for the process: the objects it makes may live anywhere.
  static HMODULE server = [] {
    char path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return HMODULE(nullptr);
    std::string file(path, n);
    file.erase(file.find_last_of('\\') + 1);
    file += kEncoderDllName;
    return LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }();
  if (!server) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto getClassObject = reinterpret_cast<GetClassObject>(GetProcAddress(server, "DllGetClassObject"));
  if (!getClassObject) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject(kEncoderClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(encoder));
  factory->Release();
  return hr;
}

HRESULT CreateScriptEncoder(IDispatch** encoder) {
  *encoder = nullptr;
  if (Factory()) return Factory()(encoder);
  // The system's encoder where the name gives a class; otherwise the stand-in
  // beside the program, which needs no registration.
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(L"Scripting.Encoder", &clsid);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(encoder));
  if (SUCCEEDED(hr)) return hr;
  // The system's failure is the one to report when there is no stand-in either.
  return SUCCEEDED(CreateEncoderBesideProgram(encoder)) ? S_OK : hr;
}
