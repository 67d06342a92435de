// Jet SQL to SQLite: date literals, with quoted text passed through.
#include "db/sqlite/jet_sql.h"

#include <cstring>

#include "base/jet_literals.h"
#include "base/status.h"

namespace telo {
namespace {

// Where the next quoted name or text, or date literal, starts at or after
// `from`: text.size() when none does. Most statements quote nothing, and
// then only '#' is looked for. memchr scans fast, and every statement passes
// through here.
size_t NextSpecial(std::string_view text, size_t from, bool quotes) {
  size_t next = text.size();
  for (const char special : {'#', '\'', '"', '['}) {
    const void* found = std::memchr(text.data() + from, special, next - from);
    if (found != nullptr) next = static_cast<const char*>(found) - text.data();
    if (!quotes) break;
  }
  return next;
}

bool HasQuotes(std::string_view text) {
  for (const char quote : {'\'', '"', '['}) {
    if (std::memchr(text.data(), quote, text.size()) != nullptr) return true;
  }
  return false;
}

}  // namespace

// The ISO text of a date literal, appended to `iso`.
static Status AppendIsoDate(std::string_view literal, std::string* iso) {
  JetDateTime date;
  Status status = ReadJetDate(literal, &date);
  if (status.ok()) date.AppendIso(iso);
  return status;
}

Status JetDateToIso(std::string_view literal, std::string* iso) {
  iso->clear();
  return AppendIsoDate(literal, iso);
}

Status TranslateJetSql(std::string_view jet_sql, std::string* sqlite_sql) {
  std::string& out = *sqlite_sql;  // written in place, so that a caller can reuse its buffer
  out.clear();
  out.reserve(jet_sql.size() + 8);
  const bool quotes = HasQuotes(jet_sql);
  size_t pos = 0;
  while (pos < jet_sql.size()) {
    char c = jet_sql[pos];
    if (c == '\'' || c == '"' || c == '[') {
      char close = c == '[' ? ']' : c;
      size_t end = jet_sql.find(close, pos + 1);
      end = end == std::string_view::npos ? jet_sql.size() : end + 1;
      out.append(jet_sql.substr(pos, end - pos));  // a doubled quote simply reopens
      pos = end;
      continue;
    }
    if (c != '#') {
      // Plain text up to the next quote, bracket or date literal, in one piece.
      const size_t next = NextSpecial(jet_sql, pos + 1, quotes);
      out.append(jet_sql.substr(pos, next - pos));
      pos = next;
      continue;
    }
    size_t end = jet_sql.find('#', pos + 1);
    if (end == std::string_view::npos) {
      return Status::Error(error::kCommandError,
                           "A date literal is not closed with '#' in: " + std::string(jet_sql));
    }
    out += '\'';
    Status status = AppendIsoDate(jet_sql.substr(pos + 1, end - pos - 1), &out);
    if (!status.ok()) return status;
    out += '\'';
    pos = end + 1;
  }
  return Status::Ok();
}

}  // namespace telo
