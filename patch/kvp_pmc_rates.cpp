// UpdateKVPPMCRates: empties KVP_PMC_Rates and refills it with seven periods
// of bands (matpdyr is a band's first number, matpdmonth its last).
// Every statement is sent exactly as written here.
#include "patch/sequence.h"

namespace telo {
namespace {

constexpr std::string_view kKVPPMCRates[] = {
    "Delete From KVP_PMC_Rates",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 1310, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 1420, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 1500, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 1620, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 1730, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#09/02/1993#, #12/31/1998#, 1860, 60, 65)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1280, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1380, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1450, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1560, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1650, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1770, 60, 65)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/01/1999#, #01/14/2000#, 1870, 66, 71)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1246, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1302, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1407, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1478, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1585, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1668, 60, 65)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1779, 66, 71)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#01/15/2000#, #02/28/2001#, 1874, 72, 77)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1209, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1274, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1327, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1409, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1470, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1644, 66, 71)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1770, 72, 77)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2001#, #02/28/2002#, 1857, 78, 86)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1195, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1256, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1305, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1382, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1439, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1534, 60, 65)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1602, 66, 71)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1672, 72, 77)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1800, 78, 83)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2002#, #02/28/2003#, 1883, 84, 91)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1170.51, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1207.95, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1267.19, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1310.8, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1355.9, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1453.63, 60, 65)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1488.49, 66, 71)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1543.3, 72, 77)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1649.13, 78, 83)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1713.82, 84, 89)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1781.06, 90, 95)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#03/01/2003#, #11/17/2014#, 1850.93, 96, 102)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1201, 30, 35)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1246, 36, 41)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1293, 42, 47)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1341, 48, 53)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1391, 54, 59)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1443, 60, 65)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1497, 66, 71)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1553, 72, 77)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1611, 78, 83)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1671, 84, 89)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1733, 90, 95)",
    "Insert Into KVP_PMC_Rates(fromdate, todate, intrate, matpdyr, matpdmonth) Values (#11/18/2014#, #12/31/2014#, 1798, 96, 99)",
};

constexpr TableStatements kUpdateKVPPMCRatesTables[] = {
    {"KVP_PMC_Rates", kKVPPMCRates},
};

}  // namespace

constinit const PatchProcedure UpdateKVPPMCRates("UpdateKVPPMCRates", kUpdateKVPPMCRatesTables);

}  // namespace telo
