// UpdateNSCConfiguration, UpdateKVPConfiguration and
// UpdateNSC10Configuration: empty and refill the three certificate tables,
// all written through the same five columns.
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kNSCConfiguration[] = {
    "Delete From NSC_Configuration",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 20.15, 6, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 19.56, 6, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 19.012, 6, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 17.452, 6, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 16.959, 6, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#03/01/2003#, #11/30/2011#, 16.01, 6, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#12/01/2011#, #03/31/2012#, 15.09, 5, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#04/01/2012#, #03/31/2013#, 15.235, 5, 0)",
    "Insert Into NSC_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#04/01/2013#, #05/01/2013#, 15.162, 5, 0)",
};

constexpr TableStatements kUpdateNSCConfigurationTables[] = {
    {"NSC_Configuration", kNSCConfiguration},
};

constexpr std::string_view kKVPConfiguration[] = {
    "Delete From KVP_Configuration",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 20, 5, 6)",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 20, 6, 0)",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 20, 6, 6)",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 20, 7, 3)",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 20, 7, 8)",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 20, 8, 7)",
    "Insert Into KVP_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 20, 8, 4)",
};

constexpr TableStatements kUpdateKVPConfigurationTables[] = {
    {"KVP_Configuration", kKVPConfiguration},
};

constexpr std::string_view kNSC10Configuration[] = {
    "Delete From NSC10_Configuration",
    "Insert Into NSC10_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#12/01/2011#, #03/31/2012#, 23.435, 10, 0)",
    "Insert Into NSC10_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#04/01/2012#, #03/31/2013#, 23.887, 10, 0)",
    "Insert Into NSC10_Configuration(fromdate, todate, matval, matpdyr, matpdmonth) Values (#04/01/2013#, #05/01/2013#, 23.660, 10, 0)",
};

constexpr TableStatements kUpdateNSC10ConfigurationTables[] = {
    {"NSC10_Configuration", kNSC10Configuration},
};

}  // namespace

constinit const PatchProcedure UpdateNSCConfiguration("UpdateNSCConfiguration",
                                                      kUpdateNSCConfigurationTables);
constinit const PatchProcedure UpdateKVPConfiguration("UpdateKVPConfiguration",
                                                      kUpdateKVPConfigurationTables);
constinit const PatchProcedure UpdateNSC10Configuration("UpdateNSC10Configuration",
                                                        kUpdateNSC10ConfigurationTables);

}  // namespace telo
