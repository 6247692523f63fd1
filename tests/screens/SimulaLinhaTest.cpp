// The pattern every line dialog of the result simulation shares: the months of the period in
// the version's order, the month grid's key filter, the toolbar's enabling and the modal run
// that hands the datasets back.
#include "ScreenFixture.h"

#include "services/data/TClientDataSet.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/items/TfrmSimulaLinha.h"

#include <gtest/gtest.h>

namespace {

std::string meses(const std::vector<TfrmSimulaLinha::MesDoAno>& lista) {
    std::string texto;
    for (const auto& m : lista)
        texto +=
            (texto.empty() ? "" : " ") + std::to_string(m.posicao) + ":" + std::to_string(m.mes);
    return texto;
}

// The smallest line dialog: one item, its months, the value column "VALOR".
class TfrmLinhaDeTeste : public TfrmSimulaLinha {
public:
    static inline bool boIdCriado = false;
    TClientDataSet cdsItens{"cdsItens"};
    TClientDataSet cdsMeses{"cdsMeses"};

    explicit TfrmLinhaDeTeste(TComponent* owner) : TfrmSimulaLinha(owner) {
        cdsItens.AddField("CDITEM", FieldType::String, 3);
        cdsItens.AddField("IDITEMORCAMENTO", FieldType::String, 1);
        cdsItens.CreateDataSet();
        cdsMeses.AddField("NMMES", FieldType::String, 20);
        cdsMeses.AddField("VALOR", FieldType::Float);
        cdsMeses.AddField("IDPERMCALC", FieldType::String, 1);
        cdsMeses.CreateDataSet();
        dtsPadrao.SetDataSet(&cdsItens);
        Monta("frmLinhaDeTeste", "Linha de Teste", "FYN00000", "dbgItensSimulacao", cdsMeses);
        dbgPadrao->AddColumn("CDITEM", "Item");
        dbgMeses->AddColumn("NMMES", "Mês").SetReadOnly(true);
        dbgMeses->AddColumn("VALOR", "Valor");
        dbgMeses->OnKeyPress = [this](TObject*, TKeyChar& k) {
            FiltraTeclaMes(k, {"VALOR"}, ItemEfetivado());
        };
        cdsMeses.AfterScroll = [this](TClientDataSet&) { AjustaEdicaoDoMes(); };
    }
    ~TfrmLinhaDeTeste() override { DestroyComponents(); }
    void FormClose(TObject* Sender, TCloseAction& Action) override {
        boIdCriado = false;
        TfrmSimulaLinha::FormClose(Sender, Action);
    }
    std::vector<DataPacket> Pacotes() const override { return {cdsItens.Data(), cdsMeses.Data()}; }

    void item(const std::string& codigo, const std::string& flag) {
        cdsItens.Append();
        cdsItens.FieldByName("CDITEM").SetAsString(codigo);
        cdsItens.FieldByName("IDITEMORCAMENTO").SetAsString(flag);
        cdsItens.Post();
    }
    void mes(const std::string& nome, double valor, const std::string& permissao) {
        cdsMeses.Append();
        cdsMeses.FieldByName("NMMES").SetAsString(nome);
        cdsMeses.FieldByName("VALOR").SetAsFloat(valor);
        cdsMeses.FieldByName("IDPERMCALC").SetAsString(permissao);
        cdsMeses.Post();
    }
};

class SimulaLinha : public ScreenFixture {
protected:
    // Toolbar as "Alterar Procurar Confirmar Cancelar Verificar" with + or -.
    static std::string toolbar(TfrmSimulaLinha& d) {
        std::string s;
        for (auto [nome, botao] : {std::pair{"Incluir", d.sbtIncluir},
                                   {"Alterar", d.sbtAlterar},
                                   {"Excluir", d.sbtExcluir},
                                   {"Procurar", d.sbtProcurar},
                                   {"Confirmar", d.sbtConfirmar},
                                   {"Cancelar", d.sbtCancelar},
                                   {"Verificar", d.sbtVerificar},
                                   {"Imprimir", d.sbtImprimir}})
            s += std::string(s.empty() ? "" : " ") + (botao->Enabled() ? "+" : "-") + nome;
        return s;
    }
};

} // namespace

TEST(SimulaLinhaMeses, GivenYearStartingInApril_WhenWholeYear_ThenAprilToMarchWithPositions) {
    EXPECT_EQ(meses(TfrmSimulaLinha::MesesDoAno(4, "T")),
              "1:4 2:5 3:6 4:7 5:8 6:9 7:10 8:11 9:12 10:1 11:2 12:3");
}

TEST(SimulaLinhaMeses, GivenOneMonthChosen_ThenOnlyThatMonthAtItsPositionInTheBudgetYear) {
    EXPECT_EQ(meses(TfrmSimulaLinha::MesesDoAno(1, "5")), "5:5");
    EXPECT_EQ(meses(TfrmSimulaLinha::MesesDoAno(4, "5")), "2:5");
    EXPECT_EQ(meses(TfrmSimulaLinha::MesesDoAno(4, "3")), "12:3");
    // An unknown first month counts from January.
    EXPECT_EQ(meses(TfrmSimulaLinha::MesesDoAno(0, "12")), "12:12");
    EXPECT_EQ(meses(TfrmSimulaLinha::MesesDoAno(1, "13")), "");
}

TEST(SimulaLinhaMeses, GivenAZeroBase_ThenTheShareIsZeroElseRoundedToTwoPlaces) {
    EXPECT_EQ(TfrmSimulaLinha::Participacao(1500, 0), 0.0);
    EXPECT_EQ(TfrmSimulaLinha::Participacao(5000, 80000), 6.25);
    EXPECT_EQ(TfrmSimulaLinha::Participacao(1, 3), 33.33);
    EXPECT_EQ(TfrmSimulaLinha::Ajusta(5) + TfrmSimulaLinha::Ajusta(12), "0512");
    EXPECT_EQ(TfrmSimulaLinha::Abreviatura(3) + TfrmSimulaLinha::Abreviatura(0), "MAR");
}

TEST_F(SimulaLinha, GivenTheMonthGrid_WhenKeysAreTyped_ThenOnlyValueColumnsOfOpenItemsTakeThem) {
    auto* d = app.createModuleForm<TfrmLinhaDeTeste>(kModuleCode, nullptr);
    d->item("001", "");
    d->mes("Janeiro", 10, "S");
    d->Show();
    d->FocusControl(d->dbgMeses);
    auto typed = [&](int coluna, TKeyChar k) {
        d->dbgMeses->SetSelectedIndex(coluna);
        TKeyChar key = k;
        d->dbgMeses->OnKeyPress(d->dbgMeses, key);
        return key == 0 ? std::string("-") : std::string("+");
    };
    std::string got;
    for (TKeyChar k : {U'7', U',', U'\b', U'-', U'e', U'+'})
        got += typed(1, k);
    got += " ";
    for (TKeyChar k : {U'7', U'\t', U'.'})
        got += typed(0, k);
    d->cdsItens.Edit();
    d->cdsItens.FieldByName("IDITEMORCAMENTO").SetAsString("E");
    d->cdsItens.Post();
    got += " " + typed(1, U'7') + typed(1, U'\t');
    EXPECT_EQ(got, "+++--- -++ --");
    EXPECT_EQ(d->MesDoNome("Março"), 3);
    EXPECT_EQ(d->MesDoNome("Marco"), 0);
    delete d;
}

TEST_F(SimulaLinha, GivenAClosedMonth_WhenScrolledTo_ThenTheGridStopsTakingTyping) {
    auto* d = app.createModuleForm<TfrmLinhaDeTeste>(kModuleCode, nullptr);
    d->mes("Janeiro", 10, "S");
    d->mes("Fevereiro", 20, "N");
    std::string got;
    d->cdsMeses.First();
    got += d->dbgMeses->HasOption(dgEditing) ? "edita " : "fechado ";
    d->cdsMeses.Next();
    got += d->dbgMeses->HasOption(dgEditing) ? "edita " : "fechado ";
    d->cdsMeses.First();
    got += d->dbgMeses->HasOption(dgEditing) ? "edita" : "fechado";
    EXPECT_EQ(got, "edita fechado edita");
    delete d;
}

TEST_F(SimulaLinha, GivenTheDialog_WhenFocusAndEditChange_ThenTheToolbarFollows) {
    auto* d = app.createModuleForm<TfrmLinhaDeTeste>(kModuleCode, nullptr);
    d->item("001", "");
    d->mes("Janeiro", 10, "S");
    d->Show();
    d->FocusControl(d->dbgPadrao);
    EXPECT_EQ(toolbar(*d),
              "-Incluir -Alterar -Excluir +Procurar -Confirmar -Cancelar +Verificar -Imprimir");
    d->FocusControl(d->dbgMeses);
    EXPECT_EQ(toolbar(*d),
              "-Incluir +Alterar -Excluir -Procurar -Confirmar -Cancelar +Verificar -Imprimir");
    d->cdsMeses.Edit();
    EXPECT_EQ(toolbar(*d),
              "-Incluir -Alterar -Excluir -Procurar +Confirmar +Cancelar -Verificar -Imprimir");
    EXPECT_FALSE(d->dbgPadrao->Enabled());
    d->cdsMeses.Post();
    EXPECT_TRUE(d->dbgPadrao->Enabled());
    d->cdsItens.Edit();
    d->cdsItens.FieldByName("IDITEMORCAMENTO").SetAsString("E");
    d->cdsItens.Post();
    EXPECT_FALSE(d->sbtAlterar->Enabled());
    delete d;
}

TEST_F(SimulaLinha, GivenTheModalRun_WhenTheDialogCloses_ThenItsPacketsComeBackAndItIsFreed) {
    platform.onModal("TfrmLinhaDeTeste", [](TForm& f) {
        auto& d = static_cast<TfrmLinhaDeTeste&>(f);
        d.item("007", "A");
        d.mes("Julho", 70, "S");
        d.Close();
    });
    int preparado = 0;
    auto pacotes = TfrmSimulaLinha::Executa<TfrmLinhaDeTeste>([&](TfrmLinhaDeTeste& d) {
        ++preparado;
        d.item("001", "");
    });
    ASSERT_EQ(pacotes.size(), 2u);
    TClientDataSet itens, mesesDs;
    itens.SetData(pacotes[0]);
    mesesDs.SetData(pacotes[1]);
    EXPECT_EQ(codes(itens, "CDITEM") + " / " + codes(mesesDs, "NMMES"), "001 007 / Julho");
    EXPECT_EQ(preparado, 1);
    EXPECT_FALSE(TfrmLinhaDeTeste::boIdCriado);
    EXPECT_EQ(app.findForm("TfrmLinhaDeTeste"), nullptr);
}
