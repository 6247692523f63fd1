#pragma once

#include "server/store/Database.h"

#include <string>
#include <string_view>
#include <vector>

namespace srv {

// The company schema, as ordered migrations: migration n (1-based) brings the schema from
// version n-1 to n; an applied migration is never edited, a change is a new one at the end.
//
// Conventions every table follows (methods select columns straight into data packets):
//  - column names are the upper-case field names the client datasets use;
//  - year NRANOORCAOP is VARCHAR(4); version CDVERSORCAOP is INTEGER;
//  - dates are DOUBLE PRECISION days since 30/12/1899; money and quantities DOUBLE PRECISION,
//    rounded to 2 decimals by the code that writes them;
//  - flags are one-character texts ("S"/"N", status letters); percentages are stored as
//    percent (12.5 means 12.5 %), in columns named VRPERC...;
//  - a twelve-month set is twelve columns prefix + JAN ... DEZ (see monthSuffix).
//
// Tables (budget):
//  VERSAOORCA        versions of a year: CDANOVERORCA, CDVERSAOORCA, DSVERSAOORCA,
//                    NRMESINIVERORC (first month), DATAINI, DATAFIN
//  ORCAMENTOFILIAL   budget header per year/version/branch: CDOPERADOR, DTORCAMENTO, IDSTATUSORCA
//  ITEMORCAMENTO     budget lines of every type letter IDTIPOORCAOP (F I C O T M D E R S N P):
//                    key NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA;
//                    IDENTRSAIDOP, CDTIPOOPER, CDDESPADMFAT, CDDESPPREV, CDIMPOSTO,
//                    DTORCAMENTOITEM, DTMESBASEITEM, IDSTATUSORCA, IDITEMORCAMENTO,
//                    IDITEMCALCORCA, IDALTERADO, VRORCAMENTOJAN..DEZ
//  ITEMSERVORCA      budget per service of the F and C lines: QTORCAMENTOJAN..DEZ (quantity
//                    sold / diners), VRORCAMENTOJAN..DEZ, IDITEMORCAMENTO
//  DIAUTILFILIAL     working days per year, branch and month: NDIAUTILJAN..DEZ
//  SIMULACAO         saved result simulations (who, when, branch list, month, what was applied)
// Organisation and access:
//  FILIAL (CDFILIAL, NMFILIAL, CDREGIAO, CDSEGMER, IDCALCOMESTORC), REGIAO (CDREGIAO, NMREGIAO),
//  GRUPFILI (CDGRUPFILI, NMGRUPFILI), FILIALGRUPO (CDGRUPFILI, CDFILIAL: a branch may sit in
//  several groups), SEGMER (CDSEGMER, DSSEGMER), PARDROFILIAL (CDFILIAL, IDFATUROP,
//  IDDETALHEFATUR), PARAMORCAOPERAC (one row: IDTIPOSIMULARESULTFAT, IDORCDESPENTROP),
//  OPERADOR (CDOPERADOR, NMOPERADOR, DSSENHA: PasswordHash text, IDATIVO),
//  OPERADORFILIAL (CDOPERADOR, CDFILIAL, IDACESSOCALC, IDACESSOAPROV: the branches an operator
//  sees), FASEORCOPERAC (CDFASEORCOPERAC, NMFASEORCOPERAC, IDFASECALCORCA, IDFASEAPROVORCA,
//  IDPERMCALCJAN..DEZ), OPERADORFASE (NRANOORCAOP, CDOPERADOR, CDGRUPGERENTEOP,
//  CDFASEORCOPERAC: an operator's phase of a year; none means no restriction),
//  SESSAOOPERADOR (CDSESSAO, CDOPERADOR, DTCRIACAO, DTEXPIRA: login tokens shared by servers).
// Master data of the calculations:
//  SERVFILIAL        services of a branch per year, IDTIPOORCAOP "F" billing / "C" consumption:
//                    CDSERVFILI, NMSERVICO, VRPRECOBASE (unit price, F), VRCUSTO (cost per
//                    diner, C), VRPERCORRCOMJAN..DEZ (correction %), VRREAJORCJAN..DEZ
//                    (adjustment value)
//  SERVREALIZADO     actual quantity sold (F) / diners (C) per year, branch, service and month:
//                    QTREALIZADOJAN..DEZ
//  IMPOSTO           taxes: CDIMPOSTO, SGIMPOSTO, NMIMPOSTO, IDTIPOORCAOP ("I" on billing,
//                    "R" recoverable, on consumption; "S" on profit)
//  IMPOSTOFILIAL     rate of a tax for a year and branch: VRPERCALIQUOTA
//  TAXAADMFILIAL     administrative fee rate of a year and branch: VRPERCTXADM
//  PRODUTODESP       products bought under an expense type: NMPRODUTO, SGUNIDADE, VRPRECOUNIT
//  PRODUTOITEMORCA   quantity per month (QTPRODUTOJAN..) of a product planned by a budget item
//  BEMFILIAL         fixed assets: CDBEM, DSBEM, VRCUSTOBEM, DTINICIOBEM (first day of the first
//                    month in service), QTMESESVIDA (useful life in months)
//  DESPADMFAT        labour types: CDDESPADMFAT, DSDESPADMFAT
//  ORCAMENTOMO       labour budgets: CDORCAMENTOMO, DSORCAMENTOMO, QTFUNCORCAMO, CDFILIAL
//  ORCAMENTOMOTIPO   labour types of a budget: QTFUNCIONARIO, VRSALARIO, VRPERCENCARGO
//  DESPPREV          expense types: CDDESPPREV, NMDESPPREV
//  TIPOOPER          operation types: CDTIPOOPER ("V" and the others split entry expenses),
//                    NMTIPOOPER, IDENTRSAIDOP
// Migrations bookkeeping: SCHEMA_VERSION (VERSION, DTAPLICACAO).
class Schema {
public:
    // The migrations in order as a backend runs them; element 0 is migration 1. Both backends
    // have the same number and the same tables and columns.
    static const std::vector<std::string>& migrations(Database::Backend backend);
    // The latest schema version (the number of migrations).
    static int latestVersion() {
        return static_cast<int>(migrations(Database::Backend::SQLite).size());
    }
    // The declared length of a VARCHAR column in the latest schema, in characters; 0 for a
    // column that is not one (or unknown). The writers check texts against it before the
    // database sees them.
    static int textSize(std::string_view table, std::string_view column);
};

// "JAN" ... "DEZ" for months 1 ... 12 (asserts the range).
std::string_view monthSuffix(int month);
// The column of a month set: monthColumn("VRORCAMENTO", 3) is "VRORCAMENTOMAR".
std::string monthColumn(std::string_view prefix, int month);

} // namespace srv
