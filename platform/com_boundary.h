// The edge of a COM method: no exception may leave it into the caller (a
// script engine, OLE's drag loop), which knows nothing of C++. A method runs
// its body through ComBoundary; an exception becomes a status code, with the
// error info of the thread set, and for IDispatch::Invoke the exception record
// filled, so the caller can say what happened. Header only: the encoder's
// server, which links no framework, uses it too.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <new>

// The failure `status` as the caller of a COM method sees it: error info with
// `source` and `description` (the system's text for `status` when null), and
// for Invoke (`info` not null) the record filled and DISP_E_EXCEPTION returned.
// Allocates through the system only, so it works when memory ran out.
inline HRESULT ComFailure(const wchar_t* source, HRESULT status, EXCEPINFO* info,
                          const wchar_t* description = nullptr) noexcept {
  wchar_t* systemText = nullptr;
  if (!description &&
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&systemText), 0, nullptr))
    description = systemText;
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetSource(const_cast<wchar_t*>(source));
    if (description) create->SetDescription(const_cast<wchar_t*>(description));
    IErrorInfo* error = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&error)))) {
      SetErrorInfo(0, error);
      error->Release();
    }
    create->Release();
  }
  HRESULT answer = status;
  if (info) {
    *info = EXCEPINFO{};
    info->bstrSource = SysAllocString(source);
    info->bstrDescription = description ? SysAllocString(description) : nullptr;
    info->scode = status;
    answer = DISP_E_EXCEPTION;
  }
  if (systemText) LocalFree(systemText);
  return answer;
}

// Runs `body` (which returns an HRESULT); an exception ends it as
// E_OUTOFMEMORY (std::bad_alloc) or E_UNEXPECTED, reported by ComFailure.
template <typename Body>
HRESULT ComBoundary(const wchar_t* source, EXCEPINFO* info, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ComFailure(source, E_OUTOFMEMORY, info);
  } catch (...) {
    return ComFailure(source, E_UNEXPECTED, info);
  }
}
