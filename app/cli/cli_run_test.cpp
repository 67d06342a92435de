// telo-cli run for real: the program against stand-in databases in a
// Wine-style prefix. Every failure case must show that nothing is lost: a
// table either holds the patch in full or exactly what it held before.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "patch/sequence.h"
#include "testing/temp_prefix.h"
#include "tools/sample_db.h"

extern char** environ;

namespace telo {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using Snapshot = std::map<std::string, std::vector<std::string>>;

constexpr char kFolder1[] = "drive_c/Program Files/Corvallo";
constexpr char kFolder2[] = "drive_c/Program Files (x86)/Corvallo";
constexpr int kRetryLater = 75;  // EX_TEMPFAIL: 1618 on Windows

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Starts the CLI with the standard streams that `actions` set up, and
// SIGPIPE as the system sets it, whatever this test's own is.
// With `extra_env`, it is the test build of the program, which reads
// TELO_TEST_STOP_AT_STATEMENT and TELO_TEST_STOP_FILE.
pid_t SpawnCli(const std::vector<std::string>& args, const posix_spawn_file_actions_t* actions,
               const std::vector<std::string>& extra_env) {
  std::vector<std::string> argv_text = {extra_env.empty() ? TELO_CLI_PATH : TELO_CLI_TESTING_PATH};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_text) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_text = extra_env;
  for (char** entry = environ; *entry != nullptr; ++entry) env_text.emplace_back(*entry);
  std::vector<char*> envp;
  for (std::string& entry : env_text) envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  return pid;
}

// Starts the CLI with stdin from /dev/null, stdout into a file (or `out_fd`)
// and stderr into another, or left as it is.
pid_t StartCli(const std::vector<std::string>& args, const fs::path& out_file,
               const std::vector<std::string>& extra_env = {}, const fs::path& err_file = {},
               int out_fd = -1) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  if (!err_file.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  const pid_t pid = SpawnCli(args, &actions, extra_env);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// WaitFor, but a program still running after `limit` is killed, so that a
// hang fails the test instead of stopping it (exit code 128 + SIGKILL).
int WaitAtMost(pid_t pid, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      return WaitFor(pid);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The test build of the program, stopped just before a statement of its
// run; it goes on once the stop file is removed.
struct StoppedRun {
  pid_t pid = -1;
  fs::path stop_file;
};

class CliRunTest : public ::testing::Test {
 public:
  void SetUp() override { ASSERT_TRUE(temp_.status().ok()) << temp_.status().ToString(); }

  fs::path MakeDatabase(const char* folder, const SampleOptions& options = {},
                        const std::string& password = "846") {
    fs::create_directories(prefix_ / folder);
    fs::path path = prefix_ / folder / "CVL.MDB";
    EXPECT_TRUE(CreateSampleDatabase(path.string(), password, options).ok());
    return path;
  }

  CliResult Cli(std::vector<std::string> args, const std::vector<std::string>& env = {},
                std::chrono::seconds limit = std::chrono::seconds(300)) {
    args.push_back("--prefix");
    args.push_back(prefix_.string());
    const fs::path out = prefix_ / "out.txt", err = prefix_ / "err.txt";
    CliResult result;
    result.exit_code = WaitAtMost(StartCli(args, out, env, err), limit);
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
  }
  CliResult Patch(const std::string& drive = "c") { return Cli({"--drive", drive, "--yes"}); }

  // A run of the test build on drive c, stopped before statement `statement`.
  StoppedRun StartStopped(int statement) {
    const fs::path stop_file = prefix_ / "stopped";
    const pid_t pid =
        StartCli({"--drive", "c", "--yes", "--prefix", prefix_.string()}, prefix_ / "out.txt",
                 {"TELO_TEST_STOP_AT_STATEMENT=" + std::to_string(statement),
                  "TELO_TEST_STOP_FILE=" + stop_file.string()});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(stop_file) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(fs::exists(stop_file)) << "the run never reached statement " << statement;
    return {pid, stop_file};
  }

 protected:
  TempPrefix temp_{"telo_cli"};
  const fs::path prefix_ = temp_.root();
};

void Exec(const fs::path& database, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

// Every row of every patched table, as text, without the ID that the
// database numbers itself.
Snapshot TakeSnapshot(const fs::path& database) {
  Snapshot snapshot;
  sqlite3* db = nullptr;
  sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  for (std::string_view table : SampleTableNames()) {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = "SELECT * FROM " + std::string(table) + " ORDER BY ID";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) continue;
    std::vector<std::string>& rows = snapshot[std::string(table)];
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::string row;
      for (int i = 0; i < sqlite3_column_count(statement); ++i) {
        if (std::string_view(sqlite3_column_name(statement, i)) == "ID") continue;
        const unsigned char* text = sqlite3_column_text(statement, i);
        row += (text ? reinterpret_cast<const char*>(text) : "NULL") + std::string("|");
      }
      rows.push_back(row);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  return snapshot;
}

nlohmann::json CheckJson(CliRunTest& test, const std::string& drive = "c") {
  return nlohmann::json::parse(test.Cli({"--check", "--drive", drive, "--json"}).out);
}

std::map<std::string, std::string> TableStates(const nlohmann::json& check, int attempt = 0) {
  std::map<std::string, std::string> states;
  for (const auto& table : check["attempts"][attempt]["tables"])
    states[table["table"]] = table["state"];
  return states;
}

TEST_F(CliRunTest, PatchesTheDatabaseAndASecondRunLeavesTheSameContents) {
  const fs::path database = MakeDatabase(kFolder1);
  EXPECT_EQ(Cli({"--check", "--drive", "c"}).exit_code, 1);
  CliResult first = Patch();
  EXPECT_EQ(first.exit_code, 0) << first.out;
  EXPECT_THAT(first.out, HasSubstr("c:\\Program Files\\Corvallo\\CVL.MDB: opened"));
  EXPECT_THAT(first.out, HasSubstr("UpdateRDExtensionRates: done"));
  EXPECT_EQ(Cli({"--check", "--drive", "c"}).exit_code, 0);
  const Snapshot after_first = TakeSnapshot(database);
  EXPECT_EQ(after_first.at("KVP_PMC_Rates").size(), 63u);
  EXPECT_EQ(Patch().exit_code, 0);
  EXPECT_EQ(TakeSnapshot(database), after_first);
}

TEST_F(CliRunTest, UpperAndLowerCaseDriveLettersReachTheSameDatabase) {
  MakeDatabase(kFolder1);
  CliResult lower = Patch("c");
  EXPECT_EQ(lower.exit_code, 0);
  EXPECT_THAT(lower.out, HasSubstr("c:\\Program Files\\Corvallo\\: found"));
  CliResult upper = Patch("C");
  EXPECT_EQ(upper.exit_code, 0);
  EXPECT_THAT(upper.out, HasSubstr("C:\\Program Files\\Corvallo\\: found"));
}

TEST_F(CliRunTest, KilledMidRunLeavesEveryTableAsBefore) {
  const fs::path database = MakeDatabase(kFolder1);
  const Snapshot before = TakeSnapshot(database);
  const StoppedRun run = StartStopped(140);  // well into the 276 statements
  kill(run.pid, SIGKILL);
  EXPECT_EQ(WaitFor(run.pid), 128 + SIGKILL);
  EXPECT_EQ(TakeSnapshot(database), before);
  EXPECT_EQ(Patch().exit_code, 0) << "the database stays usable";
}

TEST_F(CliRunTest, DatabaseReplacedDuringTheRunIsAFailureNotPatched) {
  const fs::path database = MakeDatabase(kFolder1);
  const fs::path restored = database.parent_path() / "CVL.restored";
  ASSERT_TRUE(CreateSampleDatabase(restored.string(), "846", {}).ok());
  const Snapshot replacement = TakeSnapshot(restored);
  const StoppedRun run = StartStopped(100);
  // A restore moves the open database aside and its own file into its place.
  fs::rename(database, database.parent_path() / "CVL.old");
  fs::rename(restored, database);
  fs::remove(run.stop_file);
  EXPECT_EQ(WaitFor(run.pid), 1);
  const std::string out = ReadFile(prefix_ / "out.txt");
  EXPECT_THAT(out, HasSubstr("CVL.MDB was replaced by another program during the run; the patch "
                             "went to the old file."));
  EXPECT_THAT(out, HasSubstr("In the file now at its path, SB_Configuration differs"));
  EXPECT_EQ(TakeSnapshot(database), replacement);
  EXPECT_EQ(Cli({"--check", "--drive", "c"}).exit_code, 1);
}

TEST_F(CliRunTest, RowRejectedPartwayKeepsItsTableAndPatchesTheRest) {
  const fs::path database = MakeDatabase(kFolder1);
  Exec(database,
       "CREATE TRIGGER reject_band BEFORE INSERT ON KVP_PMC_Rates WHEN NEW.intrate = 1310.8 "
       "BEGIN SELECT RAISE(ABORT, 'band rejected'); END;");
  const Snapshot before = TakeSnapshot(database);
  CliResult run = Patch();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.out, HasSubstr("UpdateKVPPMCRates failed at statement 44 of 64"));
  EXPECT_THAT(run.out, HasSubstr("KVP_PMC_Rates was left as it was."));
  EXPECT_EQ(TakeSnapshot(database).at("KVP_PMC_Rates"), before.at("KVP_PMC_Rates"));
  for (const auto& [table, state] : TableStates(CheckJson(*this))) {
    EXPECT_EQ(state, table == "KVP_PMC_Rates" ? "differs" : "up_to_date") << table;
  }
}

// The database may accept a statement and keep something else: a trigger
// that ignores an insert or a delete, or one that rewrites the table. No
// statement fails, so such a table was once committed half-written (with 18
// of its 63 rows in one case). Each table is now read back before it is
// committed, and one that differs is rolled back like a failed statement.
TEST_F(CliRunTest, TableTheDatabaseHalfWritesIsRolledBackNotCommitted) {
  const fs::path database = MakeDatabase(kFolder1);
  Exec(database,
       "CREATE TRIGGER drop_row BEFORE INSERT ON TD_Configuration WHEN NEW.intrate = 7.25 "
       "AND NEW.matpdyr = 3 BEGIN SELECT RAISE(IGNORE); END;"
       "CREATE TRIGGER keep_rows BEFORE DELETE ON RD_Configuration BEGIN SELECT RAISE(IGNORE); "
       "END;"
       "CREATE TRIGGER rewrite AFTER INSERT ON NSC_Configuration BEGIN "
       "UPDATE NSC_Configuration SET matval = 0 WHERE ID = NEW.ID; END;");
  const Snapshot before = TakeSnapshot(database);
  CliResult run = Cli({"--drive", "c", "--yes", "--json"});
  EXPECT_EQ(run.exit_code, 1);
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["succeeded"], false);
  const std::map<std::string, std::string> differs = {
      {"TD_Configuration", "TD_Configuration differs: 39 rows, should be 40"},
      {"RD_Configuration", "RD_Configuration differs: 12 rows, should be 10"},
      {"NSC_Configuration",
       "NSC_Configuration differs in the row from 1993-09-02: matval is 0, should be 20.15"}};
  for (const auto& procedure : report["attempts"][0]["procedures"]) {
    const auto found =
        differs.find(procedure["committed_tables"].empty() ? procedure.value("failed_table", "")
                                                           : std::string());
    EXPECT_EQ(procedure["ok"], found == differs.end()) << procedure["name"];
    if (found == differs.end()) continue;
    EXPECT_EQ(procedure["failed_step"], "read_back");
    EXPECT_THAT(procedure["message"].get<std::string>(), HasSubstr(found->second));
  }
  const Snapshot after = TakeSnapshot(database);
  for (const auto& [table, rows] : before) {
    EXPECT_EQ(after.at(table) == rows, differs.contains(table)) << table;
  }
}

TEST_F(CliRunTest, MissingTableEndsOnlyItsProcedure) {
  const fs::path database = MakeDatabase(kFolder1, {.omit_tables = {"RD_Extension_WOD_Rate"}});
  CliResult run = Patch();
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.out, HasSubstr("UpdateRDExtensionRates failed at statement 52 of 102"));
  EXPECT_THAT(
      run.out,
      HasSubstr("RD_Extension_WOD_Rate was left as it was. RD_Extension_Rate was updated."));
  std::map<std::string, std::string> states = TableStates(CheckJson(*this));
  EXPECT_EQ(states["RD_Extension_WOD_Rate"], "missing");
  EXPECT_EQ(states["RD_Extension_Rate"], "up_to_date");
  EXPECT_EQ(states["SB_Configuration"], "up_to_date");
}

TEST_F(CliRunTest, DatabasesThatCannotBeOpenedAreLeftUnchanged) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    const char* says;
  };
  const std::vector<Case> cases = {
      {"wrong password", [](const fs::path&) {}, "password"},
      {"read-only file",
       [](const fs::path& db) {
         fs::permissions(db, fs::perms::owner_read | fs::perms::group_read);
       },
       "read-only"},
      {"garbage",
       [](const fs::path& db) { std::ofstream(db, std::ios::trunc) << "not a database at all"; },
       "not"},
      {"truncated", [](const fs::path& db) { fs::resize_file(db, 1000); }, ""},
  };
  for (const Case& test_case : cases) {
    SCOPED_TRACE(test_case.name);
    const bool wrong_password = std::string(test_case.name) == "wrong password";
    const fs::path database = MakeDatabase(kFolder1, {}, wrong_password ? "123" : "846");
    test_case.spoil(database);
    const std::string bytes_before = ReadFile(database);
    CliResult run = Patch();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_THAT(run.out, HasSubstr("could not be opened"));
    EXPECT_THAT(run.out, HasSubstr(test_case.says));
    EXPECT_EQ(ReadFile(database), bytes_before);
    fs::permissions(database, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(database);
  }
}

TEST_F(CliRunTest, DatabaseHeldByAnotherProgramFailsQuicklyAndStaysAsItWas) {
  const fs::path database = MakeDatabase(kFolder1);
  const Snapshot before = TakeSnapshot(database);
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  const auto start = std::chrono::steady_clock::now();
  CliResult run = Patch("C");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(run.exit_code, kRetryLater) << "deployment tools retry it later";
  EXPECT_THAT(run.out, HasSubstr("another program"));
  EXPECT_THAT(run.out, testing::EndsWith("\ntelo: in use: C:\\Program Files\\Corvallo\\CVL.MDB "
                                         "(exit 75)\n"));
  EXPECT_LT(elapsed, std::chrono::seconds(4));
  EXPECT_EQ(TakeSnapshot(database), before);

  // Beside a database that the run patches, a retry would not start clean.
  MakeDatabase(kFolder2);
  run = Patch("C");
  sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(holder);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_THAT(run.out, HasSubstr("\ntelo: failed 1 of 2 databases on C:; C:\\Program "
                                 "Files\\Corvallo\\CVL.MDB: "));
  EXPECT_THAT(run.out, testing::EndsWith(" (exit 1)\n"));
  EXPECT_EQ(TakeSnapshot(database), before);
}

// The second database declares its columns in Jet's types (SINGLE, CURRENCY,
// DECIMAL, ...), which read back rounded to what they hold.
TEST_F(CliRunTest, FindsTheDatabasesOfBothFoldersWhateverTheirColumnTypes) {
  const fs::path first = MakeDatabase(kFolder1);
  SampleOptions jet_typed;
  jet_typed.jet_types = true;
  const fs::path second = MakeDatabase(kFolder2, jet_typed);
  const CliResult run = Patch();
  EXPECT_EQ(run.exit_code, 0) << run.out;
  const nlohmann::json check = CheckJson(*this);
  EXPECT_EQ(check["up_to_date"], true);
  EXPECT_EQ(check["attempts"].size(), 2u);
}

TEST_F(CliRunTest, OnlyTheX86FolderIsPatchedWhenTheOtherIsAbsent) {
  MakeDatabase(kFolder2);
  CliResult run = Patch();
  EXPECT_EQ(run.exit_code, 0) << run.out;
  EXPECT_THAT(run.out, HasSubstr("c:\\Program Files\\Corvallo\\: not found"));
}

// Whatever stands at folder 1's CVL.MDB, the run goes on to folder 2. A FIFO
// (or a link to the terminal) once blocked the run, and the check, for ever.
TEST_F(CliRunTest, FirstFolderWithoutADatabaseFileDoesNotStopTheSecond) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;
  };
  const Case cases[] = {
      {"nothing", [](const fs::path&) {}},
      {"a FIFO", [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }},
      {"a link to standard input",
       [](const fs::path& path) { fs::create_symlink("/dev/stdin", path); }},
  };
  fs::create_directories(prefix_ / kFolder1);
  const fs::path second = MakeDatabase(kFolder2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(prefix_ / kFolder1 / "CVL.MDB");
    c.make(prefix_ / kFolder1 / "CVL.MDB");
    CliResult run = Patch();
    EXPECT_EQ(run.exit_code, 1) << "a folder without its database is a failure";
    EXPECT_THAT(run.out, HasSubstr("c:\\Program Files\\Corvallo\\CVL.MDB could not be opened"));
    EXPECT_EQ(TableStates(CheckJson(*this), 1)["KVP_PMC_Rates"], "up_to_date");
  }
}

TEST_F(CliRunTest, NoDatabaseAndBadCommandLinesHaveTheirOwnExitCodes) {
  EXPECT_EQ(Patch().exit_code, 3);
  EXPECT_EQ(Cli({"--check", "--drive", "c"}).exit_code, 3);
  EXPECT_EQ(Cli({"--drive", "c"}).exit_code, 2) << "no terminal and no --yes";
  EXPECT_EQ(Cli({"--drive", "c", "--yess"}).exit_code, 2);
}

// A --prefix folder that didn't exist advised setting WINEPREFIX and went
// on to exit 3, "no database"; a drive that doesn't exist was "no database"
// too. Both are slips of the command line, said as such; a bare command
// shows the usage.
TEST_F(CliRunTest, PrefixOrDriveThatIsNotThereIsAUsageErrorThatSaysSo) {
  MakeDatabase(kFolder1);
  const std::string missing = (prefix_ / "no such prefix").string();
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string err;
  } cases[] = {
      {{"--drive", "c", "--yes", "--prefix", missing},
       2,
       "telo-cli: --prefix " + missing + ": no such folder; "},
      {{"--check", "--drive", "c", "--prefix", missing},
       2,
       "--prefix " + missing + ": no such folder"},
      {{"--drive", "q", "--yes", "--prefix", prefix_.string()},
       2,
       "telo-cli: There is no drive Q: on this computer (its drives: C:); "},
      {{"--detect", "--drive", "Q:", "--prefix", prefix_.string()}, 2, "There is no drive Q:"},
      {{}, 2, "usage: telo-cli --drive LETTER|auto [--yes] [--prefix DIR]\n"},
  };
  const fs::path out = prefix_ / "out.txt", err = prefix_ / "err.txt";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    EXPECT_EQ(WaitFor(StartCli(c.args, out, {}, err)), c.exit_code);
    EXPECT_THAT(ReadFile(err), HasSubstr(c.err));
    EXPECT_THAT(ReadFile(err), Not(HasSubstr("No database")));
    EXPECT_EQ(ReadFile(out), "");
  }
  for (const char* help : {"--help", "-h", "/?"}) {
    EXPECT_EQ(WaitFor(StartCli({help}, out, {}, err)), 0) << help;
    EXPECT_THAT(ReadFile(out),
                HasSubstr("\n  5     --check, --detect: a database could not be checked"));
  }
}

// A database that does not open with the host's password was "not carrying
// this patch", with the exit code of one that lacks it: a deployment tool
// then patched a file that isn't the host's. It is not checked, exit 5.
TEST_F(CliRunTest, CheckOfADatabaseThatCannotBeOpenedIsNotCheckedExitFive) {
  MakeDatabase(kFolder1, {}, "not the host's");
  const CliResult text = Cli({"--check", "--drive", "c"});
  EXPECT_EQ(text.exit_code, 5) << text.out;
  EXPECT_THAT(text.out, testing::StartsWith("The database could not be checked (see below), so "
                                            "whether it carries this patch is not known.\n"));
  EXPECT_THAT(text.out, HasSubstr("\n  It was not checked.\n"));
  EXPECT_THAT(text.out, Not(HasSubstr("does not carry")));
  EXPECT_THAT(text.out, testing::EndsWith(" (exit 5)\n"));
  const nlohmann::json json = CheckJson(*this);
  EXPECT_EQ(json["outcome"], "failed");
  EXPECT_EQ(json["exit_code"], 5);
  EXPECT_EQ(json["databases"][0]["outcome"], "failed");
}

// An install folder that exists but can't be entered was reported as "no
// database" (exit 3), so a rollout script concluded the host wasn't there.
TEST_F(CliRunTest, InstallFolderThatCannotBeEnteredIsAFailureWithItsReason) {
  MakeDatabase(kFolder1);
  fs::permissions(prefix_ / kFolder1, fs::perms::owner_read | fs::perms::owner_write);
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"--drive", "c", "--yes"}, {"--check", "--drive", "c"}}) {
    const CliResult result = Cli(command);
    EXPECT_EQ(result.exit_code, command[0] == "--check" ? 5 : 1) << result.out;
    EXPECT_THAT(result.out,
                HasSubstr("c:\\Program Files\\Corvallo\\: exists, but can't be entered"));
  }
  fs::permissions(prefix_ / kFolder1, fs::perms::owner_all);
}

// Two faults of a Linux prefix that Windows can't have. "Corvallo" beside
// "CORVALLO" is one name to Windows: the run patched one of them, chosen by
// byte order, and said it had succeeded. A pipe named CVL.MDB-journal made
// the run and the check wait for ever, as SQLite opens the journal to look
// for an interrupted update. Both now fail at once, say why, write nothing.
TEST_F(CliRunTest, CaseTwinFoldersAndAPipeJournalFailAtOnceAndWriteNothing) {
  const fs::path database = MakeDatabase(kFolder1);
  const fs::path twin = prefix_ / "drive_c/Program Files/CORVALLO/CVL.MDB";
  const fs::path journal = database.string() + "-journal";
  const struct {
    std::function<void()> make;
    fs::path remove;
    std::string says;
  } cases[] = {
      {[&] { MakeDatabase("drive_c/Program Files/CORVALLO"); }, twin.parent_path(),
       "c:\\Program Files\\Corvallo\\: exists, but can't be used: 'c:\\Program "
       "Files\\Corvallo\\' matches more than one folder in " +
           (prefix_ / "dosdevices/c:/Program Files").string() +
           ": CORVALLO, Corvallo. Windows sees these as one name; keep one and remove or rename "
           "the others."},
      {[&] { ASSERT_EQ(mkfifo(journal.c_str(), 0644), 0); }, journal,
       "'c:\\Program Files\\Corvallo\\CVL.MDB-journal' is not a regular file (it is a pipe); "
       "remove it, then run again."},
  };
  const std::string before = ReadFile(database);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.remove);
    c.make();
    const std::string twin_before = ReadFile(twin);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"--drive", "c", "--yes"}, {"--check", "--drive", "c"}}) {
      const CliResult result = Cli(command, {}, std::chrono::seconds(10));
      EXPECT_EQ(result.exit_code, command[0] == "--check" ? 5 : 1) << result.out;
      EXPECT_THAT(result.out, HasSubstr(c.says));
    }
    EXPECT_TRUE(ReadFile(database) == before) << "the database was written";
    EXPECT_TRUE(ReadFile(twin) == twin_before) << "the other database was written";
    fs::remove_all(c.remove);
  }
}

// The report once vanished when it could not be written: the program ended
// with exit code 134 and no word. Now standard error says why, and so does
// the exit code.
TEST_F(CliRunTest, ReportThatCannotBeWrittenIsAFailureSaidOnStandardError) {
  MakeDatabase(kFolder1);
  const fs::path err = prefix_ / "err.txt";
  const int exit_code = WaitFor(StartCli(
      {"--drive", "c", "--yes", "--json", "--prefix", prefix_.string()}, "/dev/full", {}, err));
  EXPECT_EQ(exit_code, 4);
  EXPECT_THAT(ReadFile(err), HasSubstr("could not be written"));
  EXPECT_THAT(ReadFile(err), HasSubstr("exit code 0"));
  EXPECT_EQ(TableStates(CheckJson(*this))["KVP_PMC_Rates"], "up_to_date");
}

// Output into a pipe whose reader had gone (`telo-cli --json | true`, a log
// collector that died) ended the program with SIGPIPE after the commit: exit
// 141 and no word.
TEST_F(CliRunTest, OutputIntoAClosedPipeIsAWriteErrorNotAKillingSignal) {
  MakeDatabase(kFolder1);
  struct Case {
    std::vector<std::string> args;
    int own_exit_code;
  };
  const Case cases[] = {
      {{"--check", "--drive", "c", "--prefix", prefix_.string()}, 1},  // not patched yet
      {{"--drive", "c", "--yes", "--json", "--prefix", prefix_.string()}, 0},
      {{"--version"}, 0},
      {{"--print-sql"}, 0},
  };
  const fs::path err = prefix_ / "err.txt";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    close(ends[0]);
    const pid_t pid = StartCli(c.args, {}, {}, err, ends[1]);
    close(ends[1]);
    EXPECT_EQ(WaitFor(pid), 4);
    EXPECT_THAT(ReadFile(err), HasSubstr("(Broken pipe)"));
    EXPECT_THAT(ReadFile(err), HasSubstr("exit code " + std::to_string(c.own_exit_code)));
  }
  EXPECT_EQ(CheckJson(*this)["up_to_date"], true) << "the run's outcome stands";
}

TEST_F(CliRunTest, CheckNamesChangedValuesExtraRowsAndMissingTables) {
  const fs::path database = MakeDatabase(kFolder1, {.omit_tables = {"SCSS_Configuration"}});
  Patch();
  Exec(database,
       "UPDATE TD_Configuration SET intrate = 9.25 WHERE intrate = 9.0 AND matpdyr = 5;"
       "INSERT INTO NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) "
       "VALUES ('2014-01-01', '2014-12-31', 15.1, 5, 0);");
  CliResult check = Cli({"--check", "--drive", "c"});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_THAT(check.out, HasSubstr("The database does not carry this patch in full.\n"));
  EXPECT_THAT(check.out, HasSubstr("TD_Configuration differs in the row from 2001-03-01, matpdyr "
                                   "5: intrate is 9.25, should be 9\n"));
  EXPECT_THAT(check.out, HasSubstr("NSC_Configuration differs: 10 rows, should be 9\n"));
  EXPECT_THAT(check.out, HasSubstr("SCSS_Configuration is missing from the database"));
  EXPECT_THAT(check.out, HasSubstr("RD_Configuration: up to date"));
}

// A detection script counts the patch as applied only on exit 0 with some
// output; exit 0 with none means "not applied"; any other code "unknown".
TEST_F(CliRunTest, DetectWritesOneLineOnlyWhenEveryDatabaseCarriesThePatch) {
  const std::vector<std::string> detect = {"--detect", "--drive", "c"};
  CliResult none = Cli(detect);
  EXPECT_EQ(none.exit_code, 0);
  EXPECT_EQ(none.out, "") << "no host, not applied";
  MakeDatabase(kFolder1);
  CliResult before = Cli(detect);
  EXPECT_EQ(before.exit_code, 0);
  EXPECT_EQ(before.out, "");
  ASSERT_EQ(Patch().exit_code, 0);
  CliResult after = Cli(detect);
  EXPECT_EQ(after.exit_code, 0);
  EXPECT_EQ(after.out, "telo: up to date 1 of 1 database on C: (exit 0)\n");
  MakeDatabase(kFolder2, {}, "not the host's");
  CliResult unreadable = Cli(detect);
  EXPECT_EQ(unreadable.exit_code, 5);
  EXPECT_EQ(unreadable.out, "");
  EXPECT_THAT(unreadable.err, HasSubstr("Program Files (x86)"));
}

// Deployment scripts can't know the drive; a result file says who ran what
// where, and never lands half-written on the share.
TEST_F(CliRunTest, DriveAutoAndTheResultFileCoverEveryDriveAndSayWhoRanIt) {
  MakeDatabase(kFolder1);
  fs::create_directories(prefix_ / "drive_d/Program Files (x86)/Corvallo");
  fs::create_directory_symlink("../drive_d", prefix_ / "dosdevices/d:");
  ASSERT_TRUE(CreateSampleDatabase(
                  (prefix_ / "drive_d/Program Files (x86)/Corvallo/CVL.MDB").string(), "846", {})
                  .ok());
  const fs::path results = prefix_ / "results";
  fs::create_directories(results);
  CliResult run =
      Cli({"--drive", "auto", "--yes", "--result-file", (results / "DESK-1.json").string()});
  EXPECT_EQ(run.exit_code, 0) << run.out;
  EXPECT_THAT(run.out, testing::EndsWith("\ntelo: patched 2 of 2 databases on C:, D: (exit 0)\n"));
  EXPECT_EQ(std::distance(fs::directory_iterator(results), fs::directory_iterator()), 1)
      << "no temporary file is left beside it";
  const auto result = nlohmann::ordered_json::parse(ReadFile(results / "DESK-1.json"));
  std::vector<std::string> keys;
  for (const auto& item : result.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"schema", "command", "outcome", "exit_code", "version",
                                            "patch_checksum", "drive", "drives", "machine",
                                            "databases", "confirmed", "succeeded", "attempts"}));
  EXPECT_EQ(result["drive"], "AUTO");
  EXPECT_EQ(result["drives"], nlohmann::json::parse(R"(["C", "D"])"));
  EXPECT_EQ(result["databases"].size(), 2u);
  EXPECT_NE(result["machine"]["computer"], "");
  EXPECT_THAT(std::string(result["machine"]["time"]),
              testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z"));

  // A share that can't be written: the run's outcome stands, exit 4 says so.
  CliResult lost =
      Cli({"--check", "--drive", "auto", "--result-file", (prefix_ / "gone/x.json").string()});
  EXPECT_EQ(lost.exit_code, 4);
  EXPECT_THAT(lost.out, testing::EndsWith("(exit 0)\n"));
  EXPECT_THAT(lost.err, HasSubstr("exit code 0"));
}

TEST_F(CliRunTest, PrintSqlGivesTheStatementsInOrder) {
  CliResult printed = Cli({"--print-sql"});
  EXPECT_EQ(printed.exit_code, 2) << "--prefix does not go with --print-sql";
  const fs::path out = prefix_ / "sql.txt";
  EXPECT_EQ(WaitFor(StartCli({"--print-sql"}, out)), 0);
  std::string expected;
  for (std::string_view statement : AllPatchStatements()) expected += std::string(statement) + "\n";
  EXPECT_EQ(ReadFile(out), expected);
}

TEST_F(CliRunTest, SummarizeWritesTheTableTheCsvAndThePageOfAFolderOfResults) {
  const fs::path results = prefix_ / "results";
  fs::create_directories(results);
  for (auto [machine, outcome] : {std::pair{"DESK-1", "patched"}, {"DESK-2", "in_use"}}) {
    nlohmann::ordered_json result = {
        {"schema", 1},
        {"outcome", outcome},
        {"machine", {{"computer", machine}, {"time", "2026-12-08T16:30:00Z"}}},
        {"databases", nlohmann::json::array()}};
    std::ofstream(results / (std::string(machine) + ".json")) << result.dump();
  }
  std::ofstream(results / "DESK-3.json") << "{\"schema\": 1, \"outc";
  const fs::path out = prefix_ / "out.txt", err = prefix_ / "err.txt";
  const fs::path csv = prefix_ / "s.csv", html = prefix_ / "s.html";
  EXPECT_EQ(
      WaitFor(StartCli(
          {"--summarize", results.string(), "--csv", csv.string(), "--html", html.string()}, out)),
      0);
  std::string text = ReadFile(out);
  EXPECT_THAT(text, HasSubstr("DESK-3.json"));
  EXPECT_THAT(text,
              testing::EndsWith("\ntelo: summary of 3 machines: 1 patched, 0 already "
                                "patched, 0 up to date, 0 not up to date, 1 in use, 0 failed, "
                                "0 declined, 0 not found, 1 unreadable (exit 0)\n"));
  EXPECT_THAT(ReadFile(csv), testing::StartsWith("machine,time (UTC),outcome"));
  EXPECT_THAT(ReadFile(html), HasSubstr("DESK-2"));

  // An output that can't be written: still the table, and exit 4 with the reason.
  EXPECT_EQ(
      WaitFor(StartCli({"--summarize", results.string(), "--html", "/dev/full"}, out, {}, err)), 4);
  EXPECT_THAT(ReadFile(out), HasSubstr("1 unreadable (exit 4)"));
  EXPECT_THAT(ReadFile(err), HasSubstr("/dev/full could not be written"));
  EXPECT_EQ(WaitFor(StartCli({"--summarize", (prefix_ / "none").string()}, out, {}, err)), 1);
  EXPECT_THAT(ReadFile(err), HasSubstr("can't be read"));
}

}  // namespace
}  // namespace telo
