// ValueFromVariant: each kind of field value that Jet hands back through ADO.
#include "db/ado/variant_value.h"

#include <gtest/gtest.h>
#include <oleauto.h>

namespace telo {
namespace {

Value Converted(const VARIANT& variant) {
  Value value = std::string("unset");
  const Status status = ValueFromVariant(variant, &value);
  EXPECT_TRUE(status.ok()) << status.ToString();
  return value;
}

VARIANT Typed(VARTYPE type) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = type;
  return variant;
}

VARIANT Date(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0, WORD second = 0) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  VARIANT variant = Typed(VT_DATE);
  SystemTimeToVariantTime(&time, &variant.date);
  return variant;
}

TEST(ValueFromVariantTest, EmptyAndNullHaveNoValue) {
  EXPECT_EQ(Converted(Typed(VT_EMPTY)), Value{});
  EXPECT_EQ(Converted(Typed(VT_NULL)), Value{});
}

TEST(ValueFromVariantTest, IntegersAndYesNoGiveInt64) {
  VARIANT number = Typed(VT_I4);
  number.lVal = -846;
  EXPECT_EQ(Converted(number), Value{int64_t{-846}});
  VARIANT small = Typed(VT_UI1);
  small.bVal = 200;
  EXPECT_EQ(Converted(small), Value{int64_t{200}});
  VARIANT yes = Typed(VT_BOOL);
  yes.boolVal = VARIANT_TRUE;
  EXPECT_EQ(Converted(yes), Value{int64_t{-1}});
  VARIANT huge = Typed(VT_UI8);
  huge.ullVal = 18446744073709551615ull;
  EXPECT_EQ(Converted(huge), Value{18446744073709551615.0}) << "no wrap-around to negative";
}

// A DECIMAL built from its parts, as a provider fills it in.
VARIANT DecimalOf(uint64_t low, BYTE scale, bool negative = false, ULONG high = 0) {
  VARIANT variant;
  VariantInit(&variant);
  variant.decVal.Lo64 = low;
  variant.decVal.Hi32 = high;
  variant.decVal.scale = scale;
  variant.decVal.sign = negative ? DECIMAL_NEG : 0;
  variant.vt = VT_DECIMAL;  // decVal overlays vt
  return variant;
}

// Each numeric type keeps what its column holds: the float of a Single, the
// ten-thousandths of a Currency, a Decimal's digits at its scale.
TEST(ValueFromVariantTest, NumbersAndDatesKeepTheirJetType) {
  VARIANT rate = Typed(VT_R8);
  rate.dblVal = 7.1;
  VARIANT single = Typed(VT_R4);
  single.fltVal = 23.66f;
  VARIANT money = Typed(VT_CY);
  money.cyVal.int64 = 125000;
  struct Case {
    VARIANT variant;
    Value expected;
  } cases[] = {
      {rate, 7.1},
      {single, 23.66f},
      {money, Currency{125000}},
      {DecimalOf(23660, 3), Decimal{"23.660"}},
      {DecimalOf(120, 0, true), Decimal{"-120"}},
      {DecimalOf(5, 3), Decimal{"0.005"}},
      {DecimalOf(~0ull, 28, false, ~0ul), Decimal{"7.9228162514264337593543950335"}},
      {Date(2024, 4, 1), DateTime{"2024-04-01"}},
      {Date(1999, 12, 31, 13, 5, 9), DateTime{"1999-12-31 13:05:09"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Converted(c.variant), c.expected) << ValueText(c.expected);
  }
}

TEST(ValueFromVariantTest, TextGivesUtf8) {
  VARIANT text = Typed(VT_BSTR);
  text.bstrVal = SysAllocString(L"Rate \u20B9 7.1%");
  EXPECT_EQ(Converted(text), Value{std::string("Rate \xE2\x82\xB9 7.1%")});
  VariantClear(&text);
}

TEST(ValueFromVariantTest, UnreadableTypeFailsWithStatus) {
  VARIANT object = Typed(VT_UNKNOWN);
  object.punkVal = nullptr;
  Value value;
  EXPECT_FALSE(ValueFromVariant(object, &value).ok());
}

}  // namespace
}  // namespace telo
