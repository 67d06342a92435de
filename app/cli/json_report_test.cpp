// The JSON reports parse with a real JSON parser and carry what a rollout
// script needs.
#include "app/cli/json_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/update_run.h"
#include "patch/sequence.h"
#include "testing/fake_connection.h"
#include "testing/fake_desktop.h"
#include "testing/fake_env.h"
#include "testing/fault_injection_connection.h"

namespace telo {
namespace {

using nlohmann::json;

TEST(JsonReport, RunReportHoldsEveryFolderDatabaseAndProcedure) {
  FakeDesktop desktop;
  FakeEnv env;
  env.existing_folders = {"C:\\Program Files\\Corvallo\\"};
  FakeDatabase database;
  FaultInjection injection;
  injection.faults.fail_execute_containing = "Delete From SCSS_Configuration";
  ConnectionSlot cnMain(injection.Wrap(database.Factory()));
  const RunReport report = RunUpdate('C', desktop, env, cnMain);

  const std::string text = RunReportJson(report, 1);
  const json document = json::parse(text);
  // Schema 1: these keys first, in this order, for tools that read them.
  std::vector<std::string> keys;
  const nlohmann::ordered_json in_order = nlohmann::ordered_json::parse(text);
  for (const auto& item : in_order.items()) keys.push_back(item.key());
  const std::vector<std::string> head = {"schema",    "command", "outcome",
                                         "exit_code", "version", "patch_checksum",
                                         "drive",     "drives",  "databases"};
  ASSERT_GE(keys.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + head.size()), head);
  EXPECT_EQ(document["schema"], 1);
  EXPECT_EQ(document["outcome"], "failed");
  EXPECT_EQ(document["databases"][0]["outcome"], "failed");
  EXPECT_EQ(document["databases"][0]["reason"],
            "UpdateSCSSConfiguration: injected failure: Delete From SCSS_Configuration");
  EXPECT_EQ(document["command"], "run");
  EXPECT_EQ(document["version"], std::string(kProgramVersion));
  EXPECT_EQ(document["patch_checksum"], PatchChecksum());
  EXPECT_EQ(document["drive"], "C");
  EXPECT_EQ(document["exit_code"], 1);
  EXPECT_EQ(document["succeeded"], false);
  ASSERT_EQ(document["attempts"].size(), 2u);
  const json& found = document["attempts"][0];
  EXPECT_EQ(found["folder"], "C:\\Program Files\\Corvallo\\");
  EXPECT_EQ(found["found"], true);
  EXPECT_EQ(found["open"]["ok"], true);
  ASSERT_EQ(found["procedures"].size(), 12u);
  const json& failed = found["procedures"][9];
  EXPECT_EQ(failed["name"], "UpdateSCSSConfiguration");
  EXPECT_EQ(failed["ok"], false);
  EXPECT_EQ(failed["failed_step"], "statement");
  EXPECT_EQ(failed["failed_position"], 1);
  EXPECT_EQ(failed["failed_statement"], "Delete From SCSS_Configuration");
  EXPECT_EQ(failed["error"], kInjectedFailure);
  EXPECT_EQ(failed["error_hex"], "0x80040E14");
  EXPECT_EQ(found["commit"]["ok"], true);
  EXPECT_EQ(found["verification"].size(), 12u) << "every committed table is read back";
  // The empty fake has no row for the update of SB_Configuration: a warning.
  EXPECT_EQ(found["verification"][0]["table"], "SB_Configuration");
  EXPECT_EQ(found["verification"][0]["state"], "no_row_to_update");
  EXPECT_EQ(found["verification"][0]["detail"], "no row to update");
  EXPECT_EQ(found["verification"][2]["state"], "up_to_date");
  EXPECT_EQ(document["attempts"][1]["found"], false);
}

TEST(JsonReport, CheckReportHoldsEachTableState) {
  CheckReport report;
  report.drives = 'd';
  CheckAttempt attempt;
  attempt.folder = "d:\\Program Files\\Corvallo\\";
  attempt.database = attempt.folder + "CVL.MDB";
  attempt.folder_found = true;
  attempt.open_attempted = true;
  attempt.tables = {
      {"RD_Configuration", TableState::kDiffers, "9 rows where the patch writes 10", {}},
      {"SCSS_Configuration", TableState::kMissing, "", Status::Error(5, "no such table")},
      // A cell quoted from the database in Latin-1 once made the writer throw.
      {"PPF_Configuration",
       TableState::kDiffers,
       "row (D\xE9p\xF4t) where the patch writes (1)",
       {}}};
  CheckAttempt unenterable;
  unenterable.folder = "d:\\Program Files (x86)\\Corvallo\\";
  unenterable.probe = Status::Error(error::kAccessDenied,
                                    "can't be entered: /pr\xE9"
                                    "fix");
  CheckAttempt changed = attempt;
  changed.tables.clear();
  changed.changed_during_check = true;
  report.attempts = {attempt, unenterable, changed};

  const std::string text = CheckReportJson(report, 1, JsonLayout::kOneLine);
  EXPECT_EQ(text.find('\n'), text.size() - 1) << "--json-lines: one line";
  const json document = json::parse(text);
  EXPECT_EQ(document["command"], "check");
  EXPECT_EQ(document["drive"], "D") << "upper case, whatever the command line said";
  EXPECT_EQ(document["outcome"], "failed");
  EXPECT_EQ(document["up_to_date"], false);
  const json& tables = document["attempts"][0]["tables"];
  EXPECT_EQ(tables[0]["state"], "differs");
  EXPECT_EQ(tables[0]["detail"], "9 rows where the patch writes 10");
  EXPECT_EQ(tables[1]["state"], "missing");
  EXPECT_EQ(tables[1]["message"], "no such table");
  EXPECT_EQ(tables[2]["detail"], "row (D\uFFFDp\uFFFDt) where the patch writes (1)");
  const json& probe = document["attempts"][1]["probe"];
  EXPECT_EQ(probe["error"], error::kAccessDenied);
  EXPECT_EQ(probe["message"], "can't be entered: /pr\uFFFDfix");
  EXPECT_EQ(document["attempts"][0]["changed_during_check"], false);
  EXPECT_EQ(document["attempts"][2]["changed_during_check"], true);
  EXPECT_EQ(document["attempts"][2]["up_to_date"], false);
}

}  // namespace
}  // namespace telo
