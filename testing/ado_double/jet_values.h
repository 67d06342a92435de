// VariantFromLiteral: the VARIANT that Jet hands back for a value that a
// statement wrote as `literal` into a column of declared type `column`:
// BYTE VT_UI1, SHORT VT_I2, LONG VT_I4, SINGLE VT_R4, DOUBLE VT_R8, CURRENCY
// VT_CY, DECIMAL(p,s) VT_DECIMAL at scale s, DATETIME VT_DATE, TEXT VT_BSTR,
// BIT VT_BOOL, and Null VT_NULL in any column. Numbers are converted by OLE
// Automation in the invariant locale (so "1543.3" in a LONG is 1543), dates
// from #mm/dd/yyyy#, text from '...' or "...". A literal that the type can't
// hold fails as Jet's "Data type mismatch" (0x80040E07). `out` must be
// uninitialised or cleared; the caller clears it after use.
#pragma once

#include <oaidl.h>

#include <string_view>

#include "base/jet_types.h"
#include "base/status.h"

namespace telo::ado_double {

Status VariantFromLiteral(std::string_view literal, const JetColumnType& column, VARIANT* out);

}  // namespace telo::ado_double
