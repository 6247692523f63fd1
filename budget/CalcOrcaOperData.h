#pragma once

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"

#include <string>

// The data model of the main budget screen: every dataset with its persistent fields, labels,
// formats, indexes and design-time filters, and the data sources that show them. The screen
// inherits it so that its handlers name the datasets directly.
class CalcOrcaOperData {
public:
    CalcOrcaOperData();
    CalcOrcaOperData(const CalcOrcaOperData&) = delete;
    CalcOrcaOperData& operator=(const CalcOrcaOperData&) = delete;

    // Billing and consumption rows (types F and C), one per branch.
    TClientDataSet cdsItensOrcFatCons{"cdsItensOrcFatCons"};
    // Items of the types I, O, M, D, E, R, S, N, P.
    TClientDataSet cdsItensOrcamento{"cdsItensOrcamento"};
    // One row per branch of the loaded budget.
    TClientDataSet cdsOrcamentoFilial{"cdsOrcamentoFilial"};
    // Administrative fee rows, one per branch.
    TClientDataSet cdsTxAdm{"cdsTxAdm"};
    // Working days per branch and month.
    TClientDataSet cdsFeriadoFil{"cdsFeriadoFil"};
    // Per-branch result parameters.
    TClientDataSet cdsParDROFilial{"cdsParDROFilial"};
    // The operator's budget phase for the year.
    TClientDataSet cdsVerifFaseOper{"cdsVerifFaseOper"};
    // Versions of the year for the version picker.
    TClientDataSet cdsVersaoOrca{"cdsVersaoOrca"};
    // The latest version of the year and its first month.
    TClientDataSet cdsMaiorVersao{"cdsMaiorVersao"};
    TClientDataSet cdsMesIni{"cdsMesIni"};
    TClientDataSet cdsRetorno{"cdsRetorno"};
    // Entry-expense mode.
    TClientDataSet cdsTpDespLanEnt{"cdsTpDespLanEnt"};
    // Module parameters.
    TClientDataSet cdsParametros{"cdsParametros"};

    TDataSource dtsItensOrcamento{"dtsItensOrcamento", &cdsItensOrcamento};
    TDataSource dtsOrcamentoFilial{"dtsOrcamentoFilial", &cdsOrcamentoFilial};
    TDataSource dtsFeriadoFil{"dtsFeriadoFil", &cdsFeriadoFil};
    TDataSource dtsTxAdm{"dtsTxAdm", &cdsTxAdm};
    TDataSource dtsVersaoOrca{"dtsVersaoOrca", &cdsVersaoOrca};
    TDataSource dtsParametos{"dtsParametos", &cdsParametros};

    // The twelve month abbreviations in calendar order ("JAN" .. "DEZ").
    static const char* const kMeses[12];

    // Field names of the budget line check marks, by page letter ("IDCHECK" + letter).
    static std::string NomeCampoCheck(char letter) { return std::string("IDCHECK") + letter; }

private:
    void declareItensOrcFatCons();
    void declareItensOrcamento();
    void declareOrcamentoFilial();
    void declareTxAdm();
    void declareSmallDataSets();
};
