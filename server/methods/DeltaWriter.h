#pragma once

#include "server/methods/BudgetAccess.h"
#include "server/store/QueryResult.h"
#include "services/data/DataPacket.h"

#include <map>
#include <string>

namespace srv {

class Database;

// Applies the delta of a saved dataset to the budget items of one year and version, inside
// the caller's transaction. Every change is checked before it is written: the operator's
// access to the branch, the row's status, the months the operator's phase closes, and the
// row's original values against the stored ones (another operator's change is a conflict).
// The first refusal throws RpcError naming the row; the caller's rollback undoes the rest.
class DeltaWriter {
public:
    // `feeRows`: the delta holds administrative fee rows (type T) only; otherwise it holds
    // any other type letter.
    DeltaWriter(Database& db, std::string operatorCode, std::string year, int version,
                bool feeRows);

    // Checks the budget as a whole (version latest, phase open) and applies every change.
    // Returns the number of rows written.
    int apply(const DataPacket& delta);

private:
    struct Key {
        std::string branch, type, seq;
    };
    struct Column {
        std::string name;
        int field;       // index in the delta's fields
        bool month;      // one of the twelve value columns
        int monthNumber; // 1..12 for month columns
        bool writable;   // written by a modification (others only by an insert)
        bool date;
    };

    void bindColumns(const DataPacket& delta);
    Key keyOf(const std::vector<Variant>& values) const;
    std::string describe(const Key& key) const;
    void checkBranch(const Key& key);
    QueryResult stored(const Key& key);
    // The stored row's months after the checks every change of an existing row needs: branch
    // access, the row still there (else a conflict saying it `goneWording`), open, unchanged.
    std::vector<Variant> storedMonths(const Key& key, const std::vector<Variant>& original,
                                      const char* goneWording);
    void checkOpen(const Key& key, const QueryResult& row);
    void checkOriginal(const Key& key, const std::vector<Variant>& original,
                       const QueryResult& row) const;
    void checkMonths(const Key& key, const std::vector<Variant>& before,
                     const std::vector<Variant>& after) const;
    Variant cell(const Column& c, const Variant& value) const;
    // Refuses (RpcError) a text longer than its column.
    static void checkLength(const std::string& column, const std::string& text);

    // Returns whether the row was written.
    bool modify(const Key& key, const std::vector<Variant>& original,
                const std::vector<Variant>& now);
    // A modification that changes nothing but the save's IDALTERADO mark: the billing tab
    // marks every row it may calculate, effected and approved ones included.
    bool onlyMarked(const std::vector<Variant>& original, const std::vector<Variant>& now) const;
    // Stores the mark on an open row; closed rows keep theirs. Returns whether it wrote.
    bool mark(const Key& key, const std::vector<Variant>& now);
    std::string headerStatus(const std::string& branch);
    void insert(const Key& key, const std::vector<Variant>& now);
    void remove(const Key& key, const std::vector<Variant>& original);

    Database& m_db;
    BudgetAccess m_access;
    std::string m_operator;
    std::string m_year;
    int m_version;
    bool m_feeRows;
    std::optional<OperatorPhase> m_phase;
    std::vector<Column> m_columns;
    int m_branchField = -1, m_typeField = -1, m_seqField = -1, m_yearField = -1,
        m_versionField = -1;
    std::map<std::string, std::string> m_headerStatus;
};

} // namespace srv
