// Status: construction and formatting.
#include "base/status.h"

#include <cstdio>

namespace telo {

Status Status::Error(int32_t number, std::string message) {
  if (number == 0) number = error::kUnspecifiedFailure;
  return Status(number, std::move(message));
}

bool Status::IsNotFound() const {
  return number_ == error::kFileNotFound || number_ == error::kPathNotFound;
}

bool Status::IsAccessDenied() const { return number_ == error::kAccessDenied; }
bool Status::IsAmbiguousName() const { return number_ == error::kAmbiguousName; }
bool Status::IsInUse() const { return number_ == error::kDatabaseInUse; }
bool Status::IsNoSuchTable() const { return number_ == error::kNoSuchTable; }

std::string Status::ToString() const {
  if (ok()) return "ok";
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(number_));
  if (message_.empty()) return hex;
  return std::string(hex) + ": " + message_;
}

}  // namespace telo
