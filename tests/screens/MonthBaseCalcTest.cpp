// The base month of the billing and consumption rows: the server's calculation ordered from the
// main screen, and the copy of one branch's base month to the selected ones.
#include "tests/screens/CalcFixture.h"

#include "services/ui/TMenuItem.h"

namespace {

const Variant kMarch2026 = Variant::fromDate(EncodeDate(2026, 3, 1));

} // namespace

class MonthBaseCalc : public CalcFixture {
protected:
    // The master data of the worked example on 0001 and 0002: billing "REF" at 12,50 with 2 %
    // correction in April, consumption "CAF" at 8,00 a diner; 22 working days in March 2026, 20
    // in April, 21 in the other months; 2.200 meals and diners in March 2026, and 1.500,5 diners
    // in January 2025 for 0002.
    void workedExample() {
        std::string days, percents, zeros;
        for (int m = 0; m < 12; ++m) {
            const std::string month = CalcOrcaOperData::kMeses[m];
            days += std::string(m ? ", " : "") + "NDIAUTIL" + month + " = " +
                    (m == 2   ? "22"
                     : m == 3 ? "20"
                              : "21");
            percents += ", VRPERCORRCOM" + month + ", VRREAJORC" + month;
            zeros += ", 0, 0";
        }
        for (const char* branch : {"0001", "0002"}) {
            const Variant b(branch);
            sql("DELETE FROM SERVFILIAL WHERE CDFILIAL = ?", {b});
            sql("DELETE FROM SERVREALIZADO WHERE CDFILIAL = ?", {b});
            sql("DELETE FROM ITEMSERVORCA WHERE CDFILIAL = ?", {b});
            sql("UPDATE DIAUTILFILIAL SET " + days + " WHERE NRANOORCAOP = '2026' AND CDFILIAL = ?",
                {b});
            sql("INSERT INTO SERVFILIAL (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI, "
                "NMSERVICO, VRPRECOBASE, VRCUSTO" +
                    percents + ") VALUES ('2026', ?, 'F', 'REF', 'Refeição', 12.5, NULL" + zeros +
                    ")",
                {b});
            sql("UPDATE SERVFILIAL SET VRPERCORRCOMABR = 2 WHERE CDFILIAL = ?", {b});
            sql("INSERT INTO SERVFILIAL (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI, "
                "NMSERVICO, VRPRECOBASE, VRCUSTO" +
                    percents + ") VALUES ('2026', ?, 'C', 'CAF', 'Café', NULL, 8" + zeros + ")",
                {b});
            for (const char* kind : {"F", "C"})
                sql("INSERT INTO SERVREALIZADO (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI, "
                    "QTREALIZADOMAR) VALUES ('2026', ?, ?, ?, 2200)",
                    {b, Variant(kind), Variant(kind[0] == 'F' ? "REF" : "CAF")});
        }
        sql("INSERT INTO SERVREALIZADO (NRANOORCAOP, CDFILIAL, IDTIPOORCAOP, CDSERVFILI, "
            "QTREALIZADOJAN) VALUES ('2025', '0002', 'C', 'CAF', 1500.5)");
    }

    // "0001=03/2026 0002=10/2025 ..." as the grid shows the base months.
    static std::string baseMonths(TClientDataSet& ds) {
        std::string out;
        const int key = ds.FieldByName("CDFILIAL").Index();
        const int base = ds.FieldByName("DTMESBASEITEM").Index();
        for (int row = 0; row < ds.RecordCount(); ++row)
            out += (out.empty() ? "" : " ") + ds.RowValue(row, key).toText() + "=" +
                   ds.RowDisplayText(row, base);
        return out;
    }

    static std::string shown(TClientDataSet& ds, const std::string& branch,
                             const std::string& field) {
        const int key = ds.FieldByName("CDFILIAL").Index();
        const int index = ds.FieldByName(field).Index();
        for (int row = 0; row < ds.RecordCount(); ++row)
            if (ds.RowValue(row, key).toText() == branch) return ds.RowDisplayText(row, index);
        return "(no row)";
    }
};

// --- Calculation ------------------------------------------------------------------------------

TEST_F(MonthBaseCalc, GivenWorkedExample_WhenCalculatingBilling_ThenTheServerFiguresAreShown) {
    workedExample();
    calculaPorMesBase("0001");
    baseMonth("0001", "F", kMarch2026);
    sql("UPDATE ITEMORCAMENTO SET IDITEMCALCORCA = 'N' WHERE CDFILIAL = '0001'");
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    EXPECT_EQ(shown(fc, "0001", "IDITEMCALCORCA"), "Sim") << "typed by hand so far";

    select(screen.dbgItOrcFatur, "0001");
    periodWhenAsked();
    click(screen.sbtCalcEfet);

    EXPECT_EQ(messages(), "info: Cálculo realizado com sucesso.\n");
    EXPECT_EQ(shown(fc, "0001", "VRORCAMENTOABR"), "25.500,00");
    EXPECT_EQ(shown(fc, "0001", "VRORCAMENTOMAI"), "26.250,00");
    EXPECT_EQ(shown(fc, "0001", "IDITEMCALCORCA"), "Não");
    EXPECT_EQ(stored("F", "IDITEMCALCORCA").substr(0, 6), "0001=S");
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0001");
    EXPECT_EQ(fc.ChangeCount(), 0);
    EXPECT_EQ(fc.State(), dsBrowse);
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshFaturBruto);
    EXPECT_EQ(screen.sbtCalcEfet->Caption(), "Cálculo por Efetivos");
}

TEST_F(MonthBaseCalc, GivenConsumptionBranchBillingFSWithoutBaseMonth_ThenLastYearIsTaken) {
    workedExample();
    calculaPorMesBase("0002");
    baseMonth("0002", "C", Variant());
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshConsumo);
    EXPECT_EQ(screen.sbtCalcCard->Caption(), "Cálculo por Comensais Est.") << "0001 is first";
    select(screen.dbgItConsumo, "0002");
    periodWhenAsked();
    click(screen.sbtCalcCard);

    EXPECT_EQ(messages(), "info: Cálculo realizado com sucesso.\n");
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshConsumo);
    EXPECT_EQ(shown(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOJAN"), "12.004,00");
    EXPECT_EQ(shown(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOFEV"), "0,00");
    EXPECT_EQ(stored("C", "IDITEMCALCORCA").substr(7, 6), "0002=S");
}

TEST_F(MonthBaseCalc, GivenSelectedRowWithoutBaseMonth_ThenNothingIsSentAndNoMarkIsLeft) {
    calculaPorMesBase("0001");
    calculaPorMesBase("0002");
    baseMonth("0002", "F", Variant());
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    // 0001 comes first in the walk and is marked before 0002 stops it.
    select(screen.dbgItOrcFatur, "0002");
    select(screen.dbgItOrcFatur, "0001");
    const std::string marks = column(fc, "IDITEMCALCORCA");
    const std::string storedMarks = stored("F", "IDITEMCALCORCA");
    const int changes = fc.ChangeCount();
    periodWhenAsked();
    click(screen.sbtCalcEfet);

    EXPECT_EQ(messages(), "error: Operação bloqueada! Existem filiais sem mês base para cálculo "
                          "do faturamento informado.\n");
    EXPECT_EQ(column(fc, "IDITEMCALCORCA"), marks);
    EXPECT_EQ(fc.ChangeCount(), changes);
    EXPECT_EQ(stored("F", "IDITEMCALCORCA"), storedMarks);
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0001");
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());

    // A plain save afterwards stores no mark either.
    platform.clearMessages();
    press(VK_F3);
    platform.answerNext(mrYes);
    event([&] { screen.sbtConfirmarClick(screen.sbtConfirmar); });
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_EQ(stored("F", "IDITEMCALCORCA"), storedMarks);
}

TEST_F(MonthBaseCalc, GivenPeriodDialogCancelledOrNoSelection_ThenNothingHappens) {
    calculaPorMesBase("0001");
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    const std::string storedMarks = stored("F", "IDITEMCALCORCA");

    click(screen.sbtCalcEfet);
    EXPECT_EQ(messages(), "error: Filial a calcular deve ser informada.\n");

    platform.clearMessages();
    select(screen.dbgItOrcFatur, "0001");
    const std::string marks = column(fc, "IDITEMCALCORCA");
    const int changes = fc.ChangeCount();
    periodWhenAsked(false);
    click(screen.sbtCalcEfet);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(column(fc, "IDITEMCALCORCA"), marks);
    EXPECT_EQ(fc.ChangeCount(), changes);
    EXPECT_EQ(StrOperac, "N");
    EXPECT_EQ(stored("F", "IDITEMCALCORCA"), storedMarks);
    EXPECT_FALSE(boCheck);
}

TEST_F(MonthBaseCalc, GivenEverySelectedBranchCalculatesByDiners_ThenNothingIsCalculated) {
    // The fixture's branches all calculate by estimated diners.
    TfrmCalcOrcaOper& screen = loaded();
    select(screen.dbgItOrcFatur, "0001");
    const std::string storedValues = stored("F", "VRORCAMENTOABR");
    periodWhenAsked();
    click(screen.sbtCalcEfet);
    EXPECT_EQ(messages(), "info: Nada foi calculado: as filiais selecionadas calculam por "
                          "comensais estimados.\n");
    EXPECT_EQ(stored("F", "VRORCAMENTOABR"), storedValues);
    EXPECT_FALSE(platform.progressVisible());
}

TEST_F(MonthBaseCalc, GivenServerRefusal_ThenTheScreenIsAsBeforeAndALaterSaveStoresNoMark) {
    // No actual figures in March 2026: the server refuses the whole calculation.
    calculaPorMesBase("0001");
    baseMonth("0001", "F", kMarch2026);
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    select(screen.dbgItOrcFatur, "0001");
    const std::string marks = column(fc, "IDITEMCALCORCA");
    const std::string selection = column(fc, "IDCHECKF");
    const int changes = fc.ChangeCount();
    const std::string storedMarks = stored("F", "IDITEMCALCORCA");
    periodWhenAsked();
    click(screen.sbtCalcEfet);

    EXPECT_EQ(messages(), "error: Não há valores realizados no mês base para o cálculo do "
                          "faturamento das filiais: 0001.\n");
    EXPECT_EQ(column(fc, "IDITEMCALCORCA"), marks);
    EXPECT_EQ(column(fc, "IDCHECKF"), selection);
    EXPECT_EQ(fc.ChangeCount(), changes);
    EXPECT_EQ(fc.State(), dsBrowse);
    EXPECT_FALSE(screen.sbtConfirmar->Enabled());
    EXPECT_TRUE(screen.sbtCalcEfet->Enabled());
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());

    // The value typed next is saved alone.
    platform.clearMessages();
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOJUL");
    typeText("77");
    platform.answerNext(mrYes);
    event([&] { screen.sbtConfirmarClick(screen.sbtConfirmar); });
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(storedMonth("0001", "F", "JUL"), 77);
    EXPECT_EQ(stored("F", "IDITEMCALCORCA"), storedMarks);
}

// --- Copy of the base month -------------------------------------------------------------------

TEST_F(MonthBaseCalc, GivenTwoSelectedBranches_WhenCopying_ThenBothGetTheMonthAndOthersKeepTheirs) {
    baseMonth("0001", "F", kMarch2026);
    // Operator "fase" calculates every branch, 0003 effected and 0004 approved included.
    TfrmCalcOrcaOper& screen = loaded("fase");
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    EXPECT_EQ(baseMonths(fc),
              "0001=03/2026 0002=10/2025 0003=10/2025 0004=10/2025 0005=10/2025 0006=10/2025");
    select(screen.dbgItOrcFatur, "0002");
    select(screen.dbgItOrcFatur, "0005");
    select(screen.dbgItOrcFatur, "0001");
    ASSERT_TRUE(screen.btnMesBaseFat->Enabled());
    platform.answerNext(mrYes);
    click(screen.btnMesBaseFat);

    EXPECT_EQ(messages(), "confirm: Deseja replicar mês base para as filiais selecionadas? -> "
                          "Yes\ninfo: Cálculo por comensais deve ser realizado novamente.\n");
    EXPECT_EQ(baseMonths(fc),
              "0001=03/2026 0002=03/2026 0003=10/2025 0004=10/2025 0005=03/2026 0006=10/2025");
    const std::string march = Variant(EncodeDate(2026, 3, 1)).toText();
    const std::string october = Variant(EncodeDate(2025, 10, 1)).toText();
    EXPECT_EQ(stored("F", "DTMESBASEITEM"), "0001=" + march + " 0002=" + march +
                                                " 0003=" + october + " 0004=" + october +
                                                " 0005=" + march + " 0006=" + october);
    EXPECT_EQ(column(fc, "IDCHECKF"), "0001=N 0002=N 0003=N 0004=N 0005=N 0006=N") << "read again";
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0001");
    EXPECT_EQ(fc.ChangeCount(), 0);
    EXPECT_FALSE(boCheck);
}

TEST_F(MonthBaseCalc, GivenConsumptionPage_WhenCopying_ThenOnlyConsumptionRowsChange) {
    baseMonth("0001", "C", kMarch2026);
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    page(screen.tshConsumo);
    select(screen.dbgItConsumo, "0002");
    select(screen.dbgItConsumo, "0001");
    platform.answerNext(mrYes);
    click(screen.btnMesBaseCons);

    EXPECT_EQ(messages(), "confirm: Deseja replicar mês base para as filiais selecionadas? -> "
                          "Yes\ninfo: Cálculo por medição deve ser realizado novamente.\n");
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshConsumo);
    EXPECT_EQ(baseMonths(fc).substr(0, 25), "0001=03/2026 0002=03/2026");
    const std::string march = Variant(EncodeDate(2026, 3, 1)).toText();
    const std::string october = Variant(EncodeDate(2025, 10, 1)).toText();
    const std::string consumption = "0001=" + march + " 0002=" + march;
    const std::string billing = "0001=" + october + " 0002=" + october;
    EXPECT_EQ(stored("C", "DTMESBASEITEM").substr(0, consumption.size()), consumption);
    EXPECT_EQ(stored("F", "DTMESBASEITEM").substr(0, billing.size()), billing);
}

TEST_F(MonthBaseCalc, GivenOnlyTheSourceSelected_WhenCopying_ThenItStillSendsAndReadsAgain) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    click(screen.btnMesBaseFat);
    EXPECT_EQ(messages(), "error: Filial deve ser informada.\n");

    platform.clearMessages();
    select(screen.dbgItOrcFatur, "0001");
    // Another operator's change shows only if the budget is read again.
    baseMonth("0002", "F", kMarch2026);
    platform.answerNext(mrYes);
    click(screen.btnMesBaseFat);
    EXPECT_EQ(messages(),
              "confirm: Deseja replicar mês base para as filiais selecionadas? -> Yes\n");
    EXPECT_EQ(baseMonths(fc).substr(0, 25), "0001=10/2025 0002=03/2026");
    EXPECT_EQ(fc.ChangeCount(), 0);

    // Answered No: nothing is sent nor read.
    platform.clearMessages();
    select(screen.dbgItOrcFatur, "0001");
    baseMonth("0002", "F", Variant(EncodeDate(2026, 2, 1)));
    platform.answerNext(mrNo);
    click(screen.btnMesBaseFat);
    EXPECT_EQ(messages(),
              "confirm: Deseja replicar mês base para as filiais selecionadas? -> No\n");
    EXPECT_EQ(baseMonths(fc).substr(0, 25), "0001=10/2025 0002=03/2026");
}

TEST_F(MonthBaseCalc, GivenRefusedCopy_ThenTheServerSaysWhyAndTheScreenIsAsBefore) {
    baseMonth("0001", "F", kMarch2026);
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    select(screen.dbgItOrcFatur, "0002");
    select(screen.dbgItOrcFatur, "0001");
    const std::string selection = column(fc, "IDCHECKF");
    const int changes = fc.ChangeCount();
    // Meanwhile another operator changed 0002's line: the copy conflicts with it.
    sql("UPDATE ITEMORCAMENTO SET VRORCAMENTODEZ = 1 WHERE NRANOORCAOP = '2026' AND "
        "CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND IDTIPOORCAOP = 'F'");
    platform.answerNext(mrYes);
    click(screen.btnMesBaseFat);

    // The server's reason, and no information that the copy happened.
    EXPECT_EQ(messages(),
              "confirm: Deseja replicar mês base para as filiais selecionadas? -> Yes\n"
              "error: Conflito: o item 0000000001 (filial 0002, tipo F) foi alterado por outro "
              "operador depois da leitura (VRORCAMENTODEZ). Recarregue o orçamento e refaça a "
              "alteração; nada foi gravado.\n");
    EXPECT_EQ(baseMonths(fc).substr(0, 25), "0001=03/2026 0002=10/2025");
    EXPECT_EQ(column(fc, "IDCHECKF"), selection);
    EXPECT_EQ(fc.ChangeCount(), changes);
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0001");
    EXPECT_NE(valueOf(fc, "0002", "VRORCAMENTODEZ"), "1") << "not read again";
    EXPECT_TRUE(screen.btnMesBaseFat->Enabled());
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());
}

TEST_F(MonthBaseCalc, GivenBranchByHeadcount_ThenEachPageNamesTheModeOfTheBranchShown) {
    calculaPorMesBase("0002");
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    clickCell(screen.dbgItOrcFatur, "0002", "NMFILIAL");
    page(screen.tshConsumo);
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0002");
    EXPECT_EQ(screen.sbtCalcCard->Caption(), "Cálculo por Cardápio");
    page(screen.tshFaturBruto);
    EXPECT_EQ(screen.sbtCalcEfet->Caption(), "Cálculo por Efetivos");

    // 0001, the first row, calculates by estimated diners.
    clickCell(screen.dbgItOrcFatur, "0001", "NMFILIAL");
    page(screen.tshConsumo);
    EXPECT_EQ(screen.sbtCalcCard->Caption(), "Cálculo por Comensais Est.");
    page(screen.tshFaturBruto);
    EXPECT_EQ(screen.sbtCalcEfet->Caption(), "Cálculo por Comensais Est.");
}

TEST_F(MonthBaseCalc, GivenRowsMoved_ThenTheCopyButtonsFollowTheRow) {
    baseMonth("0002", "F", Variant());
    TfrmCalcOrcaOper& screen = loaded();
    const auto enabledOn = [&](const char* branch) {
        clickCell(screen.dbgItOrcFatur, branch, "NMFILIAL");
        EXPECT_EQ(screen.btnMesBaseFat->Enabled(), screen.btnMesBaseCons->Enabled());
        return screen.btnMesBaseFat->Enabled();
    };
    EXPECT_TRUE(enabledOn("0001"));
    EXPECT_FALSE(enabledOn("0002")) << "no base month";
    EXPECT_FALSE(enabledOn("0003")) << "effected";
    EXPECT_FALSE(enabledOn("0004")) << "approved";
    EXPECT_TRUE(enabledOn("0005"));
}
