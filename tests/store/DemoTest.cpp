// The demo company and the shared test fixture hold what their header promises, the same on
// both backends.
#include "server/demo/DemoCompany.h"
#include "server/store/DatabaseError.h"
#include "server/store/PasswordHash.h"
#include "server/store/Store.h"
#include "tests/store/ResultDump.h"
#include "tests/store/TestDatabases.h"

#include <gtest/gtest.h>

using srv::Database;
using srv::DemoCompany;
using srv::Store;
using Kind = TestDatabases::Kind;

namespace {

class DemoTest : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        m_store = TestDatabases::open(GetParam());
        if (!m_store) GTEST_SKIP() << "no PostgreSQL server for this run";
    }

    std::string rows(const std::string& sql, const std::vector<Variant>& params = {}) {
        return dump(m_store->read([&](Database& db) { return db.query(sql, params); }));
    }
    int number(const std::string& sql, const std::vector<Variant>& params = {}) {
        return m_store->read([&](Database& db) { return db.query(sql, params).scalar().toInt(); });
    }
    std::string password(const std::string& op) {
        return m_store
            ->read([&](Database& db) {
                return db.query("SELECT DSSENHA FROM OPERADOR WHERE CDOPERADOR = ?", {op});
            })
            .scalar()
            .toText();
    }

    std::unique_ptr<Store> m_store;
};

std::string paramName(const ::testing::TestParamInfo<Kind>& info) {
    return TestDatabases::name(info.param);
}

} // namespace

TEST_P(DemoTest, GivenTheTestFixture_ThenItsBranchesVersionsAndOperatorsAreAsDocumented) {
    DemoCompany::fillTestFixture(*m_store);
    EXPECT_EQ(rows("SELECT F.CDFILIAL, F.CDREGIAO, G.CDGRUPFILI, F.CDSEGMER, P.IDFATUROP FROM "
                   "FILIAL F JOIN FILIALGRUPO G ON G.CDFILIAL = F.CDFILIAL JOIN PARDROFILIAL P ON "
                   "P.CDFILIAL = F.CDFILIAL ORDER BY F.CDFILIAL"),
              "CDFILIAL|CDREGIAO|CDGRUPFILI|CDSEGMER|IDFATUROP\n"
              "t:'0001'|t:'R1'|t:'G1'|t:'S1'|t:'FE'\n"
              "t:'0002'|t:'R1'|t:'G1'|t:'S1'|t:'FS'\n"
              "t:'0003'|t:'R1'|t:'G1'|t:'S2'|t:'FM'\n"
              "t:'0004'|t:'R2'|t:'G2'|t:'S1'|t:'FM'\n"
              "t:'0005'|t:'R2'|t:'G2'|t:'S2'|t:'FM'\n"
              "t:'0006'|t:'R2'|t:'G2'|t:'S2'|t:'FM'\n");
    EXPECT_EQ(rows("SELECT CDANOVERORCA, CDVERSAOORCA, NRMESINIVERORC FROM VERSAOORCA ORDER BY 1, "
                   "2"),
              "CDANOVERORCA|CDVERSAOORCA|NRMESINIVERORC\n"
              "t:'2025'|i:1|i:1\nt:'2026'|i:1|i:4\nt:'2026'|i:2|i:1\n");
    // The April version runs from 01/04/2026 to 31/03/2027.
    EXPECT_EQ(rows("SELECT DATAINI, DATAFIN FROM VERSAOORCA WHERE CDANOVERORCA = '2026' AND "
                   "CDVERSAOORCA = 1"),
              "DATAINI|DATAFIN\nd:46113|d:46477\n");
    EXPECT_EQ(rows("SELECT CDOPERADOR, CDFILIAL, IDACESSOCALC FROM OPERADORFILIAL WHERE "
                   "CDOPERADOR = 'teste' ORDER BY CDFILIAL"),
              "CDOPERADOR|CDFILIAL|IDACESSOCALC\n"
              "t:'teste'|t:'0001'|t:'S'\nt:'teste'|t:'0002'|t:'S'\nt:'teste'|t:'0003'|t:'S'\n"
              "t:'teste'|t:'0004'|t:'S'\nt:'teste'|t:'0005'|t:'N'\n");
    EXPECT_EQ(rows("SELECT O.CDOPERADOR, F.IDFASECALCORCA, F.IDPERMCALCJAN, F.IDPERMCALCMAR, "
                   "F.IDPERMCALCABR FROM OPERADORFASE O JOIN FASEORCOPERAC F ON "
                   "F.CDFASEORCOPERAC = O.CDFASEORCOPERAC WHERE O.NRANOORCAOP = '2026' ORDER BY "
                   "O.CDOPERADOR"),
              "CDOPERADOR|IDFASECALCORCA|IDPERMCALCJAN|IDPERMCALCMAR|IDPERMCALCABR\n"
              "t:'bloq'|t:'N'|t:'S'|t:'S'|t:'S'\n"
              "t:'fase'|t:'S'|t:'N'|t:'N'|t:'S'\n"
              "t:'teste'|t:'S'|t:'S'|t:'S'|t:'S'\n");
    for (const char* op : {"teste", "fase", "bloq"}) {
        EXPECT_TRUE(srv::PasswordHash::verify(op, password(op))) << op;
        EXPECT_FALSE(srv::PasswordHash::verify("demo", password(op))) << op;
    }
}

TEST_P(DemoTest, GivenTheTestFixture_ThenEveryBudgetLineIsThereWithItsStates) {
    DemoCompany::fillTestFixture(*m_store);
    // Per version: one line per letter, two labour lines (two labour types), two entry lines.
    const std::string perLetter = rows(
        "SELECT CDVERSORCAOP, IDTIPOORCAOP, COUNT(*) AS N FROM ITEMORCAMENTO WHERE NRANOORCAOP = "
        "'2026' GROUP BY CDVERSORCAOP, IDTIPOORCAOP ORDER BY CDVERSORCAOP, IDTIPOORCAOP");
    std::string expected = "CDVERSORCAOP|IDTIPOORCAOP|N\n";
    for (int v : {1, 2})
        for (const char* letter : {"C", "D", "E", "F", "I", "M", "N", "O", "P", "R", "S", "T"})
            expected += "i:" + std::to_string(v) + "|t:'" + letter + "'|i:" +
                        (std::string("EO").find(letter) != std::string::npos ? "12" : "6") + "\n";
    EXPECT_EQ(perLetter, expected);
    EXPECT_EQ(rows("SELECT CDFILIAL, IDSTATUSORCA, IDITEMORCAMENTO, COUNT(*) AS N FROM "
                   "ITEMORCAMENTO WHERE CDVERSORCAOP = 2 AND IDSTATUSORCA <> 'P' GROUP BY "
                   "CDFILIAL, IDSTATUSORCA, IDITEMORCAMENTO ORDER BY CDFILIAL"),
              "CDFILIAL|IDSTATUSORCA|IDITEMORCAMENTO|N\n"
              "t:'0003'|t:'E'|t:'E'|i:14\nt:'0004'|t:'A'|t:'A'|i:14\n");
    EXPECT_EQ(rows("SELECT CDFILIAL, IDSTATUSORCA FROM ORCAMENTOFILIAL WHERE CDVERSORCAOP = 1 "
                   "ORDER BY CDFILIAL"),
              "CDFILIAL|IDSTATUSORCA\nt:'0001'|t:'P'\nt:'0002'|t:'P'\nt:'0003'|t:'E'\n"
              "t:'0004'|t:'A'\nt:'0005'|t:'P'\nt:'0006'|t:'P'\n");
    // Entry expenses of both kinds on every branch.
    EXPECT_EQ(number("SELECT COUNT(DISTINCT CDFILIAL) FROM ITEMORCAMENTO WHERE IDTIPOORCAOP = 'E' "
                     "AND CDTIPOOPER = 'V'"),
              6);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT CDFILIAL) FROM ITEMORCAMENTO WHERE IDTIPOORCAOP = 'E' "
                     "AND CDTIPOOPER <> 'V'"),
              6);
    // No month left empty: effecting refuses a line with an empty month.
    EXPECT_EQ(number("SELECT COUNT(*) FROM ITEMORCAMENTO WHERE VRORCAMENTOJAN IS NULL OR "
                     "VRORCAMENTOJUL IS NULL OR VRORCAMENTODEZ IS NULL"),
              0);
}

TEST_P(DemoTest, GivenTheTestFixture_ThenItsFiguresAgreeWithTheMasterData) {
    DemoCompany::fillTestFixture(*m_store);
    // Billing of a month is the sum of its services; a tax line is billing times the rate.
    EXPECT_EQ(number("SELECT COUNT(*) FROM ITEMORCAMENTO I WHERE I.IDTIPOORCAOP = 'F' AND "
                     "ABS(I.VRORCAMENTOMAI - (SELECT SUM(S.VRORCAMENTOMAI) FROM ITEMSERVORCA S "
                     "WHERE S.NRANOORCAOP = I.NRANOORCAOP AND S.CDVERSORCAOP = I.CDVERSORCAOP "
                     "AND S.CDFILIAL = I.CDFILIAL AND S.IDTIPOORCAOP = 'F')) > 0.005"),
              0);
    EXPECT_EQ(number("SELECT COUNT(*) FROM ITEMORCAMENTO T JOIN IMPOSTOFILIAL A ON A.CDFILIAL = "
                     "T.CDFILIAL AND A.CDIMPOSTO = T.CDIMPOSTO AND A.NRANOORCAOP = T.NRANOORCAOP "
                     "JOIN ITEMORCAMENTO F ON F.NRANOORCAOP = T.NRANOORCAOP AND F.CDVERSORCAOP = "
                     "T.CDVERSORCAOP AND F.CDFILIAL = T.CDFILIAL AND F.IDTIPOORCAOP = 'F' WHERE "
                     "T.IDTIPOORCAOP = 'I' AND ABS(T.VRORCAMENTOOUT - F.VRORCAMENTOOUT * "
                     "A.VRPERCALIQUOTA / 100) > 0.006"),
              0);
    // Every base month has actual figures and working days to compute from.
    EXPECT_EQ(number("SELECT COUNT(*) FROM ITEMORCAMENTO WHERE IDTIPOORCAOP IN ('F', 'C') AND "
                     "DTMESBASEITEM IS NULL"),
              0);
    EXPECT_EQ(number("SELECT COUNT(*) FROM SERVREALIZADO R JOIN DIAUTILFILIAL D ON D.CDFILIAL = "
                     "R.CDFILIAL AND D.NRANOORCAOP = R.NRANOORCAOP WHERE R.NRANOORCAOP = '2025' "
                     "AND R.QTREALIZADOOUT > 0 AND D.NDIAUTILOUT > 0"),
              6 * 5);
    // Every month of the April version has working days, including January to March of 2027.
    EXPECT_EQ(number("SELECT COUNT(*) FROM DIAUTILFILIAL WHERE NRANOORCAOP = '2027' AND "
                     "NDIAUTILMAR > 0"),
              6);
    EXPECT_EQ(number("SELECT COUNT(*) FROM ORCAMENTOMOTIPO T JOIN ORCAMENTOMO O ON "
                     "O.CDORCAMENTOMO = T.CDORCAMENTOMO"),
              12);
}

TEST_P(DemoTest, GivenTheDemoCompany_ThenItHoldsWhatItsHeaderSays) {
    DemoCompany::fill(*m_store, 2027);
    EXPECT_EQ(rows("SELECT (SELECT COUNT(*) FROM FILIAL) AS FILIAIS, (SELECT COUNT(*) FROM "
                   "REGIAO) AS REGIOES, (SELECT COUNT(*) FROM GRUPFILI) AS GRUPOS, (SELECT "
                   "COUNT(DISTINCT CDFILIAL) FROM FILIAL WHERE CDSEGMER IS NOT NULL) AS COMSEG"),
              "FILIAIS|REGIOES|GRUPOS|COMSEG\ni:24|i:3|i:4|i:20\n");
    EXPECT_EQ(rows("SELECT CDANOVERORCA, CDVERSAOORCA, NRMESINIVERORC FROM VERSAOORCA ORDER BY 1, "
                   "2"),
              "CDANOVERORCA|CDVERSAOORCA|NRMESINIVERORC\n"
              "t:'2026'|i:1|i:1\nt:'2027'|i:1|i:4\nt:'2027'|i:2|i:7\nt:'2027'|i:3|i:1\n");
    EXPECT_EQ(rows("SELECT CDFILIAL, IDFATUROP FROM PARDROFILIAL WHERE IDFATUROP IN ('FE', 'FS') "
                   "ORDER BY 1"),
              "CDFILIAL|IDFATUROP\nt:'0003'|t:'FE'\nt:'0004'|t:'FS'\n");
    // Version 3: 0001 and 0002 effected, 0006 approved, 0007 only its billing effected.
    EXPECT_EQ(
        rows("SELECT CDFILIAL, IDITEMORCAMENTO, COUNT(*) AS N FROM ITEMORCAMENTO WHERE "
             "NRANOORCAOP = '2027' AND CDVERSORCAOP = 3 AND IDITEMORCAMENTO <> 'P' GROUP BY "
             "CDFILIAL, IDITEMORCAMENTO ORDER BY 1"),
        "CDFILIAL|IDITEMORCAMENTO|N\n"
        "t:'0001'|t:'E'|i:23\nt:'0002'|t:'E'|i:23\nt:'0006'|t:'A'|i:23\nt:'0007'|t:'E'|i:1\n");
    // Every letter on every budgeted branch in every version; 0021..0024 have none.
    EXPECT_EQ(number("SELECT COUNT(*) FROM (SELECT NRANOORCAOP, CDVERSORCAOP, CDFILIAL FROM "
                     "ITEMORCAMENTO GROUP BY NRANOORCAOP, CDVERSORCAOP, CDFILIAL HAVING "
                     "COUNT(DISTINCT IDTIPOORCAOP) = 12) X"),
              4 * 19); // 0020 has no tax registered, so no I, R or S lines
    EXPECT_EQ(number("SELECT COUNT(*) FROM ITEMORCAMENTO WHERE CDFILIAL > '0020'"), 0);
    EXPECT_EQ(rows("SELECT DISTINCT CDFILIAL, IDTIPOORCAOP FROM ITEMORCAMENTO WHERE "
                   "IDTIPOORCAOP IN ('F', 'C') AND DTMESBASEITEM IS NULL ORDER BY 1, 2"),
              "CDFILIAL|IDTIPOORCAOP\nt:'0004'|t:'C'\nt:'0005'|t:'C'\nt:'0019'|t:'C'\n"
              "t:'0019'|t:'F'\nt:'0020'|t:'C'\nt:'0020'|t:'F'\n");
    EXPECT_EQ(number("SELECT COUNT(DISTINCT CDFILIAL) FROM ITEMORCAMENTO WHERE IDTIPOORCAOP = 'E' "
                     "AND CDTIPOOPER = 'V' AND NRANOORCAOP = '2027'"),
              20);
    EXPECT_EQ(rows("SELECT CDOPERADOR, COUNT(*) AS N, SUM(CASE WHEN IDACESSOCALC = 'S' THEN 1 "
                   "ELSE 0 END) AS CALC FROM OPERADORFILIAL GROUP BY CDOPERADOR ORDER BY 1"),
              "CDOPERADOR|N|CALC\nt:'demo'|i:24|i:24\nt:'fase'|i:24|i:24\nt:'filial'|i:8|i:4\n");
    for (const char* op : {"demo", "filial", "fase"})
        EXPECT_TRUE(srv::PasswordHash::verify(op, password(op))) << op;
    EXPECT_FALSE(m_store->isEmpty());
}

TEST_P(DemoTest, GivenAFilledDatabase_WhenFilledAgain_ThenItIsRefusedAndNothingChanges) {
    DemoCompany::fillTestFixture(*m_store);
    const std::string before = rows("SELECT COUNT(*) AS N FROM ITEMORCAMENTO");
    EXPECT_THROW(DemoCompany::fill(*m_store, 2026), srv::DatabaseError);
    EXPECT_THROW(DemoCompany::fillGenerated(*m_store, 2, 2), srv::DatabaseError);
    EXPECT_EQ(rows("SELECT COUNT(*) AS N FROM ITEMORCAMENTO"), before);
    EXPECT_EQ(number("SELECT COUNT(*) FROM OPERADOR"), 3);
}

TEST_P(DemoTest, GivenAGeneratedCompany_ThenItHasTheAskedSize) {
    // 70 lines a branch: rows go in full batches and a last partial one.
    DemoCompany::fillGenerated(*m_store, 30, 70);
    EXPECT_EQ(rows("SELECT COUNT(*) AS N, COUNT(DISTINCT CDFILIAL) AS F, COUNT(DISTINCT "
                   "NRSEQITEMORCA) AS S, MAX(NRSEQITEMORCA) AS LAST FROM ITEMORCAMENTO"),
              "N|F|S|LAST\ni:2100|i:30|i:70|t:'0000000070'\n");
    EXPECT_EQ(number("SELECT COUNT(*) FROM OPERADORFILIAL WHERE CDOPERADOR = 'demo' AND "
                     "IDACESSOCALC = 'S'"),
              30);
    EXPECT_EQ(number("SELECT COUNT(DISTINCT IDTIPOORCAOP) FROM ITEMORCAMENTO"), 12);
}

INSTANTIATE_TEST_SUITE_P(Backends, DemoTest, ::testing::Values(Kind::SqliteFile, Kind::Postgres),
                         paramName);

TEST(DemoAcrossBackends, GivenTheSameFill_ThenSqliteAndPostgresHoldTheSameRows) {
    auto sqlite = TestDatabases::open(Kind::SqliteMemory);
    auto postgres = TestDatabases::open(Kind::Postgres);
    if (!postgres) GTEST_SKIP() << "no PostgreSQL server for this run";
    DemoCompany::fill(*sqlite, 2026);
    DemoCompany::fill(*postgres, 2026);
    for (const char* sql :
         {"SELECT * FROM ITEMORCAMENTO ORDER BY NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
          "IDTIPOORCAOP, NRSEQITEMORCA",
          "SELECT * FROM ITEMSERVORCA ORDER BY NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
          "IDTIPOORCAOP, CDSERVFILI",
          "SELECT * FROM SERVREALIZADO ORDER BY NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI",
          "SELECT * FROM OPERADOR ORDER BY CDOPERADOR", "SELECT * FROM VERSAOORCA ORDER BY 1, 2",
          "SELECT * FROM DIAUTILFILIAL ORDER BY 1, 2"}) {
        const auto a = sqlite->read([&](Database& db) { return db.query(sql); });
        const auto b = postgres->read([&](Database& db) { return db.query(sql); });
        EXPECT_FALSE(a.empty()) << sql;
        EXPECT_EQ(dump(a), dump(b)) << sql;
    }
}
