// OLE drag and drop of text for the edit view: the data object a drag offers
// (CF_TEXT), the drop source of the drag loop, the drop target registered on
// every view's window, and reading dropped text within the size of its block.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <string>
#include "platform/com_object.h"

class CMyEditView;

// Waits, with the mouse captured, for a drag to begin from the screen point
// `start`: true once the pointer leaves the square of "DragMinDist" pixels
// around it or the button has been held for "DragDelay" milliseconds (system
// profile, section "windows", defaults 2 and 200); false when the left button
// is released first, another button is pressed, Esc is pressed or the capture
// is lost. The messages that end the wait are taken from the queue.
bool WaitForDragStart(HWND hwnd, POINT start);

// Text offered as CF_TEXT in a moveable global block; `withZero` false leaves
// out the terminating zero (as some sources do).
class TextDataObject : public ComObject<IDataObject> {
 public:
  explicit TextDataObject(const std::string& text, bool withZero = true);
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::string m_bytes;  // the block's bytes
};

// Ends the drag when the left button goes up, cancels it on Esc or another button.
class TextDropSource : public ComObject<IDropSource> {
 public:
  TextDropSource() : ComObject(IID_IDropSource) {}
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

};

// The drop target of one view; forwards to the view's drop handlers.
class ViewDropTarget : public ComObject<IDropTarget> {
 public:
  explicit ViewDropTarget(CMyEditView* view) : ComObject(IID_IDropTarget), m_view(view) {}
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
  // The view's window is gone: no more calls reach it.
  void Detach() { m_view = nullptr; }

 private:
  HRESULT Over(DWORD keys, POINTL pt, DWORD* effect);
  CMyEditView* m_view;
  bool m_hasText = false;  // what the current drag offers
};

// The text a data object offers: CF_TEXT, or CF_UNICODETEXT converted through
// code page 932; read up to the first zero and never past the block. False
// when it offers neither.
bool ReadDropText(IDataObject* data, std::string& out);
// Whether it offers either format.
bool OffersText(IDataObject* data);
