#include "server/store/Schema.h"

#include <array>
#include <cassert>
#include <map>
#include <regex>

namespace srv {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                                                      "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

// Twelve column declarations "PREFIXJAN TYPE, ... PREFIXDEZ TYPE".
std::string months(std::string_view prefix, std::string_view type) {
    std::string out;
    for (int m = 1; m <= 12; ++m) {
        if (m > 1) out += ", ";
        out += monthColumn(prefix, m);
        out += ' ';
        out += type;
    }
    return out;
}

constexpr std::string_view kDouble = "DOUBLE PRECISION";
constexpr std::string_view kFlag = "VARCHAR(1)";

// The budget lines' table under `name`, `options` after its closing parenthesis.
std::string itemTable(std::string_view name, std::string_view options) {
    return "CREATE TABLE " + std::string(name) +
           " (NRANOORCAOP VARCHAR(4) NOT NULL, CDVERSORCAOP INTEGER NOT "
           "NULL, CDFILIAL VARCHAR(4) NOT NULL, IDTIPOORCAOP VARCHAR(1) NOT NULL CHECK "
           "(IDTIPOORCAOP IN ('F','I','C','O','T','M','D','E','R','S','N','P')), NRSEQITEMORCA "
           "VARCHAR(10) NOT NULL, IDENTRSAIDOP VARCHAR(1), CDTIPOOPER VARCHAR(2), CDDESPADMFAT "
           "VARCHAR(2), CDDESPPREV VARCHAR(3), CDIMPOSTO VARCHAR(2), DTORCAMENTOITEM DOUBLE "
           "PRECISION, DTMESBASEITEM DOUBLE PRECISION, IDSTATUSORCA VARCHAR(2), IDITEMORCAMENTO "
           "VARCHAR(1), IDITEMCALCORCA VARCHAR(1), IDALTERADO VARCHAR(1), " +
           months("VRORCAMENTO", kDouble) +
           ", PRIMARY KEY (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA))" +
           std::string(options) + ";\n";
}

// Versions and budgets, their items and the result simulations.
std::string budgetTables() {
    std::string s;
    s += "CREATE TABLE VERSAOORCA (CDANOVERORCA VARCHAR(4) NOT NULL, CDVERSAOORCA INTEGER NOT "
         "NULL, DSVERSAOORCA VARCHAR(40), NRMESINIVERORC INTEGER NOT NULL CHECK (NRMESINIVERORC "
         "BETWEEN 1 AND 12), DATAINI DOUBLE PRECISION NOT NULL, DATAFIN DOUBLE PRECISION NOT "
         "NULL, PRIMARY KEY (CDANOVERORCA, CDVERSAOORCA));\n";
    s += "CREATE TABLE ORCAMENTOFILIAL (NRANOORCAOP VARCHAR(4) NOT NULL, CDVERSORCAOP INTEGER NOT "
         "NULL, CDFILIAL VARCHAR(4) NOT NULL, CDOPERADOR VARCHAR(12), DTORCAMENTO DOUBLE "
         "PRECISION, IDSTATUSORCA VARCHAR(1), PRIMARY KEY (NRANOORCAOP, CDVERSORCAOP, "
         "CDFILIAL));\n";
    s += itemTable("ITEMORCAMENTO", "");
    s += "CREATE INDEX ITEMORCAMENTO_TIPO ON ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, "
         "IDTIPOORCAOP);\n";
    s += "CREATE TABLE ITEMSERVORCA (NRANOORCAOP VARCHAR(4) NOT NULL, CDVERSORCAOP INTEGER NOT "
         "NULL, CDFILIAL VARCHAR(4) NOT NULL, IDTIPOORCAOP VARCHAR(1) NOT NULL CHECK "
         "(IDTIPOORCAOP IN ('F','C')), CDSERVFILI VARCHAR(5) NOT NULL, IDITEMORCAMENTO "
         "VARCHAR(1), " +
         months("QTORCAMENTO", kDouble) + ", " + months("VRORCAMENTO", kDouble) +
         ", PRIMARY KEY (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI));\n";
    s += "CREATE TABLE DIAUTILFILIAL (NRANOORCAOP VARCHAR(4) NOT NULL, CDFILIAL VARCHAR(4) NOT "
         "NULL, " +
         months("NDIAUTIL", "INTEGER") + ", PRIMARY KEY (NRANOORCAOP, CDFILIAL));\n";
    s += "CREATE TABLE SIMULACAO (NRSEQSIMULACAO INT NOT NULL PRIMARY KEY, NRANOORCAOP "
         "VARCHAR(4) NOT NULL, CDVERSORCAOP INTEGER NOT NULL, CDOPERADOR VARCHAR(12) NOT NULL, "
         "DTSIMULACAO DOUBLE PRECISION NOT NULL, DSLISTAFILIAL TEXT NOT NULL, CDMES VARCHAR(2) "
         "NOT NULL, VRCONSUMO DOUBLE PRECISION, IDCONSALTERADO VARCHAR(1), VRFATURAMENTO DOUBLE "
         "PRECISION, IDFATAPLICADO VARCHAR(1), VRIMPOSTO DOUBLE PRECISION, IDIMPALTERADO "
         "VARCHAR(1), IDMAOOBRASIMUL VARCHAR(1), IDDESPDIVSIMUL VARCHAR(1), IDDESPENTRSIMUL "
         "VARCHAR(1), DSLINHASGERAIS VARCHAR(20));\n";
    return s;
}

// Organisation, operators and access.
std::string organisationTables() {
    std::string s;
    s += "CREATE TABLE REGIAO (CDREGIAO VARCHAR(3) NOT NULL PRIMARY KEY, NMREGIAO VARCHAR(30) "
         "NOT NULL);\n";
    s += "CREATE TABLE GRUPFILI (CDGRUPFILI VARCHAR(10) NOT NULL PRIMARY KEY, NMGRUPFILI "
         "VARCHAR(40) NOT NULL);\n";
    s += "CREATE TABLE SEGMER (CDSEGMER VARCHAR(5) NOT NULL PRIMARY KEY, DSSEGMER VARCHAR(40) NOT "
         "NULL);\n";
    s += "CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) NOT NULL PRIMARY KEY, NMFILIAL VARCHAR(30) NOT "
         "NULL, CDREGIAO VARCHAR(3) REFERENCES REGIAO (CDREGIAO), CDSEGMER VARCHAR(5) REFERENCES "
         "SEGMER (CDSEGMER), IDCALCOMESTORC VARCHAR(1));\n";
    s += "CREATE TABLE FILIALGRUPO (CDGRUPFILI VARCHAR(10) NOT NULL REFERENCES GRUPFILI "
         "(CDGRUPFILI), CDFILIAL VARCHAR(4) NOT NULL REFERENCES FILIAL (CDFILIAL), PRIMARY KEY "
         "(CDGRUPFILI, CDFILIAL));\n";
    s += "CREATE INDEX FILIALGRUPO_FILIAL ON FILIALGRUPO (CDFILIAL);\n";
    s += "CREATE TABLE PARDROFILIAL (CDFILIAL VARCHAR(4) NOT NULL PRIMARY KEY REFERENCES FILIAL "
         "(CDFILIAL), IDFATUROP VARCHAR(2), IDDETALHEFATUR VARCHAR(1));\n";
    s += "CREATE TABLE PARAMORCAOPERAC (CDPARAMETRO INT NOT NULL PRIMARY KEY, "
         "IDTIPOSIMULARESULTFAT VARCHAR(30), IDORCDESPENTROP VARCHAR(1));\n";
    s += "CREATE TABLE OPERADOR (CDOPERADOR VARCHAR(12) NOT NULL PRIMARY KEY, NMOPERADOR "
         "VARCHAR(60) NOT NULL, DSSENHA VARCHAR(200) NOT NULL, IDATIVO VARCHAR(1) NOT NULL "
         "DEFAULT 'S');\n";
    s += "CREATE TABLE OPERADORFILIAL (CDOPERADOR VARCHAR(12) NOT NULL REFERENCES OPERADOR "
         "(CDOPERADOR), CDFILIAL VARCHAR(4) NOT NULL REFERENCES FILIAL (CDFILIAL), IDACESSOCALC "
         "VARCHAR(1) NOT NULL, IDACESSOAPROV VARCHAR(1) NOT NULL, PRIMARY KEY (CDOPERADOR, "
         "CDFILIAL));\n";
    s += "CREATE TABLE FASEORCOPERAC (CDFASEORCOPERAC VARCHAR(10) NOT NULL PRIMARY KEY, "
         "NMFASEORCOPERAC VARCHAR(100) NOT NULL, IDFASECALCORCA VARCHAR(1) NOT NULL, "
         "IDFASEAPROVORCA VARCHAR(1) NOT NULL, " +
         months("IDPERMCALC", kFlag) + ");\n";
    s += "CREATE TABLE OPERADORFASE (NRANOORCAOP VARCHAR(4) NOT NULL, CDOPERADOR VARCHAR(12) NOT "
         "NULL REFERENCES OPERADOR (CDOPERADOR), CDGRUPGERENTEOP VARCHAR(10), CDFASEORCOPERAC "
         "VARCHAR(10) NOT NULL REFERENCES FASEORCOPERAC (CDFASEORCOPERAC), PRIMARY KEY "
         "(NRANOORCAOP, CDOPERADOR));\n";
    s += "CREATE TABLE SESSAOOPERADOR (CDSESSAO VARCHAR(128) NOT NULL PRIMARY KEY, CDOPERADOR "
         "VARCHAR(12) NOT NULL REFERENCES OPERADOR (CDOPERADOR), DTCRIACAO DOUBLE PRECISION NOT "
         "NULL, DTEXPIRA DOUBLE PRECISION NOT NULL);\n";
    return s;
}

// Master data of the calculations.
std::string calculationTables() {
    std::string s;
    s += "CREATE TABLE SERVFILIAL (NRANOORCAOP VARCHAR(4) NOT NULL, CDFILIAL VARCHAR(4) NOT NULL "
         "REFERENCES FILIAL (CDFILIAL), IDTIPOORCAOP VARCHAR(1) NOT NULL CHECK (IDTIPOORCAOP IN "
         "('F','C')), CDSERVFILI VARCHAR(5) NOT NULL, NMSERVICO VARCHAR(40), VRPRECOBASE DOUBLE "
         "PRECISION, VRCUSTO DOUBLE PRECISION, " +
         months("VRPERCORRCOM", kDouble) + ", " + months("VRREAJORC", kDouble) +
         ", PRIMARY KEY (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI));\n";
    s += "CREATE TABLE SERVREALIZADO (NRANOORCAOP VARCHAR(4) NOT NULL, CDFILIAL VARCHAR(4) NOT "
         "NULL, IDTIPOORCAOP VARCHAR(1) NOT NULL CHECK (IDTIPOORCAOP IN ('F','C')), CDSERVFILI "
         "VARCHAR(5) NOT NULL, " +
         months("QTREALIZADO", kDouble) +
         ", PRIMARY KEY (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI));\n";
    s += "CREATE TABLE IMPOSTO (CDIMPOSTO VARCHAR(2) NOT NULL PRIMARY KEY, SGIMPOSTO VARCHAR(10) "
         "NOT NULL, NMIMPOSTO VARCHAR(30) NOT NULL, IDTIPOORCAOP VARCHAR(1) NOT NULL CHECK "
         "(IDTIPOORCAOP IN ('I','R','S')));\n";
    s += "CREATE TABLE IMPOSTOFILIAL (NRANOORCAOP VARCHAR(4) NOT NULL, CDFILIAL VARCHAR(4) NOT "
         "NULL REFERENCES FILIAL (CDFILIAL), CDIMPOSTO VARCHAR(2) NOT NULL REFERENCES IMPOSTO "
         "(CDIMPOSTO), VRPERCALIQUOTA DOUBLE PRECISION NOT NULL, PRIMARY KEY (NRANOORCAOP, "
         "CDFILIAL, CDIMPOSTO));\n";
    s += "CREATE TABLE TAXAADMFILIAL (NRANOORCAOP VARCHAR(4) NOT NULL, CDFILIAL VARCHAR(4) NOT "
         "NULL REFERENCES FILIAL (CDFILIAL), VRPERCTXADM DOUBLE PRECISION NOT NULL, PRIMARY KEY "
         "(NRANOORCAOP, CDFILIAL));\n";
    s += "CREATE TABLE BEMFILIAL (CDFILIAL VARCHAR(4) NOT NULL REFERENCES FILIAL (CDFILIAL), "
         "CDBEM VARCHAR(10) NOT NULL, DSBEM VARCHAR(60) NOT NULL, VRCUSTOBEM DOUBLE PRECISION NOT "
         "NULL, DTINICIOBEM DOUBLE PRECISION NOT NULL, QTMESESVIDA INTEGER NOT NULL CHECK "
         "(QTMESESVIDA > 0), PRIMARY KEY (CDFILIAL, CDBEM));\n";
    s += "CREATE TABLE DESPADMFAT (CDDESPADMFAT VARCHAR(2) NOT NULL PRIMARY KEY, DSDESPADMFAT "
         "VARCHAR(160) NOT NULL);\n";
    s += "CREATE TABLE ORCAMENTOMO (CDORCAMENTOMO VARCHAR(10) NOT NULL PRIMARY KEY, DSORCAMENTOMO "
         "VARCHAR(40) NOT NULL, QTFUNCORCAMO DOUBLE PRECISION NOT NULL, CDFILIAL VARCHAR(4) NOT "
         "NULL REFERENCES FILIAL (CDFILIAL));\n";
    s += "CREATE TABLE ORCAMENTOMOTIPO (CDORCAMENTOMO VARCHAR(10) NOT NULL REFERENCES ORCAMENTOMO "
         "(CDORCAMENTOMO), CDDESPADMFAT VARCHAR(2) NOT NULL REFERENCES DESPADMFAT (CDDESPADMFAT), "
         "QTFUNCIONARIO DOUBLE PRECISION NOT NULL, VRSALARIO DOUBLE PRECISION NOT NULL, "
         "VRPERCENCARGO DOUBLE PRECISION NOT NULL, PRIMARY KEY (CDORCAMENTOMO, CDDESPADMFAT));\n";
    s += "CREATE TABLE DESPPREV (CDDESPPREV VARCHAR(3) NOT NULL PRIMARY KEY, NMDESPPREV "
         "VARCHAR(50) NOT NULL);\n";
    s += "CREATE TABLE TIPOOPER (CDTIPOOPER VARCHAR(2) NOT NULL PRIMARY KEY, NMTIPOOPER "
         "VARCHAR(30) NOT NULL, IDENTRSAIDOP VARCHAR(1));\n";
    return s;
}

std::string migration1() {
    return budgetTables() + organisationTables() + calculationTables();
}

// Products bought under an expense type, and how many of each a budget item plans per month.
std::string migration2() {
    std::string s;
    s += "CREATE TABLE PRODUTODESP (CDDESPPREV VARCHAR(3) NOT NULL REFERENCES DESPPREV "
         "(CDDESPPREV), CDPRODUTO VARCHAR(6) NOT NULL, NMPRODUTO VARCHAR(40) NOT NULL, SGUNIDADE "
         "VARCHAR(4) NOT NULL, VRPRECOUNIT DOUBLE PRECISION NOT NULL CHECK (VRPRECOUNIT >= 0), "
         "PRIMARY KEY (CDDESPPREV, CDPRODUTO));\n";
    s += "CREATE TABLE PRODUTOITEMORCA (NRANOORCAOP VARCHAR(4) NOT NULL, CDVERSORCAOP INTEGER NOT "
         "NULL, CDFILIAL VARCHAR(4) NOT NULL, NRSEQITEMORCA VARCHAR(10) NOT NULL, CDDESPPREV "
         "VARCHAR(3) NOT NULL, CDPRODUTO VARCHAR(6) NOT NULL, " +
         months("QTPRODUTO", kDouble) +
         ", PRIMARY KEY (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, NRSEQITEMORCA, CDPRODUTO), FOREIGN "
         "KEY (CDDESPPREV, CDPRODUTO) REFERENCES PRODUTODESP (CDDESPPREV, CDPRODUTO));\n";
    return s;
}

// A budget is read in the order of its lines' key. SQLite then walks the key's index and looks
// every row up in the table apart; a table kept in key order is read in one walk. PostgreSQL
// has no such tables, and its planner reads the heap in one pass anyway.
std::string migration3(Database::Backend backend) {
    if (backend == Database::Backend::PostgreSQL) return "SELECT 1;\n";
    std::string s = itemTable("ITEMORCAMENTO_NOVA", " WITHOUT ROWID");
    s += "INSERT INTO ITEMORCAMENTO_NOVA SELECT * FROM ITEMORCAMENTO;\n";
    s += "DROP TABLE ITEMORCAMENTO;\n";
    s += "ALTER TABLE ITEMORCAMENTO_NOVA RENAME TO ITEMORCAMENTO;\n";
    s += "CREATE INDEX ITEMORCAMENTO_TIPO ON ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, "
         "IDTIPOORCAOP);\n";
    return s;
}

// PostgreSQL refuses a text longer than its VARCHAR(n); SQLite would store it. A CHECK on
// every such column makes both refuse it, as a constraint.
std::string withLengthChecks(const std::string& sql) {
    static const std::regex column(R"(\b([A-Z0-9_]+) VARCHAR\((\d+)\))");
    return std::regex_replace(sql, column, "$1 VARCHAR($2) CHECK (LENGTH($1) <= $2)");
}

} // namespace

const std::vector<std::string>& Schema::migrations(Database::Backend backend) {
    static const auto all = [](Database::Backend b) {
        return std::vector<std::string>{withLengthChecks(migration1()),
                                        withLengthChecks(migration2()),
                                        withLengthChecks(migration3(b))};
    };
    static const std::vector<std::string> sqlite = all(Database::Backend::SQLite);
    static const std::vector<std::string> postgres = all(Database::Backend::PostgreSQL);
    return backend == Database::Backend::SQLite ? sqlite : postgres;
}

int Schema::textSize(std::string_view table, std::string_view column) {
    static const std::map<std::string, int> sizes = [] {
        std::map<std::string, int> out;
        static const std::regex create(R"(CREATE TABLE ([A-Z0-9_]+) \(([^;]*)\);)");
        static const std::regex varchar(R"(\b([A-Z0-9_]+) VARCHAR\((\d+)\))");
        for (const std::string& m : migrations(Database::Backend::PostgreSQL))
            for (std::sregex_iterator t(m.begin(), m.end(), create), end; t != end; ++t) {
                const std::string body = (*t)[2];
                for (std::sregex_iterator c(body.begin(), body.end(), varchar); c != end; ++c)
                    out[(*t)[1].str() + "." + (*c)[1].str()] = std::stoi((*c)[2]);
            }
        return out;
    }();
    const auto it = sizes.find(std::string(table) + "." + std::string(column));
    return it == sizes.end() ? 0 : it->second;
}

std::string_view monthSuffix(int month) {
    assert(month >= 1 && month <= 12);
    return kMonths[static_cast<std::size_t>(month - 1)];
}

std::string monthColumn(std::string_view prefix, int month) {
    std::string out(prefix);
    out += monthSuffix(month);
    return out;
}

} // namespace srv
