#include "EventLog.h"

#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TButton.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TEdit.h"
#include "services/ui/TfrmRotiGeral.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A dialog asking for a name; confirming refuses an empty one.
class TfrmNome : public TfrmRotiGeral {
public:
    explicit TfrmNome(TComponent* owner) : TfrmRotiGeral(owner) {
        edtNome = Add<TEdit>("edtNome", this);
        edtNome->SetTabOrder(0);
    }
    void sbtConfirmaClick(TObject* Sender) override {
        TfrmRotiGeral::sbtConfirmaClick(Sender);
        if (EmptyString(edtNome->Text())) {
            edtNome->SetFocus();
            MensErro("Nome deve ser informado.");
        }
        chosen = edtNome->Text();
        SetModalResult(mrOk);
    }
    TEdit* edtNome;
    std::string chosen;
};

// A screen whose button runs a long operation the way every screen does: hourglass, progress
// window, a dataset-style handler detached for the loop.
class TfrmOperacao : public TForm {
public:
    explicit TfrmOperacao(TComponent* owner) : TForm(owner) {
        btnExecutar = Add<TButton>("btnExecutar", this);
        btnNome = Add<TButton>("btnNome", this);
        afterPost = [this] { log.add("after post"); };
        btnExecutar->OnClick = [this](TObject*) { executar(); };
        btnNome->OnClick = [this](TObject*) {
            auto* dialog = Application::instance().createForm<TfrmNome>(this);
            dialogRef = dialog;
            if (dialog->ShowModal() == mrOk) name = dialog->chosen;
            if (openAfterDialog)
                *openAfterDialog = Application::instance().findForm("TfrmOperacao") == this;
        };
    }
    void executar() {
        CursorGuard cursor;
        ProgressGuard progress(this, 6, "Calculando");
        HandlerGuard<std::function<void()>> detached(afterPost);
        log.add(afterPost ? "attached inside" : "detached inside");
        if (Application::instance().platform().MessageBox(
                MessageKind::Confirmation, "Deseja continuar?", MessageButtons::YesNo) != mrYes)
            Abort();
        if (failWith) throw std::runtime_error(failWith);
        log.add("done");
    }
    TButton* btnExecutar;
    TButton* btnNome;
    std::function<void()> afterPost;
    const char* failWith = nullptr;
    std::string name;
    TForm* dialogRef = nullptr;
    bool* openAfterDialog = nullptr;
    EventLog log;
};

class EventOutcomeTest : public ::testing::Test {
protected:
    void SetUp() override { form = &driver.open<TfrmOperacao>(nullptr); }
    void expectRestored() {
        EXPECT_EQ(driver.platform().Cursor(), crDefault);
        EXPECT_FALSE(driver.platform().progressVisible());
        EXPECT_TRUE(static_cast<bool>(form->afterPost));
    }
    ScreenDriver driver;
    TfrmOperacao* form = nullptr;
};

TEST_F(EventOutcomeTest,
       GivenAConfirmationAnsweredNo_WhenTheOperationRuns_ThenItStopsSilentlyAndEveryGuardIsUndone) {
    driver.answerNo();
    EXPECT_FALSE(driver.click("btnExecutar"));
    EXPECT_EQ(form->log.take(), "detached inside");
    EXPECT_EQ(driver.messages(), "confirm: Deseja continuar? -> No\n");
    EXPECT_EQ(driver.platform().progressShows(), 1);
    expectRestored();
}

TEST_F(EventOutcomeTest, GivenAConfirmationAnsweredYes_WhenTheOperationRuns_ThenItCompletes) {
    driver.answerYes();
    EXPECT_TRUE(driver.click("btnExecutar"));
    EXPECT_EQ(form->log.take(), "detached inside, done");
    expectRestored();
    // The handler is attached again and works.
    form->afterPost();
    EXPECT_EQ(form->log.take(), "after post");
}

TEST_F(EventOutcomeTest,
       GivenAnUnexpectedFailure_WhenTheOperationRuns_ThenItIsShownAsAnErrorAndTheGuardsAreUndone) {
    form->failWith = "disco cheio";
    driver.answerYes();
    EXPECT_FALSE(driver.click("btnExecutar"));
    EXPECT_EQ(driver.messages(), "confirm: Deseja continuar? -> Yes\nerror: disco cheio\n");
    expectRestored();
}

TEST_F(EventOutcomeTest, GivenNoAnswerScripted_WhenAQuestionIsAsked_ThenItIsAnsweredNoAndNoted) {
    driver.click("btnExecutar");
    ASSERT_EQ(driver.platform().unscriptedQuestions().size(), 1u);
    EXPECT_EQ(driver.platform().unscriptedQuestions()[0], "Deseja continuar?");
    expectRestored();
}

TEST_F(EventOutcomeTest,
       GivenAModalDialogScript_WhenTheDialogOpens_ThenTheScriptOperatesItAndItsResultComesBack) {
    driver.onModal("TfrmNome", [](ScreenDriver& d) {
        EXPECT_EQ(d.focusedName(), "edtNome");
        // An empty name is refused and the dialog stays open.
        d.click("sbtConfirma");
        EXPECT_EQ(d.form().ModalResult(), mrNone);
        d.type("Maria");
        d.click("sbtConfirma");
    });
    EXPECT_TRUE(driver.click("btnNome"));
    EXPECT_EQ(form->name, "Maria");
    EXPECT_EQ(driver.messages(), "error: Nome deve ser informado.\n");
    // The dialog frees itself on closing once the event is over.
    EXPECT_FALSE(driver.isOpen(form->dialogRef));
    EXPECT_TRUE(driver.isOpen(form));
}

TEST_F(EventOutcomeTest,
       GivenAModalDialogCancelledOrWithoutScript_WhenItOpens_ThenTheCallerSeesACancel) {
    driver.onModal("TfrmNome", [](ScreenDriver& d) {
        d.type("Jose");
        d.press("Esc");
    });
    driver.click("btnNome");
    EXPECT_EQ(form->name, "");

    HeadlessPlatform other;
    driver.app().setPlatform(other);
    driver.click("btnNome");
    driver.app().setPlatform(driver.platform());
    EXPECT_EQ(form->name, "");
    ASSERT_EQ(other.unscriptedModals().size(), 1u);
}

TEST_F(EventOutcomeTest,
       GivenAScriptFault_WhenItHappensInsideAModalDialog_ThenItReachesTheScriptRunnerUnshown) {
    driver.onModal("TfrmNome", [](ScreenDriver& d) { d.click("btnNaoExiste"); });
    EXPECT_THROW(driver.click("btnNome"), ScriptError);
    EXPECT_EQ(driver.messages(), "");
}

TEST_F(EventOutcomeTest,
       GivenTheScreenIsClosedFromInsideItsOwnDialog_ThenItIsFreedOnlyWhenTheOpeningEventIsOver) {
    form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    TfrmOperacao* screen = form;
    driver.onModal("TfrmNome", [screen](ScreenDriver& d) {
        d.act([screen] { screen->Close(); });
        d.click("sbtCancel");
    });
    bool openAfterDialog = false;
    form->openAfterDialog = &openAfterDialog;
    driver.click("btnNome");
    // The handler that opened the dialog still had its screen when the dialog returned.
    EXPECT_TRUE(openAfterDialog);
    EXPECT_FALSE(driver.isOpen(screen));
}

TEST_F(EventOutcomeTest,
       GivenAScreenAlreadyShowing_WhenShownAgain_ThenItsShowHandlerDoesNotRunAgain) {
    int shows = 0;
    form->OnShow = [&shows](TObject*) { ++shows; };
    driver.act([this] { form->Show(); });
    EXPECT_EQ(shows, 0);
    driver.act([this] {
        form->Close();
        form->Show();
    });
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(driver.platform().shownForms().size(), 1u);
}

TEST(DialogLayoutTest, GivenADialogNarrowerThanTheDefault_ThenConfirmAndCancelStayAtItsRightEdge) {
    ScreenDriver driver;
    auto& dialog = driver.open<TfrmNome>(nullptr);
    dialog.SetBounds(0, 0, 440, 300);
    EXPECT_EQ(dialog.sbtCancel->Left() + dialog.sbtCancel->Width(), 440 - 6);
    EXPECT_LT(dialog.sbtConfirma->Left() + dialog.sbtConfirma->Width(), dialog.sbtCancel->Left());
}

} // namespace
