// Stored literals as the VARIANTs Jet returns for their columns.
#include "testing/ado_double/jet_values.h"

#include <oleauto.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "base/jet_literals.h"
#include "base/text.h"
#include "platform/windows/utf16.h"

namespace telo::ado_double {
namespace {

// DB_E_CANTCONVERTVALUE
constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80040E07);
// Day 0 of an OLE date is 1899-12-30, 25569 days before 1970-01-01.
constexpr double kOleDateOfUnixEpoch = 25569;

Status TypeMismatch() {
  return Status::Error(kTypeMismatch, "Data type mismatch in criteria expression.");
}

bool IsNull(std::string_view literal) { return EqualsIgnoreCase(literal, "Null"); }

bool IsQuoted(std::string_view literal) {
  return literal.size() >= 2 && (literal.front() == '\'' || literal.front() == '"') &&
         literal.back() == literal.front();
}

// 'it''s' -> it's
std::string Unquoted(std::string_view literal) {
  const char quote = literal.front();
  std::string text;
  for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
    text += literal[i];
    if (literal[i] == quote && literal[i + 1] == quote) ++i;
  }
  return text;
}

void SetText(std::string_view text, VARIANT* out) {
  const std::wstring wide = Utf16FromUtf8(text);
  out->vt = VT_BSTR;
  out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// The literal as Jet reads it before storing: a date, text, or anything
// else as text for OLE Automation to parse.
void SetSource(std::string_view literal, VARIANT* out) {
  if (auto date = ParseJetDateLiteral(literal)) {
    out->vt = VT_DATE;
    out->date = kOleDateOfUnixEpoch + static_cast<double>(date->DaysSinceEpoch());
  } else if (IsQuoted(literal)) {
    SetText(Unquoted(literal), out);
  } else {
    SetText(literal, out);
  }
}

Status Convert(std::string_view literal, VARTYPE type, VARIANT* out) {
  VARIANT source;
  VariantInit(&source);
  SetSource(literal, &source);
  const HRESULT hr = VariantChangeTypeEx(out, &source, LOCALE_INVARIANT, 0, type);
  VariantClear(&source);
  return SUCCEEDED(hr) ? Status::Ok() : TypeMismatch();
}

// Brings a decimal to exactly `scale` digits after the point, as a
// DECIMAL(p,s) column stores it.
Status Rescale(int scale, DECIMAL* decimal) {
  if (decimal->scale > scale) {
    DECIMAL rounded;
    if (FAILED(VarDecRound(decimal, scale, &rounded))) return TypeMismatch();
    *decimal = rounded;
  }
  DECIMAL ten;
  VarDecFromI4(10, &ten);
  while (decimal->scale < scale) {
    DECIMAL product;
    if (FAILED(VarDecMul(decimal, &ten, &product)) || product.scale != decimal->scale) {
      return TypeMismatch();
    }
    *decimal = product;
    ++decimal->scale;
  }
  return Status::Ok();
}

VARTYPE VariantTypeOf(JetType type) {
  switch (type) {
    case JetType::kByte:
      return VT_UI1;
    case JetType::kShort:
      return VT_I2;
    case JetType::kLong:
      return VT_I4;
    case JetType::kSingle:
      return VT_R4;
    case JetType::kDouble:
      return VT_R8;
    case JetType::kCurrency:
      return VT_CY;
    case JetType::kDecimal:
      return VT_DECIMAL;
    case JetType::kDateTime:
      return VT_DATE;
    case JetType::kText:
      return VT_BSTR;
    case JetType::kBoolean:
      return VT_BOOL;
    case JetType::kUnknown:
      break;
  }
  return VT_EMPTY;
}

// An undeclared type keeps what the literal looks like.
Status Guessed(std::string_view literal, VARIANT* out) {
  if (IsPlainNumberLiteral(literal)) return Convert(literal, VT_R8, out);
  SetSource(literal, out);
  return Status::Ok();
}

}  // namespace

Status VariantFromLiteral(std::string_view literal, const JetColumnType& column, VARIANT* out) {
  VariantInit(out);
  if (IsNull(literal)) {
    out->vt = VT_NULL;
    return Status::Ok();
  }
  Status status;
  if (column.type == JetType::kUnknown) {
    status = Guessed(literal, out);
  } else if (column.type == JetType::kText && !IsQuoted(literal)) {
    SetText(literal, out);
  } else {
    status = Convert(literal, VariantTypeOf(column.type), out);
  }
  if (status.ok() && column.type == JetType::kDecimal) {
    DECIMAL value = out->decVal;  // overlays the VARIANT's type field
    status = Rescale(column.scale, &value);
    out->decVal = value;
    out->vt = VT_DECIMAL;
  }
  if (!status.ok()) VariantClear(out);
  return status;
}

}  // namespace telo::ado_double
