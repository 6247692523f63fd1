#include "scenario/ScenarioError.h"
#include "scenario/ScenarioParser.h"
#include "scenario/ScenarioRunner.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/lib/Consiste.h"
#include "services/ui/TButton.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TTabSheet.h"
#include "services/ui/TfrmRotiGeral.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

namespace {

// Asks for a customer name.
class TfrmCliente : public TfrmRotiGeral {
public:
    explicit TfrmCliente(TComponent* owner) : TfrmRotiGeral(owner) {
        edtCliente = Add<TEdit>("edtCliente", this);
        edtCliente->SetTabOrder(0);
    }
    void sbtConfirmaClick(TObject* Sender) override {
        TfrmRotiGeral::sbtConfirmaClick(Sender);
        if (EmptyString(edtCliente->Text())) MensErro("Cliente deve ser informado.");
        chosen = edtCliente->Text();
        SetModalResult(mrOk);
    }
    TEdit* edtCliente;
    std::string chosen;
};

// An order screen: a name (typed or chosen in a dialog), a value, a save with a question, the
// saved orders in a grid on a second page.
class TfrmPedido : public TForm {
public:
    explicit TfrmPedido(TComponent* owner) : TForm(owner), cdsPedidos("cdsPedidos") {
        cdsPedidos.AddField("NMCLIENTE", FieldType::String, 30);
        cdsPedidos.AddField("VRPEDIDO", FieldType::Float).SetDisplayFormat("#,##0.00");
        cdsPedidos.CreateDataSet();
        dtsPedidos.SetDataSet(&cdsPedidos);
        RegisterDataSet("cdsPedidos", &cdsPedidos);

        pgcPedido = Add<TPageControl>("pgcPedido", this);
        pgcPedido->SetTabStop(false);
        tshDados = Add<TTabSheet>("tshDados");
        tshDados->SetPageControl(pgcPedido);
        tshLista = Add<TTabSheet>("tshLista");
        tshLista->SetPageControl(pgcPedido);
        edtNome = Add<TEdit>("edtNome", tshDados);
        nbeValor = Add<TNumberEdit>("nbeValor", tshDados);
        btnCliente = Add<TButton>("btnCliente", tshDados);
        btnCliente->SetCaption("Cliente");
        btnGravar = Add<TButton>("btnGravar", tshDados);
        btnGravar->SetCaption("Gravar");
        dbgPedidos = Add<TDBGrid>("dbgPedidos", tshLista);
        dbgPedidos->SetDataSource(&dtsPedidos);
        dbgPedidos->AddColumn("NMCLIENTE", "Cliente");
        dbgPedidos->AddColumn("VRPEDIDO", "Valor");

        btnCliente->OnClick = [this](TObject*) {
            auto* dialog = Application::instance().createForm<TfrmCliente>(this);
            if (dialog->ShowModal() == mrOk) edtNome->SetText(dialog->chosen);
        };
        btnGravar->OnClick = [this](TObject*) {
            if (EmptyString(edtNome->Text())) {
                edtNome->SetFocus();
                MensErro("Nome deve ser informado.");
            }
            if (Application::instance().platform().MessageBox(
                    MessageKind::Confirmation, "Gravar o pedido?", MessageButtons::YesNo) != mrYes)
                return;
            cdsPedidos.Append();
            cdsPedidos.FieldByName("NMCLIENTE").SetAsString(edtNome->Text());
            cdsPedidos.FieldByName("VRPEDIDO").SetAsFloat(nbeValor->GetNumber());
            cdsPedidos.Post();
            edtNome->SetText("");
            btnGravar->SetEnabled(cdsPedidos.RecordCount() < 2);
        };
    }
    ~TfrmPedido() override { DestroyComponents(); }

    TClientDataSet cdsPedidos;
    TDataSource dtsPedidos;
    TPageControl* pgcPedido;
    TTabSheet* tshDados;
    TTabSheet* tshLista;
    TEdit* edtNome;
    TNumberEdit* nbeValor;
    TButton* btnCliente;
    TButton* btnGravar;
    TDBGrid* dbgPedidos;
};

class ScenarioRunnerTest : public ::testing::Test {
protected:
    ScenarioRunnerTest() : runner(driver) {
        runner.addForm("TfrmPedido",
                       [](ScreenDriver& d) -> TForm& { return d.open<TfrmPedido>(nullptr); });
    }
    // The error a failing script stops with ("" when it runs through).
    std::string failure(const std::string& script) {
        try {
            runner.runText(script, "pedido.scn");
        } catch (const ScenarioError& e) {
            return e.what();
        }
        return {};
    }
    ScreenDriver driver;
    ScenarioRunner runner;
};

TEST_F(ScenarioRunnerTest,
       GivenAScriptOfActionsAndChecks_WhenItDrivesTheTestForm_ThenEveryCheckHolds) {
    const char* script = R"(# an order typed, a refusal, an order through the dialog
open TfrmPedido
check focus edtNome
click btnGravar
check messages
  error: Nome deve ser informado.
end
type edtNome "Ana Paula"
type nbeValor 1.234,5
answer yes
click btnGravar
check rows cdsPedidos 1
check field cdsPedidos NMCLIENTE "Ana Paula"
check display cdsPedidos VRPEDIDO 1.234,50
check text edtNome ""
modal TfrmCliente
  check focus edtCliente
  click sbtConfirma
  check message "Cliente deve ser informado."
  type edtCliente Beto
  click sbtConfirma
end
click btnCliente
check text edtNome Beto
answer no
click btnGravar
check rows cdsPedidos 1
answer yes
click btnGravar
check disabled btnGravar
check caption btnGravar Gravar
page pgcPedido tshLista
check page pgcPedido tshLista
cell dbgPedidos 2 VRPEDIDO
check field cdsPedidos NMCLIENTE Beto
check state cdsPedidos browse
check hidden edtNome
check cursor default
check progress hidden
)";
    EXPECT_EQ(failure(script), "");
}

TEST_F(ScenarioRunnerTest,
       GivenACheckThatDoesNotHold_WhenTheScriptRuns_ThenItStopsAtThatLineShowingExpectedAndActual) {
    EXPECT_EQ(failure("open TfrmPedido\n\ntype edtNome Ana\ncheck text edtNome Maria\ncheck text "
                      "edtNome Ana\n"),
              "pedido.scn:4: text of edtNome: expected \"Maria\", got \"Ana\"");
    EXPECT_EQ(failure("form TfrmPedido\ncheck enabled btnGravar\ncheck rows cdsPedidos 3\n"),
              "pedido.scn:3: rows of cdsPedidos: expected \"3\", got \"0\"");
    EXPECT_EQ(
        failure("open TfrmPedido\nclick btnGravar\ncheck messages\n  error: Outro texto.\nend\n"),
        "pedido.scn:3: messages: expected\nerror: Outro texto.\ngot\nerror: Nome deve ser "
        "informado.\n");
}

TEST_F(ScenarioRunnerTest,
       GivenUnknownNamesOrSteps_WhenTheScriptRuns_ThenTheLineAndTheNameAreReported) {
    EXPECT_EQ(failure("open TfrmPedido\nclick btnSalvar\n"),
              "pedido.scn:2: unknown control 'btnSalvar' on TfrmPedido");
    EXPECT_EQ(failure("form TfrmPedido\ncheck field cdsItens CDFILIAL 0001\n"),
              "pedido.scn:2: unknown dataset 'cdsItens' on TfrmPedido");
    EXPECT_EQ(failure("form TfrmPedido\nfly away\n"), "pedido.scn:2: unknown step 'fly'");
    EXPECT_EQ(failure("open TfrmOutro\n"), "pedido.scn:1: no form TfrmOutro can be opened here");
}

TEST_F(ScenarioRunnerTest,
       GivenAFailureInsideAModalBlock_WhenTheDialogRuns_ThenTheInnerLineIsReported) {
    EXPECT_EQ(failure("open TfrmPedido\nmodal TfrmCliente\n  type Ana\n  check text edtCliente "
                      "Bia\nend\nclick btnCliente\n"),
              "pedido.scn:4: text of edtCliente: expected \"Bia\", got \"Ana\"");
}

TEST_F(ScenarioRunnerTest,
       GivenAQuestionOrDialogTheScriptDidNotExpect_WhenItAppears_ThenTheStepThatCausedItFails) {
    EXPECT_EQ(failure("open TfrmPedido\ntype edtNome Ana\nclick btnGravar\n"),
              "pedido.scn:3: question asked without an answer: \"Gravar o pedido?\"");
    EXPECT_EQ(failure("form TfrmPedido\nclick btnCliente\n"),
              "pedido.scn:2: dialog TfrmCliente opened without a 'modal' block");
}

TEST(ScenarioParserTest, GivenMalformedScripts_WhenParsed_ThenTheFaultyLineIsNamed) {
    auto error = [](const std::string& text) {
        try {
            ScenarioParser::parse(text, "x.scn");
        } catch (const ScenarioError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(error("focus a\ntype \"open\n"), "x.scn:2: unclosed quote");
    EXPECT_EQ(error("modal TfrmX\n  click a\n"), "x.scn:1: block without 'end'");
    EXPECT_EQ(error("click a\nend\n"), "x.scn:2: 'end' without a block to close");
    EXPECT_EQ(error("check messages\nerror: x\n"), "x.scn:1: 'check messages' without 'end'");

    auto steps = ScenarioParser::parse(
        "# c\ntype edtNome \"say \\\"hi\\\"\"\nmodal TfrmX\n  click b\nend\n", "x");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[0].words, (std::vector<std::string>{"type", "edtNome", "say \"hi\""}));
    ASSERT_EQ(steps[1].block.size(), 1u);
    EXPECT_EQ(steps[1].block[0].line, 4);
}

} // namespace
