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
};

// Null puts the shell back.
void SetScriptLauncher(ScriptLauncher* launcher);
bool LaunchScriptHost(const ScriptLaunch& launch, DWORD& error);

// Creates the encoder object ("Scripting.Encoder" through COM unless a test set a factory).
using ScriptEncoderFactory = std::function<HRESULT(IDispatch** encoder)>;
void SetScriptEncoderFactory(ScriptEncoderFactory factory);  // empty: COM again
HRESULT CreateScriptEncoder(IDispatch** encoder);
