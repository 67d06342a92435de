// Plumbing shared by the ADO double's COM objects: ADO's GUIDs, reference
// counting and QueryInterface over a list of IIDs, IDispatch without a type
// library (as Wine's own ADO), the module's count of live objects for
// DllCanUnloadNow, and a macro for the vtable slots the double leaves out.
// Objects are apartment-threaded: use each from the thread that made it.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <span>
#include <string_view>

#include "base/status.h"

namespace telo::ado_double {

// ADO's GUIDs differ only in their first 32 bits.
constexpr GUID AdoGuid(unsigned long first) {
  return {first, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
}

inline constexpr GUID kConnectionClsid = AdoGuid(0x514);  // ADODB.Connection
inline constexpr GUID kRecordsetClsid = AdoGuid(0x535);   // ADODB.Recordset

// Live objects plus IClassFactory::LockServer locks.
LONG& ModuleReferences();

// A vtable slot that the double doesn't implement.
#define TELO_ADO_NOT_IMPLEMENTED(method, ...) \
  HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return E_NOTIMPL; }

// Implements IUnknown and IDispatch for an object whose interface is
// `Interface` and which answers to `iids` as well as IUnknown and IDispatch.
// A new object holds one reference, which its creator owns.
template <typename Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(std::span<const GUID> iids) : iids_(iids) {
    InterlockedIncrement(&ModuleReferences());
  }
  virtual ~ComObject() { InterlockedDecrement(&ModuleReferences()); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!Answers(iid)) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  TELO_ADO_NOT_IMPLEMENTED(GetTypeInfo, UINT, LCID, ITypeInfo**)
  TELO_ADO_NOT_IMPLEMENTED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  TELO_ADO_NOT_IMPLEMENTED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                           UINT*)

 private:
  bool Answers(REFIID iid) const {
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDispatch)) return true;
    for (const GUID& known : iids_) {
      if (IsEqualGUID(iid, known)) return true;
    }
    return false;
  }

  LONG references_ = 1;
  std::span<const GUID> iids_;
};

// A BSTR copy of UTF-8 text, for an out parameter; the caller frees it.
BSTR NewBstr(std::string_view text);

}  // namespace telo::ado_double
