#include "EventLog.h"

#include "services/data/NumberFormat.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

namespace {

class TfrmPaginas : public TForm {
public:
    explicit TfrmPaginas(TComponent* owner) : TForm(owner) {
        pgc = Add<TPageControl>("pgcOrcamento", this);
        tshFatur = Add<TTabSheet>("tshFaturBruto");
        tshFatur->SetPageControl(pgc);
        edtFatur = Add<TEdit>("edtFatur", tshFatur);
        tshConsumo = Add<TTabSheet>("tshConsumo");
        tshConsumo->SetPageControl(pgc);
        edtConsumo = Add<TEdit>("edtConsumo", tshConsumo);
        tshTxAdm = Add<TTabSheet>("tshTxAdm");
        tshTxAdm->SetPageControl(pgc);
        pgc->OnChanging = [this](TObject*, bool& allow) {
            log.add("changing from " + pgc->ActivePage()->Name());
            allow = allowChange;
        };
        pgc->OnChange = [this](TObject*) { log.add("change to " + pgc->ActivePage()->Name()); };
        edtFatur->OnExit = [this](TObject*) { log.add("exit edtFatur"); };
    }
    TPageControl* pgc;
    TTabSheet* tshFatur;
    TEdit* edtFatur;
    TTabSheet* tshConsumo;
    TEdit* edtConsumo;
    TTabSheet* tshTxAdm;
    bool allowChange = true;
    EventLog log;
};

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = &driver.open<TfrmPaginas>(nullptr);
        driver.focus("edtFatur");
        form->log.take();
    }
    ScreenDriver driver;
    TfrmPaginas* form = nullptr;
};

TEST_F(PagesTest,
       GivenTheOperatorChoosesAPage_ThenTheFocusLeavesTheOldPageAndTheChangeIsAnnounced) {
    EXPECT_TRUE(driver.choosePage("pgcOrcamento", "tshConsumo"));
    EXPECT_EQ(form->log.take(), "changing from tshFaturBruto, exit edtFatur, change to tshConsumo");
    EXPECT_EQ(form->pgc->ActivePage(), form->tshConsumo);
    // Controls of a page that is not showing cannot take the focus.
    EXPECT_FALSE(form->edtFatur->CanFocus());
    EXPECT_TRUE(form->edtConsumo->CanFocus());
}

TEST_F(PagesTest, GivenOnChangingRefuses_WhenAPageIsChosen_ThenThePageStaysAndNoChangeFires) {
    form->allowChange = false;
    EXPECT_FALSE(driver.choosePage("pgcOrcamento", "tshConsumo"));
    EXPECT_EQ(form->log.take(), "changing from tshFaturBruto");
    EXPECT_EQ(form->pgc->ActivePage(), form->tshFatur);
    EXPECT_EQ(driver.focusedName(), "edtFatur");
}

TEST_F(PagesTest, GivenDisabledOrHiddenTabs_WhenChosen_ThenTheyAreRefusedWithoutAsking) {
    form->tshConsumo->SetEnabled(false);
    form->tshTxAdm->SetTabVisible(false);
    EXPECT_FALSE(driver.choosePage("pgcOrcamento", "tshConsumo"));
    EXPECT_FALSE(driver.choosePage("pgcOrcamento", "tshTxAdm"));
    EXPECT_EQ(form->log.take(), "");
    EXPECT_EQ(form->pgc->ActivePage(), form->tshFatur);

    // The program may still show a disabled page; that announces nothing.
    form->pgc->SetActivePage(form->tshConsumo);
    EXPECT_EQ(form->pgc->ActivePage(), form->tshConsumo);
    EXPECT_EQ(form->log.take(), "exit edtFatur");
}

class TfrmControles : public TForm {
public:
    explicit TfrmControles(TComponent* owner) : TForm(owner) {
        grbFil = Add<TGroupBox>("grbFil", this);
        rbtTodas = Add<TRadioButton>("rbtTdListFil", grbFil);
        rbtLista = Add<TRadioButton>("rbtListFil", grbFil);
        grbReg = Add<TGroupBox>("grbReg", this);
        rbtTdReg = Add<TRadioButton>("rbtTdReg", grbReg);
        ckbTodos = Add<TCheckBox>("ckbTodos", this);
        cbxMes = Add<TComboBox>("cbxMes", this);
        speAno = Add<TSpinEdit>("speAno", this);
        nbeValor = Add<TNumberEdit>("nbeValor", this);
        depData = Add<TDateEditPlus>("depData", this);
        for (TWinControl* c :
             {static_cast<TWinControl*>(rbtTodas), static_cast<TWinControl*>(rbtLista),
              static_cast<TWinControl*>(rbtTdReg), static_cast<TWinControl*>(ckbTodos)})
            c->OnClick = [this, c](TObject*) { log.add("click " + c->Name()); };
    }
    TGroupBox* grbFil;
    TRadioButton* rbtTodas;
    TRadioButton* rbtLista;
    TGroupBox* grbReg;
    TRadioButton* rbtTdReg;
    TCheckBox* ckbTodos;
    TComboBox* cbxMes;
    TSpinEdit* speAno;
    TNumberEdit* nbeValor;
    TDateEditPlus* depData;
    EventLog log;
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override { form = &driver.open<TfrmControles>(nullptr); }
    ScreenDriver driver;
    TfrmControles* form = nullptr;
};

TEST_F(ControlsTest,
       GivenRadioButtonsInTwoContainers_WhenOneIsChecked_ThenOnlyItsOwnGroupIsCleared) {
    form->rbtTdReg->SetChecked(true);
    driver.click("rbtTdListFil");
    driver.click("rbtListFil");
    EXPECT_FALSE(form->rbtTodas->Checked());
    EXPECT_TRUE(form->rbtLista->Checked());
    EXPECT_TRUE(form->rbtTdReg->Checked());
    // Clicking the checked one again changes nothing and announces nothing.
    driver.click("rbtListFil");
    EXPECT_EQ(form->log.take(), "click rbtTdReg, click rbtTdListFil, click rbtListFil");

    SetChildEnabled(form->grbFil, false);
    EXPECT_FALSE(form->rbtTodas->Enabled());
    EXPECT_TRUE(form->grbFil->Enabled());
    driver.act([this] { form->rbtTodas->Click(); });
    EXPECT_TRUE(form->rbtLista->Checked());
}

TEST_F(ControlsTest, GivenACheckBoxAndACombo_WhenOperated_ThenStatesAndEventsFollow) {
    driver.focus("ckbTodos");
    driver.press("Space");
    EXPECT_TRUE(form->ckbTodos->Checked());
    driver.click("ckbTodos");
    EXPECT_FALSE(form->ckbTodos->Checked());
    EXPECT_EQ(form->log.take(), "click ckbTodos, click ckbTodos");

    form->cbxMes->SetItems({"JAN", "FEV", "MAR"});
    form->cbxMes->OnChange = [this](TObject*) { form->log.add("change " + form->cbxMes->Text()); };
    form->cbxMes->SetItemIndex(0);
    EXPECT_EQ(form->log.take(), "");
    driver.selectItem("cbxMes", "MAR");
    EXPECT_EQ(form->cbxMes->ItemIndex(), 2);
    EXPECT_EQ(form->log.take(), "change MAR");
    EXPECT_THROW(driver.selectItem("cbxMes", "ABR"), ScriptError);
}

TEST_F(ControlsTest, GivenNumberYearAndDateBoxes_WhenTyped_ThenTheirValuesReadBack) {
    form->speAno->SetRange(1990, 2999);
    driver.typeInto("speAno", "3500");
    EXPECT_EQ(form->speAno->Value(), 3500);
    driver.focus("nbeValor");
    // Leaving brings the year back into its range.
    EXPECT_EQ(form->speAno->Value(), 2999);
    driver.focus("speAno");
    driver.press("Down");
    EXPECT_EQ(form->speAno->Text(), "2998");

    driver.typeInto("nbeValor", "1.234,5");
    EXPECT_DOUBLE_EQ(form->nbeValor->GetNumber(), 1234.5);
    form->nbeValor->SetNumber(-98765.432);
    EXPECT_EQ(form->nbeValor->Text(), "-98.765,43");

    driver.typeInto("depData", "05032009");
    EXPECT_EQ(form->depData->Text(), "05/03/2009");
    EXPECT_DOUBLE_EQ(form->depData->GetDate(), EncodeDate(2009, 3, 5));
    form->depData->SetDate(0);
    EXPECT_EQ(form->depData->GetDate(), 0);
    EXPECT_TRUE(form->depData->IsValidDate());

    driver.typeInto("depData", "31022009");
    EXPECT_FALSE(form->depData->IsValidDate());
    EXPECT_FALSE(driver.act([this] { form->depData->CheckValidDate(); }));
    EXPECT_EQ(driver.messages(), "error: \"31/02/2009\" não é uma data válida.\n");
}

} // namespace
