// The shell and COM behind the script commands' seam (see script_launcher.h).
#include "scripting/script_launcher.h"
#include <shellapi.h>

namespace {
ScriptLauncher* g_launcher = nullptr;
ScriptEncoderFactory& Factory() {
  static ScriptEncoderFactory factory;
  return factory;
}
}  // namespace

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

void SetScriptEncoderFactory(ScriptEncoderFactory factory) { Factory() = std::move(factory); }

HRESULT CreateScriptEncoder(IDispatch** encoder) {
  *encoder = nullptr;
  if (Factory()) return Factory()(encoder);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(L"Scripting.Encoder", &clsid);
  if (FAILED(hr)) return hr;
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(encoder));
}
