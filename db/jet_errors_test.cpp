// Which of Jet's error numbers say that someone else holds the database.
#include "db/jet_errors.h"

#include <gtest/gtest.h>

namespace telo {
namespace {

TEST(JetErrors, LockAndInUseNumbersAreInUseAndNoOthers) {
  const struct {
    std::string_view sql_state;
    bool in_use;
  } cases[] = {
      {"3045", true},  // file already in use: another program holds CVL.MDB
      {"3356", true},  // opened exclusively by another Jet user
      {"3006", true},   {"3008", true},  {"3009", true}, {"3046", true}, {"3158", true},
      {"3186", true},   {"3187", true},  {"3188", true}, {"3189", true}, {"3196", true},
      {"3197", true},   {"3202", true},  {"3211", true}, {"3212", true}, {"3218", true},
      {"3260", true},   {"3261", true},  {"3262", true}, {"3624", true}, {"3704", true},
      {"3734", true},   {"3027", false},  // read-only: a retry won't make it writable
      {"3024", false},                    // file not found
      {"3031", false},                    // wrong password
      {"3051", false},   // exclusive elsewhere or no permission: can't tell, so not a retry
      {"3050", false},   // can't create the lock file: rights on the folder
      {"3052", false},   // lock count exceeded: this run's own locks
      {"", false},       // providers that give no Jet number
      {"HY000", false},  // an ODBC state
      {"30450", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsJetInUseState(c.sql_state), c.in_use) << "'" << c.sql_state << "'";
  }
}

}  // namespace
}  // namespace telo
