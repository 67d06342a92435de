// Jet SQL to SQLite: the one rewrite a patch statement needs before SQLite
// can run it. A Jet date literal #m/d/yyyy# (optionally followed by a 24-hour
// time H:MM or H:MM:SS) is read month first, always, and becomes the ISO text
// 'YYYY-MM-DD' ('YYYY-MM-DD HH:MM:SS' with a time). Everything else reaches
// SQLite byte for byte; text inside '...', "..." or [...] is never looked into.
// An impossible date (#13/01/2000#, #02/30/2001#), a literal in another form
// or an unclosed '#' is an error (error::kCommandError), never re-read day
// first. Pure functions, no state.
#pragma once

#include <string>
#include <string_view>

#include "base/status.h"

namespace telo {

// `*sqlite_sql` is replaced, keeping its capacity; after an error it holds
// nothing useful.
Status TranslateJetSql(std::string_view jet_sql, std::string* sqlite_sql);

// The text between the '#' signs of one literal, e.g. "09/02/1993", as ISO text
// without quotes ("1993-09-02").
Status JetDateToIso(std::string_view literal, std::string* iso);

}  // namespace telo
