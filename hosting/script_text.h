// The texts handed to the script hosts and the rules of the script commands,
// without any Windows header: which commands a document's path allows, the
// parameter string of the window host, the console host's batch wrapper, and
// the encoder kind and proposed output name of the encoded copy.
#pragma once
#include <string>

// The file name as a host's command line must see it: in quotation marks when
// it holds a blank, a tab or one of & | < > ^ ( ) , ; = %, else unchanged.
std::string QuoteHostFileName(const std::string& name);
// "name host script" for the window host: always both blanks, parameters as typed.
std::string WScriptParameterString(const std::string& name, const std::string& hostParams,
                                   const std::string& scriptParams);
// The whole wrapper file: "CScript name[ host][ script]" and "PAUSE", each line
// ending in CR LF. A '%' of the name is doubled (the batch processor would
// expand it); the parameters stay as typed.
std::string ScriptWrapperText(const std::string& name, const std::string& hostParams,
                              const std::string& scriptParams);

// Run with the default host, and encode: the document has a path.
bool CanRunScript(const std::string& path);
// Run under the named hosts: the path's extension is .wsf, .js or .vbs (any case).
bool CanRunUnderHosts(const std::string& path);

struct EncodeTarget {
  std::string kind;          // ".js", ".vbs", ".sct" or ".htm"
  std::string proposedPath;  // the output name offered in the save dialog
};
EncodeTarget EncodeTargetFor(const std::string& path);
