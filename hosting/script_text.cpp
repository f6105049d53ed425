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

// The extension with its dot, lower case ASCII; empty when there is none.
std::string Extension(const std::string& path) {
  size_t dot = PathExtensionDot(path);
  return dot == std::string::npos ? std::string() : LowerAscii(path.substr(dot));
}

// A trail byte may look like '^' or '|' (as in "ポ", 83 7C); it is no separator.
bool NeedsQuotes(const std::string& name) {
  for (size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (cp932::IsLeadByte(c) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (std::string(" \t&|<>^(),;=%").find(static_cast<char>(c)) != std::string::npos) return true;
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

std::string ScriptWrapperText(const std::string& name, const std::string& hostParams,
                              const std::string& scriptParams) {
  std::string quoted = QuoteHostFileName(name), escaped;
  for (char c : quoted) {
    escaped += c;
    if (c == '%') escaped += '%';
  }
  std::string line = "CScript " + escaped;
  if (!hostParams.empty()) line += " " + hostParams;
  if (!scriptParams.empty()) line += " " + scriptParams;
  return line + "\r\nPAUSE\r\n";
}

bool CanRunScript(const std::string& path) { return !path.empty(); }

bool CanRunUnderHosts(const std::string& path) {
  std::string ext = Extension(path);
  return ext == ".wsf" || ext == ".js" || ext == ".vbs";
}

EncodeTarget EncodeTargetFor(const std::string& path) {
  std::string ext = Extension(path);
  size_t dot = PathExtensionDot(path);
  if (ext == ".js") return {".js", path.substr(0, dot) + ".jse"};
  if (ext == ".vbs") return {".vbs", path.substr(0, dot) + ".vbe"};
  if (ext == ".wsf") return {".sct", path};
  return {".htm", path};
}
