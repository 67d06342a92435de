// The ADO double's Errors collection and its Error items, and Report: how
// every failing call of the double tells its caller, the way ADO does. The
// failing HRESULT is the status's number; a provider's (Jet's) error
// replaces what the connection's Errors collection holds, while ADO's own
// errors (0x800A....) leave it alone; both set the thread's IErrorInfo. An
// Error's SQLState is Jet's error number ("3045") where the error is one of
// Jet's, as the Jet OLE DB provider gives it, else empty.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// adoint.h needs windows.h first.
// clang-format off
#include <windows.h>
#include <adoint.h>
// clang-format on

#include "base/status.h"
#include "testing/ado_double/com_object.h"

namespace telo::ado_double {

inline constexpr std::string_view kJetSource = "Microsoft JET Database Engine";

class ErrorsObject final : public ComObject<ADOErrors> {
 public:
  ErrorsObject();

  // Replaces the contents with the one error `failure`, raised by `source`.
  void Set(const Status& failure, std::string_view source);

  HRESULT STDMETHODCALLTYPE get_Count(long* count) override;
  HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, ADOError** error) override;
  HRESULT STDMETHODCALLTYPE Clear() override;
  TELO_ADO_NOT_IMPLEMENTED(_NewEnum, IUnknown**)
  TELO_ADO_NOT_IMPLEMENTED(Refresh)

 private:
  struct Entry {
    Status status;
    std::string source;
  };
  std::vector<Entry> errors_;
};

// Reports the outcome of a call of `ado_object` ("ADODB.Connection", ...):
// S_OK for an ok status, else the status's number after recording it in
// `errors` (provider errors only) and in the thread's IErrorInfo.
HRESULT Report(const Status& status, ErrorsObject* errors, std::string_view ado_object);

// ADO's own errors.
Status ObjectClosed();        // 0x800A0E78
Status ObjectOpen();          // 0x800A0E79
Status ItemNotFound();        // 0x800A0CC1
Status NoCurrentRecord();     // 0x800A0BCD
Status WrongArguments();      // 0x800A0BB9
Status ConnectionUnusable();  // 0x800A0E7D

}  // namespace telo::ado_double
