// UpdateSBRate: sets the savings rate in every row of SB_Configuration.
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kSBConfiguration[] = {
    "Update SB_Configuration Set Rate = 4",
};

constexpr TableStatements kUpdateSBRateTables[] = {
    {"SB_Configuration", kSBConfiguration},
};

}  // namespace

constinit const PatchProcedure UpdateSBRate("UpdateSBRate", kUpdateSBRateTables);

}  // namespace telo
