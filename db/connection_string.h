// Connection strings in the OLE DB form: "key=value" pairs separated by ';'.
// Keys are case-insensitive and trimmed; values are trimmed and may be quoted
// with '"' or '\'' (a doubled quote inside stands for one). When a key occurs
// more than once the last value wins. Parsing never throws: it returns a
// status. Format writes what Parse reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/status.h"

namespace telo {

inline constexpr std::string_view kJetProvider = "Microsoft.Jet.OLEDB.4.0";
inline constexpr std::string_view kKeyProvider = "Provider";
inline constexpr std::string_view kKeyDataSource = "Data Source";
inline constexpr std::string_view kKeyDatabasePassword = "Jet OLEDB:Database Password";
inline constexpr std::string_view kKeyMode = "Mode";
inline constexpr std::string_view kModeRead = "Read";

class ConnectionString {
 public:
  using Pair = std::pair<std::string_view, std::string_view>;

  // "key=value" pairs joined by ';'. A value that would not read back as
  // written (it holds a ';' or a quote, or starts or ends with a blank) is
  // quoted with '"', a '"' inside it doubled, so Parse gives it back exactly.
  static std::string Format(const std::vector<Pair>& pairs);

  // Fails unless both Provider and Data Source are present and non-empty.
  static Status Parse(std::string_view text, ConnectionString* out);

  // The value of `key` (any case), if present.
  std::optional<std::string> Get(std::string_view key) const;

  const std::string& provider() const { return provider_; }
  const std::string& data_source() const { return data_source_; }

 private:
  std::vector<std::pair<std::string, std::string>> pairs_;
  std::string provider_;
  std::string data_source_;
};

}  // namespace telo
