#include "server/demo/DemoCompany.h"

#include "server/demo/DemoBudget.h"
#include "server/demo/DemoBuilder.h"
#include "server/store/DatabaseError.h"
#include "server/store/PasswordHash.h"
#include "server/store/Store.h"

#include <array>
#include <cassert>
#include <cstdio>

namespace srv {

namespace {

// Password hashes of fixtures and generated companies: cheap, since tests fill them often.
constexpr int kFixtureIterations = 1000;

void refuseFilled(Database& db) {
    if (db.query("SELECT COUNT(*) FROM FILIAL").scalar().toInt() != 0)
        throw DatabaseError(DatabaseError::Kind::Misuse,
                            "the database already holds a company; the demo fills only an empty "
                            "one");
}

std::string branchCode(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", n);
    return text;
}

DemoBranchPlan demoPlan(int i) {
    static constexpr std::array<const char*, 24> cities = {
        "Porto Alegre",   "Curitiba", "Florianópolis", "Joinville", "Caxias do Sul",
        "Londrina",       "Maringá",  "Blumenau",      "São Paulo", "Rio de Janeiro",
        "Belo Horizonte", "Campinas", "Vitória",       "Santos",    "Niterói",
        "Uberlândia",     "Salvador", "Recife",        "Fortaleza", "Natal",
        "João Pessoa",    "Maceió",   "Aracaju",       "São Luís"};
    static constexpr std::array<const char*, 3> regions = {"SUL", "SUD", "NOR"};
    static constexpr std::array<const char*, 4> groups = {"GRP1", "GRP2", "GRP3", "GRP4"};
    static constexpr std::array<const char*, 4> segments = {"SAU", "IND", "EDU", "COR"};
    DemoBranchPlan p;
    p.code = branchCode(i);
    p.name = std::string("Filial ") + cities[static_cast<std::size_t>(i - 1)];
    p.region = regions[static_cast<std::size_t>((i - 1) / 8)];
    p.groups = {groups[static_cast<std::size_t>((i - 1) % 4)]};
    if (i == 1) p.groups.push_back("GRP2"); // a branch in two groups
    if (i <= 20) p.segment = segments[static_cast<std::size_t>((i - 1) % 4)];
    if (i == 3) p.billingKind = "FE";
    if (i == 4) p.billingKind = "FS";
    if (i == 5) p.detail = "N";
    p.calcMode = i % 2 == 0 ? "N" : "S";
    p.size = i;
    p.saturdays = (i - 1) % 4 == 0; // hospitals work on Saturdays
    p.baseMonth = i != 19 && i != 20;
    // Billed "FS" or without billing detail: consumption comes from last year's same month.
    p.consumptionBaseMonth = i != 4 && i != 5;
    p.manual = i == 17 || i == 18;
    if (i != 20) p.taxes = {"01", "02", "03", "04", "05", "06", "07"};
    p.labour = {{"01", 2.0 + i % 3, 2450.00, 68.0},
                {"02", 4.0 + i % 4, 1680.00, 68.0},
                {"03", 1.0, 5200.00, 72.0}};
    p.misc = {"001", "002", "003"};
    p.office = {"010", "011"};
    p.entries = {{"V", "004"}, {"01", "005"}, {"02", "006"}};
    return p;
}

DemoBranchPlan fixturePlan(int i) {
    static constexpr std::array<const char*, 6> names = {"FILIAL CENTRO", "FILIAL NORTE",
                                                         "FILIAL SUL",    "FILIAL LESTE",
                                                         "FILIAL OESTE",  "FILIAL REMOTA"};
    DemoBranchPlan p;
    p.code = branchCode(i);
    p.name = names[static_cast<std::size_t>(i - 1)];
    p.region = i <= 3 ? "R1" : "R2";
    p.groups = {i <= 3 ? "G1" : "G2"};
    p.segment = (i == 1 || i == 2 || i == 4) ? "S1" : "S2";
    if (i == 1) p.billingKind = "FE";
    if (i == 2) p.billingKind = "FS";
    p.size = i;
    p.taxes = {"01", "04", "06"};
    p.labour = {{"01", 2.0, 2000.00, 70.0}, {"02", 3.0, 1500.00, 70.0}};
    p.misc = {"001"};
    p.office = {"010"};
    p.entries = {{"V", "004"}, {"01", "005"}};
    return p;
}

} // namespace

void DemoCompany::fill(Store& store, int year) {
    store.transaction([&](Database& db) {
        refuseFilled(db);
        DemoBuilder b(db);
        b.catalogs();
        b.region("SUL", "Região Sul");
        b.region("SUD", "Região Sudeste");
        b.region("NOR", "Região Nordeste");
        b.group("GRP1", "Hospitais");
        b.group("GRP2", "Indústrias");
        b.group("GRP3", "Escolas");
        b.group("GRP4", "Escritórios");
        b.segment("SAU", "Saúde");
        b.segment("IND", "Indústria");
        b.segment("EDU", "Educação");
        b.segment("COR", "Corporativo");
        b.version(year - 1, 1, 1);
        b.version(year, 1, 4);
        b.version(year, 2, 7);
        b.version(year, 3, 1);
        b.phase("FASE1", "Elaboração do orçamento", true, {});
        b.phase("FASE2", "Revisão: primeiro trimestre fechado", true, {1, 2, 3});
        b.addOperator("demo", "Operador de demonstração", "demo", PasswordHash::kIterations);
        b.addOperator("filial", "Gerente das filiais 1 a 8", "filial", PasswordHash::kIterations);
        b.addOperator("fase", "Operador em revisão", "fase", PasswordHash::kIterations);
        for (int y : {year - 1, year}) {
            b.assignPhase(y, "demo", "FASE1");
            b.assignPhase(y, "filial", "FASE1");
            b.assignPhase(y, "fase", "FASE2");
        }
        DemoBudget budget(db);
        for (int i = 1; i <= 24; ++i) {
            const DemoBranchPlan plan = demoPlan(i);
            b.branch(plan);
            b.access("demo", plan.code, true);
            b.access("fase", plan.code, true);
            if (i <= 8) b.access("filial", plan.code, i <= 4);
            for (int y = year - 2; y <= year + 1; ++y)
                b.workingDays(y, plan);
            b.yearMasterData(year - 1, plan);
            b.yearMasterData(year, plan);
            b.history(year - 2, plan);
            b.history(year - 1, plan);
            b.assetsAndLabour(year, plan);
            if (i > 20) continue; // branches without a budget yet
            budget.branch(year - 1, 1, 1, plan, DemoBudget::Status::Effected);
            budget.branch(year, 1, 4, plan, DemoBudget::Status::Open);
            budget.branch(year, 2, 7, plan, DemoBudget::Status::Open);
            const DemoBudget::Status status = i <= 2   ? DemoBudget::Status::Effected
                                              : i == 6 ? DemoBudget::Status::Approved
                                                       : DemoBudget::Status::Open;
            budget.branch(year, 3, 1, plan, status, i == 7 ? "F" : "");
        }
    });
}

void DemoCompany::fillTestFixture(Store& store) {
    constexpr int year = 2026;
    store.transaction([&](Database& db) {
        refuseFilled(db);
        DemoBuilder b(db);
        b.catalogs();
        b.region("R1", "Região Um");
        b.region("R2", "Região Dois");
        b.group("G1", "Grupo Um");
        b.group("G2", "Grupo Dois");
        b.segment("S1", "Segmento Um");
        b.segment("S2", "Segmento Dois");
        b.version(year - 1, 1, 1);
        b.version(year, 1, 4);
        b.version(year, 2, 1);
        b.phase("F1", "Fase aberta", true, {});
        b.phase("F2", "Fase com trimestre fechado", true, {1, 2, 3});
        b.phase("F3", "Fase sem cálculo", false, {});
        b.addOperator("teste", "Operador de teste", "teste", kFixtureIterations);
        b.addOperator("fase", "Operador em fase fechada", "fase", kFixtureIterations);
        b.addOperator("bloq", "Operador bloqueado", "bloq", kFixtureIterations);
        b.assignPhase(year, "teste", "F1");
        b.assignPhase(year, "fase", "F2");
        b.assignPhase(year, "bloq", "F3");
        DemoBudget budget(db);
        for (int i = 1; i <= 6; ++i) {
            const DemoBranchPlan plan = fixturePlan(i);
            b.branch(plan);
            if (i <= 5) b.access("teste", plan.code, i != 5);
            b.access("fase", plan.code, true);
            if (i <= 2) b.access("bloq", plan.code, true);
            for (int y = year - 1; y <= year + 1; ++y)
                b.workingDays(y, plan);
            b.yearMasterData(year - 1, plan);
            b.yearMasterData(year, plan);
            b.history(year - 1, plan);
            b.assetsAndLabour(year, plan);
            const DemoBudget::Status status = i == 3   ? DemoBudget::Status::Effected
                                              : i == 4 ? DemoBudget::Status::Approved
                                                       : DemoBudget::Status::Open;
            budget.branch(year, 1, 4, plan, status);
            budget.branch(year, 2, 1, plan, status);
        }
    });
}

void DemoCompany::fillGenerated(Store& store, int branches, int itemsPerBranch) {
    assert(branches >= 1 && branches <= 9999 && itemsPerBranch >= 0);
    constexpr int year = 2026;
    store.transaction([&](Database& db) {
        refuseFilled(db);
        DemoBuilder b(db);
        b.catalogs();
        for (int r = 1; r <= 3; ++r)
            b.region("R" + std::to_string(r), "Região " + std::to_string(r));
        for (int g = 1; g <= 4; ++g)
            b.group("G" + std::to_string(g), "Grupo " + std::to_string(g));
        b.segment("S1", "Segmento 1");
        b.version(year, 1, 1);
        b.phase("F1", "Fase aberta", true, {});
        b.addOperator("demo", "Operador de demonstração", "demo", kFixtureIterations);
        b.assignPhase(year, "demo", "F1");
        DemoBudget budget(db);
        for (int i = 1; i <= branches; ++i) {
            DemoBranchPlan plan;
            plan.code = branchCode(i);
            plan.name = "Filial " + plan.code;
            plan.region = "R" + std::to_string(1 + (i - 1) % 3);
            plan.groups = {"G" + std::to_string(1 + (i - 1) % 4)};
            plan.segment = "S1";
            plan.size = i;
            b.branch(plan);
            b.access("demo", plan.code, true);
            b.workingDays(year, plan);
            budget.generated(year, 1, plan, itemsPerBranch);
        }
    });
}

} // namespace srv
