// ValueFromVariant: VARIANT -> telo::Value, with OLE Automation's own
// conversions for dates and anything unusual.
#include "db/ado/variant_value.h"

#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <limits>

#include "platform/windows/utf16.h"

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
  *value = DateTime{text};
  return Status::Ok();
}

// The exact digits of a DECIMAL at its scale: its 96-bit magnitude divided
// by ten, digit by digit, with the point set `scale` digits from the right.
Decimal DecimalDigits(const DECIMAL& decimal) {
  uint32_t limbs[3] = {decimal.Hi32, static_cast<uint32_t>(decimal.Lo64 >> 32),
                       static_cast<uint32_t>(decimal.Lo64)};
  std::string reversed;
  do {
    uint64_t remainder = 0;
    for (uint32_t& limb : limbs) {
      const uint64_t part = (remainder << 32) | limb;
      limb = static_cast<uint32_t>(part / 10);
      remainder = part % 10;
    }
    reversed += static_cast<char>('0' + remainder);
  } while (limbs[0] != 0 || limbs[1] != 0 || limbs[2] != 0);
  while (reversed.size() <= decimal.scale) reversed += '0';
  std::string digits(reversed.rbegin(), reversed.rend());
  if (decimal.scale > 0) digits.insert(digits.size() - decimal.scale, ".");
  if (decimal.sign & DECIMAL_NEG) digits.insert(0, "-");
  return Decimal{digits};
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
      *value = variant.fltVal;
      break;
    case VT_R8:
      *value = variant.dblVal;
      break;
    case VT_CY:
      *value = Currency{variant.cyVal.int64};
      break;
    case VT_DECIMAL:
      *value = DecimalDigits(variant.decVal);
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
