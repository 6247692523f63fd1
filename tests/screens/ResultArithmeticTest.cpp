// The result simulation's arithmetic: net billing, the operating result and every line's share.
#include "simulation/ResultadoSimulacao.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

namespace {

struct Caso {
    const char* nome;
    double fat, imp, cons, mo, tx, dd, de, recup, lucro, inv, depr;
    bool sobreFatBruto;
    // "L=… R=… | %I %L %C %O %T %D %E %R %S %N %P %Result", one decimal as the screen shows.
    const char* esperado;
};

// Fixed decimals with a point, whatever the process locale.
std::string fixo(double v, int decimals) {
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, end.ptr);
}

std::string mostra(const ResultadoSimulacao& r) {
    std::string out = "L=" + fixo(r.fatLiquido, 2) + " R=" + fixo(r.resultado, 2) + " |";
    for (double p : {r.prcImpostos, r.prcFatLiquido, r.prcConsumo, r.prcMaoObra, r.prcTaxaAdm,
                     r.prcDespDiversas, r.prcDespEntradas, r.prcImpRecuperar, r.prcImpLucro,
                     r.prcInvestimentos, r.prcDepreciacao, r.prcResultado})
        out += " " + fixo(p, 1);
    return out;
}

const Caso kCasos[] = {
    {"net billing base", 1000, 100, 300, 200, 0, 0, 0, 50, 0, 0, 0, false,
     "L=900.00 R=450.00 | 10.0 100.0 33.3 22.2 0.0 0.0 0.0 5.6 0.0 0.0 0.0 50.0"},
    {"gross billing base", 1000, 100, 300, 200, 0, 0, 0, 50, 0, 0, 0, true,
     "L=900.00 R=450.00 | 10.0 90.0 30.0 20.0 0.0 0.0 0.0 5.0 0.0 0.0 0.0 45.0"},
    {"every line subtracts but recoverable taxes", 2000, 200, 100, 100, 100, 100, 100, 0, 100, 100,
     100, false, "L=1800.00 R=1000.00 | 10.0 100.0 5.6 5.6 5.6 5.6 5.6 0.0 5.6 5.6 5.6 55.6"},
    {"recoverable taxes raise the result by their value", 2000, 200, 100, 100, 100, 100, 100, 50,
     100, 100, 100, false,
     "L=1800.00 R=1050.00 | 10.0 100.0 5.6 5.6 5.6 5.6 5.6 2.8 5.6 5.6 5.6 58.3"},
    {"no gross billing: every share is 0", 0, 100, 300, 200, 10, 10, 10, 50, 10, 10, 10, false,
     "L=-100.00 R=-610.00 | 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0"},
    {"net billing 0 on a net base: shares are 0, never infinite", 500, 500, 100, 0, 0, 0, 0, 0, 0,
     0, 0, false, "L=0.00 R=-100.00 | 100.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0"},
    {"gross billing rounded to cents before net billing", 1000.004, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0,
     false, "L=1000.00 R=500.00 | 0.0 100.0 50.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 50.0"},
    {"a negative result has a negative share", 1000, 0, 1500, 0, 0, 0, 0, 0, 0, 0, 0, false,
     "L=1000.00 R=-500.00 | 0.0 100.0 150.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 0.0 -50.0"},
};

TEST(ResultArithmetic, GivenLineValues_WhenComputed_ThenNetBillingResultAndSharesFollow) {
    for (const Caso& c : kCasos) {
        ResultadoSimulacao r;
        r.fatBruto = c.fat;
        r.impostos = c.imp;
        r.consumo = c.cons;
        r.maoObra = c.mo;
        r.taxaAdm = c.tx;
        r.despDiversas = c.dd;
        r.despEntradas = c.de;
        r.impRecuperar = c.recup;
        r.impLucro = c.lucro;
        r.investimentos = c.inv;
        r.depreciacao = c.depr;
        r.sobreFatBruto = c.sobreFatBruto;
        r.calcula();
        EXPECT_EQ(mostra(r), c.esperado) << c.nome;
    }
}

} // namespace
