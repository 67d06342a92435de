// The execution rule shared by every patch procedure: each table's
// statements inside a nested transaction, read back before it is committed,
// the first failure rolling that table back and ending the procedure.
#include "patch/procedure.h"

namespace telo {
namespace {

ProcedureOutcome Failed(ProcedureOutcome outcome, FailedStep step, std::string_view table,
                        Status status) {
  outcome.failed_step = step;
  outcome.failed_table = table;
  outcome.status = std::move(status);
  return outcome;
}

}  // namespace

std::size_t PatchProcedure::statement_count() const {
  std::size_t count = 0;
  for (const TableStatements& table : tables_) count += table.statements.size();
  return count;
}

std::string_view FailedStepName(FailedStep step) {
  switch (step) {
    case FailedStep::kNone:
      return "none";
    case FailedStep::kBeginTable:
      return "begin";
    case FailedStep::kStatement:
      return "statement";
    case FailedStep::kReadBack:
      return "read back";
    case FailedStep::kCommitTable:
      return "commit";
  }
  return "unknown";
}

// The table's level is rolled back after any failure; the rollback's own
// status adds nothing the caller could act on, since the level ends either
// way (db/connection.h).
ProcedureOutcome PatchProcedure::operator()(Connection& cnMain,
                                            const TableReadBack& read_back) const {
  ProcedureOutcome outcome;
  outcome.procedure = name_;
  outcome.statement_count = statement_count();
  std::size_t position = 0;
  for (const TableStatements& table : tables_) {
    Status status = cnMain.BeginTrans();
    if (!status.ok()) return Failed(outcome, FailedStep::kBeginTable, table.table, status);
    for (std::string_view statement : table.statements) {
      ++position;
      status = cnMain.Execute(statement);
      if (!status.ok()) {
        (void)cnMain.RollbackTrans();
        outcome.failed_position = position;
        outcome.failed_statement = statement;
        return Failed(outcome, FailedStep::kStatement, table.table, status);
      }
    }
    if (read_back && !(status = read_back(cnMain, table.table)).ok()) {
      (void)cnMain.RollbackTrans();
      return Failed(outcome, FailedStep::kReadBack, table.table, status);
    }
    status = cnMain.CommitTrans();
    if (!status.ok()) {
      (void)cnMain.RollbackTrans();
      return Failed(outcome, FailedStep::kCommitTable, table.table, status);
    }
    outcome.committed_tables.push_back(table.table);
  }
  return outcome;
}

}  // namespace telo
