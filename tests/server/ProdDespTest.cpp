// The products of an expense item: listed with what the item plans, confirmed into the item's
// months, and refused where the main screen would refuse a typed value.
#include "server/methods/Methods.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/ServerFixture.h"

namespace {

using srv::Database;

class ProdDesp : public ServerOnBackend {
protected:
    void exec(const std::string& sql) {
        server().store().transaction([&](Database& db) { return db.execute(sql, {}); });
    }

    // The sequence of the branch's entry-expense line of expense type 005.
    std::string transportItem(const std::string& branch) {
        return server()
            .store()
            .read([&](Database& db) {
                return db.query("SELECT NRSEQITEMORCA FROM ITEMORCAMENTO WHERE NRANOORCAOP = "
                                "'2026' AND CDVERSORCAOP = 2 AND CDFILIAL = ? AND CDDESPPREV = "
                                "'005'",
                                {Variant(branch)});
            })
            .scalar()
            .toText();
    }

    // The twelve months of an item as the server keeps them, "|"-joined.
    std::string itemMonths(const std::string& branch, const std::string& seq) {
        return server().store().read([&](Database& db) {
            std::string sql = "SELECT ";
            for (int m = 1; m <= 12; ++m)
                sql += (m == 1 ? "" : ", ") + srv::monthColumn("VRORCAMENTO", m);
            const auto r = db.query(sql + " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                          "CDVERSORCAOP = 2 AND CDFILIAL = ? AND NRSEQITEMORCA = ?",
                                    {Variant(branch), Variant(seq)});
            std::string s;
            for (const Variant& v : r.rows.at(0))
                s += (s.empty() ? "" : "|") + v.toText();
            return s;
        });
    }

    Answer get(RpcTestClient& client, const std::string& branch, const std::string& seq) {
        return client.call(srv::kModuleProdDesp, "GetProdutosItem",
                           {val("2026"), val(2), val(branch), val(seq)});
    }

    Answer set(RpcTestClient& client, const DataPacket& lines, const std::string& branch,
               const std::string& seq) {
        return client.call(srv::kModuleProdDesp, "SetProdutosItem",
                           {val(lines), val("2026"), val(2), val(branch), val(seq)});
    }

    // The listed products with `quantity` in every month of the product `code`.
    static DataPacket planned(DataPacket lines, const std::string& code, double quantity) {
        const int c = lines.fieldIndex("CDPRODUTO");
        for (auto& row : lines.rows)
            if (row[std::size_t(c)].toText() == code)
                for (int m = 1; m <= 12; ++m)
                    row[std::size_t(lines.fieldIndex(srv::monthColumn("QTPRODUTO", m)))] =
                        Variant(quantity);
        return lines;
    }
};

TEST_P(ProdDesp, GivenAnExpenseItem_WhenListed_ThenItsExpenseTypesProductsWithNothingPlanned) {
    const std::string seq = transportItem("0001");
    Answer a = get(teste(), "0001", seq);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"CDPRODUTO", "SGUNIDADE", "VRPRECOUNIT", "QTPRODUTOJAN"}),
              "TRA01|VG|350|0\nTRA02|VG|220|0\n");
    // A branch the operator does not see is not listed.
    EXPECT_FALSE(get(teste(), "0006", transportItem("0006")).ok);
}

TEST_P(ProdDesp, GivenPlannedQuantities_WhenConfirmed_ThenTheItemsMonthsAreTheirValue) {
    const std::string seq = transportItem("0001");
    DataPacket lines = get(teste(), "0001", seq).packet();
    lines = planned(planned(lines, "TRA01", 2), "TRA02", 1.5);
    Answer a = set(teste(), lines, "0001", seq);
    ASSERT_TRUE(a.ok) << a.error;
    // 2 x 350,00 + 1,5 x 220,00
    EXPECT_EQ(itemMonths("0001", seq),
              "1030|1030|1030|1030|1030|1030|1030|1030|1030|1030|1030|1030");
    EXPECT_EQ(dumpRows(get(teste(), "0001", seq).packet(), {"CDPRODUTO", "QTPRODUTODEZ"}),
              "TRA01|2\nTRA02|1.5\n");

    // Months the operator's phase closes keep their value and their quantities.
    RpcTestClient fase = as("fase");
    lines = planned(get(fase, "0001", seq).packet(), "TRA01", 3);
    EXPECT_FALSE(set(fase, lines, "0001", seq).ok) << "JAN..MAR are closed to phase F2";
}

TEST_P(ProdDesp, GivenClosedItemsOrStrangeProducts_WhenConfirmed_ThenRefusedAndNothingWritten) {
    const std::string effected = transportItem("0003");
    const std::string before = itemMonths("0003", effected);
    Answer e = set(teste(), planned(get(teste(), "0003", effected).packet(), "TRA01", 1), "0003",
                   effected);
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(itemMonths("0003", effected), before);

    const std::string open = transportItem("0002");
    const std::string was = itemMonths("0002", open);
    DataPacket lines = planned(get(teste(), "0002", open).packet(), "TRA01", 1);
    lines.rows.push_back(lines.rows.front());
    lines.rows.back()[std::size_t(lines.fieldIndex("CDPRODUTO"))] = Variant("LIM01");
    Answer foreign = set(teste(), lines, "0002", open);
    EXPECT_FALSE(foreign.ok);
    EXPECT_NE(foreign.error.find("LIM01"), std::string::npos) << foreign.error;
    EXPECT_EQ(itemMonths("0002", open), was) << "the whole confirmation is refused";

    lines = planned(get(teste(), "0002", open).packet(), "TRA02", -1);
    EXPECT_FALSE(set(teste(), lines, "0002", open).ok);
    EXPECT_FALSE(set(teste(), lines, "0005", transportItem("0005")).ok) << "no calculation access";
}

INSTANTIATE_TEST_SUITE_P(Backends, ProdDesp,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
