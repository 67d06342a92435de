// ConnectionObject: the ADO double's ADODB.Connection. Open, Execute,
// Close, BeginTrans, CommitTrans, RollbackTrans, State and Errors behave as
// ADO 2.8 over the Jet OLE DB 4.0 provider, on a Jet fixture file
// (testing/ado_double/jet_file.h); every other member returns E_NOTIMPL. It
// answers to _Connection (both IIDs), Connection15, _ADO, IDispatch and
// IUnknown, and to kConnectionObjectIid, through which the double's
// Recordset finds it behind an ActiveConnection. Destroying it closes it.
#pragma once

#include <wrl/client.h>

#include <memory>
#include <string_view>

// adoint.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <adoint.h>
// clang-format on

#include "testing/ado_double/com_object.h"
#include "testing/ado_double/errors_object.h"
#include "testing/ado_double/jet_file.h"

namespace telo::ado_double {

// {D545B865-8D4B-432D-8E3E-4DAE46CF2876}: private to the double.
inline constexpr GUID kConnectionObjectIid = {
    0xd545b865, 0x8d4b, 0x432d, {0x8e, 0x3e, 0x4d, 0xae, 0x46, 0xcf, 0x28, 0x76}};

class ConnectionObject final : public ComObject<_ADOConnection> {
 public:
  ConnectionObject();
  ~ConnectionObject() override;

  // The double's connection behind `active_connection`, or null.
  static Microsoft::WRL::ComPtr<ConnectionObject> Behind(IUnknown* active_connection);
  // For the double's Recordset: reads with this connection's uncommitted
  // writes, and reports a failure in this connection's Errors.
  HRESULT Select(std::string_view query, FakeSelection* rows);
  HRESULT Fail(const Status& failure);

  HRESULT STDMETHODCALLTYPE Open(BSTR connection_string, BSTR user, BSTR password,
                                 long options) override;
  HRESULT STDMETHODCALLTYPE Execute(BSTR command_text, VARIANT* records_affected, long options,
                                    _ADORecordset** records) override;
  HRESULT STDMETHODCALLTYPE Close() override;
  HRESULT STDMETHODCALLTYPE BeginTrans(long* level) override;
  HRESULT STDMETHODCALLTYPE CommitTrans() override;
  HRESULT STDMETHODCALLTYPE RollbackTrans() override;
  HRESULT STDMETHODCALLTYPE get_State(LONG* state) override;
  HRESULT STDMETHODCALLTYPE get_Errors(ADOErrors** errors) override;

  TELO_ADO_NOT_IMPLEMENTED(get_Properties, ADOProperties**)
  TELO_ADO_NOT_IMPLEMENTED(get_ConnectionString, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(put_ConnectionString, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(get_CommandTimeout, LONG*)
  TELO_ADO_NOT_IMPLEMENTED(put_CommandTimeout, LONG)
  TELO_ADO_NOT_IMPLEMENTED(get_ConnectionTimeout, LONG*)
  TELO_ADO_NOT_IMPLEMENTED(put_ConnectionTimeout, LONG)
  TELO_ADO_NOT_IMPLEMENTED(get_Version, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(get_DefaultDatabase, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(put_DefaultDatabase, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(get_IsolationLevel, IsolationLevelEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_IsolationLevel, IsolationLevelEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_Attributes, long*)
  TELO_ADO_NOT_IMPLEMENTED(put_Attributes, long)
  TELO_ADO_NOT_IMPLEMENTED(get_CursorLocation, CursorLocationEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_CursorLocation, CursorLocationEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_Mode, ConnectModeEnum*)
  TELO_ADO_NOT_IMPLEMENTED(put_Mode, ConnectModeEnum)
  TELO_ADO_NOT_IMPLEMENTED(get_Provider, BSTR*)
  TELO_ADO_NOT_IMPLEMENTED(put_Provider, BSTR)
  TELO_ADO_NOT_IMPLEMENTED(OpenSchema, SchemaEnum, VARIANT, VARIANT, _ADORecordset**)
  TELO_ADO_NOT_IMPLEMENTED(Cancel)

 private:
  HRESULT Done(const Status& status);

  std::unique_ptr<JetFile> file_;  // null while closed
  Microsoft::WRL::ComPtr<ErrorsObject> errors_;
};

}  // namespace telo::ado_double
