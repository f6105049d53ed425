// Host command texts and script command rules (see script_text.h).
#include "hosting/script_text.h"
#include "platform/cp932.h"
#include "platform/framework/pathutil.h"

namespace {
std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A trail byte may look like '^' or '|' (as in "ポ", 83 7C); it is no separator. A lead
// byte takes the next byte whatever it is, as the batch processor reads it.
bool NeedsQuotes(const std::string& name) {
  for (size_t i = 0, n = 1; i < name.size(); i += n) {
    n = cp932::CharLengthLoose(name.data(), i, name.size());
    if (n == 1 && std::string(" \t&|<>^(),;=%").find(name[i]) != std::string::npos) return true;
  }
  return false;
}
}  // namespace

std::string QuoteHostFileName(const std::string& name) {
  return NeedsQuotes(name) ? "\"" + name + "\"" : name;
}

std::string WScriptParameterString(const std::string& name, const std::string& hostParams,
                                   const std::string& scriptParams) {
  return QuoteHostFileName(name) + " " + hostParams + " " + scriptParams;
}

std::string EscapeBatchLine(const std::string& line) {
  std::string escaped;
  bool quoted = false;
  for (size_t i = 0, n = 1; i < line.size(); i += n) {
    n = cp932::CharLengthLoose(line.data(), i, line.size());
    const char c = line[i];
    if (n == 2) {
      escaped.append(line, i, 2);
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == '%') escaped += '%';
    else if (!quoted && std::string("&|<>^").find(c) != std::string::npos) escaped += '^';
    escaped += c;
  }
  return escaped;
}

std::string HostCommandLine(const std::string& host, const std::string& name, const std::string& hostParams,
                            const std::string& scriptParams) {
  std::string line = QuoteHostFileName(host) + " " + QuoteHostFileName(name);
  if (!hostParams.empty()) line += " " + hostParams;
  if (!scriptParams.empty()) line += " " + scriptParams;
  return line;
}

std::string ScriptWrapperText(const std::string& host, const std::string& name, const std::string& hostParams,
                              const std::string& scriptParams) {
  return EscapeBatchLine(HostCommandLine(host, name, hostParams, scriptParams)) + "\r\nPAUSE\r\n";
}

std::string CapturedRunCommandLine(const std::string& host, const std::string& path, const std::string& hostParams,
                                   const std::string& scriptParams) {
  const std::string quotedHost = QuoteHostFileName(host);
  return quotedHost + " //nologo" + HostCommandLine(host, path, hostParams, scriptParams).substr(quotedHost.size());
}

bool CanRunScript(const std::string& path) { return !path.empty(); }

bool CanRunUnderHosts(const std::string& path) {
  std::string ext = LowerExtension(path);
  return ext == ".wsf" || ext == ".js" || ext == ".vbs";
}

std::string LowerExtension(const std::string& path) {
  size_t dot = PathExtensionDot(path);
  return dot == std::string::npos ? std::string() : LowerAscii(path.substr(dot));
}

EncodeTarget EncodeTargetFor(const std::string& path) {
  std::string ext = LowerExtension(path);
  size_t dot = PathExtensionDot(path);
  if (ext == ".js") return {".js", path.substr(0, dot) + ".jse"};
  if (ext == ".vbs") return {".vbs", path.substr(0, dot) + ".vbe"};
  // A .wsf or .hta keeps its readable source: the copy goes beside it.
  const std::string proposed = dot == std::string::npos ? path + ".encoded"
                                                         : path.substr(0, dot) + ".encoded" + path.substr(dot);
  return {ext == ".wsf" ? ".sct" : ".htm", proposed};
}
