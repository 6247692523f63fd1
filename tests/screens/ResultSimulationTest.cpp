// The result simulation over the fixture's budget 2026/2 (and 2026/1, which starts in April):
// opening it from the main screen, the branch and period choice, typing, and closing.
#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/data/NumberFormat.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TEdit.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"

#include <functional>
#include <set>

namespace {

const char* const kMes[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                              "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

// A value as the screen's boxes show it: "1.234,56".
std::string money(double v) {
    return FormatFloat("#,##0.00", v);
}

} // namespace

class ResultSimulation : public EntryFixture {
protected:
    // Opens the simulation from the main screen, runs `steps` inside it, then closes it.
    void simulate(const std::function<void(TfrmSimulaResult&)>& steps) {
        EntryFixture::simulate(steps);
        ASSERT_EQ(platform.modalsRun().back(), "TfrmSimulaResult");
    }

    // The lines of the screen, "F=… I=… C=… O=… T=… D=… E=… R=… S=… N=… P=…".
    static std::string lines(TfrmSimulaResult& s) {
        return "F=" + s.nbeOrcF->Text() + " I=" + s.nbeOrcImp->Text() + " C=" + s.nbeOrcC->Text() +
               " O=" + s.nbeOrcO->Text() + " T=" + s.nbeOrcT->Text() + " D=" + s.nbeOrcD->Text() +
               " E=" + s.nbeOrcE->Text() + " R=" + s.nbeOrcR->Text() + " S=" + s.nbeOrcLu->Text() +
               " N=" + s.nbeOrcN->Text() + " P=" + s.nbeOrcP->Text();
    }

    // The same lines summed from the main screen's own datasets for some branches and months
    // (1-12; empty: the whole year).
    std::string expected(const std::set<std::string>& branches, std::vector<int> months = {}) {
        if (months.empty())
            for (int m = 1; m <= 12; ++m)
                months.push_back(m);
        std::map<char, double> sum;
        // Entries count only in the way the company budgets them, as the main screen shows them.
        const bool byOperation =
            startServer()
                .store()
                .read([](srv::Database& db) {
                    return db
                        .query("SELECT IDORCDESPENTROP FROM PARAMORCAOPERAC ORDER BY "
                               "CDPARAMETRO")
                        .scalar();
                })
                .toText() == "O";
        for (TClientDataSet* ds :
             {&form->cdsItensOrcFatCons, &form->cdsItensOrcamento, &form->cdsTxAdm}) {
            const DataPacket p = ds->Data();
            for (std::size_t r = 0; r < p.rows.size(); ++r) {
                if (!branches.count(p.value(r, "CDFILIAL").toText())) continue;
                const char letter = p.value(r, "IDTIPOORCAOP").toText()[0];
                if (letter == 'E' && (p.value(r, "CDTIPOOPER").toText() == "V") == byOperation)
                    continue;
                for (int m : months) {
                    const Variant& v = p.value(r, std::string("VRORCAMENTO") + kMes[m - 1]);
                    if (!v.isNull()) sum[letter] += v.toDouble();
                }
            }
        }
        std::string out;
        for (char letter : std::string("FICOTDERSNP"))
            out += std::string(out.empty() ? "" : " ") + letter + "=" + money(sum[letter]);
        return out;
    }

    std::string header(TfrmSimulaResult& s) {
        return "branch=" + s.edtCdFilial->Text() + " name=" + s.edtNmFilial->Text() +
               " list=" + (s.chkFilialLista->Checked() ? "1" : "0") + " selection=" + s.stCdFilial +
               " month=" + s.speAno1->Text() + " year=" + (s.chkPeriodo->Checked() ? "1" : "0");
    }

    void type(TfrmSimulaResult& s, const std::string& text) {
        for (char c : text)
            event([&] { s.TypeChar(static_cast<unsigned char>(c)); });
    }

    // Moves the focus out of the header, which reloads with the header's choice.
    void leaveHeader(TfrmSimulaResult& s) {
        event([&] { s.sbtCancel->SetFocus(); });
    }
};

TEST_F(ResultSimulation, GivenBranch0001Current_WhenOpened_ThenEveryLineIsItsYearTotal) {
    loaded();
    ASSERT_EQ(form->cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString(), "0001");
    simulate([&](TfrmSimulaResult& s) {
        EXPECT_EQ(header(s),
                  "branch=0001 name=" + valueOf(form->cdsItensOrcFatCons, "0001", "NMFILIAL") +
                      " list=0 selection=0001 month=01/2026 year=1");
        EXPECT_EQ(lines(s), expected({"0001"}));
        EXPECT_EQ(s.lblCodTela->Caption(), "FYN10300");
        // Nothing simulated yet: nothing to save, the header is free.
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_FALSE(s.sbtAtualizar->Enabled());
        EXPECT_TRUE(s.edtCdFilial->Enabled());
        EXPECT_FALSE(s.edtNmFilial->Enabled());
        EXPECT_FALSE(s.btnFilialLista->Enabled());
    });
    EXPECT_EQ(messages(), "");
    // Closing leaves the main screen reloaded and told that the simulation was left.
    EXPECT_TRUE(form->boSimulacao);
    EXPECT_TRUE(form->cdsItensOrcFatCons.Active());
    EXPECT_EQ(frmSimulaResult, nullptr);
}

TEST_F(ResultSimulation, GivenOneCheckedBranch_WhenOpened_ThenTheHeaderNamesTheBranchShown) {
    loaded();
    checkOnMiscPage({"0002"});
    event([&] { form->cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0001")}); });
    simulate([&](TfrmSimulaResult& s) {
        EXPECT_EQ(s.stCdFilial, "_0002");
        EXPECT_EQ(s.edtCdFilial->Text(), "0002");
        EXPECT_EQ(lines(s), expected({"0002"}));
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultSimulation, GivenThreeCheckedBranches_WhenOpened_ThenListModeSumsThemAndMarchAlone) {
    // This operator may calculate 0005 too (its first quarter is closed, which the simulation
    // does not mind).
    loaded("fase");
    checkOnMiscPage({"0001", "0002", "0005"});
    simulate([&](TfrmSimulaResult& s) {
        EXPECT_EQ(header(s), "branch= name= list=1 selection=_0001_0002_0005_ month=01/2026 "
                             "year=1");
        EXPECT_FALSE(s.edtCdFilial->Enabled());
        EXPECT_TRUE(s.btnFilialLista->Enabled());
        EXPECT_EQ(lines(s), expected({"0001", "0002", "0005"}));

        event([&] { s.chkPeriodo->SetFocus(); });
        event([&] { s.chkPeriodo->Click(); });
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.speAno1->SetText("03/2026"); });
        leaveHeader(s);
        EXPECT_EQ(s.stMes, "3");
        EXPECT_EQ(lines(s), expected({"0001", "0002", "0005"}, {3}));
        EXPECT_EQ(header(s), "branch= name= list=1 selection=_0001_0002_0005_ month=03/2026 "
                             "year=0");
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultSimulation, GivenThePeriodBoxToggled_ThenGeneralItemsReloadButLinesWaitForTheHeader) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const std::string year = lines(s);
        const std::string yearTotal = s.cdsImpRecu.FieldByName("TOTAL").AsString();
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.speAno1->SetText("02/2026"); });
        event([&] { s.chkPeriodo->SetFocus(); });
        event([&] { s.chkPeriodo->Click(); });
        EXPECT_EQ(s.stMes, "2");
        s.cdsImpRecu.First();
        EXPECT_NE(s.cdsImpRecu.FieldByName("TOTAL").AsString(), yearTotal);
        EXPECT_EQ(s.cdsMesesRecu.IsEmpty(), false);
        EXPECT_EQ(lines(s), year);
        leaveHeader(s);
        EXPECT_EQ(lines(s), expected({"0001"}, {2}));
        EXPECT_NE(lines(s), year);
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultSimulation, GivenLinesFedByDialogs_ThenTheyAreRereadAndEnteringTheHeaderDropsThem) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        // What the billing and entry-expense dialogs hand back.
        const auto add = [](TClientDataSet& ds, const char* type, const char* operation,
                            double monthly, const char* branch = "0001") {
            if (!ds.Active()) ds.CreateDataSet();
            ds.Append();
            ds.FieldByName("CDFILIAL").SetAsString(branch);
            ds.FieldByName("IDTIPOORCAOP").SetAsString(type);
            ds.FieldByName("CDTIPOOPER").SetAsString(operation);
            for (const char* m : kMes)
                ds.FieldByName(std::string("VRORCAMENTO") + m).SetAsFloat(monthly);
            ds.Post();
        };
        add(s.cdsItensFat, "F", "", 100);
        add(s.cdsItensFat, "F", "", 50.5);
        add(s.cdsentrada, "E", "V", 10);
        add(s.cdsentrada, "E", "01", 1);
        // Another branch's row is not this selection's.
        add(s.cdsentrada, "E", "V", 1000, "0002");
        event([&] { s.atualizaValores(); });
        EXPECT_EQ(s.nbeOrcF->Text(), "1.806,00");
        const bool byOperation = s.cdsTpDespLanEnt.FieldByName("IDORCDESPENTROP").AsString() == "O";
        EXPECT_EQ(s.nbeOrcE->Text(), byOperation ? "12,00" : "120,00");
        EXPECT_EQ(s.nbeOrcL->Text(), money(1806 - s.nbeOrcImp->GetNumber()));

        event([&] { s.chkPeriodo->SetFocus(); });
        EXPECT_TRUE(s.cdsItensFat.IsEmpty());
        EXPECT_EQ(s.nbeOrcF->Text(), "0,00");
        EXPECT_EQ(s.nbeOrcE->Text(), "0,00");
        // Lines no dialog fed keep their figures until the header is left.
        EXPECT_NE(s.nbeOrcC->Text(), "0,00");
        leaveHeader(s);
        EXPECT_EQ(lines(s), expected({"0001"}));
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultSimulation, GivenAWrongHeader_WhenLeavingIt_ThenItsMessageAndNothingIsLoaded) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const auto typeBranch = [&](const std::string& code) {
            event([&] { s.edtCdFilial->SetFocus(); });
            event([&] { s.edtCdFilial->SetText(code); });
            leaveHeader(s);
        };
        typeBranch("9999");
        typeBranch("");
        // A month outside the version (2026/2 runs January to December 2026).
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.speAno1->SetText("03/2027"); });
        event([&] { s.chkPeriodo->SetFocus(); });
        EXPECT_EQ(messages(), "error: Filial não cadastrada.\n"
                              "error: Filial deve ser informada.\n"
                              "error: Orçamento deve estar dentro do período do orçamento.\n");
        EXPECT_TRUE(s.speAno1->Focused());
        platform.clearMessages();
        // A listed branch the operator may see loads.
        event([&] { s.speAno1->SetText("03/2026"); });
        typeBranch("2");
        EXPECT_EQ(s.edtCdFilial->Text(), "0002");
        EXPECT_EQ(lines(s), expected({"0002"}));
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultSimulation,
       GivenAVersionStartingInApril_WhenOpened_ThenTheMonthStartsThereAndIsValid) {
    versionFromApril();
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        EXPECT_EQ(s.speAno1->Text(), "04/2026");
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.chkPeriodo->SetFocus(); });
        EXPECT_EQ(messages(), "");
        // March is the version's last month, in the next calendar year.
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.speAno1->SetText("03/2027"); });
        event([&] { s.chkPeriodo->SetFocus(); });
        EXPECT_EQ(messages(), "");
    });
}

TEST_F(ResultSimulation, GivenAFixedBranchHost_WhenOpened_ThenTheBranchControlsAreDisabled) {
    host.fixedBranch = true;
    host.branch = "0001";
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        EXPECT_FALSE(s.edtCdFilial->Enabled());
        EXPECT_FALSE(s.btnFilial->Enabled());
        EXPECT_FALSE(s.chkFilialLista->Enabled());
        EXPECT_TRUE(s.chkPeriodo->Enabled());
    });
}

TEST_F(ResultSimulation, GivenGrossBillingTyped_ThenSaveAndDiscardAreOfferedAndTheHeaderLocks) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        ASSERT_TRUE(s.nbeOrcF->Enabled());
        // Entering the box selects its value (longer than ten characters): typing replaces it.
        ASSERT_GT(s.nbeOrcF->Text().size(), 10u);
        event([&] { s.nbeOrcF->SetFocus(); });
        type(s, "2000");
        EXPECT_TRUE(s.boSimulaFatManual);
        EXPECT_FALSE(s.btnFatBrut->Enabled());
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_TRUE(s.sbtAtualizar->Enabled());
        for (TControl* c : std::initializer_list<TControl*>{s.speAno1, s.chkPeriodo, s.edtCdFilial,
                                                            s.btnFilial, s.chkFilialLista})
            EXPECT_FALSE(c->Enabled()) << c->Name();
        // Leaving the line computes the result from the typed value.
        event([&] { s.nbeOrcC->SetFocus(); });
        EXPECT_EQ(s.nbeOrcF->Text(), "2.000,00");
        const double net = 2000 - s.nbeOrcImp->GetNumber();
        EXPECT_EQ(s.nbeOrcL->Text(), money(net));
        // At most ten characters.
        event([&] { s.nbeOrcF->SetFocus(); });
        event([&] { s.nbeOrcF->SetText("1234567890"); });
        event([&] { s.nbeOrcF->SetSelLength(0); });
        type(s, "1");
        EXPECT_EQ(s.nbeOrcF->Text(), "1234567890");
        // Discarding reloads the budget's figures and frees the header.
        platform.answerNext(mrYes);
        event([&] { s.sbtAtualizar->Click(); });
        EXPECT_EQ(lines(s), expected({"0001"}));
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_TRUE(s.edtCdFilial->Enabled());
    });
}
