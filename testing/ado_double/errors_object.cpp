// The double's Errors collection, Error items and error reporting.
#include "testing/ado_double/errors_object.h"

#include <wrl/client.h>

#include <cstdint>

#include "platform/windows/utf16.h"

namespace telo::ado_double {
namespace {

using Microsoft::WRL::ComPtr;

constexpr GUID kErrorsIids[] = {AdoGuid(0x501), AdoGuid(0x512)};  // Errors, _Collection
constexpr GUID kErrorIids[] = {AdoGuid(0x500)};

Status AdoError(uint32_t number, std::string message) {
  return Status::Error(static_cast<int32_t>(number), std::move(message));
}

// Jet's number for each of the double's provider errors, which the Jet
// OLE DB provider gives as the Error's SQLState: by the HRESULT alone where
// it names one Jet error, else by the start of Jet's text.
struct JetNumber {
  uint32_t hresult;
  std::string_view text_start;  // empty: any text
  std::string_view number;
};

constexpr JetNumber kJetNumbers[] = {
    {0x80004005, "Could not use '", "3045"},
    {0x80004005, "You attempted to open a database that is already opened exclusively", "3356"},
    {0x80004005, "Could not find file '", "3024"},
    {0x80004005, "Unrecognized database format '", "3343"},
    {0x80004005, "The Microsoft Jet database engine cannot open the file '", "3051"},
    {0x80004005, "Could not start transaction; too many transactions already nested.", "3003"},
    {0x80004005, "Disk or network error.", "3043"},
    {0x80004005, "The changes you requested to the table were not successful", "3022"},
    {0x80040E4D, "", "3031"},  // Not a valid password.
    {0x80040E09, "", "3027"},  // Cannot update.  Database or object is read-only.
    {0x80040E07, "", "3464"},  // Data type mismatch in criteria expression.
    {0x80040E37, "", "3078"},  // ... cannot find the input table or query ...
    {0x80040E14, "The INSERT INTO statement contains the following unknown field name", "3127"},
};

// Empty for errors that are not Jet's own (ADO's, OLE DB's, the double's).
std::string_view JetNumberOf(const Status& status) {
  for (const JetNumber& known : kJetNumbers) {
    if (static_cast<int32_t>(known.hresult) == status.number() &&
        status.message().starts_with(known.text_start)) {
      return known.number;
    }
  }
  return {};
}

class ErrorObject final : public ComObject<ADOError> {
 public:
  ErrorObject(Status status, std::string source)
      : ComObject(kErrorIids), status_(std::move(status)), source_(std::move(source)) {}

  HRESULT STDMETHODCALLTYPE get_Number(long* number) override {
    if (number == nullptr) return E_POINTER;
    *number = status_.number();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Source(BSTR* source) override { return Text(source_, source); }
  HRESULT STDMETHODCALLTYPE get_Description(BSTR* text) override {
    return Text(status_.message(), text);
  }
  HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* file) override { return Text("", file); }
  HRESULT STDMETHODCALLTYPE get_HelpContext(long* context) override { return Zero(context); }
  HRESULT STDMETHODCALLTYPE get_SQLState(BSTR* state) override {
    return Text(JetNumberOf(status_), state);
  }
  HRESULT STDMETHODCALLTYPE get_NativeError(long* native) override { return Zero(native); }

 private:
  static HRESULT Text(std::string_view text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = NewBstr(text);
    return S_OK;
  }
  static HRESULT Zero(long* out) {
    if (out == nullptr) return E_POINTER;
    *out = 0;
    return S_OK;
  }

  Status status_;
  std::string source_;
};

void SetThreadErrorInfo(const Status& status, const std::string& source) {
  ComPtr<ICreateErrorInfo> create;
  ComPtr<IErrorInfo> info;
  if (FAILED(CreateErrorInfo(&create))) return;
  const std::wstring description = Utf16FromUtf8(status.message());
  const std::wstring wide_source = Utf16FromUtf8(source);
  create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
  create->SetSource(const_cast<LPOLESTR>(wide_source.c_str()));
  if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
}

}  // namespace

ErrorsObject::ErrorsObject() : ComObject(kErrorsIids) {}

void ErrorsObject::Set(const Status& failure, std::string_view source) {
  errors_.assign(1, Entry{failure, std::string(source)});
}

HRESULT ErrorsObject::get_Count(long* count) {
  if (count == nullptr) return E_POINTER;
  *count = static_cast<long>(errors_.size());
  return S_OK;
}

HRESULT ErrorsObject::get_Item(VARIANT index, ADOError** error) {
  if (error == nullptr) return E_POINTER;
  *error = nullptr;
  VARIANT number;
  VariantInit(&number);
  if (FAILED(VariantChangeType(&number, &index, 0, VT_I4)) || number.lVal < 0 ||
      static_cast<size_t>(number.lVal) >= errors_.size()) {
    return Report(ItemNotFound(), nullptr, "ADODB.Errors");
  }
  const Entry& entry = errors_[number.lVal];
  *error = new ErrorObject(entry.status, entry.source);
  return S_OK;
}

HRESULT ErrorsObject::Clear() {
  errors_.clear();
  return S_OK;
}

HRESULT Report(const Status& status, ErrorsObject* errors, std::string_view ado_object) {
  if (status.ok()) return S_OK;
  const bool ado_own = (static_cast<uint32_t>(status.number()) & 0xFFFF0000u) == 0x800A0000u;
  const std::string source(ado_own ? ado_object : kJetSource);
  if (!ado_own && errors != nullptr) errors->Set(status, source);
  SetThreadErrorInfo(status, source);
  return status.number();
}

Status ObjectClosed() {
  return AdoError(0x800A0E78, "Operation is not allowed when the object is closed.");
}
Status ObjectOpen() {
  return AdoError(0x800A0E79, "Operation is not allowed when the object is open.");
}
Status ItemNotFound() {
  return AdoError(0x800A0CC1,
                  "Item cannot be found in the collection corresponding to the requested name or "
                  "ordinal.");
}
Status NoCurrentRecord() {
  return AdoError(0x800A0BCD,
                  "Either BOF or EOF is True, or the current record has been deleted. Requested "
                  "operation requires a current record.");
}
Status WrongArguments() {
  return AdoError(0x800A0BB9,
                  "Arguments are of the wrong type, are out of acceptable range, or are in "
                  "conflict with one another.");
}
Status ConnectionUnusable() {
  return AdoError(0x800A0E7D,
                  "The connection cannot be used to perform this operation. It is either closed "
                  "or invalid in this context.");
}

}  // namespace telo::ado_double
