// A result simulation saved into the budget (SetSimulacao) and the reads of its consumption,
// labour and miscellaneous-expense lines, on both databases.
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/FixtureBudget.h"
#include "tests/server/ServerFixture.h"

#include <charconv>
#include <thread>

namespace {

using srv::Database;

// What the result screen sends, defaults meaning "nothing simulated".
struct Simulation {
    std::vector<Variant> packets = std::vector<Variant>(6);
    std::string branches = "_0001_0002_";
    std::string month = "T";
    double consumption = 0, billing = 0, taxes = 0;
    bool consumptionChanged = false, billingApplied = false, labour = false, misc = false,
         entry = false;
    std::string letters;
    int version = 2;
};

class SimulationSave : public ServerOnBackend {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        server().store().transaction([&](Database& db) { return db.execute(sql, params); });
    }

    // The rows of a query, cells joined by "|", numbers shortest, null "~".
    std::string rows(const std::string& sql, const std::vector<Variant>& params = {}) {
        const srv::QueryResult r =
            server().store().read([&](Database& db) { return db.query(sql, params); });
        std::string out;
        for (const auto& row : r.rows) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (c) out += '|';
                const Variant& v = row[c];
                if (v.isNull()) {
                    out += '~';
                } else if (v.isNumeric()) {
                    char buf[32];
                    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v.toDouble());
                    out.append(buf, end);
                } else {
                    std::string t = v.toText();
                    while (!t.empty() && t.back() == ' ')
                        t.pop_back();
                    out += t;
                }
            }
            out += '\n';
        }
        return out;
    }

    // One month of the branch's lines of a type: `value` on the first line, 0 on the others.
    void setMonth(const std::string& branch, const std::string& type, int month, double value) {
        FixtureBudget::setMonth(server().store(), branch, type, month, value);
    }

    // A month of the listed branches' lines of a type, "branch|value" per line.
    std::string month(const std::string& type, int m,
                      const std::string& branches = "'0001', "
                                                    "'0002'") {
        return rows("SELECT CDFILIAL, " + srv::monthColumn("VRORCAMENTO", m) +
                        " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
                        "IDTIPOORCAOP = ? AND CDFILIAL IN (" +
                        branches + ") ORDER BY CDFILIAL, NRSEQITEMORCA",
                    {type});
    }

    // Everything a simulation may write, to compare before and after a refusal.
    std::string budgetState() {
        return rows("SELECT * FROM ITEMORCAMENTO ORDER BY NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                    "IDTIPOORCAOP, NRSEQITEMORCA") +
               rows("SELECT * FROM ITEMSERVORCA ORDER BY NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                    "IDTIPOORCAOP, CDSERVFILI") +
               rows("SELECT COUNT(*) FROM SIMULACAO");
    }

    Answer save(RpcTestClient& client, const Simulation& s) {
        return client.budget("SetSimulacao",
                             {byref(Variant(s.packets)), byref(s.branches), val("2026"),
                              val(s.version), val(s.consumption), val(s.consumptionChanged),
                              val(s.billing), val(s.billingApplied), val(s.taxes), val(false),
                              val(s.labour), val(s.misc), val(s.entry), byref(s.letters),
                              byref(s.month)});
    }
    Answer save(const Simulation& s) { return save(teste(), s); }

    static std::string number(double v) {
        char buf[32];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
        return std::string(buf, end);
    }

    // Every month value of a packet's rows multiplied by `factor`.
    static DataPacket scaled(DataPacket p, const std::string& prefix, double factor) {
        for (std::size_t f = 0; f < p.fields.size(); ++f) {
            if (p.fields[f].name.rfind(prefix, 0) != 0) continue;
            for (auto& row : p.rows)
                if (!row[f].isNull()) row[f] = Variant(row[f].toDouble() * factor);
        }
        return p;
    }
};

TEST_P(SimulationSave, GivenATypedBillingTotal_WhenSaved_ThenItIsSpreadInProportion) {
    // March: 0001 holds 30.000, 0002 10.000, the effected 0003 20.000.
    setMonth("0001", "F", 3, 30000);
    setMonth("0002", "F", 3, 10000);
    setMonth("0003", "F", 3, 20000);
    const std::string april = month("F", 4, "'0001', '0002', '0003'");
    const std::string servicesBefore =
        rows("SELECT CDSERVFILI, VRORCAMENTOMAR FROM ITEMSERVORCA WHERE NRANOORCAOP = '2026' AND "
             "CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND IDTIPOORCAOP = 'F' ORDER BY CDSERVFILI");
    Simulation s;
    s.branches = "_0001_0002_0003_";
    s.month = "3";
    s.billing = 80000;
    s.billingApplied = true;
    Answer a = save(s);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet(), {"Retorno"}), "OK\n");
    // 80.000 less the effected 20.000 leaves 60.000, shared 3 to 1.
    EXPECT_EQ(month("F", 3, "'0001', '0002', '0003'"), "0001|45000\n0002|15000\n0003|20000\n");
    EXPECT_EQ(month("F", 4, "'0001', '0002', '0003'"), april);
    // The services follow their item: 0002's grow by half.
    const std::string servicesAfter =
        rows("SELECT CDSERVFILI, VRORCAMENTOMAR / 1.5 FROM ITEMSERVORCA WHERE NRANOORCAOP = "
             "'2026' AND CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND IDTIPOORCAOP = 'F' ORDER BY "
             "CDSERVFILI");
    EXPECT_EQ(servicesAfter.substr(0, 5), servicesBefore.substr(0, 5));
    EXPECT_FALSE(servicesAfter.empty());
}

TEST_P(SimulationSave, GivenBillingByItemFromTheDialog_WhenSaved_ThenItsServicesFollowTheSum) {
    setMonth("0001", "F", 9, 1000);
    exec("UPDATE ITEMSERVORCA SET VRORCAMENTOSET = 500 WHERE CDFILIAL = '0001' AND IDTIPOORCAOP "
         "= 'F' AND NRANOORCAOP = '2026' AND CDVERSORCAOP = 2");
    const std::string services = "SELECT DISTINCT VRORCAMENTOSET FROM ITEMSERVORCA WHERE CDFILIAL "
                                 "= '0001' AND IDTIPOORCAOP = 'F' AND NRANOORCAOP = '2026' AND "
                                 "CDVERSORCAOP = 2";
    ASSERT_EQ(rows(services), "500\n");
    DataPacket billing;
    billing.fields = {{"CDFILIAL", FieldType::String, 4}, {"IDTIPOORCAOP", FieldType::String, 1}};
    for (int m = 1; m <= 12; ++m)
        billing.fields.push_back({srv::monthColumn("VRORCAMENTO", m), FieldType::Float, 0});
    const auto row = [&](const char* branch, double september) {
        std::vector<Variant> r{Variant(branch), Variant("F")};
        for (int m = 1; m <= 12; ++m)
            r.push_back(m == 9 ? Variant(september) : Variant(1.0));
        billing.rows.push_back(std::move(r));
    };
    row("0001", 300);
    row("0001", 450.5);
    row("0002", 99999); // not simulated
    const std::string october = month("F", 10);
    const std::string other = month("F", 9, "'0002'");
    Simulation s;
    s.branches = "_0001_";
    s.month = "9";
    s.packets[0] = Variant(billing);
    Answer a = save(s);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(month("F", 9), "0001|750.5\n" + other);
    EXPECT_EQ(month("F", 10), october);
    EXPECT_EQ(rows(services), "375.25\n");
}

TEST_P(SimulationSave, GivenLinesAtZeroOrACentToShare_WhenSpread_ThenSharesAddUpExactly) {
    setMonth("0001", "C", 5, 0);
    setMonth("0002", "C", 5, 0);
    Simulation s;
    s.month = "5";
    s.consumption = 100.01;
    s.consumptionChanged = true;
    ASSERT_TRUE(save(s).ok);
    // Equal halves of 100,01: the cent left over goes to one line.
    EXPECT_EQ(month("C", 5), "0001|50\n0002|50.01\n");

    setMonth("0001", "F", 6, 1);
    setMonth("0002", "F", 6, 2);
    s.month = "6";
    s.consumptionChanged = false;
    s.billing = 100;
    s.billingApplied = true;
    ASSERT_TRUE(save(s).ok);
    EXPECT_EQ(month("F", 6), "0001|33.33\n0002|66.67\n");
}

TEST_P(SimulationSave, GivenATotalBelowTheEffectedPart_WhenSaved_ThenRefusedAndNothingChanges) {
    setMonth("0003", "F", 3, 20000);
    const std::string before = budgetState();
    Simulation s;
    s.branches = "_0001_0003_";
    s.month = "3";
    s.billing = 5000;
    s.billingApplied = true;
    Answer a = save(s);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.error, "O valor de faturamento informado (5000.00) é menor que o dos itens "
                       "efetivados ou aprovados (20000.00).");
    EXPECT_EQ(budgetState(), before);
}

TEST_P(SimulationSave, GivenARefusalOnTheLastBranch_WhenSaved_ThenTheDatabaseIsAsItWas) {
    // 0005 is visible to teste but not calculable: it comes last, after 0001 and 0002.
    const std::string before = budgetState();
    Simulation s;
    s.branches = "_0001_0002_0005_";
    s.billing = 999999;
    s.billingApplied = true;
    Answer a = save(s);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.error, "Gerente não tem permissão para realizar o cálculo do orçamento desta "
                       "filial. (filial 0005)");
    EXPECT_EQ(budgetState(), before);
}

TEST_P(SimulationSave, GivenTheRefusalsOfASave_WhenSaving_ThenEachIsReportedAndNothingWritten) {
    const std::string before = budgetState();
    Simulation s;
    s.billing = 1000;
    s.billingApplied = true;
    s.version = 1;
    EXPECT_EQ(save(s).error, "Somente a última versão do ano 2026 (2) pode ser calculada.");
    s.version = 2;
    s.branches = "_0001_0006_";
    EXPECT_EQ(save(s).error, "Filial 0006 não permitida para o operador teste.");
    s.branches = "_0001_";
    RpcTestClient bloq = as("bloq");
    EXPECT_EQ(save(bloq, s).error,
              "Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento.");
    // The phase of "fase" closes January to March.
    RpcTestClient fase = as("fase");
    s.month = "2";
    EXPECT_EQ(save(fase, s).error.substr(0, 40), "Mês FEV fechado para a fase do operador");
    s.month = "13";
    EXPECT_FALSE(save(s).ok);
    s.month = "T";
    s.letters = "I_X_";
    EXPECT_FALSE(save(s).ok);
    s.letters = "";
    s.packets.resize(5);
    EXPECT_FALSE(save(s).ok);
    EXPECT_EQ(budgetState(), before);
}

TEST_P(SimulationSave, GivenConsumptionReducedByService_WhenSaved_ThenItemsAreTheServicesSum) {
    const std::string sumOfServices =
        "SELECT CDFILIAL, SUM(VRORCAMENTOJUL) FROM ITEMSERVORCA WHERE NRANOORCAOP = '2026' AND "
        "CDVERSORCAOP = 2 AND IDTIPOORCAOP = 'C' AND CDFILIAL IN ('0001', '0002') GROUP BY "
        "CDFILIAL ORDER BY CDFILIAL";
    const std::string reducedServices =
        "SELECT CDFILIAL, SUM(ROUND(VRORCAMENTOJUL * 0.9 * 100) / 100) FROM ITEMSERVORCA WHERE "
        "NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND IDTIPOORCAOP = 'C' AND CDFILIAL IN "
        "('0001', '0002') GROUP BY CDFILIAL ORDER BY CDFILIAL";
    exec("UPDATE ITEMSERVORCA SET VRORCAMENTOJUL = 234.56 WHERE CDFILIAL = '0001' AND "
         "IDTIPOORCAOP = 'C'");
    exec("UPDATE ITEMSERVORCA SET VRORCAMENTOJUL = 1000 WHERE CDFILIAL = '0001' AND IDTIPOORCAOP "
         "= 'C' AND CDSERVFILI = (SELECT MIN(CDSERVFILI) FROM ITEMSERVORCA WHERE CDFILIAL = "
         "'0001' AND IDTIPOORCAOP = 'C')");
    const std::string expected = rows(reducedServices);
    const std::string billing = month("F", 7);
    Answer read =
        teste().budget("getSimulaCons", {val("2026"), byref(2), byref("_0001_0002_"), byref("T")});
    ASSERT_TRUE(read.ok) << read.error;
    Simulation s;
    s.packets[4] = Variant(scaled(read.packet(2), "VRORCA", 0.9));
    s.consumptionChanged = true;
    ASSERT_TRUE(save(s).ok);
    EXPECT_EQ(rows(sumOfServices), expected);
    EXPECT_EQ(month("C", 7), expected);
    EXPECT_EQ(expected.substr(0, 13), "0001|1111.1\n0");
    EXPECT_EQ(month("F", 7), billing);
}

TEST_P(SimulationSave, GivenDinersAndValuesEditedByService_WhenSaved_ThenServicesAndItemFollow) {
    exec("UPDATE ITEMSERVORCA SET VRORCAMENTOJAN = 100, VRORCAMENTOFEV = 200, VRORCAMENTOMAR = "
         "300, QTORCAMENTOMAR = 10, QTORCAMENTOABR = 10 WHERE CDFILIAL = '0001' AND IDTIPOORCAOP "
         "= 'C' AND NRANOORCAOP = '2026' AND CDVERSORCAOP = 2");
    const std::string services =
        "SELECT CDSERVFILI, QTORCAMENTOMAR, QTORCAMENTOABR, VRORCAMENTOJAN, VRORCAMENTOFEV, "
        "VRORCAMENTOMAR FROM ITEMSERVORCA WHERE CDFILIAL = '0001' AND IDTIPOORCAOP = 'C' AND "
        "NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 ORDER BY CDSERVFILI";
    Answer read =
        teste().budget("getSimulaCons", {val("2026"), byref(2), byref("_0001_"), byref("T")});
    ASSERT_TRUE(read.ok) << read.error;
    DataPacket byService = read.packet(2);
    ASSERT_GE(byService.rows.size(), 2u);
    // The dialog's per-service packet carries the name, the item flag and the diners.
    std::string names;
    for (std::size_t r = 0; r < read.packet(0).rows.size(); ++r)
        names += read.packet(0).value(r, "NMSERVICO").toText() + "|10|300\n";
    EXPECT_EQ(dumpRows(byService, {"NMSERVICO", "QTORCA3", "VRORCA3"}), names);
    const auto set = [&](std::size_t row, const std::string& field, double v) {
        byService.rows[row][static_cast<std::size_t>(byService.fieldIndex(field))] = Variant(v);
    };
    // March of the first service: 120 diners and 3.600,00; the second moves January's 100 into
    // February, which leaves the year's total as it was.
    set(0, "QTORCA3", 120);
    set(0, "VRORCA3", 3600);
    set(1, "VRORCA1", 0);
    set(1, "VRORCA2", 300);
    Simulation s;
    s.branches = "_0001_";
    s.packets[4] = Variant(byService);
    s.consumptionChanged = true;
    ASSERT_TRUE(save(s).ok);
    std::string expected;
    for (std::size_t r = 0; r < byService.rows.size(); ++r)
        expected += byService.value(r, "CDSERVFILI").toText() + (r == 0   ? "|120|10|100|200|3600\n"
                                                                 : r == 1 ? "|10|10|0|300|300\n"
                                                                          : "|10|10|100|200|300\n");
    EXPECT_EQ(rows(services), expected);
    const double n = static_cast<double>(byService.rows.size());
    EXPECT_EQ(rows("SELECT SUM(VRORCAMENTOJAN), SUM(VRORCAMENTOFEV), SUM(VRORCAMENTOMAR) FROM "
                   "ITEMORCAMENTO WHERE CDFILIAL = '0001' AND IDTIPOORCAOP = 'C' AND NRANOORCAOP "
                   "= '2026' AND CDVERSORCAOP = 2"),
              number(100 * (n - 1)) + "|" + number(200 * n + 100) + "|" +
                  number(3600 + 300 * (n - 1)) + "\n");

    // In one month's simulation the diners of other months stay as stored.
    set(0, "QTORCA4", 999);
    set(1, "QTORCA3", 15);
    s.month = "3";
    s.packets[4] = Variant(byService);
    ASSERT_TRUE(save(s).ok);
    const std::string after = rows(services);
    EXPECT_EQ(after.substr(0, after.find('\n') + 1),
              byService.value(0, "CDSERVFILI").toText() + "|120|10|100|200|3600\n");
    EXPECT_NE(after.find("|15|10|0|300|300\n"), std::string::npos) << after;
}

TEST_P(SimulationSave, GivenSomeLinesConfirmed_WhenSaved_ThenOnlyTheirPacketsAreWritten) {
    setMonth("0001", "I", 1, 400);
    setMonth("0001", "S", 1, 80);
    setMonth("0001", "D", 1, 300);
    Answer general =
        teste().budget("getSimulGeral", {val(2026), byref("_0001_"), val(""), val(2), byref("T")});
    ASSERT_TRUE(general.ok) << general.error;
    Answer misc = teste().budget("GetDespesas", {byref("_0001_"), val(2026), val(2), byref("T")});
    ASSERT_TRUE(misc.ok) << misc.error;
    const std::string consumption = month("C", 1);
    Simulation s;
    s.branches = "_0001_";
    s.packets[2] = Variant(scaled(misc.packet(1), "VRORCAMENTO", 0.5));
    s.packets[5] = Variant(scaled(general.packet(1), "VRORCAMENTO", 0.25));
    s.packets[4] = Variant(DataPacket());
    s.letters = "I_";
    ASSERT_TRUE(save(s).ok);
    // Taxes confirmed, tax on profit and miscellaneous expenses not.
    EXPECT_EQ(month("I", 1, "'0001'"), "0001|100\n");
    EXPECT_EQ(month("S", 1, "'0001'").substr(0, 8), "0001|80\n");
    EXPECT_EQ(month("D", 1, "'0001'").substr(0, 9), "0001|300\n");
    EXPECT_EQ(month("C", 1), consumption);

    s.misc = true;
    s.letters = "";
    ASSERT_TRUE(save(s).ok);
    EXPECT_EQ(month("D", 1, "'0001'").substr(0, 9), "0001|150\n");
    // Each save is recorded with who made it and what it applied.
    EXPECT_EQ(rows("SELECT NRSEQSIMULACAO, CDOPERADOR, DSLISTAFILIAL, CDMES, IDFATAPLICADO, "
                   "IDDESPDIVSIMUL, DSLINHASGERAIS FROM SIMULACAO ORDER BY NRSEQSIMULACAO"),
              "1|teste|_0001_|T|N|N|I_\n2|teste|_0001_|T|N|S|\n");
}

// Saves that run at once each get a number of their own: none is refused for another's, none
// is lost, none shares a number.
TEST_P(SimulationSave, GivenSavesAtOnce_WhenRecorded_ThenEachHasItsOwnNumber) {
    constexpr int kSaves = 8;
    std::vector<Answer> answers(kSaves);
    std::vector<std::thread> threads;
    for (int i = 0; i < kSaves; ++i)
        threads.emplace_back([&, i] {
            RpcTestClient client(server(), "teste", "teste");
            Simulation s;
            s.branches = i % 2 ? "_0001_" : "_0002_";
            s.month = std::to_string(i + 1);
            answers[static_cast<std::size_t>(i)] = save(client, s);
        });
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < kSaves; ++i)
        EXPECT_TRUE(answers[static_cast<std::size_t>(i)].ok)
            << i << ": " << answers[static_cast<std::size_t>(i)].error;
    EXPECT_EQ(rows("SELECT COUNT(DISTINCT NRSEQSIMULACAO), MIN(NRSEQSIMULACAO), "
                   "MAX(NRSEQSIMULACAO) FROM SIMULACAO"),
              "8|1|8\n");
    EXPECT_EQ(rows("SELECT CDMES FROM SIMULACAO ORDER BY CDMES"), "1\n2\n3\n4\n5\n6\n7\n8\n");
}

TEST_P(SimulationSave, GivenASavedSimulation_WhenReadingTheGeneralItems_ThenTheyShowIt) {
    setMonth("0002", "I", 8, 1000);
    Answer general =
        teste().budget("getSimulGeral", {val(2026), byref("_0002_"), val(""), val(2), byref("8")});
    ASSERT_TRUE(general.ok) << general.error;
    Simulation s;
    s.branches = "_0002_";
    s.month = "8";
    s.packets[5] = Variant(scaled(general.packet(1), "VRORCAMENTO", 0.5));
    s.letters = "I_";
    ASSERT_TRUE(save(s).ok);
    Answer after =
        teste().budget("getSimulGeral", {val(2026), byref("_0002_"), val(""), val(2), byref("8")});
    const DataPacket& items = after.packet(1);
    const int row = rowOf(items, "0002", "I");
    ASSERT_GE(row, 0);
    EXPECT_EQ(monthValue(items, row, "VRORCAMENTOAGO"), 500);
    EXPECT_EQ(monthValue(items, row, "TOTAL"), 500);
    // Only August was sent back: July keeps its value although the packet halved it.
    EXPECT_EQ(monthValue(items, row, "VRORCAMENTOJUL"),
              monthValue(general.packet(1), row, "VRORCAMENTOJUL"));
}

TEST_P(
    SimulationSave,
    GivenTheGeneralItemsAsTheDialogLeavesThem_WhenSavedForMarch_ThenOnlyOpenConfirmedCellsChange) {
    setMonth("0001", "N", 3, 100);
    setMonth("0002", "N", 3, 200);
    setMonth("0001", "P", 3, 40);
    setMonth("0001", "I", 3, 90);
    exec("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E' WHERE CDFILIAL = '0002' AND "
         "IDTIPOORCAOP = 'N'");
    const std::string april = month("N", 4) + month("P", 4);
    // The dialog's packet holds every letter: it changed March and April of every item.
    Answer general = teste().budget("getSimulGeral",
                                    {val(2026), byref("_0001_0002_"), val(""), val(2), byref("3")});
    ASSERT_TRUE(general.ok) << general.error;
    DataPacket edited = scaled(general.packet(1), "VRORCAMENTOMAR", 1.5);
    edited = scaled(edited, "VRORCAMENTOABR", 3);
    Simulation s;
    s.month = "3";
    s.packets[5] = Variant(edited);
    s.letters = "P_N_";
    ASSERT_TRUE(save(s).ok);
    // Investments and depreciation confirmed; 0002's investment is effected; taxes were not.
    EXPECT_EQ(month("N", 3), "0001|150\n0002|200\n");
    EXPECT_EQ(month("P", 3, "'0001'"), "0001|60\n");
    EXPECT_EQ(month("I", 3, "'0001'").substr(0, 8), "0001|90\n");
    // April is outside the simulated month.
    EXPECT_EQ(month("N", 4) + month("P", 4), april);
    EXPECT_EQ(rows("SELECT CDMES, DSLINHASGERAIS FROM SIMULACAO"), "3|P_N_\n");
}

TEST_P(SimulationSave, GivenEntryItemsSharingAnOperation_WhenSaved_ThenEachItemTakesItsOwnMonths) {
    // A second item of operation 01 in branch 0001, beside the fixture's one.
    FixtureBudget::copyLines(server().store(),
                             "CDFILIAL = '0001' AND IDTIPOORCAOP = 'E' AND CDTIPOOPER = '01'",
                             "0000000099");
    const auto entries = [&](const char* month) {
        return rows(std::string("SELECT CDFILIAL, CDTIPOOPER, ") + month +
                    " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
                    "IDTIPOORCAOP = 'E' AND CDFILIAL IN ('0001', '0003') ORDER BY CDFILIAL, "
                    "NRSEQITEMORCA");
    };
    Answer budget = load(teste());
    ASSERT_TRUE(budget.ok) << budget.error;
    // The items as the entry dialog hands them back: the whole item packet, every type, with
    // July and August of 0001's and 0003's items changed (111, 122, ... on the entry items in
    // the packet's order: branch, type, sequence).
    DataPacket items = budget.packet(2);
    const auto at = [&](std::vector<Variant>& row, const char* field) -> Variant& {
        return row[static_cast<std::size_t>(items.fieldIndex(field))];
    };
    double value = 100;
    for (auto& row : items.rows) {
        const std::string branch = at(row, "CDFILIAL").toText();
        if (branch != "0001" && branch != "0003") continue;
        at(row, "VRORCAMENTOJUL") =
            Variant(at(row, "IDTIPOORCAOP").toText() == "E" ? value += 11 : 9999.0);
        at(row, "VRORCAMENTOAGO") = Variant(5.0);
    }
    const std::string july = entries("VRORCAMENTOJUL"), august = entries("VRORCAMENTOAGO");
    const std::string misc = month("D", 7, "'0001'");
    ASSERT_EQ(july.substr(0, 7), "0001|V|");
    Simulation s;
    s.branches = "_0001_0003_";
    s.month = "7";
    s.packets[3] = Variant(items);

    // Entry expenses not confirmed on the result screen: nothing is written.
    ASSERT_TRUE(save(s).ok);
    EXPECT_EQ(entries("VRORCAMENTOJUL"), july);

    s.entry = true;
    Answer a = save(s);
    ASSERT_TRUE(a.ok) << a.error;
    // Each of 0001's items takes its own July, the two of operation 01 included; the effected
    // branch 0003 keeps its values; August and the other lines are not touched.
    EXPECT_EQ(entries("VRORCAMENTOJUL"),
              "0001|V|111\n0001|01|122\n0001|01|133\n" + july.substr(july.find("0003|")));
    EXPECT_EQ(entries("VRORCAMENTOAGO"), august);
    EXPECT_EQ(month("D", 7, "'0001'"), misc);

    // An item that is no longer in the budget refuses the whole save.
    exec("DELETE FROM ITEMORCAMENTO WHERE NRSEQITEMORCA = '0000000099'");
    const std::string state = budgetState();
    for (auto& row : items.rows)
        if (at(row, "IDTIPOORCAOP").toText() == "E") at(row, "VRORCAMENTOJUL") = Variant(1.0);
    s.packets[3] = Variant(items);
    a = save(s);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.error, "Conflito: o item 0000000099 (filial 0001, tipo E) não existe mais no "
                       "orçamento. Recarregue a simulação; nada foi gravado.");
    EXPECT_EQ(budgetState(), state);
}

TEST_P(SimulationSave, GivenServices_WhenReadingConsumption_ThenTotalsShareAndMonthsAgree) {
    setMonth("0001", "F", 2, 20000);
    exec("UPDATE ITEMSERVORCA SET VRORCAMENTOFEV = 1000, QTORCAMENTOFEV = 50 WHERE CDFILIAL = "
         "'0001' AND IDTIPOORCAOP = 'C' AND NRANOORCAOP = '2026' AND CDVERSORCAOP = 2");
    Answer a =
        teste().budget("getSimulaCons", {val("2026"), byref(2), byref("_0001_"), byref("2")});
    ASSERT_TRUE(a.ok) << a.error;
    const std::string one =
        dumpRows(a.packet(0), {"QTCOMENSAIS", "VRCONSUMO", "VRPERCFAT", "CDFILIAL"});
    EXPECT_EQ(one.substr(0, one.find('\n') + 1), "50|1000|5|0001\n");
    const std::string month = dumpRows(
        a.packet(1), {"MES", "QTORCAMENTO", "VRORCAMENTO", "IDORDENA", "FATURAMENTO", "VRPERCMED"});
    // 1.000,00 for 50 diners: 20,00 each.
    EXPECT_EQ(month.substr(0, month.find('\n') + 1), "2|50|1000|02|5|20\n");
    EXPECT_EQ(a.packet(1).rows.size(), a.packet(0).rows.size());
    EXPECT_EQ(dumpRows(a.packet(2), {"VRORCA2"}).substr(0, 5), "1000\n");
    // The operator's other branches are not read.
    Answer other =
        teste().budget("getSimulaCons", {val("2026"), byref(2), byref("_0006_"), byref("T")});
    ASSERT_TRUE(other.ok);
    EXPECT_TRUE(other.packet(0).rows.empty());
}

TEST_P(SimulationSave, GivenExpensesAndLabour_WhenRead_ThenShareOfTotalAndOfBilling) {
    setMonth("0001", "F", 1, 10000);
    setMonth("0002", "F", 1, 0);
    setMonth("0001", "D", 1, 300);
    setMonth("0002", "D", 1, 100);
    setMonth("0001", "O", 1, 2500);
    Answer d = teste().budget("GetDespesas", {byref("_0001_0002_"), val(2026), val(2), byref("1")});
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(dumpRows(d.packet(0), {"CDFILIAL", "VRTOTAL", "PORCDESP", "PORCFAT"}),
              "0001|300|75|3\n0002|100|25|1\n");
    EXPECT_EQ(d.packet(1).rows.size(), d.packet(0).rows.size());

    Answer o = teste().budget("GetSimulaMaoObra",
                              {byref("_0001_"), val("2026"), val(2), byref("1"), val(10000.0)});
    ASSERT_TRUE(o.ok) << o.error;
    const std::string types = dumpRows(o.packet(1), {"VRTPMAOOBRA", "VRTOTFAT", "PERCENTUALMO"});
    EXPECT_EQ(types.substr(0, types.find('\n') + 1), "2500|10000|25\n");
    const std::string items = dumpRows(o.packet(0), {"VRORCAMENTOJAN", "VRTOTMO", "IDTIPOORCAOP"});
    EXPECT_EQ(items.substr(0, items.find('\n') + 1), "2500|2500|O\n");
}

TEST_P(SimulationSave, GivenExpenseMonths_WhenRead_ThenEachCarriesItsBranchBillingByMonth) {
    setMonth("0001", "F", 2, 12000);
    setMonth("0002", "F", 2, 0);
    setMonth("0001", "F", 11, 800.5);
    setMonth("0002", "F", 11, 3.25);
    Answer d = teste().budget("GetDespesas", {byref("_0001_0002_"), val(2026), val(2), byref("2")});
    ASSERT_TRUE(d.ok) << d.error;
    // Every month is there whatever the period: the dialog posts into any of them.
    EXPECT_EQ(dumpRows(d.packet(1), {"CDFILIAL", "CDDESPPREV", "VRFATORCAMENTOFEV",
                                     "VRFATORCAMENTONOV", "IDTIPOORCAOP"}),
              "0001|001|12000|800.5|D\n0002|001|0|3.25|D\n");
}

TEST_P(SimulationSave, GivenExpensesEditedInTheDialog_WhenSavedForAMonth_ThenOnlyThatMonthMoves) {
    setMonth("0001", "D", 7, 700);
    setMonth("0003", "D", 7, 300);
    Answer d = teste().budget("GetDespesas", {byref("_0001_0003_"), val(2026), val(2), byref("7")});
    ASSERT_TRUE(d.ok) << d.error;
    ASSERT_EQ(dumpRows(d.packet(0), {"CDFILIAL", "VRTOTAL"}), "0001|700\n0003|300\n");
    const std::string june = month("D", 6, "'0001', '0003'");
    Simulation s;
    s.branches = "_0001_0003_";
    s.month = "7";
    s.misc = true;
    s.packets[2] = Variant(scaled(d.packet(1), "VRORCAMENTO", 2));
    Answer a = save(s);
    ASSERT_TRUE(a.ok) << a.error;
    // July doubles on the open branch; June is outside the period; 0003 is effected.
    EXPECT_EQ(month("D", 7, "'0001', '0003'"), "0001|1400\n0003|300\n");
    EXPECT_EQ(month("D", 6, "'0001', '0003'"), june);
    Answer after =
        teste().budget("GetDespesas", {byref("_0001_0003_"), val(2026), val(2), byref("7")});
    EXPECT_EQ(dumpRows(after.packet(0), {"CDFILIAL", "VRTOTAL", "PORCDESP"}),
              "0001|1400|82.35\n0003|300|17.65\n");
}

INSTANTIATE_TEST_SUITE_P(Backends, SimulationSave,
                         ::testing::Values(TestDatabases::Kind::SqliteMemory,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
