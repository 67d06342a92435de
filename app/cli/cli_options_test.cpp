// The command line must be exact: a slip may never turn into a run.
#include "app/cli/cli_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace telo {
namespace {

using ::testing::HasSubstr;

std::string Parse(std::vector<std::string> args, CliOptions* options) {
  return ParseCliOptions(args, /*prefix_available=*/true, options);
}

TEST(CliOptions, ReadsARun) {
  CliOptions options;
  ASSERT_EQ(Parse({"--drive", "c", "--yes", "--prefix", "/tmp/p"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kRun);
  EXPECT_EQ(options.drive, "c");
  EXPECT_TRUE(options.assume_yes);
  EXPECT_EQ(options.prefix, "/tmp/p");
  ASSERT_EQ(Parse({"--drive=D:"}, &options), "");
  EXPECT_EQ(options.drive, "D");
  EXPECT_FALSE(options.assume_yes);
}

TEST(CliOptions, ReadsACheck) {
  CliOptions options;
  ASSERT_EQ(Parse({"--check", "--drive", "c", "--json"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kCheck);
  EXPECT_TRUE(options.json);
  ASSERT_EQ(Parse({"--drive", "c", "--yes", "--json"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kRun);
}

TEST(CliOptions, ReadsTheUnattendedOptions) {
  CliOptions options;
  ASSERT_EQ(
      Parse({"--drive", "auto", "--yes", "--result-file", "\\\\srv\\r$\\PC1.json", "--json-lines"},
            &options),
      "");
  EXPECT_EQ(options.action, CliAction::kRun);
  EXPECT_TRUE(options.every_fixed_drive);
  EXPECT_EQ(options.drive, "");
  EXPECT_EQ(options.result_file, "\\\\srv\\r$\\PC1.json");
  EXPECT_TRUE(options.json && options.json_lines);
  ASSERT_EQ(Parse({"--detect", "--drive=auto", "--result-file=r.json"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kDetect);
  EXPECT_TRUE(options.every_fixed_drive);
  ASSERT_EQ(Parse({"--check", "--drive", "c", "--json-lines"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kCheck);
  EXPECT_FALSE(options.every_fixed_drive);
}

TEST(CliOptions, ReadsTheOtherActions) {
  CliOptions options;
  ASSERT_EQ(Parse({"--print-sql"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kPrintSql);
  ASSERT_EQ(Parse({"--version"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kVersion);
  ASSERT_EQ(Parse({"--help"}, &options), "");
  EXPECT_EQ(options.action, CliAction::kHelp);
  ASSERT_EQ(Parse({"--html=o.html", "--summarize", "//srv/results", "--csv", "o.csv"}, &options),
            "");
  EXPECT_EQ(options.action, CliAction::kSummarize);
  EXPECT_EQ(options.summarize_folder, "//srv/results");
  EXPECT_EQ(options.csv_file, "o.csv");
  EXPECT_EQ(options.html_file, "o.html");
}

TEST(CliOptions, HelpComesAnyWayItIsAskedForAndNamesOnlyWhatThePlatformHas) {
  CliOptions options;
  for (const char* ask : {"--help", "-h", "/?"}) {
    ASSERT_EQ(Parse({ask}, &options), "") << ask;
    EXPECT_EQ(options.action, CliAction::kHelp);
  }
  const std::string windows = CliUsage(1618, /*prefix_available=*/false);
  const std::string linux = CliUsage(75, /*prefix_available=*/true);
  EXPECT_EQ(windows.find("--prefix"), std::string::npos);
  EXPECT_THAT(linux, HasSubstr("--prefix DIR"));
  EXPECT_THAT(windows, HasSubstr("\n  1618  every database that failed"));
  EXPECT_THAT(linux, HasSubstr("\n  75    every database that failed"));
  for (const char* code : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  5 "}) {
    EXPECT_THAT(windows, HasSubstr(code));
  }
}

TEST(CliOptions, PrefixIsAUsageErrorWhereDrivesAreTheMachinesOwn) {
  CliOptions options;
  for (std::vector<std::string> args :
       std::vector<std::vector<std::string>>{{"--drive", "c", "--prefix", "/tmp/p"},
                                             {"--prefix=/tmp/p", "--check", "--drive", "c"}}) {
    EXPECT_EQ(ParseCliOptions(args, true, &options), "");
    EXPECT_THAT(ParseCliOptions(args, false, &options), HasSubstr("--prefix"));
  }
}

TEST(CliOptions, RejectsAnythingInexact) {
  CliOptions options;
  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {},
           {"--driv", "c", "--yes"},
           {"--drive", "c", "--ye"},
           {"--drive", "c", "-y"},
           {"--drive", "c", "extra"},
           {"--drive"},
           {"--drive", "cc"},
           {"--drive", "1"},
           {"--drive", "c", "--drive", "d"},
           {"--yes"},
           {"--print-sql", "--yes"},
           {"--print-sql", "--drive", "c"},
           {"--version", "--version"},
           {"--prefix="},
           {"--check"},
           {"--check", "--drive", "c", "--yes"},
           {"--check", "--check", "--drive", "c"},
           {"--json"},
           {"--print-sql", "--json"},
           // Every repeated option is a slip, even one that would agree.
           {"--drive", "c", "--yes", "--prefix", "/a", "--prefix", "/b"},
           {"--drive", "c", "--yes", "--prefix=/a", "--prefix=/a"},
           {"--drive", "c", "--yes", "--yes"},
           {"--drive=c", "--json", "--json"},
           {"--summarize"},
           {"--summarize="},
           {"--summarize", "d", "--yes"},
           {"--summarize", "d", "--drive", "c"},
           {"--summarize", "d", "--json"},
           {"--summarize", "d", "--summarize", "e"},
           {"--summarize", "d", "--csv", "a", "--csv", "b"},
           {"--summarize", "d", "--csv", "a", "--html", "a"},
           {"--summarize", "d", "--html"},
           {"--csv", "a"},
           {"--drive", "c", "--yes", "--html", "a"},
           {"--drive", "Auto"},
           {"--drive", "auto", "--drive", "c"},
           {"--detect"},
           {"--detect", "--check", "--drive", "c"},
           {"--detect", "--drive", "c", "--yes"},
           {"--detect", "--drive", "c", "--json"},
           {"--drive", "c", "--json", "--json-lines"},
           {"--drive", "c", "--result-file"},
           {"--drive", "c", "--result-file="},
           {"--summarize", "d", "--result-file", "r.json"},
           {"--result-file", "r.json"},
       }) {
    std::string joined;
    for (const std::string& arg : bad) joined += arg + " ";
    EXPECT_NE(Parse(bad, &options), "") << joined;
  }
}

}  // namespace
}  // namespace telo
