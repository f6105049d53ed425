// Messages for exceptions stopped at a boundary.
#include "platform/framework/except.h"
#include <exception>
#include <new>
#include <string>
#include "platform/framework/modal.h"
#include "platform/framework/resstr.h"

void ReportFileError(const CFileException& e, UINT fallback) {
  UINT id = fallback;
  if (e.cause == CFileException::FileNotFound) id = AFX_IDP_FILE_NOT_FOUND;
  else if (e.cause == CFileException::AccessDenied) id = AFX_IDP_FILE_ACCESS_DENIED;
  AfxMessageBox(AfxFormatString1(id, e.path.c_str()).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void AfxReportCurrentException(UINT fileFallback) {
  try {
    throw;
  } catch (const CUserException&) {
  } catch (const CMemoryException&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
  } catch (const CFileException& e) {
    ReportFileError(e, fileFallback);
  } catch (const std::exception& e) {
    AfxReportEscapedException(e.what());
  } catch (...) {
    AfxReportEscapedException(nullptr);
  }
}

void AfxReportEscapedException(const char* what) {
  std::string text = "内部エラーが発生しました。";
  if (what && *what) {
    text += "\n";
    text += what;
  }
  AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
}
