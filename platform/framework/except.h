// Reporting a failure where it is stopped: at a window, dialog or hook
// procedure (no exception may unwind through the system's code) and where a
// document is loaded or saved.
#pragma once
#include <windows.h>
#include "platform/framework/archive.h"
#include "platform/framework/fwids.h"

// A file error in the framework's words: "not found" and "access denied" name
// the file; any other cause shows `fallback` (with the path for its %1).
void ReportFileError(const CFileException& e, UINT fallback);
// Reports the exception being handled; call only inside a catch block. A
// CUserException is silent (whoever raised it has told the user); memory and
// file errors get the framework's messages, `fileFallback` for a file error
// without a message of its own; anything else is an internal error.
void AfxReportCurrentException(UINT fileFallback = AFX_IDP_FILE_GENERIC);
// The internal-error message, with `what` on a second line when given.
void AfxReportEscapedException(const char* what);
