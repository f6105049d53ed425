// Reference counting and QueryInterface for the program's COM objects. A class
// derived from ComObject<I> answers IUnknown and I, counts its references
// across threads and deletes itself when the last one is released; it is made
// with new and reached through its interface only. Header only: the encoder's
// server, which links no framework, uses it too.
#pragma once
#include <windows.h>
#include <oaidl.h>

template <typename I>
class ComObject : public I {
 public:
  explicit ComObject(REFIID iid) : m_iid(iid) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, m_iid)) {
      *out = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&m_refs);
    if (!left) delete this;
    return static_cast<ULONG>(left);
  }

 protected:
  virtual ~ComObject() = default;

 private:
  LONG m_refs = 1;
  IID m_iid;
};

// An automation object without a type library: it has no type information,
// and callers find its members by name (GetIDsOfNames).
class DispatchObject : public ComObject<IDispatch> {
 public:
  DispatchObject() : ComObject(IID_IDispatch) {}
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
};
