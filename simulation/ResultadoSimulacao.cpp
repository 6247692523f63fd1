#include "simulation/ResultadoSimulacao.h"

#include "services/lib/Consiste.h"

namespace {

// value × 100 / base, rounded; 0 without gross billing, without value or without base.
double percentual(double valor, double base, double fatBruto) {
    if (fatBruto == 0 || valor == 0 || base == 0) return 0;
    return RoundDec(valor * 100 / base, 2);
}

} // namespace

void ResultadoSimulacao::calcula() {
    fatBruto = RoundDec(fatBruto, 2);
    fatLiquido = fatBruto - impostos;
    base = sobreFatBruto ? fatBruto : fatLiquido;
    // Recoverable taxes are the only line that adds to the result.
    resultado = fatLiquido - consumo - maoObra - taxaAdm - despDiversas - despEntradas - impLucro -
                depreciacao - investimentos + impRecuperar;
    prcImpostos = percentual(impostos, fatBruto, fatBruto);
    if (fatBruto != 0 && fatLiquido != 0)
        prcFatLiquido = sobreFatBruto ? RoundDec(fatLiquido * 100 / fatBruto, 2) : 100;
    else
        prcFatLiquido = 0;
    prcConsumo = percentual(consumo, base, fatBruto);
    prcMaoObra = percentual(maoObra, base, fatBruto);
    prcTaxaAdm = percentual(taxaAdm, base, fatBruto);
    prcDespDiversas = percentual(despDiversas, base, fatBruto);
    prcDespEntradas = percentual(despEntradas, base, fatBruto);
    prcImpRecuperar = percentual(impRecuperar, base, fatBruto);
    prcInvestimentos = percentual(investimentos, base, fatBruto);
    prcDepreciacao = percentual(depreciacao, base, fatBruto);
    prcImpLucro = percentual(impLucro, base, fatBruto);
    prcResultado = percentual(resultado, base, fatBruto);
}
