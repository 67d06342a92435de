// Declared Jet column types; see the header.
#include "base/jet_types.h"

#include <cctype>
#include <charconv>
#include <string>

namespace telo {
namespace {

struct TypeName {
  std::string_view name;
  JetType type;
};

constexpr TypeName kTypeNames[] = {
    {"BYTE", JetType::kByte},          {"TINYINT", JetType::kByte},
    {"SHORT", JetType::kShort},        {"SMALLINT", JetType::kShort},
    {"INTEGER2", JetType::kShort},     {"LONG", JetType::kLong},
    {"INTEGER", JetType::kLong},       {"INT", JetType::kLong},
    {"INTEGER4", JetType::kLong},      {"COUNTER", JetType::kLong},
    {"AUTOINCREMENT", JetType::kLong}, {"SINGLE", JetType::kSingle},
    {"REAL", JetType::kSingle},        {"FLOAT4", JetType::kSingle},
    {"IEEESINGLE", JetType::kSingle},  {"DOUBLE", JetType::kDouble},
    {"FLOAT", JetType::kDouble},       {"FLOAT8", JetType::kDouble},
    {"IEEEDOUBLE", JetType::kDouble},  {"NUMBER", JetType::kDouble},
    {"CURRENCY", JetType::kCurrency},  {"MONEY", JetType::kCurrency},
    {"DECIMAL", JetType::kDecimal},    {"NUMERIC", JetType::kDecimal},
    {"DEC", JetType::kDecimal},        {"DATETIME", JetType::kDateTime},
    {"DATE", JetType::kDateTime},      {"TIME", JetType::kDateTime},
    {"TIMESTAMP", JetType::kDateTime}, {"TEXT", JetType::kText},
    {"CHAR", JetType::kText},          {"VARCHAR", JetType::kText},
    {"STRING", JetType::kText},        {"MEMO", JetType::kText},
    {"LONGTEXT", JetType::kText},      {"BIT", JetType::kBoolean},
    {"YESNO", JetType::kBoolean},      {"LOGICAL", JetType::kBoolean},
    {"BOOLEAN", JetType::kBoolean},
};

// The leading word of `declared`, upper-cased into `word` (at most its size;
// a longer word is no type name); returns where the word ends.
std::size_t LeadingWord(std::string_view declared, char (&word)[16], std::size_t* length) {
  std::size_t pos = 0;
  while (pos < declared.size() && std::isspace(static_cast<unsigned char>(declared[pos]))) ++pos;
  *length = 0;
  for (; pos < declared.size() && std::isalnum(static_cast<unsigned char>(declared[pos])); ++pos) {
    if (*length < sizeof word) {
      word[(*length)++] =
          static_cast<char>(std::toupper(static_cast<unsigned char>(declared[pos])));
    }
  }
  return pos;
}

// "(p,s)" or "(p)" right after the type name, blanks allowed.
void ReadPrecisionAndScale(std::string_view rest, JetColumnType* column) {
  const std::size_t open = rest.find_first_not_of(' ');
  const std::size_t close = rest.find(')');
  if (open == std::string_view::npos || rest[open] != '(' || close == std::string_view::npos)
    return;
  std::string inside;
  for (char c : rest.substr(open + 1, close - open - 1)) {
    if (c != ' ') inside += c;
  }
  const std::size_t comma = inside.find(',');
  const std::string precision_text = inside.substr(0, comma);
  const std::string scale_text = comma == std::string::npos ? "0" : inside.substr(comma + 1);
  int precision = 0;
  int scale = 0;
  const char* p_end = precision_text.data() + precision_text.size();
  const char* s_end = scale_text.data() + scale_text.size();
  if (std::from_chars(precision_text.data(), p_end, precision).ptr != p_end ||
      std::from_chars(scale_text.data(), s_end, scale).ptr != s_end) {
    return;
  }
  if (precision < 1 || precision > 28 || scale < 0 || scale > precision) return;
  column->precision = precision;
  column->scale = scale;
}

}  // namespace

JetColumnType ParseJetColumnType(std::string_view declared) {
  char letters[16];
  std::size_t length = 0;
  const std::size_t end = LeadingWord(declared, letters, &length);
  const std::string_view word(letters, length);
  JetColumnType column;
  for (const TypeName& entry : kTypeNames) {
    if (entry.name == word) {
      column.type = entry.type;
      break;
    }
  }
  if (column.type == JetType::kDecimal) ReadPrecisionAndScale(declared.substr(end), &column);
  return column;
}

}  // namespace telo
