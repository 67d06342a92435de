// Jet's own error numbers, as the Jet OLE DB provider hands them to ADO: in
// the SQLState of each Error of a connection's Errors collection, as decimal
// text ("3045"), while the Error's Number is mostly just E_FAIL. The
// function here is pure and portable; ado_connection.cpp uses it to tell a
// database held by another program from any other failure.
#pragma once

#include <string_view>

namespace telo {

// Whether `sql_state` is one of Jet's numbers for a database, a table or a
// page that another user, session or program holds or has locked: a failure
// that may pass if the caller tries again later. Jet's "cannot open the file
// ... It is already opened exclusively by another user, or you need
// permission to view its data" (3051) and "Could not lock file" (3050) are
// not among them: both mostly mean missing rights, which no retry mends.
bool IsJetInUseState(std::string_view sql_state);

}  // namespace telo
