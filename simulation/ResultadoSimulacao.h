#pragma once

// The arithmetic of the result simulation: net billing, the operating result and each line's
// share, from the values of the lines.
struct ResultadoSimulacao {
    // Line values as typed or loaded.
    double fatBruto = 0, impostos = 0, consumo = 0, maoObra = 0, taxaAdm = 0, despDiversas = 0,
           despEntradas = 0, impRecuperar = 0, impLucro = 0, investimentos = 0, depreciacao = 0;
    // The percentages are taken on gross billing instead of net billing.
    bool sobreFatBruto = false;

    // Computed by calcula().
    double fatLiquido = 0, resultado = 0, base = 0;
    double prcImpostos = 0, prcFatLiquido = 0, prcConsumo = 0, prcMaoObra = 0, prcTaxaAdm = 0,
           prcDespDiversas = 0, prcDespEntradas = 0, prcImpRecuperar = 0, prcImpLucro = 0,
           prcInvestimentos = 0, prcDepreciacao = 0, prcResultado = 0;

    // Gross billing is rounded to cents first; a share whose base is 0 is 0.
    void calcula();
};
