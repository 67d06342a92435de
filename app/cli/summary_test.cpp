// The office summary: which result counts for each machine, the order of the
// rows, every kind of file that isn't a result, and writers that a hostile
// result file can't break out of.
#include "app/cli/summary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Result(const std::string& computer, const std::string& time, const std::string& outcome,
                   const std::string& reason = "") {
  nlohmann::ordered_json result = {
      {"schema", 1},
      {"command", "run"},
      {"outcome", outcome},
      {"exit_code", 0},
      {"machine", {{"computer", computer}, {"time", time}, {"elevated", true}}},
      {"databases",
       {{{"database", "C:\\Program Files\\Corvallo\\CVL.MDB"},
         {"outcome", outcome == "not_found" ? "failed" : outcome},
         {"reason", reason}}}},
      {"attempts", {{{"folder", "C:\\Program Files\\Corvallo\\"}, {"found", true}}}}};
  return result.dump(2);
}

// `text` with `patch` merged into it (RFC 7396).
std::string Patched(const std::string& text, const nlohmann::json& patch) {
  nlohmann::json result = nlohmann::json::parse(text);
  result.merge_patch(patch);
  return result.dump();
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

Summary Summarize(const std::vector<std::pair<std::string, std::string>>& files) {
  std::vector<SummaryRow> rows;
  for (const auto& [name, text] : files) rows.push_back(ReadResultText(name, text));
  return SummarizeRows(std::move(rows));
}

TEST(Summary, EveryKindOfNonResultIsUnreadableWithItsReason) {
  const std::string good = Result("DESK-1", "2026-12-08T16:30:00Z", "patched");
  struct Case {
    std::string text;
    std::string why;
  } cases[] = {
      {"", "empty"},
      {" \r\n", "empty"},
      {good.substr(0, good.size() / 2), "ends in the middle"},
      {good.substr(0, good.size() - 1), "ends in the middle"},
      {"{\"schema\": 1, \"outcome\": patched}", "not valid JSON at byte"},
      {std::string(good).replace(10, 1, "\x01"), "not valid JSON"},
      {"{\"name\": \"package\", \"version\": \"1.0\"}", "not a telo-cli result file"},
      {"[1, 2, 3]", "not a telo-cli result file"},
      {"{\"schema\": \"1\"}", "not a telo-cli result file"},
      {Patched(good, {{"schema", 2}}), "result format 2"},
      {Patched(good, {{"outcome", "done"}}), "\"outcome\""},
      {Patched(good, {{"machine", nullptr}}), "written with --json"},
      {Patched(good, {{"machine", {{"computer", ""}}}}), "\"computer\""},
      {Patched(good, {{"machine", {{"time", "08.12.2026 16:30"}}}}), "UTC time"},
  };
  for (const Case& c : cases) {
    const SummaryRow row = ReadResultText("x.json", c.text);
    EXPECT_EQ(row.outcome, SummaryOutcome::kUnreadable) << c.text;
    EXPECT_THAT(row.reason, HasSubstr(c.why)) << c.text;
    EXPECT_EQ(row.file, "x.json");
  }
  const SummaryRow read = ReadResultText("x.json", good);
  EXPECT_EQ(read.outcome, SummaryOutcome::kPatched);
  EXPECT_EQ(read.computer, "DESK-1");
}

TEST(Summary, NewestResultOfEachMachineCountsAndAttentionComesFirst) {
  const Summary summary = Summarize({
      {"a-old.json", Result("DESK-A", "2026-12-08T09:00:00Z", "failed", "locked")},
      {"a-new.json", Result("desk-a", "2026-12-08T10:00:00Z", "patched")},  // same machine
      // Fractions of a second: .5 is later than none, though '.' sorts before 'Z'.
      {"b1.json", Result("DESK-B", "2026-12-08T10:00:00.5Z", "in_use", "held by CVL.exe")},
      {"b2.json", Result("DESK-B", "2026-12-08T10:00:00Z", "patched")},
      // The same time twice: the greater file name wins.
      {"c1.json", Result("DESK-C", "2026-12-08T10:00:00Z", "patched")},
      {"c2.json", Result("DESK-C", "2026-12-08T10:00:00Z", "declined")},
      {"d.json", Result("DESK-D", "2026-12-08T10:00:00Z", "not_found")},
      {"e.json", Result("DESK-E", "2026-12-08T10:00:00Z", "failed", "disk full")},
      {"broken.json", "{"},
      {"f.json", Result("DESK-F", "2026-12-08T10:00:00Z", "not_up_to_date")},
      {"g.json", Result("DESK-G", "2026-12-08T10:00:00Z", "already_patched")},
  });
  std::vector<std::string> order;
  for (const SummaryRow& row : summary.rows) {
    order.push_back((row.computer.empty() ? row.file : row.computer) + " " +
                    std::string(OutcomeLabel(row.outcome)));
  }
  EXPECT_THAT(
      order, ::testing::ElementsAre("DESK-E failed", "DESK-B in use", "DESK-F not up to date",
                                    "broken.json unreadable", "DESK-C declined", "DESK-D not found",
                                    "desk-a patched", "DESK-G already patched"));
  EXPECT_EQ(summary.rows[1].reason, "held by CVL.exe");
  EXPECT_EQ(summary.files_read, 11);
  EXPECT_EQ(
      SummaryLine(summary, 0),
      "telo: summary of 8 machines: 1 patched, 1 already patched, 0 up to date, "
      "1 not up to date, 1 in use, 1 failed, 1 declined, 1 not found, 1 unreadable (exit 0)\n");
  EXPECT_EQ(
      SummaryLine(Summarize({{"a.json", Result("A", "2026-12-08T10:00:00Z", "patched")}}), 4),
      "telo: summary of 1 machine: 1 patched, 0 already patched, 0 up to date, "
      "0 not up to date, 0 in use, 0 failed, 0 declined, 0 not found, 0 unreadable (exit 4)\n");
}

TEST(Summary, ReadsTheJsonFilesOfTheFolderOnlyAndAFolderNamedLikeOneIsUnreadable) {
  const fs::path folder =
      fs::temp_directory_path() / ("telo_summary_" + std::to_string(std::random_device()()));
  fs::remove_all(folder);
  fs::create_directories(folder / "x.json");
  fs::create_directories(folder / "sub");
  const std::string name = "B\xC3\xBCro-7.JSON";  // a UTF-8 name, in upper case
  std::ofstream(folder / std::u8string(name.begin(), name.end()))
      << Result("BUERO-7", "2026-12-08T10:00:00Z", "patched");
  std::ofstream(folder / "sub" / "deep.json") << Result("DEEP", "2026-12-08T10:00:00Z", "failed");
  std::ofstream(folder / "notes.txt") << "not a result";
  std::ofstream(folder / "huge.json") << std::string(5 * 1024 * 1024, ' ');
  Summary summary;
  ASSERT_TRUE(SummarizeFolder(Utf8(folder), &summary).ok());
  ASSERT_EQ(summary.rows.size(), 3u);
  EXPECT_EQ(summary.rows[0].file, "huge.json");
  EXPECT_THAT(summary.rows[0].reason, HasSubstr("larger than 4 MB"));
  EXPECT_EQ(summary.rows[1].file, "x.json");
  EXPECT_THAT(summary.rows[1].reason, HasSubstr("a folder"));
  EXPECT_EQ(summary.rows[2].file, name);
  EXPECT_EQ(summary.rows[2].computer, "BUERO-7");
  fs::remove_all(folder);
  const Status missing = SummarizeFolder(Utf8(folder / "gone"), &summary);
  EXPECT_FALSE(missing.ok());
  EXPECT_THAT(missing.message(), HasSubstr("can't be read"));
}

TEST(Summary, CsvQuotesAndDefusesWhatTheFilesHold) {
  const Summary summary = Summarize({
      {"q.json", Result("DESK,\"Q\"", "2026-12-08T10:00:00Z", "failed", "line one\nline two")},
      {"f.json", Result("=HYPERLINK(\"http://x\")", "2026-12-08T10:00:00Z", "failed", "-2 rows")},
  });
  const std::string csv = SummaryCsv(summary);
  EXPECT_EQ(csv,
            "machine,time (UTC),outcome,databases,first reason,file\r\n"
            "\"'=HYPERLINK(\"\"http://x\"\")\",2026-12-08T10:00:00Z,failed,"
            "C:\\Program Files\\Corvallo\\CVL.MDB (failed),'-2 rows,f.json\r\n"
            "\"DESK,\"\"Q\"\"\",2026-12-08T10:00:00Z,failed,"
            "C:\\Program Files\\Corvallo\\CVL.MDB (failed),\"line one\nline two\",q.json\r\n");
  const std::string table = SummaryTable(summary);
  EXPECT_THAT(table, HasSubstr("line one line two"));
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 3);
}

// Columns line up by characters, not bytes, and a terminal escape from a file
// never reaches the console.
TEST(Summary, TableAlignsUtf8NamesAndDropsControlCharacters) {
  const std::string table = SummaryTable(Summarize({
      {"a.json", Result("B\xC3\x9CRO-\xC3\x84\xC3\x96", "2026-12-08T10:00:00Z", "patched")},
      {"b.json", Result("DESK-12345", "2026-12-08T10:00:00Z", "failed", "\x1b]0;owned\x07 no")},
  }));
  EXPECT_THAT(table, Not(HasSubstr("\x1b")));
  EXPECT_THAT(table, Not(HasSubstr("\x07")));
  std::vector<std::size_t> time_column;
  for (std::size_t line = 0; line != std::string::npos && line < table.size();) {
    const std::size_t end = table.find('\n', line);
    const std::string text = table.substr(line, end - line);
    const std::size_t bytes =
        text.find("2026-") == std::string::npos ? text.find("time") : text.find("2026-");
    time_column.push_back(bytes - std::count_if(text.begin(), text.begin() + bytes, [](char c) {
                            return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
                          }));
    line = end + 1;
  }
  EXPECT_THAT(time_column, ::testing::ElementsAre(12, 12, 12));
}

TEST(Summary, HtmlEscapesAHostileComputerNameReasonAndFileName) {
  const Summary summary = Summarize({
      {"<b>evil</b>.json", "{"},
      {"h.json", Result("<script>alert(1)</script>", "2026-12-08T10:00:00Z", "in_use",
                        "\"><img src=x onerror=alert(1)>&amp;")},
  });
  const std::string html = SummaryHtml(summary, "2026-12-08 11:00 UTC");
  EXPECT_THAT(html, Not(HasSubstr("<script")));
  EXPECT_THAT(html, Not(HasSubstr("<img")));
  EXPECT_THAT(html, Not(HasSubstr("<b>")));
  EXPECT_THAT(html, HasSubstr("&lt;script&gt;alert(1)&lt;/script&gt;"));
  EXPECT_THAT(html, HasSubstr("&quot;&gt;&lt;img src=x onerror=alert(1)&gt;&amp;amp;"));
  EXPECT_THAT(html, HasSubstr("in use"));
  EXPECT_THAT(html, HasSubstr("retry later"));
  EXPECT_THAT(html, HasSubstr("2026-12-08 11:00 UTC"));
}

}  // namespace
}  // namespace telo
