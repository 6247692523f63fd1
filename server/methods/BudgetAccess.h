#pragma once

#include "server/methods/CodeList.h"
#include "services/data/Variant.h"

#include <array>
#include <map>
#include <optional>
#include <string>

namespace srv {

class Database;

// A branch as one operator sees it.
struct VisibleBranch {
    std::string code;
    std::string name;
    std::string region;
    std::string segment;
    std::string calcMode;       // IDCALCOMESTORC
    std::string calcAccess;     // IDACESSOCALC: "S" the operator may calculate and edit
    std::string approvalAccess; // IDACESSOAPROV
};

// The operator's budget phase of a year; none means no restriction.
struct OperatorPhase {
    std::string name;
    bool calculationAllowed = true;   // IDFASECALCORCA is not "N"
    std::array<bool, 12> monthOpen{}; // IDPERMCALC<month> is not "N"
};

// What an operator may see and change of a year's budget: the rules every read and write of
// the remote methods goes through. Reads on the connection it is given.
class BudgetAccess {
public:
    BudgetAccess(Database& db, std::string operatorCode);

    // The branches the operator sees, by code.
    const std::map<std::string, VisibleBranch>& branches();
    // One branch as the operator sees it, or nullptr when the operator does not see it. Reads
    // only that branch unless every branch was read already.
    const VisibleBranch* branch(const std::string& code);
    // Of those, the ones the four lists select (groups, regions and segments: a branch passes
    // when it belongs to one of the listed codes; "T" passes every branch).
    std::map<std::string, VisibleBranch> select(const CodeList& branches, const CodeList& groups,
                                                const CodeList& regions, const CodeList& segments);

    std::optional<OperatorPhase> phase(const std::string& year);
    // The highest version of a year, or nullopt when the year has none.
    std::optional<int> latestVersion(const std::string& year);
    bool versionExists(const std::string& year, int version);

    // A year argument: four digits, or RpcError.
    static std::string checkYear(const Variant& value);

private:
    Database& m_db;
    std::string m_operator;
    std::optional<std::map<std::string, VisibleBranch>> m_branches;
    std::map<std::string, std::optional<VisibleBranch>> m_single;
};

} // namespace srv
