// UpdateMISConfiguration and UpdateTDConfiguration: empty and refill
// MIS_Configuration (twelve periods) and TD_Configuration (ten periods, four
// terms each).
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kMISConfiguration[] = {
    "Delete From MIS_Configuration",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 13, 6, 0, 10, 300000, 600000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#01/01/1999#, #01/14/2000#, 12, 6, 0, 10, 204000, 408000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#01/15/2000#, #02/28/2001#, 11, 6, 0, 10, 204000, 408000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#03/01/2001#, #02/28/2002#, 9.5, 6, 0, 10, 300000, 600000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#03/01/2002#, #02/28/2003#, 9, 6, 0, 10, 300000, 600000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#03/01/2003#, #02/12/2006#, 8, 6, 0, 10, 300000, 600000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#02/13/2006#, #08/12/2007#, 8, 6, 0, 0, 300000, 600000, 1000)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#08/13/2007#, #12/07/2007#, 8, 6, 0, 0, 300000, 600000, 1500)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#12/08/2007#, #11/30/2011#, 8, 6, 0, 5, 450000, 900000, 1500)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#12/01/2011#, #03/31/2012#, 8.2, 5, 0, 0, 450000, 900000, 1500)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#04/01/2012#, #03/31/2013#, 8.5, 5, 0, 0, 450000, 900000, 1500)",
    "Insert Into MIS_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, bonusrate, singleacmaxamount, jointacmaxamount, amountmultipleof) Values (#04/01/2013#, #05/01/2013#, 8.4, 5, 0, 0, 450000, 900000, 1500)",
};

constexpr TableStatements kUpdateMISConfigurationTables[] = {
    {"MIS_Configuration", kMISConfiguration},
};

constexpr std::string_view kTDConfiguration[] = {
    "Delete From TD_Configuration",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 10.5, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 11, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 12, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#09/02/1993#, #12/31/1998#, 12.5, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/01/1999#, #01/14/2000#, 9, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/01/1999#, #01/14/2000#, 10, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/01/1999#, #01/14/2000#, 11, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/01/1999#, #01/14/2000#, 11.5, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/15/2000#, #02/28/2001#, 8, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/15/2000#, #02/28/2001#, 9, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/15/2000#, #02/28/2001#, 10, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#01/15/2000#, #02/28/2001#, 10.5, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2001#, #02/28/2002#, 7.5, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2001#, #02/28/2002#, 8, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2001#, #02/28/2002#, 9, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2001#, #02/28/2002#, 9, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2002#, #02/28/2003#, 7.25, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2002#, #02/28/2003#, 7.5, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2002#, #02/28/2003#, 8.25, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2002#, #02/28/2003#, 8.5, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2003#, #11/30/2011#, 6.25, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2003#, #11/30/2011#, 6.5, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2003#, #11/30/2011#, 7.25, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#03/01/2003#, #11/30/2011#, 7.5, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#12/01/2011#, #03/31/2012#, 7.7, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#12/01/2011#, #03/31/2012#, 7.8, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#12/01/2011#, #03/31/2012#, 8, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#12/01/2011#, #03/31/2012#, 8.3, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2012#, #03/31/2013#, 8.2, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2012#, #03/31/2013#, 8.3, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2012#, #03/31/2013#, 8.4, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2012#, #03/31/2013#, 8.5, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2013#, #03/31/2014#, 8.2, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2013#, #03/31/2014#, 8.2, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2013#, #03/31/2014#, 8.3, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2013#, #03/31/2014#, 8.4, 5, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2014#, #05/01/2014#, 8.4, 1, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2014#, #05/01/2014#, 8.4, 2, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2014#, #05/01/2014#, 8.4, 3, 0, 200)",
    "Insert Into TD_Configuration(fromdate, todate, intrate, matpdyr, matpdmonth, amountmultipleof) Values (#04/01/2014#, #05/01/2014#, 8.5, 5, 0, 200)",
};

constexpr TableStatements kUpdateTDConfigurationTables[] = {
    {"TD_Configuration", kTDConfiguration},
};

}  // namespace

constinit const PatchProcedure UpdateMISConfiguration("UpdateMISConfiguration",
                                                      kUpdateMISConfigurationTables);
constinit const PatchProcedure UpdateTDConfiguration("UpdateTDConfiguration",
                                                     kUpdateTDConfigurationTables);

}  // namespace telo
