// Jet's numbers for a database, table or page held by someone else.
#include "db/jet_errors.h"

#include <algorithm>
#include <iterator>

namespace telo {
namespace {

// Jet 4.0's error numbers, with the start of Jet's text for each.
constexpr std::string_view kInUseStates[] = {
    "3006",  // Database '|' is exclusively locked.
    "3008",  // The table '|' is already opened exclusively by another user ...
    "3009",  // You tried to lock table '|' while opening it, but ... it is currently in use.
    "3045",  // Could not use '|'; file already in use.
    "3046",  // Could not save; currently locked by another user.
    "3158",  // Could not save record; currently locked by another user.
    "3186",  // Could not save; currently locked by user '|' on machine '|'.
    "3187",  // Could not read; currently locked by user '|' on machine '|'.
    "3188",  // Could not update; currently locked by another session on this machine.
    "3189",  // Table '|' is exclusively locked by user '|' on machine '|'.
    "3196",  // The database '|' is already in use by another person or process.
    "3197",  // ... you and another user are attempting to change the same data at the same time.
    "3202",  // Could not save; currently locked by another user.
    "3211",  // The database engine could not lock table '|' because it is already in use ...
    "3212",  // Could not lock table '|'; currently in use by user '|' on machine '|'.
    "3218",  // Could not update; currently locked.
    "3260",  // Could not update; currently locked by user '|' on machine '|'.
    "3261",  // Table '|' is exclusively locked by user '|' on machine '|'.
    "3262",  // Could not lock table '|'; currently in use by user '|' on machine '|'.
    "3356",  // You attempted to open a database that is already opened exclusively by user ...
    "3624",  // Could not read the record; currently locked by another user.
    "3704",  // You attempted to open a database that is already opened by user '|' ...
    "3734",  // The database has been placed in a state by user '|' ... that prevents it from
             // being opened or locked.
};

}  // namespace

bool IsJetInUseState(std::string_view sql_state) {
  return std::find(std::begin(kInUseStates), std::end(kInUseStates), sql_state) !=
         std::end(kInUseStates);
}

}  // namespace telo
