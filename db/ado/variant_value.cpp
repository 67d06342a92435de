// ValueFromVariant: VARIANT -> telo::Value, with OLE Automation's own
// conversions for currency, decimals, dates and anything unusual.
#include "db/ado/variant_value.h"

#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <limits>

#include "db/ado/utf16.h"

namespace telo {
namespace {

Status DateValue(DATE date, Value* value) {
  SYSTEMTIME time{};
  if (!VariantTimeToSystemTime(date, &time)) {
    return Status::Error(error::kInvalidArgument, "a date field is out of range");
  }
  char text[32];
  if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0) {
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
  } else {
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
  }
  *value = std::string(text);
  return Status::Ok();
}

Value DecimalValue(const DECIMAL& decimal) {
  constexpr uint64_t kInt64Max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (decimal.scale == 0 && decimal.Hi32 == 0 && decimal.Lo64 <= kInt64Max) {
    const auto magnitude = static_cast<int64_t>(decimal.Lo64);
    return (decimal.sign & DECIMAL_NEG) ? -magnitude : magnitude;
  }
  double number = 0;
  VarR8FromDec(const_cast<DECIMAL*>(&decimal), &number);  // the declaration lacks const
  return number;
}

Value UnsignedValue(uint64_t number) {
  if (number <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
    return static_cast<int64_t>(number);
  }
  return static_cast<double>(number);
}

Status TextByConversion(const VARIANT& variant, Value* value) {
  VARIANT text;
  VariantInit(&text);
  const HRESULT hr =
      VariantChangeType(&text, const_cast<VARIANT*>(&variant), VARIANT_ALPHABOOL, VT_BSTR);
  if (FAILED(hr)) {
    return Status::Error(
        static_cast<int32_t>(hr),
        "a field of variant type " + std::to_string(variant.vt) + " can't be read as a value");
  }
  *value = Utf8FromUtf16({text.bstrVal, SysStringLen(text.bstrVal)});
  VariantClear(&text);
  return Status::Ok();
}

}  // namespace

Status ValueFromVariant(const VARIANT& variant, Value* value) {
  switch (variant.vt) {
    case VT_EMPTY:
    case VT_NULL:
      *value = std::monostate{};
      break;
    case VT_BOOL:
      *value = int64_t{variant.boolVal == VARIANT_FALSE ? 0 : -1};
      break;
    case VT_I1:
      *value = int64_t{variant.cVal};
      break;
    case VT_I2:
      *value = int64_t{variant.iVal};
      break;
    case VT_I4:
      *value = int64_t{variant.lVal};
      break;
    case VT_INT:
      *value = int64_t{variant.intVal};
      break;
    case VT_I8:
      *value = int64_t{variant.llVal};
      break;
    case VT_UI1:
      *value = int64_t{variant.bVal};
      break;
    case VT_UI2:
      *value = int64_t{variant.uiVal};
      break;
    case VT_UI4:
      *value = int64_t{variant.ulVal};
      break;
    case VT_UINT:
      *value = int64_t{variant.uintVal};
      break;
    case VT_UI8:
      *value = UnsignedValue(variant.ullVal);
      break;
    case VT_R4:
      *value = double{variant.fltVal};
      break;
    case VT_R8:
      *value = variant.dblVal;
      break;
    case VT_CY: {
      double number = 0;
      VarR8FromCy(variant.cyVal, &number);
      *value = number;
      break;
    }
    case VT_DECIMAL:
      *value = DecimalValue(variant.decVal);
      break;
    case VT_DATE:
      return DateValue(variant.date, value);
    case VT_BSTR:
      *value = Utf8FromUtf16({variant.bstrVal, SysStringLen(variant.bstrVal)});
      break;
    default:
      return TextByConversion(variant, value);
  }
  return Status::Ok();
}

}  // namespace telo
