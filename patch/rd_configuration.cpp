// UpdateRDConfiguration: empties RD_Configuration and refills it with ten
// periods, 09/02/1993 to 05/01/2014.
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kRDConfiguration[] = {
    "Delete From RD_Configuration",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#09/02/1993#, #12/31/1998#, 833.4, 5, 0, 0.2, 9.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#01/01/1999#, #01/14/2000#, 811.15, 5, 0, 0.2, 9.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#01/15/2000#, #02/28/2001#, 789.6, 5, 0, 0.2, 9.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#03/01/2001#, #02/28/2002#, 758.53, 5, 0, 0.2, 9.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#03/01/2002#, #02/28/2003#, 748.49, 5, 0, 0.2, 9.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#03/01/2003#, #11/30/2011#, 728.9, 5, 0, 0.2, 9.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#12/01/2011#, #03/31/2012#, 738.62, 5, 0, 0.2, 10.3, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#04/01/2012#, #03/31/2013#, 746.51, 5, 0, 0.2, 10.5, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#04/01/2013#, #03/31/2014#, 744.53, 5, 0, 0.2, 10.4, 12)",
    "Insert Into RD_Configuration(fromdate, todate, matval, matpdyr, matpdmonth, df, loanint, loanallowedafter) Values (#04/01/2014#, #05/01/2014#, 746.51, 5, 0, 0.1, 10.5, 12)",
};

constexpr TableStatements kUpdateRDConfigurationTables[] = {
    {"RD_Configuration", kRDConfiguration},
};

}  // namespace

constinit const PatchProcedure UpdateRDConfiguration("UpdateRDConfiguration",
                                                     kUpdateRDConfigurationTables);

}  // namespace telo
