// Taxes, administrative fee, depreciation and effecting: the figures each order writes, and
// what it must leave as it was.
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/data/Variant.h"
#include "tests/server/FixtureBudget.h"
#include "tests/server/ServerFixture.h"

namespace {

using srv::Database;

double day(int y, int m, int d) {
    return srv::DayNumber::fromCivil(y, m, d);
}

class CalcOrders : public ServerOnBackend {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        server().store().transaction([&](Database& db) { return db.execute(sql, params); });
    }

    // Every month of a branch's lines of one type set to `value`.
    void setMonths(const std::string& branch, const std::string& type, double value) {
        FixtureBudget::setMonths(server().store(), branch, type, value);
    }

    // The status and twelve months of a branch's lines of one type, a line per row.
    std::string lines(const std::string& branch, const std::string& type) {
        return server().store().read([&](Database& db) {
            std::string sql = "SELECT IDSTATUSORCA";
            for (int m = 1; m <= 12; ++m)
                sql += ", " + srv::monthColumn("VRORCAMENTO", m);
            const auto r = db.query(sql + " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                          "CDVERSORCAOP = 2 AND CDFILIAL = ? AND IDTIPOORCAOP = ? "
                                          "ORDER BY NRSEQITEMORCA",
                                    {Variant(branch), Variant(type)});
            std::string s;
            for (const auto& row : r.rows) {
                for (const Variant& v : row)
                    s += (v.isNull() ? "~" : v.toText()) + "|";
                s += "\n";
            }
            return s;
        });
    }

    std::string everything() {
        return server().store().read([&](Database& db) {
            std::string s;
            for (const char* table : {"ITEMORCAMENTO", "ORCAMENTOFILIAL"}) {
                const auto r =
                    db.query(std::string("SELECT * FROM ") + table + " ORDER BY 1, 2, 3, 4, 5");
                for (const auto& row : r.rows) {
                    for (const Variant& v : row)
                        s += (v.isNull() ? "~" : v.toText()) + "|";
                    s += "\n";
                }
            }
            return s;
        });
    }

    Answer taxes(RpcTestClient& client, const std::vector<std::string>& branches,
                 const std::string& kind, const std::string& version = "2") {
        Answer l = load(client);
        EXPECT_TRUE(l.ok) << l.error;
        return client.budget(
            "CalculaImpos",
            {val(checkedRows(l.packet(0), kind == "F" ? "IDCHECKI" : "IDCHECKR", branches)),
             val("2026"), val(version), byref(kind)});
    }

    Answer fee(RpcTestClient& client, const std::vector<std::string>& branches,
               const std::string& periodKind = "", double start = 0, double end = 0) {
        Answer l = load(client);
        EXPECT_TRUE(l.ok) << l.error;
        return client.budget("SetTxAdm",
                             {byref(checkedRows(l.packet(5), "IDCHECK", branches)), val("T"),
                              val("2026"), val(2), val(client.operatorCode()), val("N"), val(true),
                              val(false), val(Variant()), byref(periodKind),
                              byref(Variant::fromDate(start)), byref(Variant::fromDate(end))});
    }

    Answer depreciation(RpcTestClient& client, const std::vector<std::string>& branches,
                        const std::string& periodKind = "S", double start = 0, double end = 0) {
        Answer l = load(client);
        EXPECT_TRUE(l.ok) << l.error;
        return client.budget("calculaDeprec",
                             {val(checkedRows(l.packet(2), "IDCHECK", branches, "P")),
                              byref(periodKind), byref(Variant::fromDate(start)),
                              byref(Variant::fromDate(end)), val(client.operatorCode())});
    }

    Answer effect(RpcTestClient& client, const std::string& branches,
                  const std::string& letter = "T", int version = 2) {
        return client.budget("Efetivar",
                             {byref(branches), byref(letter), val("2026"), val(version)});
    }
};

TEST_P(CalcOrders,
       GivenBillingAndConsumption_WhenCalculatingTaxes_ThenEachTaxIsItsBaseTimesTheRate) {
    setMonths("0001", "F", 1000);
    setMonths("0001", "C", 2000);
    exec("UPDATE IMPOSTOFILIAL SET VRPERCALIQUOTA = 5 WHERE CDFILIAL = '0001' AND CDIMPOSTO = "
         "'01' AND NRANOORCAOP = '2026'");
    exec("UPDATE IMPOSTOFILIAL SET VRPERCALIQUOTA = 1.65 WHERE CDFILIAL = '0001' AND CDIMPOSTO "
         "= '04' AND NRANOORCAOP = '2026'");

    Answer a = taxes(teste(), {"0001"}, "F");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno", "QTITENS"}), "OK|1\n");
    EXPECT_EQ(lines("0001", "I"), "P|50|50|50|50|50|50|50|50|50|50|50|50|\n");

    a = taxes(teste(), {"0001"}, "C");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "OK\n");
    EXPECT_EQ(lines("0001", "R"), "P|33|33|33|33|33|33|33|33|33|33|33|33|\n");
}

TEST_P(CalcOrders,
       GivenABranchWithoutTaxes_WhenCalculatingTaxes_ThenErroAndTheOthersAreStillComputed) {
    setMonths("0001", "F", 1000);
    exec("UPDATE IMPOSTOFILIAL SET VRPERCALIQUOTA = 5 WHERE CDFILIAL = '0001' AND CDIMPOSTO = "
         "'01'");
    exec("DELETE FROM IMPOSTOFILIAL WHERE CDFILIAL = '0002'");
    const std::string before = lines("0002", "I");

    Answer a = taxes(teste(), {"0001", "0002"}, "F");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "Erro\n");
    EXPECT_NE(a.packet().value(0, "MENSAGEM").toText().find("0002"), std::string::npos);
    EXPECT_EQ(lines("0001", "I"), "P|50|50|50|50|50|50|50|50|50|50|50|50|\n");
    EXPECT_EQ(lines("0002", "I"), before);
}

TEST_P(CalcOrders, GivenAGuardedBudget_WhenCalculatingTaxes_ThenErroAndNothingIsWritten) {
    const std::string before = everything();
    // An older version, a closed phase, an effected and an unreachable branch.
    Answer older = taxes(teste(), {"0001"}, "F", "1");
    ASSERT_TRUE(older.ok) << older.error;
    EXPECT_EQ(dumpRows(older.packet(), {"Retorno"}), "Erro\n");
    EXPECT_NE(older.packet().value(0, "MENSAGEM").toText().find("última versão"),
              std::string::npos);
    RpcTestClient bloq = as("bloq");
    EXPECT_EQ(dumpRows(taxes(bloq, {"0001"}, "F").packet(), {"Retorno"}), "Erro\n");
    EXPECT_EQ(dumpRows(taxes(teste(), {"0003", "0005"}, "F").packet(), {"Retorno", "QTITENS"}),
              "Erro|0\n");
    EXPECT_EQ(everything(), before);
    // A wrong kind is a wrong call.
    Answer l = load(teste());
    EXPECT_FALSE(
        teste().budget("CalculaImpos", {val(l.packet(0)), val("2026"), val("2"), byref("X")}).ok);
}

TEST_P(CalcOrders, GivenCheckedFeeRows_WhenCalculatingTheFee_ThenBillingTimesRateInThePeriodOnly) {
    setMonths("0001", "F", 1000);
    setMonths("0001", "T", 7);
    exec("UPDATE TAXAADMFILIAL SET VRPERCTXADM = 12.5 WHERE CDFILIAL = '0001'");
    Answer a = fee(teste(), {"0001"}, "P", day(2026, 4, 1), day(2026, 6, 30));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(lines("0001", "T"), "P|7|7|7|125|125|125|7|7|7|7|7|7|\n");
    // Without a period (no dialog confirmed yet): every month.
    ASSERT_TRUE(fee(teste(), {"0001"}).ok);
    EXPECT_EQ(lines("0001", "T"), "P|125|125|125|125|125|125|125|125|125|125|125|125|\n");
}

TEST_P(CalcOrders,
       GivenAnEffectedBranchChecked_WhenCalculatingTheFee_ThenRefusedAndNothingIsWritten) {
    setMonths("0001", "F", 1000);
    const std::string before = everything();
    Answer a = fee(teste(), {"0001", "0003"});
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("0003"), std::string::npos) << a.error;
    EXPECT_EQ(everything(), before);
    // Months the phase closes keep their values.
    RpcTestClient fase = as("fase");
    setMonths("0001", "T", 7);
    exec("UPDATE TAXAADMFILIAL SET VRPERCTXADM = 10 WHERE CDFILIAL = '0001'");
    ASSERT_TRUE(fee(fase, {"0001"}).ok);
    EXPECT_EQ(lines("0001", "T"), "P|7|7|7|100|100|100|100|100|100|100|100|100|\n");
}

TEST_P(CalcOrders, GivenAssets_WhenImportingDepreciation_ThenEachMonthSumsTheAssetsInService) {
    exec("DELETE FROM BEMFILIAL WHERE CDFILIAL = '0001'");
    // 1.200,00 over 12 months from March 2026; 600,00 over 3 months from November 2025.
    exec("INSERT INTO BEMFILIAL (CDFILIAL, CDBEM, DSBEM, VRCUSTOBEM, DTINICIOBEM, QTMESESVIDA) "
         "VALUES ('0001', 'B1', 'Fogão', 1200, ?, 12), ('0001', 'B2', 'Balcão', 600, ?, 3)",
         {Variant(day(2026, 3, 1)), Variant(day(2025, 11, 1))});
    setMonths("0001", "P", 9);
    Answer a = depreciation(teste(), {"0001"}, "P", day(2026, 1, 1), day(2026, 11, 30));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(lines("0001", "P"), "P|200|0|100|100|100|100|100|100|100|100|100|9|\n");

    // Nothing checked is refused with the client's message.
    Answer l = load(teste());
    Answer none =
        teste().budget("calculaDeprec", {val(l.packet(2)), byref("S"), byref(Variant::fromDate(0)),
                                         byref(Variant::fromDate(0)), val("teste")});
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.error, "Nenhuma filial foi selecionada para a importação");
}

TEST_P(CalcOrders,
       GivenABranchWithoutCalculationAccess_WhenImportingDepreciation_ThenNothingIsWritten) {
    const std::string before = everything();
    Answer a = depreciation(teste(), {"0001", "0005"});
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("0005"), std::string::npos) << a.error;
    EXPECT_EQ(everything(), before);
}

TEST_P(CalcOrders, GivenOpenBranches_WhenEffecting_ThenEveryLineAndTheHeaderAreEffected) {
    Answer a = effect(teste(), "_0001_0002_");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno", "QTITENS"}), "OK|28\n");
    Answer l = load(teste());
    for (const char* branch : {"0001", "0002"}) {
        const DataPacket& heads = l.packet(0);
        for (std::size_t r = 0; r < heads.rows.size(); ++r)
            if (heads.value(r, "CDFILIAL").toText() == branch) {
                EXPECT_EQ(heads.value(r, "IDSTATUSORCA").toText(), "E") << branch;
            }
    }
    const std::string states = server().store().read([](Database& db) {
        std::string s;
        for (const auto& row :
             db.query("SELECT CDFILIAL, IDSTATUSORCA, IDITEMORCAMENTO, COUNT(*) FROM "
                      "ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
                      "CDFILIAL IN ('0001', '0002', '0005') GROUP BY CDFILIAL, IDSTATUSORCA, "
                      "IDITEMORCAMENTO ORDER BY CDFILIAL")
                 .rows)
            s += row[0].toText() + row[1].toText() + row[2].toText() + row[3].toText() + " ";
        return s;
    });
    EXPECT_EQ(states, "0001EE14 0002EE14 0005PP14 ");
    // Effected budgets cannot be effected (or calculated) again.
    EXPECT_FALSE(effect(teste(), "_0001_").ok);
}

TEST_P(CalcOrders, GivenALineWithAnEmptyMonth_WhenEffecting_ThenTheWholeOrderIsRefused) {
    exec("UPDATE ITEMORCAMENTO SET VRORCAMENTOJUL = NULL WHERE NRANOORCAOP = '2026' AND "
         "CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND IDTIPOORCAOP = 'D'");
    const std::string before = everything();
    std::vector<std::pair<std::string, Answer>> refused;
    refused.push_back({"empty month", effect(teste(), "_0001_0002_")});
    refused.push_back({"older version", effect(teste(), "_0001_", "T", 1)});
    refused.push_back({"no access", effect(teste(), "_0001_0005_")});
    refused.push_back({"approved", effect(teste(), "_0004_")});
    refused.push_back({"all branches", effect(teste(), "T")});
    for (const auto& [what, a] : refused)
        EXPECT_FALSE(a.ok) << what;
    EXPECT_NE(refused[0].second.error.find("0002"), std::string::npos) << refused[0].second.error;
    EXPECT_EQ(everything(), before);
}

INSTANTIATE_TEST_SUITE_P(Backends, CalcOrders,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
