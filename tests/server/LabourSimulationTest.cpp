// The labour line of the result simulation on the server: the lines GetSimulaMaoObra reads,
// each with its labour budget, and the labour months SetSimulacao writes back, on both
// databases.
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/ServerFixture.h"

#include <set>

namespace {

using srv::Database;

class LabourSimulation : public ServerOnBackend {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        server().store().transaction([&](Database& db) { return db.execute(sql, params); });
    }

    double stored(const std::string& branch, const std::string& labourType, int month) {
        return server()
            .store()
            .read([&](Database& db) {
                return db.query("SELECT " + srv::monthColumn("VRORCAMENTO", month) +
                                    " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                    "CDVERSORCAOP = 2 AND CDFILIAL = ? AND IDTIPOORCAOP = 'O' "
                                    "AND CDDESPADMFAT = ?",
                                {Variant(branch), Variant(labourType)});
            })
            .scalar()
            .toDouble();
    }

    Answer read(const std::string& branches, const std::string& month, double billing) {
        return teste().budget("GetSimulaMaoObra",
                              {byref(branches), val("2026"), val(2), byref(month), val(billing)});
    }

    // SetSimulacao with only the labour packet (and its flag) and the month.
    Answer save(const DataPacket& labour, bool simulated, const std::string& branches,
                const std::string& month) {
        std::vector<Variant> packets(6);
        packets[1] = Variant(labour);
        return teste().budget("SetSimulacao",
                              {byref(Variant(packets)), byref(branches), val("2026"), val(2),
                               val(0.0), val(false), val(0.0), val(false), val(0.0), val(false),
                               val(simulated), val(false), val(false), byref(""), byref(month)});
    }

    // Every month of every row of the labour items times `factor`.
    static DataPacket scaled(DataPacket p, double factor) {
        for (std::size_t f = 0; f < p.fields.size(); ++f) {
            if (p.fields[f].name.rfind("VRORCAMENTO", 0) != 0) continue;
            for (auto& row : p.rows)
                if (!row[f].isNull()) row[f] = Variant(row[f].toDouble() * factor);
        }
        return p;
    }
};

TEST_P(LabourSimulation, GivenTwoBudgetsSharingADescription_WhenRead_ThenEachLineCarriesItsCode) {
    // A second labour budget of branch 0001 under the same description, with a second cook and
    // a nutritionist, and their lines in the budget; the manager's line has no labour budget.
    exec("INSERT INTO ORCAMENTOMO (CDORCAMENTOMO, DSORCAMENTOMO, QTFUNCORCAMO, CDFILIAL) "
         "SELECT 'MOX0001', DSORCAMENTOMO, 1, CDFILIAL FROM ORCAMENTOMO WHERE CDORCAMENTOMO = "
         "'MO0001'");
    for (const char* type : {"01", "03"})
        exec("INSERT INTO ORCAMENTOMOTIPO (CDORCAMENTOMO, CDDESPADMFAT, QTFUNCIONARIO, "
             "VRSALARIO, VRPERCENCARGO) VALUES ('MOX0001', ?, 1, 4000, 70)",
             {Variant(std::string(type))});
    for (const char* type : {"01", "03", "04"})
        exec("INSERT INTO ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, "
             "NRSEQITEMORCA, CDDESPADMFAT, IDSTATUSORCA, VRORCAMENTOJAN) VALUES ('2026', 2, "
             "'0001', 'O', ?, ?, 'P', 700)",
             {Variant(std::string("90000000") + type), Variant(std::string(type))});

    Answer a = read("_0001_", "T", 100000.0);
    ASSERT_TRUE(a.ok) << a.error;
    const std::string team = "Equipe FILIAL CENTRO";
    // The two cooks' lines take the two budgets in turn.
    EXPECT_EQ(dumpRows(a.packet(1), {"CDORCAMENTOMO", "CDDESPADMFAT", "DSDESPADMFAT"}),
              "MO0001|01|Cozinheiro\nMO0001|02|Auxiliar de cozinha\nMOX0001|01|Cozinheiro\n"
              "MOX0001|03|Nutricionista\n~|04|Gerente de unidade\n");
    EXPECT_EQ(dumpRows(a.packet(0), {"CDORCAMENTOMO", "DSORCAMENTOMO", "NRSEQITEMORCA"}),
              "MO0001|" + team + "|0000000003\nMO0001|" + team + "|0000000004\nMOX0001|" + team +
                  "|9000000001\nMOX0001|" + team + "|9000000003\n~|~|9000000004\n");
    // The lines name their labour budget as their months do.
    EXPECT_EQ(dumpRows(a.packet(1), {"CDORCAMENTOMO", "DSORCAMENTOMO", "CDFILIAL"}),
              dumpRows(a.packet(0), {"CDORCAMENTOMO", "DSORCAMENTOMO", "CDFILIAL"}));
    // Description, type and branch no longer tell the cooks apart; the budget's code does.
    std::set<std::string> byCode, byDescription;
    const DataPacket& lines = a.packet(1);
    for (std::size_t r = 0; r < lines.rows.size(); ++r) {
        const std::string rest = "|" + lines.value(r, "CDDESPADMFAT").toText() + "|" +
                                 lines.value(r, "CDFILIAL").toText();
        byCode.insert(lines.value(r, "CDORCAMENTOMO").toText() + rest);
        byDescription.insert(lines.value(r, "DSORCAMENTOMO").toText() + rest);
    }
    EXPECT_EQ(byCode.size(), lines.rows.size());
    EXPECT_EQ(byDescription.size(), lines.rows.size() - 1);
}

TEST_P(LabourSimulation, GivenEditedLabourMonths_WhenSaved_ThenWrittenOnlyWhenTheLineWasSimulated) {
    const double march = stored("0001", "01", 3), april = stored("0001", "01", 4);
    const double effected = stored("0003", "01", 3);
    ASSERT_GT(march, 0);
    ASSERT_GT(effected, 0);
    Answer a = read("_0001_0003_", "T", 0.0);
    ASSERT_TRUE(a.ok) << a.error;
    const DataPacket doubled = scaled(a.packet(0), 2);

    // The operator answered No to the labour question: the packet travels but is not written.
    ASSERT_TRUE(save(doubled, false, "_0001_0003_", "T").ok);
    EXPECT_EQ(stored("0001", "01", 3), march);

    // A month simulated: only that month of the listed open branch is written.
    ASSERT_TRUE(save(doubled, true, "_0001_0003_", "3").ok);
    EXPECT_EQ(stored("0001", "01", 3), 2 * march);
    EXPECT_EQ(stored("0001", "01", 4), april);
    EXPECT_EQ(stored("0003", "01", 3), effected);

    // The whole year, read back as the dialog will see it on its next opening.
    ASSERT_TRUE(save(doubled, true, "_0001_", "T").ok);
    EXPECT_EQ(stored("0001", "01", 4), 2 * april);
    Answer after = read("_0001_", "T", 0.0);
    ASSERT_TRUE(after.ok) << after.error;
    EXPECT_EQ(monthValue(after.packet(0), 0, "VRORCAMENTOABR"), 2 * april);
}

INSTANTIATE_TEST_SUITE_P(Backends, LabourSimulation,
                         ::testing::Values(TestDatabases::Kind::SqliteMemory,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
