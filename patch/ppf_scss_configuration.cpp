// UpdatePPFConfiguration and UpdateSCSSConfiguration: empty and refill
// PPF_Configuration (fifteen periods from 04/01/1980) and SCSS_Configuration
// (three periods from 08/02/2004).
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kPPFConfiguration[] = {
    "Delete From PPF_Configuration",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1980#, #03/31/1981#, 8, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1981#, #03/31/1982#, 8.5, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1982#, #03/31/1983#, 8.5, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1983#, #03/31/1984#, 9, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1984#, #03/31/1985#, 9.5, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1985#, #03/31/1986#, 10, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/1986#, #01/14/2000#, 12, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#01/15/2000#, #02/28/2001#, 11, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#03/01/2001#, #02/28/2002#, 9.5, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#03/01/2002#, #02/28/2003#, 9, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#03/01/2003#, #11/30/2011#, 8, 15, 0, 12, 70000, 50, 84)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#12/01/2011#, #03/31/2012#, 8.6, 15, 0, 12, 100000, 50, 36)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/2012#, #03/31/2013#, 8.8, 15, 0, 12, 100000, 50, 36)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/2013#, #03/31/2014#, 8.7, 15, 0, 12, 100000, 50, 36)",
    "Insert Into PPF_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, MaxNoOfDeposit, MaxDepositAmount, MaxWithdrawal, LockupPeriod) Values (#04/01/2014#, #12/31/2014#, 8.7, 15, 0, 12, 150000, 50, 36)",
};

constexpr TableStatements kUpdatePPFConfigurationTables[] = {
    {"PPF_Configuration", kPPFConfiguration},
};

constexpr std::string_view kSCSSConfiguration[] = {
    "Delete From SCSS_Configuration",
    "Insert Into SCSS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#08/02/2004#, #03/31/2012#, 9, 5, 0)",
    "Insert Into SCSS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#04/01/2012#, #03/31/2013#, 9.3, 5, 0)",
    "Insert Into SCSS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#04/01/2013#, #05/01/2013#, 9.2, 5, 0)",
};

constexpr TableStatements kUpdateSCSSConfigurationTables[] = {
    {"SCSS_Configuration", kSCSSConfiguration},
};

}  // namespace

constinit const PatchProcedure UpdatePPFConfiguration("UpdatePPFConfiguration",
                                                      kUpdatePPFConfigurationTables);
constinit const PatchProcedure UpdateSCSSConfiguration("UpdateSCSSConfiguration",
                                                       kUpdateSCSSConfigurationTables);

}  // namespace telo
