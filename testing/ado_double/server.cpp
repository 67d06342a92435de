// The ADO double's in-process server: the class objects for ADODB.Connection
// and ADODB.Recordset, and its registration under ADO's own CLSIDs and
// ProgIDs (in HKEY_CLASSES_ROOT, InprocServer32 = this DLL, ThreadingModel
// Apartment). DllUnregisterServer removes exactly what DllRegisterServer
// wrote, and only while the CLSIDs still point at this DLL; re-registering
// the system's ADO afterwards (regsvr32 msado15.dll) restores it.
#include <objbase.h>
#include <olectl.h>
#include <windows.h>

#include <string>

#include "platform/windows/utf16.h"
#include "testing/ado_double/connection_object.h"
#include "testing/ado_double/recordset_object.h"

namespace telo::ado_double {
namespace {

template <typename Object>
class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IClassFactory)) {
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  // Static objects: counting references would change nothing.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Object* created = new Object;
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&ModuleReferences());
    } else {
      InterlockedDecrement(&ModuleReferences());
    }
    return S_OK;
  }
};

ClassFactory<ConnectionObject> connection_factory;
ClassFactory<RecordsetObject> recordset_factory;

struct RegisteredClass {
  const GUID& clsid;
  const wchar_t* prog_id;
};
constexpr RegisteredClass kClasses[] = {{kConnectionClsid, L"ADODB.Connection"},
                                        {kRecordsetClsid, L"ADODB.Recordset"}};

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ThisDllPath() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&connection_factory), &module);
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

// Sets the default value of HKCR\key, and the named value `name` when given.
LONG SetValue(const std::wstring& key, const std::wstring& value, const wchar_t* name = nullptr) {
  HKEY handle = nullptr;
  LONG result = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, &handle, nullptr);
  if (result != ERROR_SUCCESS) return result;
  result = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return result;
}

std::wstring DefaultValue(const std::wstring& key) {
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return value;
}

LONG Register(const RegisteredClass& entry, const std::wstring& dll) {
  const std::wstring clsid = GuidText(entry.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  LONG result = SetValue(key, std::wstring(entry.prog_id) + L" (ADO double for tests)");
  if (result == ERROR_SUCCESS) result = SetValue(key + L"\\InprocServer32", dll);
  if (result == ERROR_SUCCESS) {
    result = SetValue(key + L"\\InprocServer32", L"Apartment", L"ThreadingModel");
  }
  if (result == ERROR_SUCCESS) result = SetValue(key + L"\\ProgID", entry.prog_id);
  if (result == ERROR_SUCCESS) result = SetValue(std::wstring(entry.prog_id) + L"\\CLSID", clsid);
  return result;
}

void Unregister(const RegisteredClass& entry, const std::wstring& dll) {
  const std::wstring key = L"CLSID\\" + GuidText(entry.clsid);
  if (CompareStringOrdinal(DefaultValue(key + L"\\InprocServer32").c_str(), -1, dll.c_str(), -1,
                           TRUE) != CSTR_EQUAL) {
    return;  // not ours (any more)
  }
  RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, entry.prog_id);
}

}  // namespace

LONG& ModuleReferences() {
  static LONG references = 0;
  return references;
}

BSTR NewBstr(std::string_view text) {
  const std::wstring wide = Utf16FromUtf8(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace telo::ado_double

using telo::ado_double::connection_factory;
using telo::ado_double::recordset_factory;

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (IsEqualGUID(clsid, telo::ado_double::kConnectionClsid)) {
    return connection_factory.QueryInterface(iid, object);
  }
  if (IsEqualGUID(clsid, telo::ado_double::kRecordsetClsid)) {
    return recordset_factory.QueryInterface(iid, object);
  }
  if (object != nullptr) *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return telo::ado_double::ModuleReferences() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  const std::wstring dll = telo::ado_double::ThisDllPath();
  for (const auto& entry : telo::ado_double::kClasses) {
    if (telo::ado_double::Register(entry, dll) != ERROR_SUCCESS) return SELFREG_E_CLASS;
  }
  return S_OK;
}

STDAPI DllUnregisterServer() {
  const std::wstring dll = telo::ado_double::ThisDllPath();
  for (const auto& entry : telo::ado_double::kClasses) telo::ado_double::Unregister(entry, dll);
  return S_OK;
}
