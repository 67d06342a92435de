// The update run against the real ADO connection where the install folder
// exists but its database can't be opened (under Wine there is no Jet
// provider; on Windows the test folder holds no CVL.MDB): the run goes on,
// and its report says that the database could not be opened.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/fake_desktop.h"
#include "app/update_run.h"
#include "db/ado/ado_connection.h"
#include "db/ado/com_apartment.h"
#include "db/fake_env.h"

namespace telo {
namespace {

using ::testing::HasSubstr;

TEST(AdoUpdateRunTest, ReportSaysTheDatabaseCouldNotBeOpened) {
  ComApartment com;
  ASSERT_TRUE(com.status().ok()) << com.status().ToString();
  FakeDesktop desktop;
  desktop.drive_text = "q: [NO JET]";
  FakeEnv env;
  env.existing_folders = {InstallFolder('q', kInstallAttempts[0])};
  ConnectionSlot cnMain(&NewAdoConnection);

  const RunReport report = RunUpdate(desktop, env, cnMain);

  ASSERT_FALSE(report.attempts.empty());
  const AttemptReport& attempt = report.attempts[0];
  EXPECT_TRUE(attempt.folder_found);
  EXPECT_TRUE(attempt.open_attempted);
  EXPECT_FALSE(attempt.open.ok());
  EXPECT_FALSE(attempt.open.message().empty()) << "ADO's reason reaches the report";
  EXPECT_FALSE(report.succeeded());
  EXPECT_TRUE(cnMain.created());
  const MessageBoxContent box = OutcomeBox(report);
  EXPECT_EQ(box.style, kStyleOkWarning);
  EXPECT_THAT(box.prompt, HasSubstr(attempt.database + " could not be opened"));
  EXPECT_THAT(box.prompt, HasSubstr(attempt.open.message()));
}

}  // namespace
}  // namespace telo
