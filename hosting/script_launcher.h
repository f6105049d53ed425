// The one seam through which the script commands start a program and create
// the script encoder. In the program the shell and COM do it; a test installs
// its own launcher or encoder factory that records the request and answers.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <functional>
#include <string>

struct ScriptLaunch {
  std::string verb;
  std::string file;
  std::string parameters;  // empty: none
  std::string folder;      // working folder
  int show = SW_SHOW;
};

class ScriptLauncher {
 public:
  virtual ~ScriptLauncher() = default;
  // True when the program was started (the shell answered above 32);
  // otherwise `error` is the system's last error code.
  virtual bool Launch(const ScriptLaunch& launch, DWORD& error) = 0;
  // The same, and `process` a handle of the started program that the caller
  // closes, or null when that is not known.
  virtual bool LaunchWatched(const ScriptLaunch& launch, DWORD& error, HANDLE& process) {
    process = nullptr;
    return Launch(launch, error);
  }
};

// The full path of the host program `exe` ("WScript.exe") in the system folder
// (for this 32-bit program on 64-bit Windows the system redirects it to the
// 32-bit hosts), so that a program of that name in the script's folder or the
// current one is never started. Empty, with `error`, when the system folder is
// not known.
std::string SystemHostPath(const char* exe, DWORD& error);

// Null puts the shell back.
void SetScriptLauncher(ScriptLauncher* launcher);
bool LaunchScriptHost(const ScriptLaunch& launch, DWORD& error);
// Also gives the started program's process (see LaunchWatched).
bool LaunchScriptHostWatched(const ScriptLaunch& launch, DWORD& error, HANDLE& process);

// Creates the encoder object: "Scripting.Encoder" through COM unless a test
// set a factory; where the name gives no class (Wine), the stand-in server
// ruvelto_encoder.dll beside the program, asked for its class object directly.
using ScriptEncoderFactory = std::function<HRESULT(IDispatch** encoder)>;
void SetScriptEncoderFactory(ScriptEncoderFactory factory);  // empty: COM again
HRESULT CreateScriptEncoder(IDispatch** encoder);
// The stand-in server beside the program only, registered or not.
HRESULT CreateEncoderBesideProgram(IDispatch** encoder);
