// The products of an expense item: what the item plans to buy, month by month, under its
// expense type. Confirming them makes the item's monthly values.
#include "server/calc/CalcGuard.h"
#include "server/methods/BudgetAccess.h"
#include "server/methods/Methods.h"
#include "server/methods/PacketBuilder.h"
#include "server/methods/WriteCalls.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/RpcError.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/data/DecimalRounding.h"

#include <array>
#include <map>

namespace srv {

namespace {

using K = ParamKind;
using Quantities = std::array<double, 12>;

struct Item {
    std::string expenseType;
    std::string status;
    std::string state;
};

Item readItem(Database& db, const std::string& year, int version, const std::string& branch,
              const std::string& seq) {
    const QueryResult r = db.query(
        "SELECT CDDESPPREV, IDSTATUSORCA, IDITEMORCAMENTO FROM ITEMORCAMENTO WHERE NRANOORCAOP = "
        "? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND NRSEQITEMORCA = ?",
        {Variant(year), Variant(version), Variant(branch), Variant(seq)});
    if (r.empty())
        throw RpcError("Item de orçamento " + seq + " da filial " + branch + " não encontrado.",
                       RpcError::NotFound);
    return {r.rows[0][0].toText(), r.rows[0][1].toText(), r.rows[0][2].toText()};
}

std::string quantityColumns(const char* alias) {
    std::string out;
    for (int m = 1; m <= 12; ++m)
        out += ", COALESCE(" + std::string(alias) + monthColumn("QTPRODUTO", m) + ", 0) AS " +
               monthColumn("QTPRODUTO", m);
    return out;
}

const std::vector<Variant> itemKey(const std::string& year, int version, const std::string& branch,
                                   const std::string& seq) {
    return {Variant(year), Variant(version), Variant(branch), Variant(seq)};
}

Variant getProdutosItem(CallContext& call) {
    const std::string year = BudgetAccess::checkYear(call.arg(0));
    const int version = call.integer(1);
    const std::string branch = call.text(2);
    const std::string seq = call.text(3);
    PacketBuilder p;
    p.text("CDPRODUTO", 6).text("NMPRODUTO", 40).text("SGUNIDADE", 4).number("VRPRECOUNIT");
    p.months("QTPRODUTO");
    return call.store.read([&](Database& db) {
        BudgetAccess access(db, call.operatorCode);
        if (!access.branch(branch))
            throw RpcError("Filial " + branch + " não disponível para o operador.");
        const Item item = readItem(db, year, version, branch, seq);
        std::vector<Variant> params = itemKey(year, version, branch, seq);
        params.emplace_back(item.expenseType);
        return p.build(db.query(
            "SELECT P.CDPRODUTO, P.NMPRODUTO, P.SGUNIDADE, P.VRPRECOUNIT" + quantityColumns("Q.") +
                " FROM PRODUTODESP P LEFT JOIN PRODUTOITEMORCA Q ON Q.CDDESPPREV = P.CDDESPPREV "
                "AND Q.CDPRODUTO = P.CDPRODUTO AND Q.NRANOORCAOP = ? AND Q.CDVERSORCAOP = ? AND "
                "Q.CDFILIAL = ? AND Q.NRSEQITEMORCA = ? WHERE P.CDDESPPREV = ? ORDER BY "
                "P.CDPRODUTO",
            params));
    });
}

// Writes the quantities of the sent products and makes the item's open months their value.
class ProductsWriter {
public:
    ProductsWriter(Database& db, CalcGuard& guard, std::string year, int version,
                   std::string branch, std::string seq)
        : m_db(db), m_guard(guard), m_year(std::move(year)), m_version(version),
          m_branch(std::move(branch)), m_seq(std::move(seq)) {}

    int run(const DataPacket& lines) {
        m_guard.requireBranch(m_branch);
        const Item item = readItem(m_db, m_year, m_version, m_branch, m_seq);
        if (item.state == "E" || item.status == "E") throw RpcError("Item já efetivado!");
        if (item.state == "A" || item.status == "A") throw RpcError("Item já aprovado!");
        readProducts(item.expenseType);
        const int code = lines.fieldIndex("CDPRODUTO");
        if (code < 0) throw RpcError("Pacote de produtos sem CDPRODUTO.", RpcError::BadRequest);
        for (const auto& row : lines.rows)
            store(row[std::size_t(code)].toText(), quantities(lines, row), item.expenseType);
        return writeItem();
    }

private:
    void readProducts(const std::string& expenseType) {
        const QueryResult r =
            m_db.query("SELECT P.CDPRODUTO, P.VRPRECOUNIT" + quantityColumns("Q.") +
                           " FROM PRODUTODESP P LEFT JOIN PRODUTOITEMORCA Q ON Q.CDDESPPREV = "
                           "P.CDDESPPREV AND Q.CDPRODUTO = P.CDPRODUTO AND Q.NRANOORCAOP = ? AND "
                           "Q.CDVERSORCAOP = ? AND Q.CDFILIAL = ? AND Q.NRSEQITEMORCA = ? WHERE "
                           "P.CDDESPPREV = ?",
                       {Variant(m_year), Variant(m_version), Variant(m_branch), Variant(m_seq),
                        Variant(expenseType)});
        for (const auto& row : r.rows) {
            Product& p = m_products[row[0].toText()];
            p.price = row[1].toDouble();
            for (std::size_t m = 0; m < 12; ++m)
                p.quantity[m] = row[m + 2].toDouble();
        }
    }

    static Quantities quantities(const DataPacket& lines, const std::vector<Variant>& row) {
        Quantities q{};
        for (int m = 1; m <= 12; ++m) {
            const int index = lines.fieldIndex(monthColumn("QTPRODUTO", m));
            const double value = index < 0 ? 0 : row[std::size_t(index)].toDouble();
            if (value < 0 || value != value)
                throw RpcError("Quantidade inválida em " + std::string(monthSuffix(m)) + ".",
                               RpcError::BadRequest);
            q[std::size_t(m - 1)] = roundMoney(value);
        }
        return q;
    }

    void store(const std::string& code, const Quantities& q, const std::string& expenseType) {
        auto it = m_products.find(code);
        if (it == m_products.end())
            throw RpcError("Produto " + code + " não pertence ao tipo de despesa " + expenseType +
                               ".",
                           RpcError::BadRequest);
        for (int m = 1; m <= 12; ++m)
            if (!m_guard.monthOpen(m) && q[std::size_t(m - 1)] != it->second.quantity[m - 1])
                throw RpcError("Mês " + std::string(monthSuffix(m)) +
                               " fechado para a fase do operador.");
        it->second.quantity = q;
        m_db.execute("DELETE FROM PRODUTOITEMORCA WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND "
                     "CDFILIAL = ? AND NRSEQITEMORCA = ? AND CDPRODUTO = ?",
                     {Variant(m_year), Variant(m_version), Variant(m_branch), Variant(m_seq),
                      Variant(code)});
        std::string columns, marks;
        std::vector<Variant> values{Variant(m_year), Variant(m_version),   Variant(m_branch),
                                    Variant(m_seq),  Variant(expenseType), Variant(code)};
        for (int m = 1; m <= 12; ++m) {
            columns += ", " + monthColumn("QTPRODUTO", m);
            marks += ", ?";
            values.emplace_back(q[std::size_t(m - 1)]);
        }
        m_db.execute("INSERT INTO PRODUTOITEMORCA (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                     "NRSEQITEMORCA, CDDESPPREV, CDPRODUTO" +
                         columns + ") VALUES (?, ?, ?, ?, ?, ?" + marks + ")",
                     values);
    }

    int writeItem() {
        std::string sets;
        std::vector<Variant> values;
        for (int m = 1; m <= 12; ++m) {
            if (!m_guard.monthOpen(m)) continue;
            double total = 0;
            for (const auto& [code, p] : m_products)
                total += p.quantity[std::size_t(m - 1)] * p.price;
            sets += (sets.empty() ? "" : ", ") + monthColumn("VRORCAMENTO", m) + " = ?";
            values.emplace_back(roundMoney(total));
        }
        if (sets.empty()) return 0;
        for (const Variant& v : itemKey(m_year, m_version, m_branch, m_seq))
            values.push_back(v);
        return m_db.execute("UPDATE ITEMORCAMENTO SET " + sets +
                                " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND "
                                "NRSEQITEMORCA = ?",
                            values);
    }

    struct Product {
        double price = 0;
        Quantities quantity{};
    };

    Database& m_db;
    CalcGuard& m_guard;
    std::string m_year;
    int m_version;
    std::string m_branch;
    std::string m_seq;
    std::map<std::string, Product> m_products;
};

Variant setProdutosItem(CallContext& call) {
    if (call.arg(0).type() != VarType::Packet)
        throw RpcError("SetProdutosItem: o primeiro argumento deve ser um pacote de dados.",
                       RpcError::BadRequest);
    const DataPacket lines = call.arg(0).packet();
    const std::string year = BudgetAccess::checkYear(call.arg(1));
    const int version = call.integer(2);
    const std::string branch = call.text(3);
    const std::string seq = call.text(4);
    const int written = runWrite(call, [&](Database& db) {
        CalcGuard guard(db, call.operatorCode, year, version);
        return ProductsWriter(db, guard, year, version, branch, seq).run(lines);
    });
    return writtenAnswer(written);
}

} // namespace

void registerProdDespMethods(MethodRegistry& registry) {
    registry.add(kModuleProdDesp, "GetProdutosItem", {K::Text, K::Integer, K::Text, K::Text},
                 getProdutosItem);
    registry.add(kModuleProdDesp, "SetProdutosItem",
                 {K::Any, K::Text, K::Integer, K::Text, K::Text}, setProdutosItem);
}

} // namespace srv
