// The reads of the result simulation: the stored budget of a branch list, summed and shaped
// for the result screen, on both databases.
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/ServerFixture.h"

namespace {

using srv::Database;

class SimulationReads : public ServerOnBackend {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        server().store().transaction([&](Database& db) { return db.execute(sql, params); });
    }

    // The branch's lines of a type hold `months` on their first line and 0 on the others, so
    // that a figure does not depend on how many lines the fixture gives the branch.
    void setLine(const std::string& branch, const std::string& type,
                 const std::vector<double>& months, int version = 2) {
        std::string zero = "UPDATE ITEMORCAMENTO SET ";
        std::string first = zero;
        for (int m = 1; m <= 12; ++m) {
            zero += (m == 1 ? "" : ", ") + srv::monthColumn("VRORCAMENTO", m) + " = 0";
            first += (m == 1 ? "" : ", ") + srv::monthColumn("VRORCAMENTO", m) + " = " +
                     std::to_string(months[static_cast<std::size_t>((m - 1) % months.size())]);
        }
        const std::string where = " WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = ? AND CDFILIAL "
                                  "= ? AND IDTIPOORCAOP = ?";
        const std::vector<Variant> params{Variant(version), Variant(branch), Variant(type)};
        exec(zero + where, params);
        std::vector<Variant> firstParams = params;
        firstParams.insert(firstParams.end(), params.begin(), params.end());
        exec(first + where + " AND NRSEQITEMORCA = (SELECT MIN(NRSEQITEMORCA) FROM ITEMORCAMENTO" +
                 where + ")",
             firstParams);
    }

    Answer simulGeral(const std::string& branches, const std::string& month, int version = 2,
                      const std::string& letter = "") {
        return teste().budget(
            "getSimulGeral", {val(2026), byref(branches), val(letter), val(version), byref(month)});
    }
};

// One row of a packet, the named fields joined by "|" (the rows of the given branch and type).
std::string rowsOf(const DataPacket& p, const std::string& branch, const std::string& type,
                   const std::vector<std::string>& fields) {
    DataPacket only;
    only.fields = p.fields;
    for (std::size_t r = 0; r < p.rows.size(); ++r)
        if (p.value(r, "CDFILIAL").toText() == branch &&
            p.value(r, "IDTIPOORCAOP").toText() == type)
            only.rows.push_back(p.rows[r]);
    return dumpRows(only, fields);
}

TEST_P(SimulationReads,
       GivenTwoBranchesTaxes_WhenReadingTheTaxTotal_ThenMonthsAreSummedOverTheList) {
    setLine("0001", "I", {50, 60});
    setLine("0002", "I", {25});
    Answer both = teste().budget("RetornaTotImp", {byref("_0001_0002_"), val("2026"), val(2)});
    ASSERT_TRUE(both.ok) << both.error;
    EXPECT_EQ(dumpRows(both.packet()), "75|85|75|85|75|85|75|85|75|85|75|85\n");
    // One checked branch is kept as "_0001", a bare code as "0002".
    Answer one = teste().budget("RetornaTotImp", {byref("_0001"), val("2026"), val(2)});
    ASSERT_TRUE(one.ok) << one.error;
    EXPECT_EQ(dumpRows(one.packet(), {"VRRELITORCOPJAN", "VRRELITORCOPFEV"}), "50|60\n");
    Answer bare = teste().budget("RetornaTotImp", {byref("0002"), val("2026"), val(2)});
    EXPECT_EQ(dumpRows(bare.packet(), {"VRRELITORCOPDEZ"}), "25\n");
}

TEST_P(SimulationReads, GivenBilling_WhenReadingTheBillingTotals_ThenOneRowPerVisibleBranch) {
    setLine("0001", "F", {1000});
    setLine("0002", "F", {2000.005});
    // 0006 is not the operator's branch: never returned, even when listed.
    Answer a = teste().budget("ValorTotal", {val("2026"), byref("_0001_0002_0006_"), val("2")});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"CDFILIAL", "VRORCAMENTOJAN", "VRORCAMENTODEZ"}),
              "0001|1000|1000\n0002|2000.01|2000.01\n");
    Answer bad = teste().budget("ValorTotal", {val("2026"), byref("_0001_"), val("dois")});
    EXPECT_FALSE(bad.ok);
}

TEST_P(SimulationReads, GivenBranchCodes_WhenLookingUpBranches_ThenOnlyVisibleBudgetedOnesAnswer) {
    const auto lookup = [&](const std::string& code) {
        Answer a = teste().budget("getFilial", {val("teste"), val(code), val("2026"), val("2")});
        EXPECT_TRUE(a.ok) << a.error;
        return dumpRows(a.packet(), {"IDMARCADO", "CDFILIAL", "IDACESSOCALC"});
    };
    EXPECT_EQ(lookup("1"), "N|0001|S\n");
    EXPECT_EQ(lookup("9999"), "");
    EXPECT_EQ(lookup("0006"), "");
    EXPECT_EQ(lookup("T"), "N|0001|S\nN|0002|S\nN|0003|S\nN|0004|S\nN|0005|N\n");
    // Another operator's code is refused.
    EXPECT_FALSE(teste().budget("getFilial", {val("fase"), val("T"), val("2026"), val("2")}).ok);
}

TEST_P(SimulationReads, GivenCalculatedBilling_WhenValidating_ThenAutoFlagsFollowTheListedLines) {
    exec("UPDATE ITEMORCAMENTO SET IDITEMCALCORCA = 'N' WHERE IDTIPOORCAOP IN ('F', 'C')");
    exec("UPDATE ITEMORCAMENTO SET IDITEMCALCORCA = 'S' WHERE IDTIPOORCAOP = 'F' AND CDFILIAL "
         "IN ('0001', '0002')");
    const auto flags = [&](const std::string& list) {
        Answer a = teste().budget("ValidaFat", {byref(list), val("2026"), val(2)});
        EXPECT_TRUE(a.ok) << a.error;
        return dumpRows(a.packet());
    };
    EXPECT_EQ(flags("_0001_0002_"), "S|N\n");
    EXPECT_EQ(flags("_0001_0003_"), "N|N\n");
}

TEST_P(SimulationReads, GivenAMonth_WhenReadingGeneralItems_ThenTotalsArePeriodValuesOnBilling) {
    setLine("0001", "F", {1000, 2000, 4000});
    setLine("0001", "I", {100, 100, 100});
    setLine("0001", "P", {30});
    Answer march = simulGeral("_0001", "3");
    ASSERT_TRUE(march.ok) << march.error;
    const DataPacket items = march.packet(1);
    EXPECT_EQ(rowsOf(items, "0001", "I", {"VRORCAMENTOMAR", "TOTAL", "FATURAMENTO", "PORCENT"})
                  .substr(0, 16),
              "100|100|4000|2.5");
    EXPECT_EQ(rowsOf(items, "0001", "P", {"TOTAL", "VRFATORCAMENTO2"}).substr(0, 8), "30|2000\n");
    // Every line of the branch comes back, billing too.
    EXPECT_NE(rowOf(items, "0001", "F"), -1);
    EXPECT_NE(rowOf(items, "0001", "O"), -1);

    Answer year = simulGeral("_0001", "T");
    ASSERT_TRUE(year.ok) << year.error;
    EXPECT_EQ(rowsOf(year.packet(1), "0001", "P", {"TOTAL", "FATURAMENTO"}).substr(0, 11),
              "360|28000\n");
    EXPECT_FALSE(simulGeral("_0001", "13").ok);
    EXPECT_FALSE(simulGeral("_0001", "T", 9).ok);
}

TEST_P(SimulationReads, GivenAVersionStartingInApril_WhenReadingMonthRows_ThenJanuaryIsNextYear) {
    setLine("0002", "F", {1000}, 1);
    setLine("0002", "P", {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}, 1);
    Answer a = simulGeral("_0002_", "T", 1, "P");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(rowsOf(a.packet(0), "0002", "P", {"NRANOORCAOP", "NMES", "VRMES", "PORCIMPOST"}),
              "2026|4|40|4\n2026|5|50|5\n2026|6|60|6\n2026|7|70|7\n2026|8|80|8\n2026|9|90|9\n"
              "2026|10|100|10\n2026|11|110|11\n2026|12|120|12\n2027|1|10|1\n2027|2|20|2\n"
              "2027|3|30|3\n");
    // Only the asked letter, and its total over the list.
    EXPECT_EQ(rowOf(a.packet(1), "0002", "F"), -1);
    EXPECT_EQ(dumpRows(a.packet(2)), "780\n");
}

TEST_P(SimulationReads,
       GivenOneMonthAndALetter_WhenTheDialogReloads_ThenTheYearIsFoundAndRowsKeyTheirLine) {
    setLine("0001", "F", {1000, 2000, 4000});
    setLine("0001", "N", {10});
    exec("UPDATE ITEMORCAMENTO SET VRORCAMENTOMAR = 70, IDITEMORCAMENTO = 'E' WHERE "
         "NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND IDTIPOORCAOP = 'N'");
    // The dialog sends the budget year and the month apart: March of 2026.
    Answer march = simulGeral("_0001", "3", 2, "N");
    ASSERT_TRUE(march.ok) << march.error;
    const DataPacket& items = march.packet(1);
    ASSERT_EQ(items.rows.size(), 1u);
    EXPECT_EQ(dumpRows(items, {"IDTIPOORCAOP", "VRORCAMENTOMAR", "TOTAL", "IDITEMORCAMENTO"}),
              "N|70|70|E\n");
    const std::string sequence = items.value(0, "NRSEQITEMORCA").toText();
    const std::string months = dumpRows(march.packet(0), {"NMES", "VRMES", "NRSEQITEMORCA"});
    EXPECT_EQ(months.substr(0, months.find('\n')), "1|10|" + sequence);
    EXPECT_NE(months.find("3|70|" + sequence + "\n"), std::string::npos) << months;
    EXPECT_EQ(dumpRows(march.packet(2)), "70\n");
    // The month number where the year belongs is not a year.
    EXPECT_FALSE(
        teste().budget("getSimulGeral", {val(3), byref("_0001"), val("N"), val(2), byref("3")}).ok);
}

INSTANTIATE_TEST_SUITE_P(Backends, SimulationReads,
                         ::testing::Values(TestDatabases::Kind::SqliteMemory,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
