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

TEST(ValueFromVariantTest, CurrencyAndScaledDecimalGiveDouble) {
  VARIANT rate = Typed(VT_R8);
  rate.dblVal = 7.1;
  EXPECT_EQ(Converted(rate), Value{7.1});
  VARIANT money = Typed(VT_CY);
  money.cyVal.int64 = 125000;  // 12.5 in units of 1/10000
  EXPECT_EQ(Converted(money), Value{12.5});
  VARIANT scaled = Typed(VT_DECIMAL);
  VarDecFromR8(7.25, &scaled.decVal);
  scaled.vt = VT_DECIMAL;  // decVal overlays vt
  EXPECT_EQ(Converted(scaled), Value{7.25});
}

TEST(ValueFromVariantTest, DecimalWithoutScaleGivesInt64WithSign) {
  VARIANT whole = Typed(VT_DECIMAL);
  VarDecFromI4(-120, &whole.decVal);
  whole.vt = VT_DECIMAL;
  EXPECT_EQ(Converted(whole), Value{int64_t{-120}});
}

TEST(ValueFromVariantTest, DatesGiveIsoTextWithTimeOnlyWhenNotMidnight) {
  EXPECT_EQ(Converted(Date(2024, 4, 1)), Value{std::string("2024-04-01")});
  EXPECT_EQ(Converted(Date(1999, 12, 31, 13, 5, 9)), Value{std::string("1999-12-31 13:05:09")});
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
