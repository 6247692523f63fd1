// The billing line of the result simulation on the server: GetSimulaFat reads the billing
// services of a branch list by month, and SetSimulacao writes back what the billing dialog
// changed, service by service, with the branch's billing item following their sum.
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/ServerFixture.h"

namespace {

using srv::Database;

class BillingSimulation : public ServerOnBackend {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        server().store().transaction([&](Database& db) { return db.execute(sql, params); });
    }

    // One month of a branch's billing: the services take `values` in code order with
    // `quantity` each, the first billing item their sum and the other items 0.
    void setBilling(const std::string& branch, int month, const std::vector<double>& values,
                    double quantity = 10) {
        const std::string value = srv::monthColumn("VRORCAMENTO", month);
        const std::string qty = srv::monthColumn("QTORCAMENTO", month);
        const std::string where = " WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
                                  "CDFILIAL = ? AND IDTIPOORCAOP = 'F'";
        const char* const services[] = {"S01", "S02", "S03"};
        double sum = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            exec("UPDATE ITEMSERVORCA SET " + value + " = ?, " + qty + " = ?" + where +
                     " AND CDSERVFILI = ?",
                 {values[i], quantity, branch, services[i]});
            sum += values[i];
        }
        exec("UPDATE ITEMORCAMENTO SET " + value + " = 0" + where, {branch});
        exec("UPDATE ITEMORCAMENTO SET " + value + " = ?" + where +
                 " AND NRSEQITEMORCA = (SELECT MIN(NRSEQITEMORCA) FROM ITEMORCAMENTO" + where + ")",
             {sum, branch, branch});
    }

    Answer read(const std::string& branches, const std::string& month,
                RpcTestClient* client = nullptr) {
        return (client ? *client : teste())
            .budget("GetSimulaFat", {byref(branches), val("2026"), val(2), byref(month)});
    }

    // The billing of the branches by month as the result screen reads it.
    std::string billingTotals(const std::string& branches, const std::string& month) {
        Answer a = teste().budget("ValorTotal", {val("2026"), byref(branches), val("2")});
        EXPECT_TRUE(a.ok) << a.error;
        return dumpRows(a.packet(), {"CDFILIAL", month});
    }

    Answer save(const DataPacket& byMonth, const std::string& branches, const std::string& month,
                RpcTestClient* client = nullptr) {
        std::vector<Variant> packets(6);
        packets[0] = Variant(byMonth);
        return (client ? *client : teste())
            .budget("SetSimulacao",
                    {byref(Variant(packets)), byref(branches), val("2026"), val(2), val(0.0),
                     val(false), val(0.0), val(false), val(0.0), val(false), val(false), val(false),
                     val(false), byref(""), byref(month)});
    }

    // What the dialog does on posting a month: new quantity and value of one service.
    static void post(DataPacket& p, const std::string& branch, const std::string& service,
                     const char* month, double quantity, double value) {
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "CDFILIAL").toText() != branch ||
                p.value(r, "CDSERVFILI").toText() != service)
                continue;
            p.rows[r][static_cast<std::size_t>(p.fieldIndex(std::string("QTORCAMENTO") + month))] =
                Variant(quantity);
            p.rows[r][static_cast<std::size_t>(p.fieldIndex(std::string("VRORCAMENTO") + month))] =
                Variant(value);
        }
    }
};

TEST_P(BillingSimulation, GivenServices_WhenReadForOneMonth_ThenTotalsShareAndMonthsComeBack) {
    setBilling("0001", 3, {1000, 2500, 500}, 40);
    Answer a = read("_0001", "3");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(1), {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "VRSERVCORCA",
                                     "VRTOTORCA", "PERCENTUALFAT", "IDITEMORCAMENTO"}),
              "0001|S01|Almoço|1000|4000|25|P\n"
              "0001|S02|Jantar|2500|4000|62.5|P\n"
              "0001|S03|Desjejum|500|4000|12.5|P\n");
    // Every month of every service, whatever the period: the dialog builds its rows from them.
    EXPECT_EQ(dumpRows(a.packet(0), {"CDSERVFILI", "QTORCAMENTOMAR", "VRORCAMENTOMAR"}),
              "S01|40|1000\nS02|40|2500\nS03|40|500\n");
    EXPECT_GT(monthValue(a.packet(0), 0, "NDIAUTILMAR"), 0);
    EXPECT_EQ(a.packet(0).rows.size(), 3u);
    EXPECT_FALSE(a.packet(0).value(0, "VRPERCORRCOMMAR").isNull());
    EXPECT_FALSE(a.packet(0).value(0, "VRREAJORCMAR").isNull());
    // The services and their month rows name the branch's billing item.
    EXPECT_EQ(a.packet(0).value(0, "NRSEQITEMORCA").toText(),
              a.packet(1).value(0, "NRSEQITEMORCA").toText());
    EXPECT_FALSE(a.packet(1).value(0, "NRSEQITEMORCA").toText().empty());

    // The whole year: the service total is its twelve months.
    Answer year = read("0001", "T");
    ASSERT_TRUE(year.ok) << year.error;
    double s01 = 0;
    for (const char* m :
         {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN", "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"})
        s01 += monthValue(year.packet(0), 0, std::string("VRORCAMENTO") + m);
    EXPECT_NEAR(monthValue(year.packet(1), 0, "VRSERVCORCA"), s01, 0.005);
}

TEST_P(BillingSimulation, GivenClosedBudgetsAndHiddenBranches_WhenRead_ThenStateAndScopeShow) {
    // 0003 is effected and 0004 approved; 0001's billing item alone is approved.
    exec("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'A' WHERE CDFILIAL = '0001' AND "
         "IDTIPOORCAOP = 'F' AND NRANOORCAOP = '2026' AND CDVERSORCAOP = 2");
    Answer a = read("_0001_0002_0003_0004_0006_", "T");
    ASSERT_TRUE(a.ok) << a.error;
    std::string states;
    for (std::size_t r = 0; r < a.packet(1).rows.size(); r += 3)
        states += a.packet(1).value(r, "CDFILIAL").toText() + "|" +
                  a.packet(1).value(r, "IDITEMORCAMENTO").toText() + "\n";
    // 0006 is not the operator's branch.
    EXPECT_EQ(states, "0001|A\n0002|P\n0003|E\n0004|A\n");
    EXPECT_EQ(dumpRows(a.packet(0), {"IDITEMORCAMENTO"}).substr(0, 6), "A\nA\nA\n");

    Answer none = read("_0006_", "T");
    ASSERT_TRUE(none.ok) << none.error;
    EXPECT_TRUE(none.packet(0).rows.empty());
    EXPECT_TRUE(none.packet(1).rows.empty());
    EXPECT_FALSE(read("_0001_", "13").ok);
    Answer noVersion =
        teste().budget("GetSimulaFat", {byref("_0001_"), val("2026"), val(9), byref("T")});
    EXPECT_EQ(noVersion.error, "Versão 9 do ano 2026 não cadastrada.");
}

TEST_P(BillingSimulation, GivenAMonthPostedInTheDialog_WhenSaved_ThenServiceAndItemTakeIt) {
    setBilling("0001", 3, {1000, 2500, 500});
    setBilling("0001", 4, {100, 200, 300});
    // 0002's item was typed on the main screen and no longer matches its services.
    setBilling("0002", 3, {700, 800, 900});
    exec("UPDATE ITEMORCAMENTO SET VRORCAMENTOMAR = 12345 WHERE CDFILIAL = '0002' AND "
         "IDTIPOORCAOP = 'F' AND NRANOORCAOP = '2026' AND CDVERSORCAOP = 2");
    Answer before = read("_0001_0002_", "T");
    ASSERT_TRUE(before.ok) << before.error;
    DataPacket byMonth = before.packet(0);
    // Quantity 10 at base price 25,50; April changed too but is outside the period.
    post(byMonth, "0001", "S01", "MAR", 10, 255);
    post(byMonth, "0001", "S02", "ABR", 1, 1);
    const std::string april = billingTotals("_0001_0002_", "VRORCAMENTOABR");

    Answer a = save(byMonth, "_0001_0002_", "3");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "OK\n");
    Answer after = read("_0001_0002_", "3");
    ASSERT_TRUE(after.ok) << after.error;
    EXPECT_EQ(dumpRows(after.packet(1), {"CDFILIAL", "CDSERVFILI", "VRSERVCORCA", "VRTOTORCA"}),
              "0001|S01|255|3255\n0001|S02|2500|3255\n0001|S03|500|3255\n"
              "0002|S01|700|12345\n0002|S02|800|12345\n0002|S03|900|12345\n");
    EXPECT_EQ(dumpRows(after.packet(0), {"QTORCAMENTOMAR"}).substr(0, 3), "10\n");
    EXPECT_EQ(billingTotals("_0001_0002_", "VRORCAMENTOMAR"), "0001|3255\n0002|12345\n");
    EXPECT_EQ(billingTotals("_0001_0002_", "VRORCAMENTOABR"), april);
}

TEST_P(BillingSimulation, GivenTheWholeYearPosted_WhenSaved_ThenEveryChangedMonthIsWritten) {
    setBilling("0002", 1, {10, 20, 30});
    setBilling("0002", 12, {40, 50, 60});
    Answer before = read("0002", "T");
    ASSERT_TRUE(before.ok) << before.error;
    DataPacket byMonth = before.packet(0);
    post(byMonth, "0002", "S03", "JAN", 3, 90);
    post(byMonth, "0002", "S01", "DEZ", 2, 0);
    ASSERT_TRUE(save(byMonth, "0002", "T").ok);
    EXPECT_EQ(billingTotals("0002", "VRORCAMENTOJAN"), "0002|120\n");
    EXPECT_EQ(billingTotals("0002", "VRORCAMENTODEZ"), "0002|110\n");
    Answer after = read("0002", "T");
    EXPECT_EQ(dumpRows(after.packet(0), {"CDSERVFILI", "VRORCAMENTOJAN", "VRORCAMENTODEZ"}),
              "S01|10|0\nS02|20|50\nS03|90|60\n");
}

TEST_P(BillingSimulation, GivenAnApprovedServiceOrAClosedMonth_WhenSaved_ThenItIsNotOverwritten) {
    setBilling("0001", 5, {100, 200, 300});
    exec("UPDATE ITEMSERVORCA SET IDITEMORCAMENTO = 'A' WHERE CDFILIAL = '0001' AND "
         "IDTIPOORCAOP = 'F' AND CDSERVFILI = 'S02' AND NRANOORCAOP = '2026' AND CDVERSORCAOP = 2");
    Answer before = read("_0001_", "5");
    ASSERT_TRUE(before.ok) << before.error;
    DataPacket byMonth = before.packet(0);
    post(byMonth, "0001", "S02", "MAI", 1, 9999);
    post(byMonth, "0001", "S03", "MAI", 1, 50);
    ASSERT_TRUE(save(byMonth, "_0001_", "5").ok);
    Answer after = read("_0001_", "5");
    EXPECT_EQ(dumpRows(after.packet(1), {"CDSERVFILI", "VRSERVCORCA", "IDITEMORCAMENTO"}),
              "S01|100|P\nS02|200|A\nS03|50|P\n");
    EXPECT_EQ(billingTotals("_0001_", "VRORCAMENTOMAI"), "0001|350\n");

    // The phase of "fase" closes January to March: a changed February is refused whole.
    setBilling("0001", 2, {100, 200, 300});
    RpcTestClient fase = as("fase");
    Answer closed = read("_0001_", "T", &fase);
    ASSERT_TRUE(closed.ok) << closed.error;
    byMonth = closed.packet(0);
    post(byMonth, "0001", "S01", "FEV", 1, 1);
    post(byMonth, "0001", "S01", "JUN", 1, 1);
    const std::string june = billingTotals("_0001_", "VRORCAMENTOJUN");
    Answer refused = save(byMonth, "_0001_", "T", &fase);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error.substr(0, 40), "Mês FEV fechado para a fase do operador");
    EXPECT_EQ(billingTotals("_0001_", "VRORCAMENTOFEV"), "0001|600\n");
    EXPECT_EQ(billingTotals("_0001_", "VRORCAMENTOJUN"), june);
}

INSTANTIATE_TEST_SUITE_P(Backends, BillingSimulation,
                         ::testing::Values(TestDatabases::Kind::SqliteMemory,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
