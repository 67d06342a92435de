// ValueFromVariant: one ADO field value as the portable telo::Value, typed
// the way Jet returns it. Empty and Null give no value; integer types give
// int64 (a Yes/No field gives -1 or 0, as Jet stores it); VT_R8 gives double,
// VT_R4 float, VT_CY Currency, VT_DECIMAL its exact digits at its scale;
// dates give DateTime ("YYYY-MM-DD", with " HH:MM:SS" only when the time is
// not midnight); text gives UTF-8. Any other type is converted to text by
// OLE Automation, and fails with a status when that is not possible.
#pragma once

#include <oaidl.h>

#include "base/status.h"
#include "db/connection.h"

namespace telo {

Status ValueFromVariant(const VARIANT& variant, Value* value);

}  // namespace telo
