// Jet fixture files: the line format described in the header.
#include "testing/ado_double/jet_fixture.h"

#include <fstream>
#include <sstream>

#include "base/text.h"

namespace telo {
namespace {

constexpr std::string_view kSeparator = ", ";

std::string Join(const std::vector<std::string>& items) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) joined += kSeparator;
    joined += items[i];
  }
  return joined;
}

std::vector<std::string> SplitRow(std::string_view text) {
  std::vector<std::string> literals;
  for (std::size_t start = 0;;) {
    const std::size_t separator = text.find(kSeparator, start);
    literals.emplace_back(text.substr(start, separator - start));
    if (separator == std::string_view::npos) return literals;
    start = separator + kSeparator.size();
  }
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

bool EndsWithDefault(std::string_view type) {
  static constexpr std::string_view kDefault = "DEFAULT";
  return type.size() >= kDefault.size() &&
         EqualsIgnoreCase(type.substr(type.size() - kDefault.size()), kDefault);
}

// Reads the fixture line by line; `table_` is the table that lines belong to.
class FixtureParser {
 public:
  explicit FixtureParser(JetFixture* fixture) : fixture_(fixture) {}

  Status Line(std::size_t number, std::string_view line) {
    line = Trimmed(line);
    if (line.empty()) return Status::Ok();
    const std::size_t space = line.find(' ');
    const std::string_view keyword = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? "" : line.substr(space + 1);
    std::string problem;
    if (keyword == "password") {
      fixture_->password = std::string(rest);
    } else if (keyword == "table") {
      problem = Table(rest);
    } else if (keyword == "column") {
      problem = Column(rest);
    } else if (keyword == "row") {
      problem = Row(rest);
    } else if (keyword == "reject") {
      problem = Reject(rest);
    } else {
      problem = "unknown keyword '" + std::string(keyword) + "'";
    }
    if (problem.empty()) return Status::Ok();
    return Status::Error(error::kInvalidArgument,
                         "Jet fixture line " + std::to_string(number) + ": " + problem);
  }

 private:
  std::string Table(std::string_view name) {
    if (name.empty() || name.find(' ') != std::string_view::npos) return "a table needs one name";
    auto [entry, added] = fixture_->tables.try_emplace(std::string(name));
    if (!added) return "table '" + std::string(name) + "' appears twice";
    table_ = &entry->second;
    return {};
  }

  std::string Column(std::string_view text) {
    if (table_ == nullptr) return "a column outside a table";
    if (!table_->rows.empty()) return "a column after the rows";
    const std::size_t space = text.find(' ');
    const std::string_view name = text.substr(0, space);
    if (name.empty()) return "a column needs a name";
    const std::string_view type =
        space == std::string_view::npos ? "" : Trimmed(text.substr(space));
    if (!DeclaredDefault(type) && EndsWithDefault(type)) {
      return "column '" + std::string(name) + "' has DEFAULT without a value";
    }
    table_->columns.emplace_back(name);
    table_->types.emplace_back(type);
    return {};
  }

  std::string Row(std::string_view text) {
    if (table_ == nullptr) return "a row outside a table";
    std::vector<std::string> literals = SplitRow(text);
    if (literals.size() != table_->columns.size()) {
      return "a row of " + std::to_string(literals.size()) + " values for " +
             std::to_string(table_->columns.size()) + " columns";
    }
    table_->rows.push_back(std::move(literals));
    return {};
  }

  std::string Reject(std::string_view text) {
    if (table_ == nullptr) return "a rejection outside a table";
    const std::size_t space = text.find(' ');
    if (space == std::string_view::npos) return "a rejection needs a column and a value";
    table_->rejections.push_back(
        {std::string(text.substr(0, space)), std::string(Trimmed(text.substr(space)))});
    return {};
  }

  JetFixture* fixture_;
  FakeTable* table_ = nullptr;
};

}  // namespace

std::string FormatJetFixture(const JetFixture& fixture) {
  std::string text = std::string(kJetFixtureHeader) + "\n";
  if (fixture.password) text += "password " + *fixture.password + "\n";
  for (const auto& [name, table] : fixture.tables) {
    text += "table " + name + "\n";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      text += "column " + table.columns[i];
      if (i < table.types.size() && !table.types[i].empty()) text += " " + table.types[i];
      text += "\n";
    }
    for (const auto& row : table.rows) text += "row " + Join(row) + "\n";
    for (const FakeRejection& rejection : table.rejections) {
      text += "reject " + rejection.column + " " + rejection.literal + "\n";
    }
  }
  return text;
}

Status ParseJetFixture(std::string_view text, JetFixture* fixture) {
  *fixture = JetFixture{};
  const std::size_t first_end = text.find('\n');
  if (Trimmed(text.substr(0, first_end)) != kJetFixtureHeader) {
    return Status::Error(error::kInvalidArgument, "not a Jet fixture: the first line isn't '" +
                                                      std::string(kJetFixtureHeader) + "'");
  }
  FixtureParser parser(fixture);
  std::size_t number = 1;
  for (std::size_t start = first_end; start != std::string_view::npos && start < text.size();) {
    ++start;
    ++number;
    const std::size_t end = text.find('\n', start);
    if (Status line = parser.Line(number, text.substr(start, end - start)); !line.ok()) {
      *fixture = JetFixture{};
      return line;
    }
    start = end;
  }
  return Status::Ok();
}

Status WriteJetFixtureFile(const std::string& path, const JetFixture& fixture) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << FormatJetFixture(fixture);
  file.close();
  if (!file) return Status::Error(error::kAccessDenied, "can't write the Jet fixture " + path);
  return Status::Ok();
}

Status ReadJetFixtureFile(const std::string& path, JetFixture* fixture) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (!file) return Status::Error(error::kPathNotFound, "can't read the Jet fixture " + path);
  return ParseJetFixture(text.str(), fixture);
}

}  // namespace telo
