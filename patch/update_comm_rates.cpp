// UpdateCommRates: sets comm_rate for two groups of schemes in Comm_Rates;
// rows of other schemes keep theirs.
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kCommRates[] = {
    "Update Comm_Rates Set comm_rate = 0.5 Where scheme in (2,4,5)",
    "Update Comm_Rates Set comm_rate = 0 Where scheme in (3,6,7)",
};

constexpr TableStatements kUpdateCommRatesTables[] = {
    {"Comm_Rates", kCommRates},
};

}  // namespace

constinit const PatchProcedure UpdateCommRates("UpdateCommRates", kUpdateCommRatesTables);

}  // namespace telo
