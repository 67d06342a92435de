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

TEST(CliOptions, HelpHasThreeSpellingsAndNothingAtAllIsTheUsage) {
  CliOptions options;
  for (const char* help : {"--help", "-h", "/?"}) {
    ASSERT_EQ(Parse({help}, &options), "") << help;
    EXPECT_EQ(options.action, CliAction::kHelp) << help;
  }
  ASSERT_EQ(Parse({}, &options), "");
  EXPECT_EQ(options.action, CliAction::kUsage) << "a bare command shows the usage (exit 2)";
}

// The help is the platform's: Windows' names no --prefix, which it rejects.
// Each lists every exit code, 5 and the platform's retry code among them.
TEST(CliOptions, HelpIsThePlatformsOwnAndGivesEveryExitCode) {
  struct Case {
    bool prefix_available;
    int retry_later;
  };
  for (const Case c : {Case{true, 75}, Case{false, 1618}}) {
    SCOPED_TRACE(c.retry_later);
    const std::string help = CliHelp(c.prefix_available, c.retry_later);
    EXPECT_EQ(help.find("--prefix") != std::string::npos, c.prefix_available);
    EXPECT_EQ(CliUsage(c.prefix_available).find("--prefix") != std::string::npos,
              c.prefix_available);
    EXPECT_THAT(help, HasSubstr(CliUsage(c.prefix_available)));
    const std::string codes = help.substr(help.find("exit codes"));
    for (const std::string& code :
         std::vector<std::string>{"0", "1", "2", "3", "4", "5", std::to_string(c.retry_later)}) {
      EXPECT_THAT(codes, HasSubstr("\n  " + code + " ")) << code;
    }
    for (const char* option : {"--drive LETTER", "--drive auto", "--yes", "--check", "--detect",
                               "--json", "--json-lines", "--result-file PATH", "--summarize FOLDER",
                               "--csv FILE", "--html FILE", "--print-sql", "--version", "--help"}) {
      EXPECT_THAT(help, HasSubstr("\n  " + std::string(option))) << "undescribed: " << option;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1) {
      EXPECT_LE(end - start, 80u) << help.substr(start, end - start);
    }
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
           {"-h", "--help"},
           {"/?", "--drive", "c"},
           {"-?"},
           {"/h"},
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
