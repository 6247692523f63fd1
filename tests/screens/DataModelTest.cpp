#include "budget/CalcOrcaOperCatalog.h"
#include "budget/CalcOrcaOperData.h"
#include "services/lib/TMessages.h"

#include <gtest/gtest.h>

namespace {

DataPacket billingRow(const char* calc, double baseMonth) {
    CalcOrcaOperData model;
    DataPacket packet = model.cdsItensOrcFatCons.Data();
    std::vector<Variant> row(packet.fields.size());
    row[packet.fieldIndex("CDFILIAL")] = Variant("0001");
    row[packet.fieldIndex("IDTIPOORCAOP")] = Variant("F");
    row[packet.fieldIndex("IDITEMCALCORCA")] = Variant(calc);
    row[packet.fieldIndex("DTMESBASEITEM")] = Variant::fromDate(baseMonth);
    row[packet.fieldIndex("VRORCAMENTOJAN")] = Variant(1234567.891);
    packet.rows.push_back(row);
    return packet;
}

} // namespace

TEST(DataModel, GivenCalculationMark_ThenManualColumnSaysNaoOnlyForServerCalculatedRows) {
    for (auto [mark, shown] : {std::pair{"S", "Não"}, std::pair{"P", "Sim"}, std::pair{"N", "Sim"},
                               std::pair{"", "Sim"}}) {
        CalcOrcaOperData model;
        model.cdsItensOrcFatCons.SetData(billingRow(mark, 0));
        EXPECT_EQ(model.cdsItensOrcFatCons.FieldByName("IDITEMCALCORCA").DisplayText(), shown)
            << mark;
    }
}

TEST(DataModel, GivenBillingRow_ThenValuesAndBaseMonthShowInTheOperatorsFormat) {
    CalcOrcaOperData model;
    model.cdsItensOrcFatCons.SetData(billingRow("S", 46082)); // 01/03/2026
    TClientDataSet& cds = model.cdsItensOrcFatCons;
    EXPECT_EQ(cds.FieldByName("VRORCAMENTOJAN").DisplayText(), "1.234.567,89");
    EXPECT_EQ(cds.FieldByName("DTMESBASEITEM").DisplayText(), "03/2026");
    model.cdsItensOrcFatCons.SetData(billingRow("S", 0));
    EXPECT_EQ(cds.FieldByName("DTMESBASEITEM").DisplayText(), "") << "a zero date is not informed";
}

TEST(DataModel, GivenFreshModel_ThenBillingShowsOnlyNonConsumptionRowsOrderedByBranch) {
    CalcOrcaOperData model;
    TClientDataSet& cds = model.cdsItensOrcFatCons;
    EXPECT_EQ(cds.Filter(), "IDTIPOORCAOP <> 'C'");
    EXPECT_TRUE(cds.Filtered());
    EXPECT_EQ(cds.IndexFieldNames(), "CDFILIAL");
    // FEV stands before JAN, as the server sends it.
    EXPECT_LT(cds.FieldByName("VRORCAMENTOFEV").Index(), cds.FieldByName("VRORCAMENTOJAN").Index());
    EXPECT_EQ(cds.FieldByName("VRORCAMENTOMAR").MaxValue(), 999999999);
    EXPECT_EQ(model.cdsFeriadoFil.FieldByName("VRORCAMENTOMAR").Size(), 3);
    EXPECT_EQ(model.cdsFeriadoFil.FieldByName("VRORCAMENTOABR").Size(), 2);
}

TEST(DataModel, GivenCatalog_ThenKeysMatchWithoutCaseAndMonthsAndTrailingBlankAreKept) {
    TMessages msg(kCalcOrcaOperMessages);
    EXPECT_EQ(msg.Msg("Ver_Inf"), "Versão deve ser informada.");
    EXPECT_EQ(msg.Msg("ano_n_inf"), "Ano deve ser informado.");
    EXPECT_EQ(msg.Msg("ano_inf"), "Ano deve ser informado");
    EXPECT_EQ(msg.Msg("7"), "JUL");
    EXPECT_EQ(msg.Msg("Perm_Fase", "F2"),
              "Atenção! Fase F2 não habilitada para cálculo do orçamento.");
    const std::string err = msg.Msg("Calc_Imp_Err");
    EXPECT_EQ(err.back(), ' ');
    EXPECT_EQ(msg.Count(), 12u + 54u);
}
