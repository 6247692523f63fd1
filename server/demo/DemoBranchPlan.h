#pragma once

#include <string>
#include <vector>

namespace srv {

// Everything the demo fills for one branch: its place in the organisation and the master data
// that its budget lines are computed from. Volumes grow with `size`.
struct DemoBranchPlan {
    struct Labour {
        std::string type; // CDDESPADMFAT
        double headcount = 0;
        double salary = 0;
        double chargesPercent = 0;
    };
    struct Entry {
        std::string operation; // CDTIPOOPER ("V" or another)
        std::string expense;   // CDDESPPREV
    };

    std::string code; // CDFILIAL
    std::string name;
    std::string region;
    std::string segment; // empty: no segment
    std::vector<std::string> groups;
    std::string billingKind = "FM"; // IDFATUROP
    std::string detail = "S";       // IDDETALHEFATUR
    std::string calcMode = "S";     // IDCALCOMESTORC
    int size = 1;
    bool saturdays = false;           // works on Saturdays (more working days)
    bool baseMonth = true;            // billing/consumption rows carry a base month
    bool consumptionBaseMonth = true; // false: consumption is computed from last year instead
    bool manual = false;              // billing/consumption rows typed, not calculated
    std::vector<std::string> taxes;   // CDIMPOSTO registered for the branch (empty: none)
    std::vector<Labour> labour;
    std::vector<std::string> misc;   // CDDESPPREV of the miscellaneous expense lines
    std::vector<std::string> office; // CDDESPPREV of the head-office expense lines
    std::vector<Entry> entries;
};

} // namespace srv
