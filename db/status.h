// Status: the result of every call that crosses a layer (connection, desktop,
// directory change). A status is either ok (number 0) or carries a non-zero
// error number in the HRESULT style together with a message for people.
// Statuses are plain values: copy them, keep them in reports, compare them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace telo {

class Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  // `number` must not be 0; a 0 is turned into kUnspecifiedFailure.
  static Status Error(int32_t number, std::string message);

  bool ok() const { return number_ == 0; }
  int32_t number() const { return number_; }
  const std::string& message() const { return message_; }

  // "0x80004005: message", or "ok".
  std::string ToString() const;

  bool operator==(const Status&) const = default;

 private:
  Status(int32_t number, std::string message) : number_(number), message_(std::move(message)) {}

  int32_t number_ = 0;
  std::string message_;
};

// Error numbers used across the system. The values are those that Windows and
// ADO report for the same conditions, so the numbers mean the same thing on
// every platform.
namespace error {
inline constexpr int32_t kUnspecifiedFailure = static_cast<int32_t>(0x80004005);  // E_FAIL
inline constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);     // E_INVALIDARG
inline constexpr int32_t kPathNotFound = static_cast<int32_t>(0x80070003);
inline constexpr int32_t kAccessDenied = static_cast<int32_t>(0x80070005);
// ADO: "Operation is not allowed when the object is closed."
inline constexpr int32_t kConnectionClosed = static_cast<int32_t>(0x800A0E78);
// ADO: "Operation is not allowed when the object is open."
inline constexpr int32_t kConnectionOpen = static_cast<int32_t>(0x800A0E79);
// ADO: "Provider cannot be found. It may not be properly installed."
inline constexpr int32_t kProviderNotFound = static_cast<int32_t>(0x800A0E7A);
// DB_E_NOTABLE: a statement names a table that doesn't exist (ADO with Jet
// and the stand-in alike).
inline constexpr int32_t kNoSuchTable = static_cast<int32_t>(0x80040E37);
// DB_E_ERRORSINCOMMAND: a statement can't be run as written (syntax, an
// unknown column, an impossible date literal).
inline constexpr int32_t kCommandError = static_cast<int32_t>(0x80040E14);
// A table doesn't read back as the patch wrote it. Ours: a customer-defined
// HRESULT (the C bit set), so that it can't be mistaken for Windows' own.
inline constexpr int32_t kTableDiffers = static_cast<int32_t>(0xA0040001);
// No transaction is active for a commit or rollback (XACT_E_NOTRANSACTION).
inline constexpr int32_t kNoTransaction = static_cast<int32_t>(0x8004D00E);
}  // namespace error

}  // namespace telo
