// Billing and consumption from the base month (SetItensOrcFatCons kinds F and C): the worked
// examples, the period, and the refusals that must leave the budget as it was.
#include "server/calc/CalcPeriod.h"
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/ServerFixture.h"

namespace {

using srv::Database;
using srv::DayNumber;

double day(int y, int m, int d) {
    return DayNumber::fromCivil(y, m, d);
}

std::string months(const std::string& prefix) {
    std::string s;
    for (int m = 1; m <= 12; ++m)
        s += (m == 1 ? "" : ", ") + srv::monthColumn(prefix, m);
    return s;
}

class BaseMonthCalc : public ServerOnBackend {
protected:
    // One service per kind on branches 0001 and 0002: billing "REF" at 12,50 with 2 % correction
    // in April; consumption "CAF" at 8,00 a diner. Working days 21 a month, 22 in March and 20
    // in April of 2026. Actual figures of March 2026: 2,200 meals, 2,200 diners; of 2025 for
    // 0002's consumption: 1,500.5 diners in January.
    void SetUp() override {
        ServerOnBackend::SetUp();
        if (!m_server) return;
        server().store().transaction([](Database& db) {
            for (const char* branch : {"0001", "0002"}) {
                const Variant b(branch);
                db.execute("DELETE FROM SERVFILIAL WHERE CDFILIAL = ?", {b});
                db.execute("DELETE FROM SERVREALIZADO WHERE CDFILIAL = ?", {b});
                db.execute("DELETE FROM ITEMSERVORCA WHERE CDFILIAL = ?", {b});
                std::string days = "UPDATE DIAUTILFILIAL SET ";
                for (int m = 1; m <= 12; ++m)
                    days += (m == 1 ? "" : ", ") + srv::monthColumn("NDIAUTIL", m) + " = " +
                            (m == 3   ? "22"
                             : m == 4 ? "20"
                                      : "21");
                db.execute(days + " WHERE NRANOORCAOP = '2026' AND CDFILIAL = ?", {b});
                std::string zeros;
                for (int m = 1; m <= 24; ++m)
                    zeros += ", 0";
                db.execute("INSERT INTO SERVFILIAL (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, "
                           "CDSERVFILI, NMSERVICO, VRPRECOBASE, VRCUSTO, " +
                               months("VRPERCORRCOM") + ", " + months("VRREAJORC") +
                               ") VALUES ('2026', ?, 'F', 'REF', 'Refeição', 12.5, NULL" + zeros +
                               ")",
                           {b});
                db.execute("UPDATE SERVFILIAL SET VRPERCORRCOMABR = 2 WHERE CDFILIAL = ?", {b});
                db.execute("INSERT INTO SERVFILIAL (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, "
                           "CDSERVFILI, NMSERVICO, VRPRECOBASE, VRCUSTO, " +
                               months("VRPERCORRCOM") + ", " + months("VRREAJORC") +
                               ") VALUES ('2026', ?, 'C', 'CAF', 'Café', NULL, 8" + zeros + ")",
                           {b});
                for (const char* kind : {"F", "C"})
                    db.execute("INSERT INTO SERVREALIZADO (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, "
                               "CDSERVFILI, QTREALIZADOMAR) VALUES ('2026', ?, ?, ?, 2200)",
                               {b, Variant(kind), Variant(kind[0] == 'F' ? "REF" : "CAF")});
            }
            db.execute("INSERT INTO SERVREALIZADO (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, "
                       "CDSERVFILI, QTREALIZADOJAN) VALUES ('2025', '0002', 'C', 'CAF', 1500.5)");
        });
    }

    // A delta marking the branches' lines of a kind for calculation with a base month.
    DataPacket marks(RpcTestClient& client, const std::string& kind,
                     const std::vector<std::string>& branches, const Variant& baseMonth) {
        Answer l = load(client);
        EXPECT_TRUE(l.ok) << l.error;
        const DataPacket& lines = l.packet(1);
        std::vector<std::pair<int, std::map<std::string, Variant>>> edits;
        for (const std::string& b : branches) {
            const int row = rowOf(lines, b, kind);
            EXPECT_GE(row, 0) << b;
            edits.push_back(
                {row, {{"IDITEMCALCORCA", Variant("P")}, {"DTMESBASEITEM", baseMonth}}});
        }
        return modifiedDelta(lines, edits);
    }

    Answer calculate(RpcTestClient& client, const std::string& kind, const Variant& delta,
                     const std::string& periodKind = "S", double start = 0, double end = 0,
                     int version = 2) {
        return client.budget("SetItensOrcFatCons",
                             {byref(delta), val(kind), val("2026"), val(version),
                              val(client.operatorCode()), val("N"), val(kind == "F"),
                              val(kind == "C"), val(Variant()), byref(periodKind),
                              byref(Variant::fromDate(start)), byref(Variant::fromDate(end))});
    }

    // The twelve months, calculation mark and base month of a stored line, as one text.
    std::string line(const std::string& branch, const std::string& kind) {
        return server().store().read([&](Database& db) {
            const auto r = db.query("SELECT IDITEMCALCORCA, " + months("VRORCAMENTO") +
                                        " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                        "CDVERSORCAOP = 2 AND CDFILIAL = ? AND IDTIPOORCAOP = ?",
                                    {Variant(branch), Variant(kind)});
            std::string s;
            for (const auto& row : r.rows) {
                for (const Variant& v : row)
                    s += (v.isNull() ? "~" : v.toText()) + "|";
                s += "\n";
            }
            return s;
        });
    }

    // Every stored line and service line of the version, to prove that nothing was written.
    std::string everything() {
        return server().store().read([&](Database& db) {
            std::string s;
            for (const char* table : {"ITEMORCAMENTO", "ITEMSERVORCA"}) {
                const auto r = db.query(std::string("SELECT * FROM ") + table +
                                        " ORDER BY CDFILIAL, IDTIPOORCAOP, 5");
                for (const auto& row : r.rows) {
                    for (const Variant& v : row)
                        s += (v.isNull() ? "~" : v.toText()) + "|";
                    s += "\n";
                }
            }
            return s;
        });
    }

    double serviceQuantity(const std::string& branch, const std::string& kind, int month) {
        return server().store().read([&](Database& db) {
            return db
                .query("SELECT " + srv::monthColumn("QTORCAMENTO", month) +
                           " FROM ITEMSERVORCA WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 "
                           "AND CDFILIAL = ? AND IDTIPOORCAOP = ?",
                       {Variant(branch), Variant(kind)})
                .scalar()
                .toDouble();
        });
    }
};

TEST_P(BaseMonthCalc,
       GivenMarch2200Meals_WhenCalculatingBilling_ThenAprilIs25500AndTheLineIsCalculated) {
    Answer a =
        calculate(teste(), "F", marks(teste(), "F", {"0001"}, Variant::fromDate(day(2026, 3, 1))));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet()), "OK|1\n");
    // q = 2200 / 22 = 100 a day: 21 days at 12,50 = 26.250,00; March 22 days; April 20 days
    // with 2 % correction = 25.500,00.
    EXPECT_EQ(line("0001", "F"), "S|26250|26250|27500|25500|26250|26250|26250|26250|26250|26250|"
                                 "26250|26250|\n");
    EXPECT_DOUBLE_EQ(serviceQuantity("0001", "F", 4), 2000);
    // The reload shows the total of the calculated months.
    Answer l = load(teste());
    const int row = rowOf(l.packet(1), "0001", "F");
    EXPECT_DOUBLE_EQ(l.packet(1).value(static_cast<std::size_t>(row), "TOTAL").toDouble(),
                     26250 * 10 + 27500 + 25500);
}

TEST_P(BaseMonthCalc,
       GivenMarksLeftByOthers_WhenCalculatingOwnLines_ThenOnlyTheRequestsLinesAreCalculated) {
    // Pending marks outside the request: on 0006, which teste may not see (another operator's),
    // and on teste's own 0002, marked by an earlier save and not sent now.
    server().store().transaction([](Database& db) {
        db.execute("UPDATE ITEMORCAMENTO SET IDITEMCALCORCA = 'P' WHERE NRANOORCAOP = '2026' AND "
                   "CDVERSORCAOP = 2 AND IDTIPOORCAOP = 'F' AND CDFILIAL IN ('0002', '0006')");
    });
    const std::string before0002 = line("0002", "F");
    const std::string before0006 = line("0006", "F");
    Answer a =
        calculate(teste(), "F", marks(teste(), "F", {"0001"}, Variant::fromDate(day(2026, 3, 1))));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet()), "OK|1\n");
    EXPECT_EQ(line("0001", "F").substr(0, 2), "S|");
    EXPECT_EQ(line("0002", "F"), before0002);
    EXPECT_EQ(line("0006", "F"), before0006);
    EXPECT_EQ(before0006.substr(0, 2), "P|");
}

TEST_P(BaseMonthCalc,
       GivenMarchDiners_WhenCalculatingConsumption_ThenDinersTimesCostAndFsBranchUsesLastYear) {
    // 0002 bills "FS": no base month needed; January takes 2025's 1,500.5 diners, months
    // without last year's figures come to 0.
    Answer a = calculate(teste(), "C",
                         marks(teste(), "C", {"0001", "0002"}, Variant::fromDate(day(2026, 3, 1))));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet()), "OK|2\n");
    EXPECT_EQ(line("0001", "C"), "S|16800|16800|17600|16000|16800|16800|16800|16800|16800|16800|"
                                 "16800|16800|\n");

    ASSERT_TRUE(calculate(teste(), "C", marks(teste(), "C", {"0002"}, Variant())).ok);
    EXPECT_EQ(line("0002", "C"), "S|12004|0|0|0|0|0|0|0|0|0|0|0|\n");
}

TEST_P(BaseMonthCalc, GivenAPeriodOfAprilToJune_WhenCalculating_ThenOnlyThoseMonthsChange) {
    const std::string before = line("0001", "F");
    Answer a =
        calculate(teste(), "F", marks(teste(), "F", {"0001"}, Variant::fromDate(day(2026, 3, 1))),
                  "P", day(2026, 4, 1), day(2026, 6, 30));
    ASSERT_TRUE(a.ok) << a.error;
    const std::string after = line("0001", "F");
    // Fields: mark, then JAN..DEZ.
    auto field = [](const std::string& s, int i) {
        std::size_t p = 0;
        for (int k = 0; k < i; ++k)
            p = s.find('|', p) + 1;
        return s.substr(p, s.find('|', p) - p);
    };
    for (int m = 1; m <= 12; ++m) {
        if (m >= 4 && m <= 6) continue;
        EXPECT_EQ(field(after, m), field(before, m)) << m;
    }
    EXPECT_EQ(field(after, 4), "25500");
    EXPECT_EQ(field(after, 5), "26250");
    EXPECT_EQ(field(after, 6), "26250");
}

TEST_P(
    BaseMonthCalc,
    GivenBaseMonthsWithoutActualFigures_WhenCalculating_ThenTheErrorNamesTheBranchesAndNothingIsWritten) {
    const std::string before = everything();
    Answer a = calculate(teste(), "F",
                         marks(teste(), "F", {"0001", "0002"}, Variant::fromDate(day(2020, 1, 1))));
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("0001, 0002"), std::string::npos) << a.error;
    // Neither the calculation nor the marks sent with it are stored.
    EXPECT_EQ(everything(), before);

    // An empty base month on a branch that bills by measurement is not allowed either.
    a = calculate(teste(), "C", marks(teste(), "C", {"0001"}, Variant()));
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("0001"), std::string::npos) << a.error;
    EXPECT_EQ(everything(), before);
}

TEST_P(BaseMonthCalc,
       GivenGuardedBudgets_WhenCalculating_ThenTheCalculationIsRefusedAndNothingIsWritten) {
    const std::string before = everything();
    const Variant march = Variant::fromDate(day(2026, 3, 1));
    struct Case {
        std::string what;
        Answer answer;
        std::string message;
    };
    std::vector<Case> cases;
    // An older version.
    cases.push_back(
        {"older version", calculate(teste(), "F", Variant(), "S", 0, 0, 1), "última versão"});
    // An effected branch (0003) and an approved one (0004).
    cases.push_back(
        {"effected", calculate(teste(), "F", marks(teste(), "F", {"0003"}, march)), "0003"});
    cases.push_back(
        {"approved", calculate(teste(), "F", marks(teste(), "F", {"0004"}, march)), "0004"});
    // A branch teste sees without calculation access.
    cases.push_back(
        {"no access", calculate(teste(), "F", marks(teste(), "F", {"0005"}, march)), "0005"});
    // A phase closed for calculation.
    RpcTestClient bloq = as("bloq");
    cases.push_back({"closed phase", calculate(bloq, "F", marks(bloq, "F", {"0001"}, march)),
                     "não habilitada"});
    for (const Case& c : cases) {
        EXPECT_FALSE(c.answer.ok) << c.what;
        EXPECT_NE(c.answer.error.find(c.message), std::string::npos)
            << c.what << ": " << c.answer.error;
    }
    EXPECT_EQ(everything(), before);
}

TEST_P(BaseMonthCalc,
       GivenAPhaseClosingTheFirstQuarter_WhenCalculating_ThenThoseMonthsKeepTheirValues) {
    const std::string before = line("0001", "F");
    RpcTestClient fase = as("fase");
    Answer a = calculate(fase, "F", marks(fase, "F", {"0001"}, Variant::fromDate(day(2026, 3, 1))));
    ASSERT_TRUE(a.ok) << a.error;
    const std::string after = line("0001", "F");
    // JAN..MAR as they were; April on.
    const auto firstFour = [](const std::string& s) {
        std::size_t p = 0;
        for (int k = 0; k < 4; ++k)
            p = s.find('|', p) + 1;
        return s.substr(0, p);
    };
    EXPECT_EQ(firstFour(after).substr(2), firstFour(before).substr(2));
    EXPECT_EQ(after.substr(firstFour(after).size()),
              "25500|26250|26250|26250|26250|26250|26250|26250|26250|\n");
}

INSTANTIATE_TEST_SUITE_P(Backends, BaseMonthCalc,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

// The months of a period within a version that starts in April.
TEST(CalcPeriodTest,
     GivenAVersionFromApril_WhenThePeriodIsTheFirstQuarterOfNextYear_ThenOnlyJanToMarAreIn) {
    const srv::CalcPeriod p(2026, 4, "P", Variant::fromDate(day(2027, 1, 1)),
                            Variant::fromDate(day(2027, 3, 31)));
    std::string in;
    for (int m = 1; m <= 12; ++m)
        in += p.includes(m) ? "1" : "0";
    EXPECT_EQ(in, "111000000000");
    EXPECT_EQ(p.calendarYear(1), 2027);
    EXPECT_EQ(p.calendarYear(4), 2026);

    const srv::CalcPeriod mid(2026, 4, "P", Variant::fromDate(day(2026, 4, 2)),
                              Variant::fromDate(day(2026, 6, 1)));
    in.clear();
    for (int m = 1; m <= 12; ++m)
        in += mid.includes(m) ? "1" : "0";
    // April's first day is before the start: only May and June.
    EXPECT_EQ(in, "000011000000");
    EXPECT_THROW(srv::CalcPeriod(2026, 4, "P", Variant::fromDate(day(2026, 6, 1)),
                                 Variant::fromDate(day(2026, 4, 1))),
                 std::runtime_error);
}

} // namespace
