// Connection-string parsing by the OLE DB rules described in the header.
#include "db/connection_string.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"

namespace telo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

Status Invalid(std::string what) {
  return Status::Error(error::kInvalidArgument,
                       "The connection string is not valid: " + what + ".");
}

// Reads one value starting at text[pos] up to the next ';' outside quotes.
// On return `pos` is at the ';' or at the end.
Status ReadValue(std::string_view text, std::size_t& pos, std::string* value) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
    const char quote = text[pos++];
    value->clear();
    for (;;) {
      if (pos >= text.size()) return Invalid("a quoted value is not closed");
      if (text[pos] == quote) {
        if (pos + 1 < text.size() && text[pos + 1] == quote) {
          value->push_back(quote);
          pos += 2;
          continue;
        }
        ++pos;
        break;
      }
      value->push_back(text[pos++]);
    }
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    if (pos < text.size() && text[pos] != ';') return Invalid("text follows a quoted value");
    return Status::Ok();
  }
  const std::size_t end = std::min(text.find(';', pos), text.size());
  *value = std::string(Trim(text.substr(pos, end - pos)));
  pos = end;
  return Status::Ok();
}

}  // namespace

Status ConnectionString::Parse(std::string_view text, ConnectionString* out) {
  ConnectionString parsed;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t separator = std::min(text.find(';', pos), text.size());
    const std::size_t equals = text.find('=', pos);
    if (equals == std::string_view::npos || equals > separator) {
      const std::string_view stray = Trim(text.substr(pos, separator - pos));
      if (!stray.empty()) {
        std::string what(stray);
        what.append(" is not of the form key=value");
        return Invalid(what);
      }
      pos = separator + 1;
      continue;
    }
    const std::string_view key = Trim(text.substr(pos, equals - pos));
    if (key.empty()) return Invalid("a value has no key");
    pos = equals + 1;
    std::string value;
    Status status = ReadValue(text, pos, &value);
    if (!status.ok()) return status;
    parsed.pairs_.emplace_back(std::string(key), std::move(value));
    ++pos;  // past the ';'
  }
  parsed.provider_ = parsed.Get(kKeyProvider).value_or("");
  parsed.data_source_ = parsed.Get(kKeyDataSource).value_or("");
  if (parsed.provider_.empty()) return Invalid("it names no Provider");
  if (parsed.data_source_.empty()) return Invalid("it names no Data Source");
  *out = std::move(parsed);
  return Status::Ok();
}

std::string ConnectionString::Format(const std::vector<Pair>& pairs) {
  std::string text;
  for (const auto& [key, value] : pairs) {
    if (!text.empty()) text += ';';
    text.append(key).append("=");
    const bool plain = value.find_first_of(";\"'") == std::string_view::npos &&
                       (value.empty() || (value.front() != ' ' && value.back() != ' '));
    if (plain) {
      text.append(value);
      continue;
    }
    text += '"';
    for (char c : value) text.append(c == '"' ? 2 : 1, c);
    text += '"';
  }
  return text;
}

std::optional<std::string> ConnectionString::Get(std::string_view key) const {
  for (auto it = pairs_.rbegin(); it != pairs_.rend(); ++it) {
    if (EqualsIgnoreCase(it->first, key)) return it->second;
  }
  return std::nullopt;
}

}  // namespace telo
