#include "GridForm.h"

#include "services/ui/FileOptionStore.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TfrmFiltroPadrao.h"
#include "services/ui/TfrmPadraoGrid.h"
#include "services/ui/TfrmPesquisaLista.h"
#include "services/ui/TfrmProcura.h"
#include "services/ui/testing/FixedHost.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace {

// The grid form plus the library's pickers wired to its dataset, which has a mark column.
class TfrmPicker : public TfrmGrade {
public:
    explicit TfrmPicker(TComponent* owner) : TfrmGrade(owner) {
        btnVersao = Add<TBtnPesquisa>("BtnPesqVer", this);
        btnVersao->DataSource = &dtsItens;
        btnVersao->KeyField = "CDFILIAL";
        btnVersao->Title = "Filial";
        btnVersao->EmptyText = "Não há filiais cadastradas.";
        btnVersao->Edit = edtOutro;
        btnVersao->BeforePesq = [this](TObject*) { log.add("before"); };
        btnVersao->AfterPesq = [this](TObject*) { log.add("after " + edtOutro->Text()); };
    }
    TBtnPesquisa* btnVersao;
};

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = &driver.open<TfrmPicker>(nullptr);
        ds = &form->cdsItens;
    }
    ScreenDriver driver;
    TfrmPicker* form = nullptr;
    TClientDataSet* ds = nullptr;
};

// The grid form's dataset has no IDMARCADO; the picker tests use their own list dataset.
class ListPickerTest : public ::testing::Test {
protected:
    ListPickerTest() : cds("cdsListaFilial"), dts("dtsFilial", &cds) {
        cds.AddField("IDMARCADO", FieldType::String, 1);
        cds.AddField("CDFILIAL", FieldType::String, 4).SetDisplayLabel("Código");
        cds.AddField("NMFILIAL", FieldType::String, 30).SetDisplayLabel("Filial");
        cds.CreateDataSet();
    }
    void fill() {
        for (const char* code : {"0001", "0002", "0003"}) {
            cds.Append();
            cds.FieldByName("IDMARCADO").SetAsString("N");
            cds.FieldByName("CDFILIAL").SetAsString(code);
            cds.FieldByName("NMFILIAL").SetAsString(std::string("Filial ") + code);
            cds.Post();
        }
    }
    bool pick(const std::string& title, std::string& list) {
        bool result = false;
        driver.act([&] { result = PesquisaLista(&dts, "CDFILIAL", title, true, list); });
        return result;
    }
    ScreenDriver driver;
    TClientDataSet cds;
    TDataSource dts;
};

TEST_F(ListPickerTest,
       GivenRowsMarkedByTheOperator_WhenConfirmed_ThenTheListHoldsTheirKeysBetweenUnderscores) {
    fill();
    driver.onModal("TfrmPesquisaLista", [](ScreenDriver& d) {
        EXPECT_EQ(d.form().Caption(), "Filial");
        d.dblClickCell("dbgLista", 0, "NMFILIAL");
        d.clickCell("dbgLista", 2, "IDMARCADO");
        d.focus("dbgLista");
        d.press("Space");
        d.press("Space");
        d.click("sbtConfirma");
    });
    std::string list = "T";
    EXPECT_TRUE(pick("Filial|Não há filial cadastrada.", list));
    EXPECT_EQ(list, "_0001_0003_");
    EXPECT_EQ(driver.messages(), "");
}

TEST_F(ListPickerTest, GivenAListAlreadyChosen_WhenThePickerOpensAgain_ThenThoseRowsStartMarked) {
    fill();
    driver.onModal("TfrmPesquisaLista", [](ScreenDriver& d) {
        EXPECT_EQ(d.form().Find<TDBGrid>("dbgLista")->CellStyle(1, 0).picture,
                  TCheckPicture::Checked);
        EXPECT_EQ(d.form().Find<TDBGrid>("dbgLista")->CellStyle(0, 0).picture,
                  TCheckPicture::Unchecked);
        d.click("btnMarcarTodos");
        d.click("sbtConfirma");
    });
    std::string list = "_0002_";
    EXPECT_TRUE(pick("Filial", list));
    EXPECT_EQ(list, "_0001_0002_0003_");
}

TEST_F(ListPickerTest, GivenThePickerIsCancelledOrConfirmedEmpty_ThenTheListIsKeptOrEmptied) {
    fill();
    driver.onModal("TfrmPesquisaLista", [](ScreenDriver& d) {
        d.dblClickCell("dbgLista", 0, "CDFILIAL");
        d.click("sbtCancel");
    });
    std::string list = "_0002_";
    EXPECT_FALSE(pick("Filial", list));
    EXPECT_EQ(list, "_0002_");

    driver.onModal("TfrmPesquisaLista", [](ScreenDriver& d) {
        d.click("btnDesmarcarTodos");
        d.click("sbtConfirma");
    });
    EXPECT_TRUE(pick("Filial", list));
    EXPECT_EQ(list, "");
}

TEST_F(ListPickerTest,
       GivenAnEmptyDataset_WhenThePickerIsAsked_ThenTheTitlesSecondPartIsShownAndNothingChanges) {
    std::string list = "_0001_";
    EXPECT_FALSE(pick("Filial|Não há filial cadastrada.", list));
    EXPECT_EQ(list, "_0001_");
    EXPECT_EQ(driver.messages(), "info: Não há filial cadastrada.\n");
    EXPECT_TRUE(driver.platform().modalsRun().empty());
}

TEST_F(PickerTest,
       GivenASearchButton_WhenTheOperatorPicksARow_ThenTheKeyGoesToItsEditBetweenTheTwoHandlers) {
    driver.onModal("TfrmPesquisa", [](ScreenDriver& d) {
        d.clickCell("dbgPesquisa", 1, "NMFILIAL");
        d.press("Enter");
    });
    form->log.take();
    EXPECT_TRUE(driver.click("BtnPesqVer"));
    // The click takes the focus to the button first.
    EXPECT_EQ(form->log.take(), "grid exit, before, after 0002");
    EXPECT_EQ(form->edtOutro->Text(), "0002");

    driver.onModal("TfrmPesquisa", [](ScreenDriver& d) { d.click("sbtCancel"); });
    driver.click("BtnPesqVer");
    EXPECT_EQ(form->log.take(), "before");

    form->btnVersao->BeforePesq = [this](TObject*) { ds->EmptyDataSet(); };
    driver.click("BtnPesqVer");
    EXPECT_EQ(driver.messages(), "info: Não há filiais cadastradas.\n");
}

TEST_F(PickerTest,
       GivenTheSearchDialog_WhenAValueIsFoundOrNot_ThenTheDatasetIsPositionedOrTheDialogSaysSo) {
    driver.onModal("TfrmProcura", [](ScreenDriver& d) {
        d.selectItem("cbxCampo", "NMFILIAL");
        d.typeInto("edtValor", "xyz");
        d.click("sbtConfirma");
        EXPECT_EQ(d.focusedName(), "edtValor");
        d.typeInto("edtValor", "su");
        d.click("sbtConfirma");
    });
    bool found = false;
    driver.act([&] { found = Procura(ds); });
    EXPECT_TRUE(found);
    EXPECT_EQ(ds->FieldByName("CDFILIAL").AsString(), "0003");
    EXPECT_EQ(driver.messages(), "error: Registro não encontrado.\n");
}

struct TestHost : FixedHost {
    TestHost() {
        op = "ANA";
        name = "Ana";
        port = 0;
    }
};

class TfrmFiltroTeste : public TfrmFiltroPadrao {
public:
    using TfrmFiltroPadrao::TfrmFiltroPadrao;
    std::string stListaFil = "T";
    void btfSaveOpcClick(TObject* Sender) override {
        SetOpcao("stListaFil", stListaFil);
        TfrmFiltroPadrao::btfSaveOpcClick(Sender);
    }
    void btfLoadOpcClick(TObject* Sender) override {
        TfrmFiltroPadrao::btfLoadOpcClick(Sender);
        stListaFil = Opcao("stListaFil");
    }
};

TEST(FilterOptionsTest,
     GivenOptionsSavedByOneOperator_WhenLoaded_ThenTheyComeBackOnlyForThatOperator) {
    ScreenDriver driver;
    TestHost host;
    driver.app().setHost(&host);
    auto& dialog = driver.open<TfrmFiltroTeste>(nullptr);
    dialog.stListaFil = "_0001_0002_";
    driver.click("btfSaveOpc");
    dialog.stListaFil = "T";
    driver.click("btfLoadOpc");
    EXPECT_EQ(dialog.stListaFil, "_0001_0002_");

    host.op = "BETO";
    dialog.stListaFil = "T";
    driver.clearMessages();
    EXPECT_FALSE(driver.click("btfLoadOpc"));
    EXPECT_EQ(dialog.stListaFil, "T");
    EXPECT_EQ(driver.messages(), "error: Não há opções gravadas para este operador.\n");
}

TEST(FilterOptionsTest, GivenTheShellsSettingsFile_WhenOptionsAreSaved_ThenANewStoreReadsThemBack) {
    auto path = std::filesystem::temp_directory_path() /
                ("fyn-options-" + std::to_string(::getpid()) + ".txt");
    std::filesystem::remove(path); // an old run's file under a reused process id
    {
        FileOptionStore store(path.string());
        store.set("ANA", "TfrmFiltroCalculoOrc", "stListaFil", "_0001_\tcom\\tab\n");
        store.set("ANA", "TfrmFiltroCalculoOrc", "stListaReg", "T");
    }
    FileOptionStore again(path.string());
    auto all = again.all("ANA", "TfrmFiltroCalculoOrc");
    std::filesystem::remove(path);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all["stListaFil"], "_0001_\tcom\\tab\n");
    EXPECT_EQ(all["stListaReg"], "T");
    EXPECT_FALSE(again.get("BETO", "TfrmFiltroCalculoOrc", "stListaReg").has_value());

    FileOptionStore nowhere(
        (std::filesystem::temp_directory_path() / "fyn-no-such-dir" / "o.txt").string());
    EXPECT_THROW(nowhere.set("ANA", "TfrmX", "stListaFil", "_0001_"), std::runtime_error);
    EXPECT_FALSE(nowhere.get("ANA", "TfrmX", "stListaFil").has_value());
}

// A maintenance screen over the grid form's kind of dataset.
class TfrmCadastro : public TfrmPadraoGrid {
public:
    explicit TfrmCadastro(TComponent* owner) : TfrmPadraoGrid(owner), cdsDados("cdsDados") {
        cdsDados.AddField("CDFILIAL", FieldType::String, 4);
        cdsDados.AddField("NMFILIAL", FieldType::String, 30);
        cdsDados.CreateDataSet();
        for (const char* code : {"0001", "0002"}) {
            cdsDados.Append();
            cdsDados.FieldByName("CDFILIAL").SetAsString(code);
            cdsDados.Post();
        }
        dtsPadrao.SetDataSet(&cdsDados);
        dbgPadrao->AddColumn("CDFILIAL");
        dbgPadrao->AddColumn("NMFILIAL");
        RegisterDataSet("cdsDados", &cdsDados);
    }
    ~TfrmCadastro() override { DestroyComponents(); }
    TClientDataSet cdsDados;
};

TEST(BaseScreenTest,
     GivenTheMaintenanceScreen_WhenEditingThroughItsButtons_ThenStatesAndEnablingFollow) {
    ScreenDriver driver;
    auto& screen = driver.open<TfrmCadastro>(nullptr);
    EXPECT_TRUE(screen.sbtAlterar->Enabled());
    EXPECT_FALSE(screen.sbtConfirmar->Enabled());

    driver.click("sbtAlterar");
    EXPECT_EQ(screen.cdsDados.State(), dsEdit);
    EXPECT_EQ(driver.focusedName(), "dbgPadrao");
    EXPECT_TRUE(screen.sbtConfirmar->Enabled());
    EXPECT_FALSE(screen.sbtAlterar->Enabled());

    driver.clickCell("dbgPadrao", 0, "NMFILIAL");
    driver.type("Centro");
    driver.click("mnuConfirmar");
    EXPECT_EQ(screen.cdsDados.State(), dsBrowse);
    EXPECT_EQ(screen.cdsDados.FieldByName("NMFILIAL").AsString(), "Centro");

    driver.type("X");
    driver.click("sbtCancelar");
    EXPECT_EQ(screen.cdsDados.FieldByName("NMFILIAL").AsString(), "Centro");

    driver.answerNo();
    driver.click("sbtExcluir");
    EXPECT_EQ(screen.cdsDados.RecordCount(), 2);
    driver.answerYes();
    driver.click("sbtExcluir");
    EXPECT_EQ(screen.cdsDados.RecordCount(), 1);

    // Closing frees the screen.
    driver.click("mnuSair");
    EXPECT_FALSE(driver.isOpen(&screen));
}

} // namespace
