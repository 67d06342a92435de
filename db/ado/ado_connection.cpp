// AdoConnection: telo::Connection over ADODB.Connection's vtable (Wine's ADO
// does not resolve IDispatch names, so no late binding).
//
// adoint.h declares the backward-compatible _Connection {00000550-...}, which
// every ADO since 2.x answers to, only for targets before Windows 8: this file
// stays below that even when the build targets a later Windows.
#if !defined(NTDDI_VERSION) || NTDDI_VERSION >= 0x06020000
#undef NTDDI_VERSION
#define NTDDI_VERSION 0x06010000
#endif

#include "db/ado/ado_connection.h"

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/ado/variant_value.h"
#include "db/connection_string.h"
#include "db/jet_errors.h"
#include "platform/windows/utf16.h"
#include "platform/windows/windows_error.h"

// Order matters: with initguid.h first, adoid.h defines the ADO GUIDs here.
// clang-format off
#include <initguid.h>
#include <adoid.h>
#include <adoint.h>
// clang-format on

namespace telo {
namespace {

using Microsoft::WRL::ComPtr;

constexpr std::string_view kClosedText = "Operation is not allowed when the object is closed.";
constexpr std::string_view kOpenText = "Operation is not allowed when the object is open.";
constexpr std::string_view kProviderText =
    "Provider cannot be found. It may not be properly installed.";

// An owned BSTR: made from UTF-8 text, or filled in by a COM call through out().
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view text) {
    const std::wstring wide = Utf16FromUtf8(text);
    bstr_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  ~Bstr() { SysFreeString(bstr_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return bstr_; }
  BSTR* out() {
    SysFreeString(bstr_);
    bstr_ = nullptr;
    return &bstr_;
  }
  std::string Utf8() const { return Utf8FromUtf16({bstr_, SysStringLen(bstr_)}); }
  // Hands the string over to a new owner.
  BSTR Release() { return std::exchange(bstr_, nullptr); }

 private:
  BSTR bstr_ = nullptr;
};

// An owned VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&variant_); }
  ~Variant() { VariantClear(&variant_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT& get() { return variant_; }
  VARIANT* out() {
    VariantClear(&variant_);
    return &variant_;
  }

 private:
  VARIANT variant_;
};

// A collection index, passed by value and owning nothing.
VARIANT IndexVariant(long index) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_I4;
  variant.lVal = index;
  return variant;
}

void AppendSentence(std::string* text, const std::string& sentence) {
  if (sentence.empty()) return;
  if (!text->empty()) *text += "; ";
  *text += sentence;
}

bool IsAdoOwnNumber(long number) {
  return (static_cast<uint32_t>(number) & 0xFFFF0000u) == 0x800A0000u;
}

// What the connection's Errors collection says about the last failure.
struct ProviderErrors {
  std::string description;  // every Error's, joined
  bool in_use = false;      // a provider's Error has one of Jet's in-use numbers
};

// Whether a provider's Error has one of Jet's in-use numbers as its
// SQLState. ADO's own errors (0x800A....) are not Jet's and are passed over.
bool HasInUseState(ADOError* error) {
  long number = 0;
  Bstr state;
  return SUCCEEDED(error->get_Number(&number)) && !IsAdoOwnNumber(number) &&
         SUCCEEDED(error->get_SQLState(state.out())) && IsJetInUseState(state.Utf8());
}

ProviderErrors ReadErrors(_ADOConnection* connection) {
  ProviderErrors read;
  ComPtr<ADOErrors> errors;
  if (FAILED(connection->get_Errors(&errors)) || !errors) return read;
  long count = 0;
  if (FAILED(errors->get_Count(&count))) return read;
  for (long i = 0; i < count; ++i) {
    ComPtr<ADOError> error;
    if (FAILED(errors->get_Item(IndexVariant(i), &error)) || !error) continue;
    Bstr description;
    if (SUCCEEDED(error->get_Description(description.out()))) {
      AppendSentence(&read.description, description.Utf8());
    }
    if (HasInUseState(error.Get())) read.in_use = true;
  }
  return read;
}

// The thread's COM error object, which ADO sets for errors of its own.
std::string ErrorInfoDescription() {
  ComPtr<IErrorInfo> info;
  Bstr description;
  if (GetErrorInfo(0, &info) != S_OK || !info || FAILED(info->GetDescription(description.out()))) {
    return {};
  }
  return description.Utf8();
}

bool IsMissingProvider(HRESULT hr) {
  return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG ||
         hr == static_cast<HRESULT>(error::kProviderNotFound);
}

// ADO's own text for the numbers it raises itself, for ADOs (such as Wine's)
// that leave the description empty.
std::string KnownDescription(HRESULT hr) {
  switch (static_cast<int32_t>(hr)) {
    case error::kConnectionClosed:
      return std::string(kClosedText);
    case error::kConnectionOpen:
      return std::string(kOpenText);
    default:
      return {};
  }
}

std::string ProviderDescription(std::string_view connection_string) {
  std::string text(kProviderText);
  ConnectionString parsed;
  if (ConnectionString::Parse(connection_string, &parsed).ok()) {
    text += " (Provider=" + parsed.provider() + ")";
  }
  return text;
}

class AdoConnection final : public Connection {
 public:
  Status Open(std::string_view connection_string, std::string_view user, std::string_view password,
              int options) override;
  Status Execute(std::string_view command_text) override;
  Status Query(std::string_view command_text, Rows* result) override;
  Status Close() override;
  Status BeginTrans() override;
  Status CommitTrans() override;
  Status RollbackTrans() override;
  // Jet's transactions group writes; other programs' commits still show.
  bool ReadsAreIsolated() const override { return false; }

 private:
  Status Create();
  Status RequireOpen();
  void ClearErrors();
  Status Failure(HRESULT hr, std::string fallback = {});
  Status ReadRows(_ADORecordset* recordset, Rows* result);

  ComPtr<_ADOConnection> connection_;
  int transaction_levels_ = 0;
};

Status AdoConnection::Create() {
  if (connection_) return Status::Ok();
  const HRESULT hr = CoCreateInstance(CLSID_CADOConnection, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IADOConnection, &connection_);
  if (FAILED(hr)) {
    connection_.Reset();
    return Status::Error(static_cast<int32_t>(hr), "ADODB.Connection can't be created: " +
                                                       WindowsErrorText(static_cast<DWORD>(hr)));
  }
  return Status::Ok();
}

Status AdoConnection::RequireOpen() {
  LONG state = adStateClosed;
  const HRESULT hr = connection_->get_State(&state);
  if (FAILED(hr)) return Failure(hr);
  if ((state & adStateOpen) == 0) {
    return Status::Error(error::kConnectionClosed, std::string(kClosedText));
  }
  return Status::Ok();
}

// Forgets the errors of earlier calls, so that a failure reports its own.
void AdoConnection::ClearErrors() {
  SetErrorInfo(0, nullptr);
  ComPtr<ADOErrors> errors;
  if (SUCCEEDED(connection_->get_Errors(&errors)) && errors) errors->Clear();
}

// The status for a failed call: ADO's descriptions of it, else `fallback`,
// else what Windows knows about the number. Jet reports a database that
// another program holds as E_FAIL like most of its failures; its number in
// the Errors collection makes the status kDatabaseInUse, Jet's text kept.
Status AdoConnection::Failure(HRESULT hr, std::string fallback) {
  ProviderErrors errors = ReadErrors(connection_.Get());
  std::string description = std::move(errors.description);
  if (description.empty()) description = ErrorInfoDescription();
  if (description.empty()) description = KnownDescription(hr);
  if (description.empty()) description = std::move(fallback);
  if (description.empty()) description = WindowsErrorText(static_cast<DWORD>(hr));
  if (description.empty()) description = "ADO call failed";
  const int32_t number = errors.in_use ? error::kDatabaseInUse : static_cast<int32_t>(hr);
  return Status::Error(number, std::move(description));
}

Status AdoConnection::Open(std::string_view connection_string, std::string_view user,
                           std::string_view password, int options) {
  if (Status created = Create(); !created.ok()) return created;
  ClearErrors();
  const Bstr text(connection_string), user_id(user), secret(password);
  const HRESULT hr = connection_->Open(text.get(), user_id.get(), secret.get(), options);
  if (FAILED(hr)) {
    return Failure(hr, IsMissingProvider(hr) ? ProviderDescription(connection_string) : "");
  }
  transaction_levels_ = 0;
  return Status::Ok();
}

Status AdoConnection::Execute(std::string_view command_text) {
  if (Status created = Create(); !created.ok()) return created;
  ClearErrors();
  const Bstr text(command_text);
  ComPtr<_ADORecordset> records;  // released unread
  const HRESULT hr = connection_->Execute(text.get(), nullptr, kAdoUnspecified, &records);
  return FAILED(hr) ? Failure(hr) : Status::Ok();
}

Status AdoConnection::Query(std::string_view command_text, Rows* result) {
  result->columns.clear();
  result->cells.clear();
  if (Status created = Create(); !created.ok()) return created;
  if (Status open = RequireOpen(); !open.ok()) return open;
  ComPtr<_ADORecordset> recordset;
  HRESULT hr = CoCreateInstance(CLSID_CADORecordset, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IADORecordset, &recordset);
  if (FAILED(hr)) {
    return Status::Error(static_cast<int32_t>(hr), "ADODB.Recordset can't be created: " +
                                                       WindowsErrorText(static_cast<DWORD>(hr)));
  }
  Variant source, active_connection;
  source.get().vt = VT_BSTR;
  source.get().bstrVal = Bstr(command_text).Release();
  active_connection.get().vt = VT_DISPATCH;
  active_connection.get().pdispVal = connection_.Get();
  connection_->AddRef();
  ClearErrors();
  hr = recordset->Open(source.get(), active_connection.get(), adOpenForwardOnly, adLockReadOnly,
                       adCmdText);
  if (FAILED(hr)) return Failure(hr);
  Status read = ReadRows(recordset.Get(), result);
  recordset->Close();
  return read;
}

Status AdoConnection::ReadRows(_ADORecordset* recordset, Rows* result) {
  ComPtr<ADOFields> fields;
  long count = 0;
  HRESULT hr = recordset->get_Fields(&fields);
  if (SUCCEEDED(hr)) hr = fields->get_Count(&count);
  if (FAILED(hr)) return Failure(hr);
  std::vector<ComPtr<ADOField>> columns(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    Bstr name;
    hr = fields->get_Item(IndexVariant(i), &columns[i]);
    if (SUCCEEDED(hr)) hr = columns[i]->get_Name(name.out());
    if (FAILED(hr)) return Failure(hr);
    result->columns.push_back(name.Utf8());
  }
  VARIANT_BOOL at_end = VARIANT_FALSE;
  for (hr = recordset->get_EOF(&at_end); SUCCEEDED(hr) && at_end == VARIANT_FALSE;
       hr = recordset->get_EOF(&at_end)) {
    for (const ComPtr<ADOField>& column : columns) {
      Variant value;
      hr = column->get_Value(value.out());
      if (FAILED(hr)) return Failure(hr);
      Value& cell = result->cells.emplace_back();
      if (Status converted = ValueFromVariant(value.get(), &cell); !converted.ok()) {
        return converted;
      }
    }
    hr = recordset->MoveNext();
    if (FAILED(hr)) break;
  }
  return FAILED(hr) ? Failure(hr) : Status::Ok();
}

Status AdoConnection::Close() {
  if (Status created = Create(); !created.ok()) return created;
  for (; transaction_levels_ > 0; --transaction_levels_) connection_->RollbackTrans();
  ClearErrors();
  const HRESULT hr = connection_->Close();
  return FAILED(hr) ? Failure(hr) : Status::Ok();
}

Status AdoConnection::BeginTrans() {
  if (Status created = Create(); !created.ok()) return created;
  if (Status open = RequireOpen(); !open.ok()) return open;
  ClearErrors();
  long level = 0;
  const HRESULT hr = connection_->BeginTrans(&level);
  if (FAILED(hr)) return Failure(hr);
  ++transaction_levels_;
  return Status::Ok();
}

Status AdoConnection::CommitTrans() {
  if (Status created = Create(); !created.ok()) return created;
  if (Status open = RequireOpen(); !open.ok()) return open;
  ClearErrors();
  const HRESULT hr = connection_->CommitTrans();
  if (FAILED(hr)) return Failure(hr);
  if (transaction_levels_ > 0) --transaction_levels_;
  return Status::Ok();
}

Status AdoConnection::RollbackTrans() {
  if (Status created = Create(); !created.ok()) return created;
  if (Status open = RequireOpen(); !open.ok()) return open;
  ClearErrors();
  const HRESULT hr = connection_->RollbackTrans();
  if (FAILED(hr)) return Failure(hr);
  if (transaction_levels_ > 0) --transaction_levels_;
  return Status::Ok();
}

}  // namespace

std::unique_ptr<Connection> NewAdoConnection() { return std::make_unique<AdoConnection>(); }

}  // namespace telo
