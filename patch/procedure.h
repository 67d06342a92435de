// Patch procedures: fixed, ordered lists of Jet SQL statements, grouped by the
// table they rewrite, and the rule by which a procedure executes them.
//
// Every statement is a complete constant written in the procedure's own
// source file; nothing is composed at run time. Each table's statements run
// inside a nested transaction on the caller's connection, and the table is
// read back inside it before it is committed: the first failing statement,
// or a table that doesn't read back as written, rolls that table back to what
// it held and ends the procedure, so later tables of the same procedure are
// not touched. Tables committed before the failure stay committed at their
// level. Procedure objects are constants with static storage; they hold no
// state and may be run any number of times.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "db/connection.h"

namespace telo {

struct TableStatements {
  std::string_view table;
  std::span<const std::string_view> statements;
};

// Where a failing procedure stopped.
enum class FailedStep {
  kNone,
  kBeginTable,   // the nested transaction for `failed_table` could not start
  kStatement,    // statement `failed_position` failed
  kReadBack,     // `failed_table` did not read back as its statements wrote it
  kCommitTable,  // the nested transaction for `failed_table` could not commit
};

std::string_view FailedStepName(FailedStep step);  // "none", "begin", "statement", ...

// Reads a table back inside its own transaction, before it is committed: Ok
// when it holds exactly what the patch writes; otherwise how it differs
// (error::kTableDiffers) or why it could not be read.
using TableReadBack = std::function<Status(Connection&, std::string_view table)>;

struct ProcedureOutcome {
  std::string_view procedure;
  std::size_t statement_count = 0;  // the procedure's, whether it ran them all or not
  FailedStep failed_step = FailedStep::kNone;
  std::string_view failed_table;
  std::size_t failed_position = 0;  // 1-based within the procedure; 0 when no statement
  std::string_view failed_statement;
  Status status;
  std::vector<std::string_view> committed_tables;

  bool ok() const { return failed_step == FailedStep::kNone; }
};

class PatchProcedure {
 public:
  constexpr PatchProcedure(std::string_view name, std::span<const TableStatements> tables)
      : name_(name), tables_(tables) {}

  std::string_view name() const { return name_; }
  std::span<const TableStatements> tables() const { return tables_; }
  std::size_t statement_count() const;

  // Executes the procedure's statements through `cnMain`, reading each table
  // back with `read_back` (when given) before committing it.
  ProcedureOutcome operator()(Connection& cnMain, const TableReadBack& read_back = {}) const;

 private:
  std::string_view name_;
  std::span<const TableStatements> tables_;
};

}  // namespace telo
