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
// `line` as the batch processor must read it to hand on exactly `line`: every
// '%' doubled, and each of & | < > ^ outside quotation marks (which open and
// close at each '"', as the processor counts them) escaped with '^'. Bytes of
// a double-byte character are never escaped, though a trail byte may look like
// '|' or '^'.
std::string EscapeBatchLine(const std::string& line);
// "host name[ host parameters][ script parameters]", host and name quoted as
// QuoteHostFileName says.
std::string HostCommandLine(const std::string& host, const std::string& name, const std::string& hostParams,
                            const std::string& scriptParams);
// The command line of a run whose output the editor shows: the console host
// without its banner, "host //nologo path[ host parameters][ script parameters]",
// on the script's full path.
std::string CapturedRunCommandLine(const std::string& host, const std::string& path, const std::string& hostParams,
                                   const std::string& scriptParams);
// The whole wrapper file: "host name[ host parameters][ script parameters]"
// with `host` the console host's full path, escaped as a whole (see
// EscapeBatchLine), and "PAUSE", each line ending in CR LF.
std::string ScriptWrapperText(const std::string& host, const std::string& name, const std::string& hostParams,
                              const std::string& scriptParams);

// Run with the default host, and encode: the document has a path.
bool CanRunScript(const std::string& path);
// Run under the named hosts: the path's extension is .wsf, .js or .vbs (any case).
bool CanRunUnderHosts(const std::string& path);

// The extension with its dot, lower case ASCII; empty when there is none.
std::string LowerExtension(const std::string& path);

struct EncodeTarget {
  std::string kind;          // ".js", ".vbs", ".sct" or ".htm"
  std::string proposedPath;  // the output name offered in the save dialog; never the source
};
EncodeTarget EncodeTargetFor(const std::string& path);
