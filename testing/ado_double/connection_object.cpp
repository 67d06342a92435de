// The double's ADODB.Connection over a JetFile.
#include "testing/ado_double/connection_object.h"

#include <string>

#include "platform/windows/utf16.h"
#include "testing/ado_double/recordset_object.h"

namespace telo::ado_double {
namespace {

using Microsoft::WRL::ComPtr;

// _Connection of ADO 2.8 and of ADO 6.0, Connection15 of both, _ADO.
constexpr GUID kConnectionIids[] = {AdoGuid(0x550),  AdoGuid(0x1550), AdoGuid(0x515),
                                    AdoGuid(0x1515), AdoGuid(0x534),  kConnectionObjectIid};

std::string Utf8(BSTR text) { return Utf8FromUtf16({text, SysStringLen(text)}); }

}  // namespace

ConnectionObject::ConnectionObject() : ComObject(kConnectionIids) {
  errors_.Attach(new ErrorsObject);
}

ConnectionObject::~ConnectionObject() = default;

ComPtr<ConnectionObject> ConnectionObject::Behind(IUnknown* active_connection) {
  ComPtr<ConnectionObject> connection;
  void* found = nullptr;
  if (active_connection != nullptr &&
      SUCCEEDED(active_connection->QueryInterface(kConnectionObjectIid, &found))) {
    connection.Attach(static_cast<ConnectionObject*>(static_cast<_ADOConnection*>(found)));
  }
  return connection;
}

HRESULT ConnectionObject::Done(const Status& status) {
  return Report(status, errors_.Get(), "ADODB.Connection");
}

HRESULT ConnectionObject::Fail(const Status& failure) { return Done(failure); }

HRESULT ConnectionObject::Select(std::string_view query, FakeSelection* rows) {
  if (!file_) return Done(ConnectionUnusable());
  return Done(file_->Select(query, rows));
}

HRESULT ConnectionObject::Open(BSTR connection_string, BSTR, BSTR, long) {
  if (file_) return Done(ObjectOpen());
  return Done(JetFile::Open(Utf8(connection_string), &file_));
}

HRESULT ConnectionObject::Execute(BSTR command_text, VARIANT* records_affected, long,
                                  _ADORecordset** records) {
  if (records != nullptr) *records = nullptr;
  if (!file_) return Done(ObjectClosed());
  long affected = 0;
  if (HRESULT hr = Done(file_->Execute(Utf8(command_text), &affected)); FAILED(hr)) return hr;
  if (records_affected != nullptr) {
    VariantClear(records_affected);
    records_affected->vt = VT_I4;
    records_affected->lVal = affected;
  }
  if (records != nullptr) *records = new RecordsetObject;  // closed: the statement returns no rows
  return S_OK;
}

HRESULT ConnectionObject::Close() {
  if (!file_) return Done(ObjectClosed());
  file_.reset();
  return S_OK;
}

HRESULT ConnectionObject::BeginTrans(long* level) {
  if (!file_) return Done(ObjectClosed());
  long new_level = 0;
  HRESULT hr = Done(file_->BeginTrans(&new_level));
  if (SUCCEEDED(hr) && level != nullptr) *level = new_level;
  return hr;
}

HRESULT ConnectionObject::CommitTrans() {
  if (!file_) return Done(ObjectClosed());
  return Done(file_->CommitTrans());
}

HRESULT ConnectionObject::RollbackTrans() {
  if (!file_) return Done(ObjectClosed());
  return Done(file_->RollbackTrans());
}

HRESULT ConnectionObject::get_State(LONG* state) {
  if (state == nullptr) return E_POINTER;
  *state = file_ ? adStateOpen : adStateClosed;
  return S_OK;
}

HRESULT ConnectionObject::get_Errors(ADOErrors** errors) {
  if (errors == nullptr) return E_POINTER;
  *errors = errors_.Get();
  errors_->AddRef();
  return S_OK;
}

}  // namespace telo::ado_double
