// Every write the server refuses, one offending change at a time: the refusal names its reason
// and the budget tables are exactly as they were. Each case starts from a fresh company, so a
// case whose rule went missing cannot hide behind another case's refusal.
#include "server/store/Database.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/server/FixtureBudget.h"
#include "tests/server/ServerFixture.h"

#include <functional>

namespace {

using srv::Database;

double day(int y, int m, int d) {
    return srv::DayNumber::fromCivil(y, m, d);
}

using Edits = std::map<std::string, Variant>;

class WriteRefusals : public ServerOnBackend {
protected:
    struct Refusal {
        const char* rule;
        std::function<void()> given; // state beyond the shared company; may be empty
        std::function<Answer()> send;
        std::string reason;
    };
    // A write that succeeds but must leave some lines as they were.
    struct Keep {
        const char* rule;
        std::function<void()> given;
        std::function<Answer()> send;
        std::vector<std::string> kept; // SELECTs of the protected cells
    };

    void freshCompany() {
        dropCompany();
        ServerOnBackend::SetUp();
    }

    void TearDown() override { dropCompany(); }

    // A company per case adds up: PostgreSQL databases are dropped once their case is done.
    void dropCompany() {
        if (!m_server) return;
        const std::string spec = m_server->store().spec();
        m_clients.clear();
        m_teste.reset();
        m_server.reset();
        if (spec.rfind("postgres", 0) != 0) return;
        const auto slash = spec.rfind('/');
        srv::Database::openPostgres(spec.substr(0, slash + 1) + "postgres")
            ->executeScript("DROP DATABASE " + spec.substr(slash + 1) + " WITH (FORCE)");
    }

    // A client logged in as a fixture operator on the current company.
    RpcTestClient& op(const std::string& code) {
        auto it = m_clients.find(code);
        if (it == m_clients.end()) it = m_clients.emplace(code, as(code)).first;
        return it->second;
    }

    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        server().store().transaction([&](Database& db) { return db.execute(sql, params); });
    }

    std::string rows(const std::string& sql) {
        return server().store().read([&](Database& db) {
            std::string s;
            for (const auto& row : db.query(sql).rows) {
                for (const Variant& v : row)
                    s += (v.isNull() ? "~" : v.toText()) + "|";
                s += "\n";
            }
            return s;
        });
    }

    // Every stored row a budget write may touch, in key order.
    std::string budgetTables() {
        return rows("SELECT * FROM ORCAMENTOFILIAL ORDER BY 1, 2, 3") +
               rows("SELECT * FROM ITEMORCAMENTO ORDER BY 1, 2, 3, 4, 5") +
               rows("SELECT * FROM ITEMSERVORCA ORDER BY 1, 2, 3, 4, 5");
    }

    // What the operator is told: the failed call's message, or a packet answer's outcome.
    static std::string reasonOf(const Answer& a) {
        if (!a.ok) return a.error;
        if (a.result.type() != VarType::Packet) return "accepted";
        const DataPacket& p = a.packet();
        if (p.fieldIndex("Retorno") < 0 || p.rows.empty()) return "accepted";
        const std::string result = p.value(0, "Retorno").toText();
        if (result == "OK") return "accepted";
        const std::string message =
            p.fieldIndex("MENSAGEM") < 0 ? std::string() : p.value(0, "MENSAGEM").toText();
        return result + ": " + message;
    }

    void expectRefused(const std::vector<Refusal>& cases) {
        for (const Refusal& c : cases) {
            SCOPED_TRACE(c.rule);
            freshCompany();
            if (c.given) c.given();
            const std::string before = budgetTables();
            EXPECT_EQ(reasonOf(c.send()), c.reason);
            EXPECT_EQ(budgetTables(), before);
        }
    }

    void expectKept(const std::vector<Keep>& cases) {
        for (const Keep& c : cases) {
            SCOPED_TRACE(c.rule);
            freshCompany();
            if (c.given) c.given();
            const std::string before = budgetTables();
            const auto protectedCells = [&] {
                std::string s;
                for (const std::string& sql : c.kept)
                    s += rows(sql);
                return s;
            };
            const std::string kept = protectedCells();
            EXPECT_EQ(reasonOf(c.send()), "accepted");
            EXPECT_EQ(protectedCells(), kept);
            // The order did write elsewhere, so the kept cells were not kept by accident.
            EXPECT_NE(budgetTables(), before);
        }
    }

    // The loaded packet `index` of GetDadosOrcamento (0 branches, 1 billing and consumption,
    // 2 items, 5 fees).
    DataPacket loaded(RpcTestClient& client, std::size_t index, int version = 2) {
        Answer a = load(client, version);
        EXPECT_TRUE(a.ok) << a.error;
        return a.ok ? a.packet(index) : DataPacket{};
    }

    // A delta changing the first row of a branch and type letter.
    static DataPacket change(const DataPacket& p, const std::string& branch,
                             const std::string& type, const Edits& edits) {
        const int row = rowOf(p, branch, type);
        EXPECT_GE(row, 0) << branch << " " << type;
        return modifiedDelta(p, {{row, edits}});
    }

    static DataPacket inserted(const DataPacket& p, const std::string& branch,
                               const std::string& type, const Edits& edits) {
        DataPacket d = change(p, branch, type, edits);
        d.changes[0] = {UpdateKind::Inserted, 0, {}};
        return d;
    }

    static DataPacket deleted(const DataPacket& p, const std::string& branch,
                              const std::string& type, const Edits& edits = {}) {
        DataPacket d = change(p, branch, type, edits);
        d.changes[0] = {UpdateKind::Deleted, -1, d.rows[0]};
        d.rows.clear();
        return d;
    }

    // Branches as the operator `viewer` loads them, with `check` set on some of them.
    DataPacket branchesOf(const std::string& viewer, const std::string& check,
                          const std::vector<std::string>& branches, int version = 2) {
        return checkedRows(loaded(op(viewer), 0, version), check, branches);
    }

    // A line of a branch and type made effected ("E") or approved ("A") as a whole, while its
    // branch's budget stays open. `where` narrows the lines.
    void closeLines(const std::string& branch, const std::string& type, const char* state,
                    const std::string& where = "") {
        exec(std::string("UPDATE ITEMORCAMENTO SET IDSTATUSORCA = '") + state +
                 "', IDITEMORCAMENTO = '" + state +
                 "' WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND CDFILIAL = ? AND "
                 "IDTIPOORCAOP = ?" +
                 where,
             {Variant(branch), Variant(type)});
    }

    void markForCalculation(const std::string& branch, const std::string& type, int version = 2) {
        exec("UPDATE ITEMORCAMENTO SET IDITEMCALCORCA = 'P' WHERE NRANOORCAOP = '2026' AND "
             "CDVERSORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ?",
             {Variant(version), Variant(branch), Variant(type)});
    }

    // Every month of a branch's lines of one type set to `value`.
    void setMonths(const std::string& branch, const std::string& type, double value) {
        FixtureBudget::setMonths(server().store(), branch, type, value);
    }

    static std::string lineCells(const std::string& columns, const std::string& branch,
                                 const std::string& type) {
        return "SELECT NRSEQITEMORCA, " + columns +
               " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
               "CDFILIAL = '" +
               branch + "' AND IDTIPOORCAOP = '" + type + "' ORDER BY NRSEQITEMORCA";
    }

    // The remote calls, as the screens send them.
    Answer save(RpcTestClient& client, const DataPacket& delta, const std::string& kind = "N",
                int version = 2, const std::string& op = "") {
        return ServerOnBackend::save(client, Variant(delta), kind, version, op);
    }
    // The request's own calculation mark on a branch's line, as a screen that sees it sends it.
    Variant marking(const std::string& branch, const std::string& type) {
        return Variant(
            change(loaded(op("fase"), 1), branch, type, {{"IDITEMCALCORCA", Variant("P")}}));
    }
    Answer monthBase(RpcTestClient& client, const std::string& kind, const Variant& delta,
                     int version = 2, const std::string& op = "") {
        const std::string periodKind = "S";
        return client.budget("SetItensOrcFatCons",
                             {byref(delta), val(kind), val("2026"), val(version),
                              val(op.empty() ? client.operatorCode() : op), val("N"),
                              val(kind == "F"), val(kind == "C"), val(Variant()), byref(periodKind),
                              byref(Variant::fromDate(0)), byref(Variant::fromDate(0))});
    }
    Answer taxes(RpcTestClient& client, const DataPacket& branches, const std::string& version,
                 const std::string& kind = "F") {
        return client.budget("CalculaImpos",
                             {val(branches), val("2026"), val(version), byref(kind)});
    }
    Answer fee(RpcTestClient& client, const DataPacket& fees, int version = 2,
               const std::string& op = "") {
        return client.budget("SetTxAdm",
                             {byref(fees), val("T"), val("2026"), val(version),
                              val(op.empty() ? client.operatorCode() : op), val("N"), val(true),
                              val(false), val(Variant()), byref(""), byref(Variant::fromDate(0)),
                              byref(Variant::fromDate(0))});
    }
    Answer depreciation(RpcTestClient& client, const DataPacket& items,
                        const std::string& op = "") {
        return client.budget("calculaDeprec", {val(items), byref("S"), byref(Variant::fromDate(0)),
                                               byref(Variant::fromDate(0)),
                                               val(op.empty() ? client.operatorCode() : op)});
    }
    Answer effect(RpcTestClient& client, const std::string& branches,
                  const std::string& letter = "T", int version = 2) {
        return client.budget("Efetivar",
                             {byref(branches), byref(letter), val("2026"), val(version)});
    }
    Answer labour(RpcTestClient& client, const std::string& chosen, const DataPacket& branches,
                  const std::string& op = "") {
        return client.budget("GeraOrcaMaoObra",
                             {byref(chosen), val(branches), byref("N"), byref("S"),
                              val(Variant::fromDate(0)), val(Variant::fromDate(0)),
                              val(Variant::fromDate(day(2026, 1, 1))),
                              val(Variant::fromDate(day(2027, 1, 1))),
                              val(op.empty() ? client.operatorCode() : op)});
    }

private:
    std::map<std::string, RpcTestClient> m_clients;
};

TEST_P(WriteRefusals,
       GivenOneOffendingRowInASave_WhenSaving_ThenItsReasonIsToldAndNothingIsWritten) {
    const Edits july{{"VRORCAMENTOJUL", Variant(5.0)}};
    expectRefused({
        {"branch the operator does not see",
         {},
         [&] { return save(teste(), change(loaded(op("fase"), 2), "0006", "D", july)); },
         "Filial 0006 não permitida para o operador teste."},
        {"branch without calculation access",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2), "0005", "D", july)); },
         "Gerente não tem permissão para realizar o cálculo do orçamento desta filial. (filial "
         "0005)"},
        {"effected branch budget",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2), "0003", "I", july)); },
         "O orçamento da filial 0003 está efetivado e não pode ser alterado."},
        {"approved branch budget",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2), "0004", "O", july)); },
         "O orçamento da filial 0004 está aprovado e não pode ser alterado."},
        {"effected row of an open branch", [&] { closeLines("0001", "N", "E"); },
         [&] { return save(teste(), change(loaded(teste(), 2), "0001", "N", july)); },
         "O item 0000000013 (filial 0001, tipo N) está efetivado e não pode ser alterado."},
        {"row whose item state alone is effected",
         [&] {
             exec("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E' WHERE NRANOORCAOP = '2026' AND "
                  "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND IDTIPOORCAOP = 'M'");
         },
         [&] { return save(teste(), change(loaded(teste(), 2), "0001", "M", july)); },
         "O item 0000000009 (filial 0001, tipo M) está efetivado e não pode ser alterado."},
        {"approved row of an open branch", [&] { closeLines("0001", "S", "A"); },
         [&] { return save(teste(), change(loaded(teste(), 2), "0001", "S", july)); },
         "Item já aprovado! 0000000008 (filial 0001, tipo S)"},
        {"deleting an effected row", [&] { closeLines("0001", "N", "E"); },
         [&] { return save(teste(), deleted(loaded(teste(), 2), "0001", "N")); },
         "O item 0000000013 (filial 0001, tipo N) está efetivado e não pode ser alterado."},
        {"inserting a row already effected",
         {},
         [&] {
             return save(teste(), inserted(loaded(teste(), 2), "0001", "N",
                                           {{"NRSEQITEMORCA", Variant("NOVO000001")},
                                            {"IDSTATUSORCA", Variant("E")},
                                            {"IDITEMORCAMENTO", Variant("E")}}));
         },
         "O item NOVO000001 (filial 0001, tipo N) não pode ser incluído já efetivado ou "
         "aprovado."},
        {"version that is not the latest",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2, 1), "0001", "I", july), "N", 1); },
         "Somente a última versão do ano 2026 (2) pode ser alterada."},
        {"version that does not exist",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2), "0001", "I", july), "N", 7); },
         "Versão 7 do ano 2026 não cadastrada."},
        {"phase closed to calculation",
         {},
         [&] { return save(op("bloq"), change(loaded(op("bloq"), 2), "0001", "D", july)); },
         "Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"month closed to the operator's phase",
         {},
         [&] {
             return save(op("fase"), change(loaded(op("fase"), 2), "0001", "D",
                                            {{"VRORCAMENTOFEV", Variant(5.0)}}));
         },
         "Mês FEV fechado para a fase Fase com trimestre fechado: o item 0000000010 (filial "
         "0001, tipo D) não pode ser alterado nesse mês."},
        {"deleting a row with values in a closed month",
         {},
         [&] { return save(op("fase"), deleted(loaded(op("fase"), 2), "0001", "D")); },
         "Mês JAN fechado para a fase Fase com trimestre fechado: o item 0000000010 (filial "
         "0001, tipo D) não pode ser alterado nesse mês."},
        {"inserting a row with a value in a closed month",
         {},
         [&] {
             return save(op("fase"), inserted(loaded(op("fase"), 2), "0001", "D",
                                              {{"NRSEQITEMORCA", Variant("NOVO000001")}}));
         },
         "Mês JAN fechado para a fase Fase com trimestre fechado: o item NOVO000001 (filial "
         "0001, tipo D) não pode ser alterado nesse mês."},
        {"operator argument naming another operator",
         {},
         [&] {
             return save(teste(), change(loaded(teste(), 2), "0001", "D", july), "N", 2, "fase");
         },
         "Operador fase não corresponde ao operador conectado (teste)."},
    });
}

TEST_P(WriteRefusals,
       GivenAStaleOrMalformedDelta_WhenSaving_ThenItsReasonIsToldAndNothingIsWritten) {
    const Edits july{{"VRORCAMENTOJUL", Variant(5.0)}};
    DataPacket stale;
    // Loads what a second operator then changes under it.
    const auto staleByAnother = [&](const Edits& theirs) {
        stale = loaded(teste(), 2);
        const Answer a = save(op("fase"), change(loaded(op("fase"), 2), "0002", "N", theirs));
        ASSERT_TRUE(a.ok) << a.error;
    };
    expectRefused({
        {"month changed by another operator since the load",
         [&] {
             staleByAnother({{"VRORCAMENTODEZ", Variant(10.0)}});
         },
         [&] { return save(teste(), change(stale, "0002", "N", july)); },
         "Conflito: o item 0000000013 (filial 0002, tipo N) foi alterado por outro operador "
         "depois da leitura (VRORCAMENTODEZ). Recarregue o orçamento e refaça a alteração; nada "
         "foi gravado."},
        {"row deleted by another operator since the load",
         [&] {
             stale = loaded(teste(), 2);
             const Answer a = save(op("teste"), deleted(loaded(op("teste"), 2), "0002", "N"));
             ASSERT_TRUE(a.ok) << a.error;
         },
         [&] { return save(teste(), change(stale, "0002", "N", july)); },
         "Conflito: o item 0000000013 (filial 0002, tipo N) foi excluído por outro operador. "
         "Recarregue o orçamento; nada foi gravado."},
        {"row inserted by another operator since the load",
         {},
         [&] { return save(teste(), inserted(loaded(teste(), 2), "0002", "N", {})); },
         "Conflito: o item 0000000013 (filial 0002, tipo N) já foi incluído por outro operador. "
         "Recarregue o orçamento; nada foi gravado."},
        {"month value that is not a number",
         {},
         [&] {
             return save(teste(), change(loaded(teste(), 2), "0001", "D",
                                         {{"VRORCAMENTOJUL", Variant(1e13)}}));
         },
         "Valor inválido em VRORCAMENTOJUL do item 0000000010 (filial 0001, tipo D)."},
        {"row of another version than the argument",
         {},
         [&] {
             return save(teste(), change(loaded(teste(), 2), "0001", "D",
                                         {{"CDVERSORCAOP", Variant(1.0)},
                                          {"VRORCAMENTOJUL", Variant(5.0)}}));
         },
         "O item 0000000010 (filial 0001, tipo D) não pertence à versão 2."},
        {"modification moving a row to another key",
         {},
         [&] {
             return save(teste(), change(loaded(teste(), 2), "0001", "D",
                                         {{"NRSEQITEMORCA", Variant("X")}}));
         },
         "A chave do item X (filial 0001, tipo D) não pode ser alterada."},
        {"fee row in a plain save",
         {},
         [&] { return save(teste(), change(loaded(teste(), 5), "0001", "T", july)); },
         "O item 0000000005 (filial 0001, tipo T) da taxa administrativa deve ser gravado com o "
         "tipo T."},
        {"plain row in a fee save",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2), "0001", "D", july), "T"); },
         "O item 0000000010 (filial 0001, tipo D) não é da taxa administrativa."},
        {"unknown save kind",
         {},
         [&] { return save(teste(), change(loaded(teste(), 2), "0001", "D", july), "X"); },
         "SetItensOrcFatCons: tipo de gravação inválido \"X\" (esperado N, T, F ou C)."},
    });
}

TEST_P(WriteRefusals, GivenOnlyTheSaveMarkOnAClosedRow_WhenSaving_ThenTheRowKeepsItsMark) {
    // The billing tab marks every row it may calculate; a mark alone is not refused, but a
    // closed row keeps the mark it had.
    const Edits marked{{"IDALTERADO", Variant("S")}};
    for (const auto& [rule, branch, given] :
         std::vector<std::tuple<const char*, std::string, std::function<void()>>>{
             {"effected row of an open branch", "0001", [&] { closeLines("0001", "F", "E"); }},
             {"approved row of an open branch", "0001", [&] { closeLines("0001", "F", "A"); }},
             {"effected branch budget", "0003", {}},
             {"branch without calculation access", "0005", {}},
         }) {
        SCOPED_TRACE(rule);
        freshCompany();
        if (given) given();
        const std::string before = budgetTables();
        Answer a = save(teste(), change(loaded(teste(), 1), branch, "F", marked));
        ASSERT_TRUE(a.ok) << a.error;
        EXPECT_EQ(dumpRows(a.packet()), "OK|0\n");
        EXPECT_EQ(budgetTables(), before);
    }
    // A mark on a branch the operator does not see is refused outright.
    freshCompany();
    const std::string before = budgetTables();
    EXPECT_EQ(reasonOf(save(teste(), change(loaded(op("fase"), 1), "0006", "F", marked))),
              "Filial 0006 não permitida para o operador teste.");
    EXPECT_EQ(budgetTables(), before);
}

TEST_P(WriteRefusals, GivenAGuardedBudget_WhenCalculatingFromTheBaseMonth_ThenNothingIsWritten) {
    const Variant none;
    expectRefused({
        {"version that is not the latest", [&] { markForCalculation("0001", "F", 1); },
         [&] { return monthBase(teste(), "F", none, 1); },
         "Somente a última versão do ano 2026 (2) pode ser calculada."},
        {"version that does not exist",
         {},
         [&] { return monthBase(teste(), "F", none, 7); },
         "Versão 7 do ano 2026 não cadastrada."},
        {"phase closed to calculation", [&] { markForCalculation("0001", "C"); },
         [&] { return monthBase(op("bloq"), "C", none); },
         "Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"marked line of a branch the operator does not see",
         {},
         [&] { return monthBase(teste(), "F", marking("0006", "F")); },
         "Filial 0006 não permitida para o operador teste."},
        {"marked line of a branch without calculation access",
         {},
         [&] { return monthBase(teste(), "C", marking("0005", "C")); },
         "Gerente não tem permissão para realizar o cálculo do orçamento desta filial. (filial "
         "0005)"},
        {"marked line of an effected branch budget",
         {},
         [&] { return monthBase(teste(), "F", marking("0003", "F")); },
         "O orçamento da filial 0003 está efetivado e não pode ser alterado."},
        {"marked line of an approved branch budget",
         {},
         [&] { return monthBase(teste(), "F", marking("0004", "F")); },
         "O orçamento da filial 0004 está aprovado e não pode ser alterado."},
        {"marked line effected in an open branch", [&] { closeLines("0001", "F", "E"); },
         [&] { return monthBase(teste(), "F", marking("0001", "F")); },
         "O item 0000000001 (filial 0001, tipo F) está efetivado e não pode ser alterado."},
        {"marked line whose item state alone is approved",
         [&] {
             exec("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'A' WHERE NRANOORCAOP = '2026' AND "
                  "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND IDTIPOORCAOP = 'F'");
         },
         [&] { return monthBase(teste(), "F", marking("0001", "F")); },
         "Item já aprovado! 0000000001 (filial 0001, tipo F)"},
        {"base month without actual figures",
         [&] { exec("DELETE FROM SERVREALIZADO WHERE CDFILIAL = '0001'"); },
         [&] { return monthBase(teste(), "F", marking("0001", "F")); },
         "Não há valores realizados no mês base para o cálculo do faturamento das filiais: "
         "0001."},
        {"operator argument naming another operator", [&] { markForCalculation("0001", "F"); },
         [&] { return monthBase(teste(), "F", none, 2, "fase"); },
         "Operador fase não corresponde ao operador conectado (teste)."},
    });
}

TEST_P(WriteRefusals, GivenAGuardedBudget_WhenCalculatingTaxes_ThenErroNamesTheReason) {
    const std::string noTax = "Erro: Filiais sem imposto cadastrado ou sem permissão: ";
    expectRefused({
        {"version that is not the latest",
         {},
         [&] { return taxes(teste(), branchesOf("teste", "IDCHECKI", {"0001"}, 1), "1"); },
         "Erro: Somente a última versão do ano 2026 (2) pode ser calculada."},
        {"phase closed to calculation",
         {},
         [&] { return taxes(op("bloq"), branchesOf("bloq", "IDCHECKI", {"0001"}), "2"); },
         "Erro: Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"branch the operator does not see",
         {},
         [&] { return taxes(teste(), branchesOf("fase", "IDCHECKI", {"0006"}), "2"); },
         noTax + "0006."},
        {"branch without calculation access",
         {},
         [&] { return taxes(teste(), branchesOf("teste", "IDCHECKR", {"0005"}), "2", "C"); },
         noTax + "0005."},
        {"effected branch budget",
         {},
         [&] { return taxes(teste(), branchesOf("teste", "IDCHECKI", {"0003"}), "2"); },
         noTax + "0003."},
        {"approved branch budget",
         {},
         [&] { return taxes(teste(), branchesOf("teste", "IDCHECKI", {"0004"}), "2"); },
         noTax + "0004."},
        {"branch without taxes of the kind",
         [&] { exec("DELETE FROM IMPOSTOFILIAL WHERE CDFILIAL = '0002'"); },
         [&] { return taxes(teste(), branchesOf("teste", "IDCHECKI", {"0002"}), "2"); },
         noTax + "0002."},
        {"no branch checked",
         {},
         [&] { return taxes(teste(), branchesOf("teste", "IDCHECKI", {}), "2"); },
         "Erro: Filial a calcular deve ser informada."},
    });
}

TEST_P(WriteRefusals, GivenAGuardedBudget_WhenCalculatingTheFee_ThenNothingIsWritten) {
    const auto fees = [&](RpcTestClient& c, const std::vector<std::string>& b, int version = 2) {
        return checkedRows(loaded(c, 5, version), "IDCHECK", b);
    };
    expectRefused({
        {"version that is not the latest",
         {},
         [&] { return fee(teste(), fees(teste(), {"0001"}, 1), 1); },
         "Somente a última versão do ano 2026 (2) pode ser calculada."},
        {"phase closed to calculation",
         {},
         [&] { return fee(op("bloq"), fees(op("bloq"), {"0001"})); },
         "Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"branch the operator does not see",
         {},
         [&] {
             return fee(teste(), fees(op("fase"), {"0001", "0006"}));
         },
         "Filial 0006 não permitida para o operador teste."},
        {"branch without calculation access",
         {},
         [&] {
             return fee(teste(), fees(teste(), {"0001", "0005"}));
         },
         "Gerente não tem permissão para realizar o cálculo do orçamento desta filial. (filial "
         "0005)"},
        {"effected branch budget",
         {},
         [&] { return fee(teste(), fees(teste(), {"0003"})); },
         "O orçamento da filial 0003 está efetivado e não pode ser alterado."},
        {"approved branch budget",
         {},
         [&] { return fee(teste(), fees(teste(), {"0004"})); },
         "O orçamento da filial 0004 está aprovado e não pode ser alterado."},
        {"branch without a fee rate",
         [&] { exec("DELETE FROM TAXAADMFILIAL WHERE CDFILIAL = '0002'"); },
         [&] {
             return fee(teste(), fees(teste(), {"0001", "0002"}));
         },
         "Taxa administrativa da filial 0002 não cadastrada para o ano 2026."},
        {"operator argument naming another operator",
         {},
         [&] { return fee(teste(), fees(teste(), {"0001"}), 2, "fase"); },
         "Operador fase não corresponde ao operador conectado (teste)."},
    });
}

TEST_P(WriteRefusals, GivenAGuardedBudget_WhenImportingDepreciation_ThenNothingIsWritten) {
    const auto items = [&](RpcTestClient& c, const std::vector<std::string>& b, int version = 2) {
        return checkedRows(loaded(c, 2, version), "IDCHECK", b, "P");
    };
    expectRefused({
        {"version that is not the latest",
         {},
         [&] { return depreciation(teste(), items(teste(), {"0001"}, 1)); },
         "Somente a última versão do ano 2026 (2) pode ser calculada."},
        {"phase closed to calculation",
         {},
         [&] { return depreciation(op("bloq"), items(op("bloq"), {"0001"})); },
         "Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"branch the operator does not see",
         {},
         [&] {
             return depreciation(teste(), items(op("fase"), {"0001", "0006"}));
         },
         "Filial 0006 não permitida para o operador teste."},
        {"branch without calculation access",
         {},
         [&] {
             return depreciation(teste(), items(teste(), {"0001", "0005"}));
         },
         "Gerente não tem permissão para realizar o cálculo do orçamento desta filial. (filial "
         "0005)"},
        {"effected branch budget",
         {},
         [&] { return depreciation(teste(), items(teste(), {"0003"})); },
         "O orçamento da filial 0003 está efetivado e não pode ser alterado."},
        {"approved branch budget",
         {},
         [&] { return depreciation(teste(), items(teste(), {"0004"})); },
         "O orçamento da filial 0004 está aprovado e não pode ser alterado."},
        {"no line checked",
         {},
         [&] { return depreciation(teste(), items(teste(), {})); },
         "Nenhuma filial foi selecionada para a importação"},
        {"operator argument naming another operator",
         {},
         [&] { return depreciation(teste(), items(teste(), {"0001"}), "fase"); },
         "Operador fase não corresponde ao operador conectado (teste)."},
    });
}

TEST_P(WriteRefusals, GivenAGuardedBudget_WhenGeneratingLabour_ThenErroNamesTheReason) {
    expectRefused({
        {"version that is not the latest",
         {},
         [&] {
             return labour(teste(), "_0001MO0001_", branchesOf("teste", "IDCHECKO", {"0001"}, 1));
         },
         "Erro: Somente a última versão do ano 2026 (2) pode ser calculada."},
        {"phase closed to calculation",
         {},
         [&] {
             return labour(op("bloq"), "_0001MO0001_", branchesOf("bloq", "IDCHECKO", {"0001"}));
         },
         "Erro: Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"branch the operator does not see",
         {},
         [&] { return labour(teste(), "_0006MO0006_", branchesOf("fase", "IDCHECKO", {"0006"})); },
         "Erro: Filial 0006 não permitida para o operador teste."},
        {"branch without calculation access",
         {},
         [&] { return labour(teste(), "_0005MO0005_", branchesOf("teste", "IDCHECKO", {"0005"})); },
         "Erro: Gerente não tem permissão para realizar o cálculo do orçamento desta filial. "
         "(filial 0005)"},
        {"effected branch budget",
         {},
         [&] { return labour(teste(), "_0003MO0003_", branchesOf("teste", "IDCHECKO", {"0003"})); },
         "Erro: O orçamento da filial 0003 está efetivado e não pode ser alterado."},
        {"approved branch budget",
         {},
         [&] { return labour(teste(), "_0004MO0004_", branchesOf("teste", "IDCHECKO", {"0004"})); },
         "Erro: O orçamento da filial 0004 está aprovado e não pode ser alterado."},
        {"no labour budget chosen",
         {},
         [&] { return labour(teste(), "", branchesOf("teste", "IDCHECKO", {"0001"})); },
         "Erro: Lista de orçamentos deve ser informada."},
        {"chosen budget of an unchecked branch",
         {},
         [&] { return labour(teste(), "_0001MO0001_", branchesOf("teste", "IDCHECKO", {"0002"})); },
         "Nada: "},
        {"operator argument naming another operator",
         {},
         [&] {
             return labour(teste(), "_0001MO0001_", branchesOf("teste", "IDCHECKO", {"0001"}),
                           "fase");
         },
         "Operador fase não corresponde ao operador conectado (teste)."},
    });
}

TEST_P(WriteRefusals, GivenAGuardedBudget_WhenEffecting_ThenTheWholeOrderIsRefused) {
    expectRefused({
        {"version that is not the latest",
         {},
         [&] { return effect(teste(), "_0001_", "T", 1); },
         "Somente a última versão do ano 2026 (2) pode ser calculada."},
        {"phase closed to calculation",
         {},
         [&] { return effect(op("bloq"), "_0001_"); },
         "Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento."},
        {"branch the operator does not see",
         {},
         [&] { return effect(teste(), "_0001_0006_"); },
         "Filial 0006 não permitida para o operador teste."},
        {"branch without calculation access",
         {},
         [&] { return effect(teste(), "_0001_0005_"); },
         "Gerente não tem permissão para realizar o cálculo do orçamento desta filial. (filial "
         "0005)"},
        {"effected branch budget",
         {},
         [&] { return effect(teste(), "_0003_"); },
         "O orçamento da filial 0003 está efetivado e não pode ser alterado."},
        {"approved branch budget",
         {},
         [&] { return effect(teste(), "_0004_", "D"); },
         "O orçamento da filial 0004 está aprovado e não pode ser alterado."},
        {"line with an empty month",
         [&] {
             exec("UPDATE ITEMORCAMENTO SET VRORCAMENTOJUL = NULL WHERE NRANOORCAOP = '2026' AND "
                  "CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND IDTIPOORCAOP = 'D'");
         },
         [&] { return effect(teste(), "_0001_0002_"); },
         "Efetivação não realizada: o item 0000000010 (tipo D) da filial 0002 tem mês sem "
         "valor."},
        {"every branch at once",
         {},
         [&] { return effect(teste(), "T"); },
         "Efetivar: informe as filiais a efetivar."},
        {"unknown item type letter",
         {},
         [&] { return effect(teste(), "_0001_", "X"); },
         "Efetivar: tipo de item inválido \"X\"."},
    });
}

TEST_P(WriteRefusals, GivenClosedMonthsOrClosedLines_WhenCalculating_ThenThoseCellsKeepTheirs) {
    const std::string firstQuarter = "VRORCAMENTOJAN, VRORCAMENTOFEV, VRORCAMENTOMAR";
    std::string allMonths;
    for (int m = 1; m <= 12; ++m)
        allMonths += (m == 1 ? "" : ", ") + srv::monthColumn("VRORCAMENTO", m);
    // Lines of a type at 7 a month over billing of 1.000,00, so any calculation changes them.
    const auto sevens = [this](const std::string& type, const std::vector<std::string>& branches) {
        for (const std::string& b : branches) {
            setMonths(b, type, 7);
            setMonths(b, "F", 1000);
        }
    };
    const auto labourOf = [&](RpcTestClient& c, const std::string& chosen,
                              const std::vector<std::string>& b) {
        return labour(c, chosen, branchesOf(c.operatorCode(), "IDCHECKO", b));
    };
    expectKept({
        {"billing from the base month in months closed to the phase",
         [&] { sevens("F", {}); },
         [&] {
             return monthBase(op("fase"), "F",
                              Variant(change(loaded(op("fase"), 1), "0001", "F",
                                             {{"IDITEMCALCORCA", Variant("P")}})));
         },
         {lineCells(firstQuarter, "0001", "F"),
          "SELECT CDSERVFILI, QTORCAMENTOJAN, QTORCAMENTOFEV, QTORCAMENTOMAR, " + firstQuarter +
              " FROM ITEMSERVORCA WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND CDFILIAL "
              "= '0001' AND IDTIPOORCAOP = 'F' ORDER BY CDSERVFILI"}},
        {"taxes in months closed to the phase",
         [&] { sevens("I", {"0001"}); },
         [&] { return taxes(op("fase"), branchesOf("fase", "IDCHECKI", {"0001"}), "2"); },
         {lineCells(firstQuarter, "0001", "I")}},
        {"fee in months closed to the phase",
         [&] { sevens("T", {"0001"}); },
         [&] { return fee(op("fase"), checkedRows(loaded(op("fase"), 5), "IDCHECK", {"0001"})); },
         {lineCells(firstQuarter, "0001", "T")}},
        {"depreciation in months closed to the phase",
         [&] { sevens("P", {"0001"}); },
         [&] {
             return depreciation(op("fase"),
                                 checkedRows(loaded(op("fase"), 2), "IDCHECK", {"0001"}, "P"));
         },
         {lineCells(firstQuarter, "0001", "P")}},
        {"labour in months closed to the phase",
         [&] { sevens("O", {"0001"}); },
         [&] { return labourOf(op("fase"), "_0001MO0001_", {"0001"}); },
         {lineCells(firstQuarter, "0001", "O")}},
        {"taxes over effected lines of an open branch",
         [&] {
             sevens("I", {"0001", "0002"});
             closeLines("0002", "I", "E");
         },
         [&] {
             return taxes(teste(), branchesOf("teste", "IDCHECKI", {"0001", "0002"}), "2");
         },
         {lineCells(allMonths, "0002", "I")}},
        {"taxes over lines whose item state alone is effected",
         [&] {
             sevens("I", {"0001", "0002"});
             exec("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E' WHERE NRANOORCAOP = '2026' AND "
                  "CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND IDTIPOORCAOP = 'I'");
         },
         [&] {
             return taxes(teste(), branchesOf("teste", "IDCHECKI", {"0001", "0002"}), "2");
         },
         {lineCells(allMonths, "0002", "I")}},
        {"fee over approved lines of an open branch",
         [&] {
             sevens("T", {"0001", "0002"});
             closeLines("0002", "T", "A");
         },
         [&] {
             return fee(teste(), checkedRows(loaded(teste(), 5), "IDCHECK", {"0001", "0002"}));
         },
         {lineCells(allMonths, "0002", "T")}},
        {"depreciation over approved lines of an open branch",
         [&] {
             sevens("P", {"0001", "0002"});
             closeLines("0002", "P", "A");
         },
         [&] {
             return depreciation(teste(),
                                 checkedRows(loaded(teste(), 2), "IDCHECK", {"0001", "0002"}, "P"));
         },
         {lineCells(allMonths, "0002", "P")}},
        {"labour over effected lines of an open branch",
         [&] {
             sevens("O", {"0001", "0002"});
             closeLines("0002", "O", "E");
         },
         [&] {
             return labourOf(teste(), "_0001MO0001_0002MO0002_", {"0001", "0002"});
         },
         {lineCells(allMonths, "0002", "O")}},
    });
}

INSTANTIATE_TEST_SUITE_P(Backends, WriteRefusals,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
