#include "server/demo/DemoBuilder.h"

#include "server/demo/DemoFigures.h"
#include "server/demo/RowWriter.h"
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/PasswordHash.h"
#include "server/store/Schema.h"

namespace srv {

namespace {

std::vector<std::string> withMonths(std::vector<std::string> columns, const char* prefix) {
    for (int m = 1; m <= 12; ++m)
        columns.push_back(monthColumn(prefix, m));
    return columns;
}

std::string yearText(int year) {
    return std::to_string(year);
}

} // namespace

void DemoBuilder::catalogs() {
    RowWriter taxes(m_db, "IMPOSTO", {"CDIMPOSTO", "SGIMPOSTO", "NMIMPOSTO", "IDTIPOORCAOP"});
    for (const auto& t : DemoFigures::taxes())
        taxes.add({t.code, t.abbreviation, t.name, std::string(1, t.kind)});
    taxes.flush();

    RowWriter expenses(m_db, "DESPPREV", {"CDDESPPREV", "NMDESPPREV"});
    for (const auto& [code, name] :
         std::vector<std::pair<const char*, const char*>>{{"001", "Aluguel"},
                                                          {"002", "Energia elétrica"},
                                                          {"003", "Manutenção de equipamentos"},
                                                          {"004", "Material de limpeza"},
                                                          {"005", "Transporte de mercadorias"},
                                                          {"006", "Uniformes"},
                                                          {"010", "Rateio de despesas da matriz"},
                                                          {"011", "Auditoria e consultoria"}})
        expenses.add({code, name});
    expenses.flush();

    // What is bought under three of the expense types, for the products screen.
    RowWriter products(m_db, "PRODUTODESP",
                       {"CDDESPPREV", "CDPRODUTO", "NMPRODUTO", "SGUNIDADE", "VRPRECOUNIT"});
    products.add({"004", "LIM01", "Detergente neutro 5 l", "GL", 18.9});
    products.add({"004", "LIM02", "Desinfetante 5 l", "GL", 22.5});
    products.add({"004", "LIM03", "Pano de limpeza", "UN", 2.35});
    products.add({"005", "TRA01", "Frete refrigerado", "VG", 350.0});
    products.add({"005", "TRA02", "Frete seco", "VG", 220.0});
    products.add({"006", "UNI01", "Avental", "UN", 35.0});
    products.add({"006", "UNI02", "Touca descartável (cx)", "CX", 28.0});
    products.flush();

    RowWriter operations(m_db, "TIPOOPER", {"CDTIPOOPER", "NMTIPOOPER", "IDENTRSAIDOP"});
    operations.add({"V", "Venda de refeições avulsas", "E"});
    operations.add({"01", "Compra de insumos", "E"});
    operations.add({"02", "Transferência entre filiais", "E"});
    operations.flush();

    RowWriter labour(m_db, "DESPADMFAT", {"CDDESPADMFAT", "DSDESPADMFAT"});
    labour.add({"01", "Cozinheiro"});
    labour.add({"02", "Auxiliar de cozinha"});
    labour.add({"03", "Nutricionista"});
    labour.add({"04", "Gerente de unidade"});
    labour.flush();

    RowWriter parameters(m_db, "PARAMORCAOPERAC",
                         {"CDPARAMETRO", "IDTIPOSIMULARESULTFAT", "IDORCDESPENTROP"});
    parameters.add({1, "FATURAMENTO_BRUTO", "O"});
    parameters.flush();
}

void DemoBuilder::region(const std::string& code, const std::string& name) {
    m_db.execute("INSERT INTO REGIAO (CDREGIAO, NMREGIAO) VALUES (?, ?)", {code, name});
}

void DemoBuilder::group(const std::string& code, const std::string& name) {
    m_db.execute("INSERT INTO GRUPFILI (CDGRUPFILI, NMGRUPFILI) VALUES (?, ?)", {code, name});
}

void DemoBuilder::segment(const std::string& code, const std::string& name) {
    m_db.execute("INSERT INTO SEGMER (CDSEGMER, DSSEGMER) VALUES (?, ?)", {code, name});
}

void DemoBuilder::branch(const DemoBranchPlan& plan) {
    m_db.execute("INSERT INTO FILIAL (CDFILIAL, NMFILIAL, CDREGIAO, CDSEGMER, IDCALCOMESTORC) "
                 "VALUES (?, ?, ?, ?, ?)",
                 {plan.code, plan.name, plan.region,
                  plan.segment.empty() ? Variant() : Variant(plan.segment), plan.calcMode});
    for (const std::string& g : plan.groups)
        m_db.execute("INSERT INTO FILIALGRUPO (CDGRUPFILI, CDFILIAL) VALUES (?, ?)",
                     {g, plan.code});
    m_db.execute("INSERT INTO PARDROFILIAL (CDFILIAL, IDFATUROP, IDDETALHEFATUR) VALUES (?, ?, ?)",
                 {plan.code, plan.billingKind, plan.detail});
}

void DemoBuilder::version(int year, int version, int firstMonth) {
    // Twelve months from the first month: a version starting in April ends in March.
    const double start = DayNumber::fromCivil(year, firstMonth, 1);
    const double end = firstMonth == 1 ? DayNumber::fromCivil(year, 12, 31)
                                       : DayNumber::fromCivil(year + 1, firstMonth, 1) - 1;
    m_db.execute("INSERT INTO VERSAOORCA (CDANOVERORCA, CDVERSAOORCA, DSVERSAOORCA, "
                 "NRMESINIVERORC, DATAINI, DATAFIN) VALUES (?, ?, ?, ?, ?, ?)",
                 {yearText(year), version, "Versão " + std::to_string(version), firstMonth,
                  Variant::fromDate(start), Variant::fromDate(end)});
}

void DemoBuilder::phase(const std::string& code, const std::string& name, bool calculates,
                        const std::set<int>& closed) {
    RowWriter phases(
        m_db, "FASEORCOPERAC",
        withMonths({"CDFASEORCOPERAC", "NMFASEORCOPERAC", "IDFASECALCORCA", "IDFASEAPROVORCA"},
                   "IDPERMCALC"));
    std::vector<Variant> row = {code, name, calculates ? "S" : "N", "S"};
    for (int m = 1; m <= 12; ++m)
        row.emplace_back(closed.contains(m) ? "N" : "S");
    phases.add(row);
    phases.flush();
}

void DemoBuilder::addOperator(const std::string& code, const std::string& name,
                              const std::string& password, int iterations) {
    // A salt of our own making keeps the fill deterministic; these passwords are public.
    const std::string hash = PasswordHash::make(password, "fyn-demo-" + code, iterations);
    m_db.execute("INSERT INTO OPERADOR (CDOPERADOR, NMOPERADOR, DSSENHA, IDATIVO) VALUES (?, ?, "
                 "?, 'S')",
                 {code, name, hash});
}

void DemoBuilder::access(const std::string& op, const std::string& branch, bool calculates) {
    m_db.execute("INSERT INTO OPERADORFILIAL (CDOPERADOR, CDFILIAL, IDACESSOCALC, IDACESSOAPROV) "
                 "VALUES (?, ?, ?, ?)",
                 {op, branch, calculates ? "S" : "N", calculates ? "S" : "N"});
}

void DemoBuilder::assignPhase(int year, const std::string& op, const std::string& phase) {
    m_db.execute("INSERT INTO OPERADORFASE (NRANOORCAOP, CDOPERADOR, CDGRUPGERENTEOP, "
                 "CDFASEORCOPERAC) VALUES (?, ?, ?, ?)",
                 {yearText(year), op, "GER-" + op, phase});
}

void DemoBuilder::workingDays(int year, const DemoBranchPlan& plan) {
    RowWriter days(m_db, "DIAUTILFILIAL", withMonths({"NRANOORCAOP", "CDFILIAL"}, "NDIAUTIL"));
    std::vector<Variant> row = {yearText(year), plan.code};
    for (int m = 1; m <= 12; ++m)
        row.emplace_back(DemoFigures::workingDays(year, m, plan.saturdays));
    days.add(row);
    days.flush();
}

void DemoBuilder::yearMasterData(int year, const DemoBranchPlan& plan) {
    RowWriter services(m_db, "SERVFILIAL",
                       withMonths(withMonths({"NRANOORCAOP", "CDFILIAL", "IDTIPOORCAOP",
                                              "CDSERVFILI", "NMSERVICO", "VRPRECOBASE", "VRCUSTO"},
                                             "VRPERCORRCOM"),
                                  "VRREAJORC"));
    for (const auto& s : DemoFigures::services()) {
        const bool billing = s.kind == 'F';
        std::vector<Variant> row = {yearText(year),
                                    plan.code,
                                    std::string(1, s.kind),
                                    s.code,
                                    s.name,
                                    billing ? Variant(s.price) : Variant(),
                                    billing ? Variant() : Variant(s.price)};
        for (int m = 1; m <= 12; ++m)
            row.emplace_back(billing ? DemoFigures::correctionPercent(m) : 0.0);
        for (int m = 1; m <= 12; ++m)
            row.emplace_back(DemoFigures::adjustment(s, m));
        services.add(row);
    }
    services.flush();
    for (const std::string& code : plan.taxes)
        m_db.execute("INSERT INTO IMPOSTOFILIAL (NRANOORCAOP, CDFILIAL, CDIMPOSTO, VRPERCALIQUOTA) "
                     "VALUES (?, ?, ?, ?)",
                     {yearText(year), plan.code, code, DemoFigures::tax(code).percent});
    m_db.execute("INSERT INTO TAXAADMFILIAL (NRANOORCAOP, CDFILIAL, VRPERCTXADM) VALUES (?, ?, ?)",
                 {yearText(year), plan.code, DemoFigures::feePercent(plan)});
}

void DemoBuilder::history(int year, const DemoBranchPlan& plan) {
    RowWriter actual(
        m_db, "SERVREALIZADO",
        withMonths({"NRANOORCAOP", "CDFILIAL", "IDTIPOORCAOP", "CDSERVFILI"}, "QTREALIZADO"));
    for (const auto& s : DemoFigures::services()) {
        std::vector<Variant> row = {yearText(year), plan.code, std::string(1, s.kind), s.code};
        for (int m = 1; m <= 12; ++m)
            row.emplace_back(DemoFigures::actualQuantity(s, plan, year, m));
        actual.add(row);
    }
    actual.flush();
}

void DemoBuilder::assetsAndLabour(int year, const DemoBranchPlan& plan) {
    RowWriter assets(m_db, "BEMFILIAL",
                     {"CDFILIAL", "CDBEM", "DSBEM", "VRCUSTOBEM", "DTINICIOBEM", "QTMESESVIDA"});
    for (const auto& a : DemoFigures::assets())
        assets.add(
            {plan.code, a.code, a.name, a.cost,
             Variant::fromDate(DayNumber::fromCivil(year + a.startYearOffset, a.startMonth, 1)),
             a.lifeMonths});
    assets.flush();
    if (plan.labour.empty()) return;
    double headcount = 0;
    for (const auto& l : plan.labour)
        headcount += l.headcount;
    const std::string budget = "MO" + plan.code;
    m_db.execute("INSERT INTO ORCAMENTOMO (CDORCAMENTOMO, DSORCAMENTOMO, QTFUNCORCAMO, CDFILIAL) "
                 "VALUES (?, ?, ?, ?)",
                 {budget, "Equipe " + plan.name, headcount, plan.code});
    RowWriter types(
        m_db, "ORCAMENTOMOTIPO",
        {"CDORCAMENTOMO", "CDDESPADMFAT", "QTFUNCIONARIO", "VRSALARIO", "VRPERCENCARGO"});
    for (const auto& l : plan.labour)
        types.add({budget, l.type, l.headcount, l.salary, l.chargesPercent});
    types.flush();
}

} // namespace srv
