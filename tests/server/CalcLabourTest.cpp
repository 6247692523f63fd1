// Labour budget dialog: the budgets offered and the labour lines generated from the chosen ones.
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/ServerFixture.h"

namespace {

using srv::Database;

double day(int y, int m, int d) {
    return srv::DayNumber::fromCivil(y, m, d);
}

class Labour : public ServerOnBackend {
protected:
    void exec(const std::string& sql) {
        server().store().transaction([&](Database& db) { return db.execute(sql); });
    }

    // Labour type and twelve months of a branch's labour lines, a line each.
    std::string labourLines(const std::string& branch) {
        return server().store().read([&](Database& db) {
            std::string sql = "SELECT CDDESPADMFAT";
            for (int m = 1; m <= 12; ++m)
                sql += ", " + srv::monthColumn("VRORCAMENTO", m);
            std::string s;
            for (const auto& row :
                 db.query(sql + " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP "
                                "= 2 AND CDFILIAL = ? AND IDTIPOORCAOP = 'O' ORDER BY "
                                "CDDESPADMFAT",
                          {Variant(branch)})
                     .rows) {
                for (const Variant& v : row)
                    s += (v.isNull() ? "~" : v.toText()) + "|";
                s += "\n";
            }
            return s;
        });
    }

    std::string everything() {
        return server().store().read([](Database& db) {
            std::string s;
            for (const auto& row :
                 db.query("SELECT * FROM ITEMORCAMENTO ORDER BY 1, 2, 3, 4, 5").rows) {
                for (const Variant& v : row)
                    s += (v.isNull() ? "~" : v.toText()) + "|";
                s += "\n";
            }
            return s;
        });
    }

    // The branch packet of a load with IDCHECKO "S" on the given branches.
    DataPacket branches(RpcTestClient& client, const std::vector<std::string>& checked,
                        int version = 2) {
        Answer l = load(client, version);
        EXPECT_TRUE(l.ok) << l.error;
        DataPacket p = l.packet(0);
        const int f = p.fieldIndex("IDCHECKO");
        for (auto& row : p.rows)
            for (const std::string& b : checked)
                if (row[std::size_t(p.fieldIndex("CDFILIAL"))].toText() == b)
                    row[std::size_t(f)] = Variant("S");
        return p;
    }

    Answer generate(RpcTestClient& client, const std::string& chosen, const DataPacket& packet,
                    const std::string& clear = "N", const std::string& periodKind = "S",
                    double start = 0, double end = 0) {
        return client.budget("GeraOrcaMaoObra",
                             {byref(chosen), val(packet), byref(clear), byref(periodKind),
                              val(Variant::fromDate(start)), val(Variant::fromDate(end)),
                              val(Variant::fromDate(day(2026, 1, 1))),
                              val(Variant::fromDate(day(2027, 1, 1))), val(client.operatorCode())});
    }
};

TEST_P(Labour,
       GivenTheLoadedBranches_WhenListingLabourBudgets_ThenThoseOfVisibleBranchesWithTheirKeys) {
    Answer a = teste().budget("GetMaoObraOrcar", {val(branches(teste(), {}))});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"IDMARCADO", "CDORCAMENTOMO", "QTFUNCORCAMO", "CHAVE"}),
              "N|MO0001|5|0001MO0001\nN|MO0002|5|0002MO0002\nN|MO0003|5|0003MO0003\n"
              "N|MO0004|5|0004MO0004\nN|MO0005|5|0005MO0005\n");
    EXPECT_EQ(a.packet().value(0, "DSORCAMENTOMO").toText(), "Equipe FILIAL CENTRO");
}

TEST_P(
    Labour,
    GivenAChosenBudgetOfACheckedBranch_WhenGenerating_ThenEachTypeIsHeadcountTimesSalaryWithCharges) {
    // A third labour type that the branch has no line for yet: the line is created.
    exec("INSERT INTO ORCAMENTOMOTIPO (CDORCAMENTOMO, CDDESPADMFAT, QTFUNCIONARIO, VRSALARIO, "
         "VRPERCENCARGO) VALUES ('MO0001', '03', 1, 3333.33, 12.5)");
    Answer a = generate(teste(), "_0001MO0001_", branches(teste(), {"0001"}));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "OK\n");
    // 2 x 2.000,00 x 1,70 = 6.800,00; 3 x 1.500,00 x 1,70 = 7.650,00; 3.333,33 x 1,125 = 3.750,00.
    EXPECT_EQ(labourLines("0001"),
              "01|6800|6800|6800|6800|6800|6800|6800|6800|6800|6800|6800|6800|\n"
              "02|7650|7650|7650|7650|7650|7650|7650|7650|7650|7650|7650|7650|\n"
              "03|3750|3750|3750|3750|3750|3750|3750|3750|3750|3750|3750|3750|\n");
}

TEST_P(
    Labour,
    GivenADateRangeAndTheClearFlag_WhenGenerating_ThenOnlyThoseMonthsChangeAndOtherTypesAreZeroed) {
    exec("DELETE FROM ORCAMENTOMOTIPO WHERE CDORCAMENTOMO = 'MO0001' AND CDDESPADMFAT = '02'");
    std::string ones = "UPDATE ITEMORCAMENTO SET ";
    for (int m = 1; m <= 12; ++m)
        ones += (m == 1 ? "" : ", ") + srv::monthColumn("VRORCAMENTO", m) + " = 1";
    exec(ones + " WHERE CDFILIAL = '0001' AND IDTIPOORCAOP = 'O' AND CDVERSORCAOP = 2");
    Answer a = generate(teste(), "_0001MO0001_", branches(teste(), {"0001"}), "S", "",
                        day(2026, 2, 1), day(2026, 3, 31));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "OK\n");
    // February and March only; type 02, no longer in the budget, cleared in them.
    EXPECT_EQ(labourLines("0001"), "01|1|6800|6800|1|1|1|1|1|1|1|1|1|\n"
                                   "02|1|0|0|1|1|1|1|1|1|1|1|1|\n");
}

TEST_P(Labour, GivenNoChosenBudgetOfACheckedBranch_WhenGenerating_ThenNadaAndNothingIsWritten) {
    const std::string before = everything();
    // MO0002 belongs to 0002, which is not checked.
    Answer a = generate(teste(), "_0002MO0002_", branches(teste(), {"0001"}));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "Nada\n");
    // A key that names no budget of its branch is no budget either.
    EXPECT_EQ(dumpRows(generate(teste(), "_0001MO0002_", branches(teste(), {"0001"})).packet(),
                       {"Retorno"}),
              "Nada\n");
    EXPECT_EQ(everything(), before);
}

TEST_P(Labour, GivenGuardedBudgets_WhenGenerating_ThenErroAndNothingIsWritten) {
    const std::string before = everything();
    std::vector<std::pair<std::string, Answer>> refused;
    refused.push_back({"effected", generate(teste(), "_0001MO0001_0003MO0003_",
                                            branches(teste(), {"0001", "0003"}))});
    refused.push_back(
        {"older version", generate(teste(), "_0001MO0001_", branches(teste(), {"0001"}, 1))});
    refused.push_back(
        {"no access", generate(teste(), "_0005MO0005_", branches(teste(), {"0005"}))});
    for (const auto& [what, a] : refused) {
        ASSERT_TRUE(a.ok) << what << ": " << a.error;
        EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "Erro\n") << what;
        EXPECT_FALSE(a.packet().value(0, "MENSAGEM").toText().empty()) << what;
    }
    EXPECT_EQ(everything(), before);
    // A malformed clear flag is a wrong call.
    EXPECT_FALSE(generate(teste(), "_0001MO0001_", branches(teste(), {"0001"}), "X").ok);
}

INSTANTIATE_TEST_SUITE_P(Backends, Labour,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
