// SetSimulacao: a saved result simulation written over the budget of its branch list, in one
// transaction, with the refusals of a calculation (latest version, open phase, the operator's
// branches); effected and approved items and branches are left as they are.
#include "server/calc/CalcGuard.h"
#include "server/methods/BudgetLines.h"
#include "server/methods/GroupCommit.h"
#include "server/methods/Methods.h"
#include "server/methods/WriteCalls.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/data/BlankTrim.h"
#include "services/data/DataPacket.h"
#include "services/data/DecimalRounding.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <map>
#include <optional>
#include <set>

namespace srv {

namespace {

using K = ParamKind;
using Planned = std::array<std::optional<double>, 12>;

// The general lines the screen confirms, in the order it lists them.
constexpr std::string_view kGeneralLetters = "IRSPNT";

bool differs(const Variant& stored, double value) {
    return stored.isNull() || std::fabs(stored.toDouble() - value) >= 0.005;
}

// Two decimals with a point, whatever the process locale.
std::string money(double v) {
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 2);
    return std::string(text, end.ptr);
}

// The letters "I_S_T_": each general letter once, each followed by "_".
std::string checkLetters(const std::string& text) {
    std::string letters;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const char c = text[i];
        if (i + 1 >= text.size() || text[i + 1] != '_' ||
            kGeneralLetters.find(c) == std::string_view::npos ||
            letters.find(c) != std::string::npos)
            throw RpcError("SetSimulacao: linhas gerais inválidas \"" + text +
                               "\" (letras I, R, S, P, N, T seguidas de \"_\").",
                           RpcError::BadRequest);
        letters += c;
    }
    return letters;
}

const char* lineName(char type) {
    switch (type) {
    case 'F':
        return "faturamento";
    case 'C':
        return "consumo";
    default:
        return "impostos";
    }
}

struct ItemKey {
    std::string branch, type, seq;
    auto operator<=>(const ItemKey&) const = default;
};

struct ServiceKey {
    std::string branch, type, service;
    auto operator<=>(const ServiceKey&) const = default;
};

// One month value of one item that a spread may change.
struct Cell {
    ItemKey key;
    int month;
    double value;
};

struct Arguments {
    std::vector<Variant> packets; // six, each a packet or null
    std::string listText, year, month, letters, lettersText;
    int version = 0;
    double consumption = 0, billing = 0, taxes = 0;
    bool consumptionChanged = false, billingApplied = false, taxesChanged = false, labour = false,
         misc = false, entry = false;
};

class SimulationPlan {
public:
    SimulationPlan(Database& db, const std::string& operatorCode, const Arguments& a)
        : m_db(db), m_a(a), m_operator(operatorCode), m_guard(db, operatorCode, a.year, a.version),
          m_access(db, operatorCode), m_period(BudgetLines::period(a.month)) {
        const CodeList list = BudgetLines::branchList(a.listText);
        if (list.all()) {
            for (const auto& [code, b] : m_access.branches())
                if (b.calcAccess == "S") m_branches.insert(code);
        } else {
            m_branches = list.codes();
        }
        const BudgetLines lines(db, a.year, a.version,
                                std::vector<std::string>(m_branches.begin(), m_branches.end()));
        m_lines = lines.lines();
        for (const BudgetLine& line : m_lines)
            m_index.emplace(ItemKey{line.branch, line.type, line.sequence}, &line);
    }

    int run() {
        if (m_a.billingApplied)
            spreadTotal('F', m_a.billing);
        else
            services('F', m_a.packets[0]);
        if (m_a.consumptionChanged) {
            if (hasRows(m_a.packets[4]))
                services('C', m_a.packets[4]);
            else
                spreadTotal('C', m_a.consumption);
        }
        if (m_a.taxesChanged) spreadTotal('I', m_a.taxes);
        if (m_a.labour) items(m_a.packets[1], 'O', "mão de obra");
        if (m_a.misc) items(m_a.packets[2], 'D', "despesas diversas");
        if (m_a.entry) items(m_a.packets[3], 'E', "despesas de entrada");
        for (char letter : m_a.letters)
            items(m_a.packets[5], letter, "itens gerais");

        int written = 0;
        for (const std::string& branch : m_branches) {
            if (!m_touched.count(branch) || headerClosed(branch)) continue;
            m_guard.requireBranch(branch);
            written += writeItems(branch);
            written += writeServices(branch);
        }
        record();
        return written;
    }

private:
    static bool hasRows(const Variant& v) {
        return v.type() == VarType::Packet && !v.packet().rows.empty();
    }

    bool headerClosed(const std::string& branch) {
        auto it = m_headerClosed.find(branch);
        if (it == m_headerClosed.end()) {
            const std::string s = textTrimmedRight(
                m_db.query("SELECT IDSTATUSORCA FROM ORCAMENTOFILIAL WHERE NRANOORCAOP = "
                           "? AND CDVERSORCAOP = ? AND CDFILIAL = ?",
                           {Variant(m_a.year), Variant(m_a.version), Variant(branch)})
                    .scalar());
            it = m_headerClosed.emplace(branch, s == "E" || s == "A").first;
        }
        return it->second;
    }

    bool writable(const BudgetLine& line) { return line.open() && !headerClosed(line.branch); }

    void plan(const ItemKey& key, int month, double value) {
        m_items[key][static_cast<std::size_t>(month - 1)] = roundMoney(value);
        m_touched.insert(key.branch);
    }

    // Spreads `target` over the open cells in proportion to their values (equally when they
    // are all 0); what the closed cells hold counts towards the target. The cent lost to
    // rounding goes to the largest cell, so the cells add up to the target exactly.
    void spread(std::vector<Cell> cells, double fixed, double target, const std::string& what) {
        const double remainder = roundMoney(roundMoney(target) - fixed);
        if (cells.empty()) {
            if (std::fabs(remainder) >= 0.005)
                throw RpcError("Não há itens de " + what +
                               " em aberto para receber o valor informado.");
            return;
        }
        if (remainder < 0)
            throw RpcError("O valor de " + what + " informado (" + money(roundMoney(target)) +
                           ") é menor que o dos itens efetivados ou aprovados (" + money(fixed) +
                           ").");
        double sum = 0;
        for (const Cell& c : cells)
            sum += c.value;
        double given = 0;
        std::size_t largest = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const double share = sum != 0 ? cells[i].value * remainder / sum
                                          : remainder / static_cast<double>(cells.size());
            cells[i].value = roundMoney(share);
            given += cells[i].value;
            if (std::fabs(cells[i].value) > std::fabs(cells[largest].value)) largest = i;
        }
        cells[largest].value = roundMoney(cells[largest].value + remainder - given);
        for (const Cell& c : cells)
            plan(c.key, c.month, c.value);
    }

    // A typed total of one line spread over the period months of the listed branches.
    void spreadTotal(char type, double target) {
        std::vector<Cell> cells;
        double fixed = 0;
        for (const BudgetLine& line : m_lines) {
            if (line.type.size() != 1 || line.type[0] != type) continue;
            for (int m = 1; m <= 12; ++m) {
                if (!m_period[static_cast<std::size_t>(m - 1)]) continue;
                if (writable(line))
                    cells.push_back({{line.branch, line.type, line.sequence}, m, line.value(m)});
                else
                    fixed += line.value(m);
            }
            if (writable(line)) m_scaleServices.insert({line.branch, line.type});
        }
        spread(std::move(cells), roundMoney(fixed), target, lineName(type));
    }

    static int requireField(const DataPacket& p, const std::string& name, const char* what) {
        const int f = p.fieldIndex(name);
        if (f < 0)
            throw RpcError(std::string("SetSimulacao: os dados de ") + what + " não trazem " +
                               name + ".",
                           RpcError::BadRequest);
        return f;
    }

    static std::optional<double> number(const Variant& v) {
        if (v.isNull()) return std::nullopt;
        if (!v.isNumeric() || !std::isfinite(v.toDouble()) ||
            std::fabs(v.toDouble()) > 999999999999.0)
            throw RpcError("SetSimulacao: valor inválido nos dados simulados.",
                           RpcError::BadRequest);
        return v.toDouble();
    }

    // A line's service rows as stored, read once per type letter.
    struct StoredService {
        bool closed = false;
        std::array<Variant, 12> values, quantities;
    };
    const std::map<ServiceKey, StoredService>& storedServices(char type) {
        auto it = m_stored.find(type);
        if (it != m_stored.end()) return it->second;
        std::map<ServiceKey, StoredService>& out = m_stored[type];
        std::string sql = "SELECT CDFILIAL, CDSERVFILI, IDITEMORCAMENTO";
        for (const char* prefix : {"VRORCAMENTO", "QTORCAMENTO"})
            for (int m = 1; m <= 12; ++m)
                sql += ", " + monthColumn(prefix, m);
        const auto rows =
            m_db.query(sql + " FROM ITEMSERVORCA WHERE NRANOORCAOP = ? AND "
                             "CDVERSORCAOP = ? AND IDTIPOORCAOP = ?",
                       {Variant(m_a.year), Variant(m_a.version), Variant(std::string(1, type))});
        for (const auto& row : rows.rows) {
            const std::string branch = textTrimmedRight(row[0]);
            if (!m_branches.count(branch)) continue;
            StoredService& stored = out[{branch, std::string(1, type), textTrimmedRight(row[1])}];
            const std::string state = textTrimmedRight(row[2]);
            stored.closed = state == "E" || state == "A";
            for (std::size_t m = 0; m < 12; ++m) {
                stored.values[m] = row[3 + m];
                stored.quantities[m] = row[15 + m];
            }
        }
        return out;
    }

    // Billing or consumption by month: per service (CDSERVFILI with VRORCA1 ... VRORCA12 and,
    // when sent, the diners QTORCA1 ... QTORCA12, or with the twelve VRORCAMENTO months and,
    // when sent, the twelve QTORCAMENTO months, as the billing dialog keeps them), the open
    // services taking the values as sent, or per item (the twelve VRORCAMENTO months), the
    // services following their item. Either way the branch's items of
    // the line take the branch's sum, month by month; by service only in the months where a
    // service changed, so that what nobody touched stays as stored.
    void services(char type, const Variant& data) {
        if (!hasRows(data)) return;
        const DataPacket& p = data.packet();
        const char* what = lineName(type);
        const int branchField = requireField(p, "CDFILIAL", what);
        const int serviceField = p.fieldIndex("CDSERVFILI");
        const bool byService = serviceField >= 0;
        const bool numbered = byService && p.fieldIndex("VRORCA1") >= 0;
        const int typeField = p.fieldIndex("IDTIPOORCAOP");
        std::array<int, 12> monthField{}, quantityField{};
        for (int m = 1; m <= 12; ++m) {
            monthField[static_cast<std::size_t>(m - 1)] = requireField(
                p, numbered ? "VRORCA" + std::to_string(m) : monthColumn("VRORCAMENTO", m), what);
            quantityField[static_cast<std::size_t>(m - 1)] =
                byService ? p.fieldIndex(numbered ? "QTORCA" + std::to_string(m)
                                                  : monthColumn("QTORCAMENTO", m))
                          : -1;
        }
        static const std::map<ServiceKey, StoredService> none;
        const std::map<ServiceKey, StoredService>& stored = byService ? storedServices(type) : none;
        std::map<std::string, std::array<std::optional<double>, 12>> totals;
        std::map<std::string, std::array<bool, 12>> changed;
        for (const auto& row : p.rows) {
            const std::string branch = textTrimmedRight(row[static_cast<std::size_t>(branchField)]);
            if (!m_branches.count(branch)) continue;
            if (!byService && typeField >= 0 &&
                textTrimmedRight(row[static_cast<std::size_t>(typeField)]) != std::string(1, type))
                continue;
            const ServiceKey key{branch, std::string(1, type),
                                 byService
                                     ? textTrimmedRight(row[static_cast<std::size_t>(serviceField)])
                                     : std::string()};
            const auto old = stored.find(key);
            const bool closed = old != stored.end() && old->second.closed;
            for (int m = 1; m <= 12; ++m) {
                const auto i = static_cast<std::size_t>(m - 1);
                if (!m_period[i]) continue;
                if (!closed && quantityField[i] >= 0)
                    if (const auto q = number(row[static_cast<std::size_t>(quantityField[i])])) {
                        m_quantities[key][i] = roundMoney(*q);
                        m_touched.insert(branch);
                    }
                auto v = number(row[static_cast<std::size_t>(monthField[i])]);
                if (closed) v = number(old->second.values[i]);
                if (!v) continue;
                if (byService && !closed) {
                    m_services[key][i] = roundMoney(*v);
                    if (old == stored.end() || differs(old->second.values[i], *v))
                        changed[branch][i] = true;
                } else if (!byService) {
                    m_scaleServices.insert({branch, key.type});
                    changed[branch][i] = true;
                }
                auto& total = totals[branch][i];
                total = total.value_or(0) + roundMoney(*v);
                m_touched.insert(branch);
            }
        }
        for (const auto& [branch, months] : totals) {
            if (headerClosed(branch)) continue;
            for (int m = 1; m <= 12; ++m) {
                const auto& target = months[static_cast<std::size_t>(m - 1)];
                if (!target || !changed[branch][static_cast<std::size_t>(m - 1)]) continue;
                std::vector<Cell> cells;
                double fixed = 0;
                for (const BudgetLine& line : m_lines) {
                    if (line.branch != branch || line.type != std::string(1, type)) continue;
                    if (writable(line))
                        cells.push_back(
                            {{line.branch, line.type, line.sequence}, m, line.value(m)});
                    else
                        fixed += line.value(m);
                }
                spread(std::move(cells), roundMoney(fixed), *target, what);
            }
        }
    }

    // Items of one type letter with their twelve VRORCAMENTO months, as the screen holds them.
    void items(const Variant& data, char type, const char* what) {
        if (!hasRows(data)) return;
        const DataPacket& p = data.packet();
        const int branchField = requireField(p, "CDFILIAL", what);
        const int seqField = requireField(p, "NRSEQITEMORCA", what);
        const int typeField = p.fieldIndex("IDTIPOORCAOP");
        std::array<int, 12> monthField{};
        for (int m = 1; m <= 12; ++m)
            monthField[static_cast<std::size_t>(m - 1)] =
                requireField(p, monthColumn("VRORCAMENTO", m), what);
        for (const auto& row : p.rows) {
            if (typeField >= 0 &&
                textTrimmedRight(row[static_cast<std::size_t>(typeField)]) != std::string(1, type))
                continue;
            const ItemKey key{textTrimmedRight(row[static_cast<std::size_t>(branchField)]),
                              std::string(1, type),
                              textTrimmedRight(row[static_cast<std::size_t>(seqField)])};
            if (!m_branches.count(key.branch)) continue;
            auto line = m_index.find(key);
            if (line == m_index.end())
                throw RpcError("Conflito: o item " + key.seq + " (filial " + key.branch +
                               ", tipo " + key.type +
                               ") não existe mais no orçamento. Recarregue a simulação; nada "
                               "foi gravado.");
            if (!writable(*line->second)) continue;
            for (int m = 1; m <= 12; ++m) {
                if (!m_period[static_cast<std::size_t>(m - 1)]) continue;
                if (const auto v = number(row[static_cast<std::size_t>(monthField[m - 1])]))
                    plan(key, m, *v);
            }
        }
    }

    void refuseClosedMonth(int month, const std::string& what) {
        throw RpcError("Mês " + std::string(monthSuffix(month)) +
                       " fechado para a fase do operador: " + what +
                       " não pode ser alterado nesse mês.");
    }

    int writeItems(const std::string& branch) {
        int written = 0;
        for (auto it = m_items.lower_bound(ItemKey{branch, "", ""});
             it != m_items.end() && it->first.branch == branch; ++it) {
            const ItemKey& key = it->first;
            const BudgetLine& line = *m_index.at(key);
            std::string sql;
            std::vector<Variant> params;
            for (int m = 1; m <= 12; ++m) {
                const auto& v = it->second[static_cast<std::size_t>(m - 1)];
                if (!v || !differs(line.months[static_cast<std::size_t>(m - 1)], *v)) continue;
                if (!m_guard.monthOpen(m))
                    refuseClosedMonth(m, "o item " + key.seq + " (filial " + branch + ", tipo " +
                                             key.type + ")");
                sql += (params.empty() ? "" : ", ") + monthColumn("VRORCAMENTO", m) + " = ?";
                params.emplace_back(*v);
            }
            if (params.empty()) continue;
            for (const std::string& k : {m_a.year, branch, key.type, key.seq})
                params.emplace_back(k);
            params.insert(params.begin() + static_cast<std::ptrdiff_t>(params.size() - 3),
                          Variant(m_a.version));
            m_db.execute("UPDATE ITEMORCAMENTO SET " + sql +
                             " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND "
                             "IDTIPOORCAOP = ? AND NRSEQITEMORCA = ?",
                         params);
            ++written;
        }
        return written;
    }

    // The branch's service rows of a line: sent values, or scaled with a typed total so that
    // the services keep adding up to their item.
    int writeServices(const std::string& branch) {
        int written = 0;
        for (const char* type : {"F", "C"}) {
            const bool scale = m_scaleServices.count({branch, type}) != 0;
            const auto sentFor = [&](const std::map<ServiceKey, Planned>& planned) {
                const auto first = planned.lower_bound(ServiceKey{branch, type, ""});
                return first != planned.end() && first->first.branch == branch &&
                       first->first.type == type;
            };
            const bool sent = sentFor(m_services) || sentFor(m_quantities);
            if (!scale && !sent) continue;
            std::array<double, 12> factor;
            factor.fill(1.0);
            if (scale) {
                for (int m = 1; m <= 12; ++m) {
                    double before = 0, after = 0;
                    for (const BudgetLine& line : m_lines) {
                        if (line.branch != branch || line.type != type) continue;
                        before += line.value(m);
                        const auto planned = m_items.find({line.branch, line.type, line.sequence});
                        const auto& v = planned == m_items.end()
                                            ? std::optional<double>()
                                            : planned->second[static_cast<std::size_t>(m - 1)];
                        after += v ? *v : line.value(m);
                    }
                    factor[static_cast<std::size_t>(m - 1)] = before != 0 ? after / before : 1.0;
                }
            }
            std::string sql = "SELECT CDSERVFILI, IDITEMORCAMENTO";
            for (const char* prefix : {"VRORCAMENTO", "QTORCAMENTO"})
                for (int m = 1; m <= 12; ++m)
                    sql += ", " + monthColumn(prefix, m);
            const std::vector<Variant> where{Variant(m_a.year), Variant(m_a.version),
                                             Variant(branch), Variant(type)};
            QueryResult stored =
                m_db.query(sql + " FROM ITEMSERVORCA WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? "
                                 "AND CDFILIAL = ? AND IDTIPOORCAOP = ?",
                           where);
            std::set<std::string> seen;
            for (const auto& row : stored.rows) {
                const std::string service = textTrimmedRight(row[0]);
                seen.insert(service);
                const std::string state = textTrimmedRight(row[1]);
                if (state == "E" || state == "A") continue;
                const auto planned = m_services.find({branch, type, service});
                const auto quantities = m_quantities.find({branch, type, service});
                std::string set;
                std::vector<Variant> params;
                for (int m = 1; m <= 12; ++m) {
                    const Variant& oldQuantity = row[static_cast<std::size_t>(13 + m)];
                    const std::optional<double> q =
                        quantities == m_quantities.end() ? std::nullopt : quantities->second[m - 1];
                    if (q && differs(oldQuantity, *q)) {
                        if (!m_guard.monthOpen(m))
                            refuseClosedMonth(m,
                                              "o serviço " + service + " (filial " + branch + ")");
                        set +=
                            (params.empty() ? "" : ", ") + monthColumn("QTORCAMENTO", m) + " = ?";
                        params.emplace_back(*q);
                    }
                    const Variant& old = row[static_cast<std::size_t>(1 + m)];
                    std::optional<double> v;
                    if (planned != m_services.end())
                        v = planned->second[m - 1];
                    else if (scale && m_period[m - 1] && !old.isNull())
                        v = roundMoney(old.toDouble() * factor[static_cast<std::size_t>(m - 1)]);
                    if (!v || !differs(old, *v)) continue;
                    if (!m_guard.monthOpen(m))
                        refuseClosedMonth(m, "o serviço " + service + " (filial " + branch + ")");
                    set += (params.empty() ? "" : ", ") + monthColumn("VRORCAMENTO", m) + " = ?";
                    params.emplace_back(*v);
                }
                if (params.empty()) continue;
                params.insert(params.end(), where.begin(), where.end());
                params.emplace_back(service);
                m_db.execute("UPDATE ITEMSERVORCA SET " + set +
                                 " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? "
                                 "AND IDTIPOORCAOP = ? AND CDSERVFILI = ?",
                             params);
                ++written;
            }
            for (const auto* planned : {&m_services, &m_quantities})
                for (auto it = planned->lower_bound(ServiceKey{branch, type, ""});
                     it != planned->end() && it->first.branch == branch && it->first.type == type;
                     ++it)
                    if (!seen.count(it->first.service))
                        throw RpcError("Conflito: o serviço " + it->first.service + " da filial " +
                                       branch +
                                       " não existe no orçamento. Recarregue a simulação; nada foi "
                                       "gravado.");
        }
        return written;
    }

    void record() {
        const Variant last = m_db.query("SELECT MAX(NRSEQSIMULACAO) FROM SIMULACAO").scalar();
        const int next = last.isNull() ? 1 : last.toInt() + 1;
        const double now = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
        const auto flag = [](bool b) { return Variant(b ? "S" : "N"); };
        m_db.execute("INSERT INTO SIMULACAO (NRSEQSIMULACAO, NRANOORCAOP, CDVERSORCAOP, "
                     "CDOPERADOR, DTSIMULACAO, DSLISTAFILIAL, CDMES, VRCONSUMO, IDCONSALTERADO, "
                     "VRFATURAMENTO, IDFATAPLICADO, VRIMPOSTO, IDIMPALTERADO, IDMAOOBRASIMUL, "
                     "IDDESPDIVSIMUL, IDDESPENTRSIMUL, DSLINHASGERAIS) VALUES (?, ?, ?, ?, ?, ?, "
                     "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                     {Variant(next), Variant(m_a.year), Variant(m_a.version), Variant(m_operator),
                      Variant(now), Variant(m_a.listText),
                      Variant(m_a.month.empty() ? std::string("T") : m_a.month),
                      Variant(roundMoney(m_a.consumption)), flag(m_a.consumptionChanged),
                      Variant(roundMoney(m_a.billing)), flag(m_a.billingApplied),
                      Variant(roundMoney(m_a.taxes)), flag(m_a.taxesChanged), flag(m_a.labour),
                      flag(m_a.misc), flag(m_a.entry), Variant(m_a.lettersText)});
    }

    Database& m_db;
    const Arguments& m_a;
    std::string m_operator;
    CalcGuard m_guard;
    BudgetAccess m_access;
    std::array<bool, 12> m_period;
    std::set<std::string> m_branches;
    std::vector<BudgetLine> m_lines;
    std::map<ItemKey, const BudgetLine*> m_index;
    std::map<std::string, bool> m_headerClosed;
    std::map<ItemKey, Planned> m_items;
    std::map<ServiceKey, Planned> m_services;
    // The quantities of services (the diners of consumption), as the dialogs sent them.
    std::map<ServiceKey, Planned> m_quantities;
    std::map<char, std::map<ServiceKey, StoredService>> m_stored;
    std::set<std::pair<std::string, std::string>> m_scaleServices;
    std::set<std::string> m_touched;
};

Variant setSimulacao(CallContext& call) {
    Arguments a;
    const Variant& data = call.arg(0);
    if (data.type() != VarType::Array || data.array().size() != 6)
        throw RpcError("SetSimulacao: os dados simulados devem ser seis pacotes.",
                       RpcError::BadRequest);
    for (const Variant& p : data.array()) {
        if (!p.isNull() && p.type() != VarType::Packet)
            throw RpcError("SetSimulacao: os dados simulados devem ser pacotes de dados ou nulos.",
                           RpcError::BadRequest);
        a.packets.push_back(p);
    }
    a.listText = call.text(1);
    a.year = BudgetAccess::checkYear(call.arg(2));
    a.version = call.integer(3);
    a.consumption = call.number(4);
    a.consumptionChanged = call.arg(5).toBool();
    a.billing = call.number(6);
    a.billingApplied = call.arg(7).toBool();
    a.taxes = call.number(8);
    a.taxesChanged = call.arg(9).toBool();
    a.labour = call.arg(10).toBool();
    a.misc = call.arg(11).toBool();
    a.entry = call.arg(12).toBool();
    a.lettersText = call.text(13);
    a.letters = checkLetters(a.lettersText);
    a.month = call.text(14);
    BudgetLines::period(a.month);
    BudgetLines::branchList(a.listText);
    for (double v : {a.consumption, a.billing, a.taxes})
        if (!std::isfinite(v) || std::fabs(v) > 999999999999.0)
            throw RpcError("SetSimulacao: valor inválido.", RpcError::BadRequest);

    const std::function<int(Database&)> save = [&](Database& db) {
        return SimulationPlan(db, call.operatorCode, a).run();
    };
    const int written = runWrite(call, save);
    // The screen never reads its packets back.
    call.arg(0) = Variant();

    return writtenAnswer(written);
}

} // namespace

void registerSimulationSave(MethodRegistry& registry) {
    registry.add(kModuleCalcOrcaOper, "SetSimulacao",
                 {K::Any, K::Text, K::Text, K::Integer, K::Double, K::Boolean, K::Double,
                  K::Boolean, K::Double, K::Boolean, K::Boolean, K::Boolean, K::Boolean, K::Text,
                  K::Text},
                 setSimulacao);
}

} // namespace srv
