#include "EventLog.h"

#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenu.h"
#include "services/ui/TPanel.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

namespace {

// A key code whose character only the keyboard knows.
constexpr TKeyCode VK_OEM_COMMA_FOR_TEST = 188;

// panOuter { panInner { edtA }, edtB }, panOther { edtC }, and a menu item with Ctrl+L.
class TfrmFoco : public TForm {
public:
    explicit TfrmFoco(TComponent* owner) : TForm(owner) {
        panOuter = Add<TPanel>("panOuter", this);
        panInner = Add<TPanel>("panInner", panOuter);
        edtA = Add<TEdit>("edtA", panInner);
        edtB = Add<TEdit>("edtB", panOuter);
        panOther = Add<TPanel>("panOther", this);
        edtC = Add<TEdit>("edtC", panOther);
        mnuFiltro = Add<TMenuItem>("mnuFiltro");
        mnuFiltro->SetShortCut(ShortCut('L', ssCtrl));
        for (TWinControl* c :
             {static_cast<TWinControl*>(panOuter), static_cast<TWinControl*>(panInner),
              static_cast<TWinControl*>(edtA), static_cast<TWinControl*>(edtB),
              static_cast<TWinControl*>(panOther), static_cast<TWinControl*>(edtC)}) {
            c->OnEnter = [this, c](TObject*) { log.add("enter " + c->Name()); };
            c->OnExit = [this, c](TObject*) { log.add("exit " + c->Name()); };
        }
    }
    TPanel* panOuter;
    TPanel* panInner;
    TEdit* edtA;
    TEdit* edtB;
    TPanel* panOther;
    TEdit* edtC;
    TMenuItem* mnuFiltro;
    EventLog log;
};

class FocusTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = &driver.open<TfrmFoco>(nullptr);
        form->log.take();
    }
    ScreenDriver driver;
    TfrmFoco* form = nullptr;
};

TEST_F(
    FocusTest,
    GivenNestedPanels_WhenFocusLeavesForAnotherPanel_ThenExitsInnermostFirstAndEntersOutermostFirst) {
    // Showing the form focused the first control: edtA inside panInner inside panOuter.
    EXPECT_EQ(driver.focusedName(), "edtA");

    driver.focus("edtC");
    EXPECT_EQ(form->log.take(),
              "exit edtA, exit panInner, exit panOuter, enter panOther, enter edtC");

    driver.focus("edtB");
    EXPECT_EQ(form->log.take(), "exit edtC, exit panOther, enter panOuter, enter edtB");

    // Within the same outer panel only the inner panel is entered.
    driver.focus("edtA");
    EXPECT_EQ(form->log.take(), "exit edtB, enter panInner, enter edtA");
}

TEST_F(FocusTest,
       GivenAnExitHandlerThatAbortsSilently_WhenFocusMoves_ThenFocusStaysAndNothingIsEntered) {
    form->panOuter->OnExit = [this](TObject*) {
        form->log.add("exit panOuter");
        Abort();
    };
    EXPECT_FALSE(driver.focus("edtC"));
    EXPECT_EQ(form->log.take(), "exit edtA, exit panInner, exit panOuter");
    EXPECT_EQ(driver.focusedName(), "edtA");
    EXPECT_EQ(driver.messages(), "");
}

TEST_F(
    FocusTest,
    GivenAnExitHandlerThatFocusesAControlAndShowsAnError_WhenFocusMoves_ThenTheFocusEndsThereWithTheMessage) {
    // The pattern of a filter panel: an empty field is focused and reported on leaving.
    form->panOuter->OnExit = [this](TObject*) {
        form->log.add("exit panOuter");
        form->edtB->SetFocus();
        MensErro("Ano deve ser informado.");
    };
    driver.focus("edtC");
    EXPECT_EQ(form->log.take(), "exit edtA, exit panInner, exit panOuter");
    EXPECT_EQ(driver.focusedName(), "edtB");
    EXPECT_EQ(driver.messages(), "error: Ano deve ser informado.\n");
}

TEST_F(FocusTest,
       GivenAnExitHandlerThatRefocusesTheControlBeingLeft_WhenFocusMoves_ThenTheFocusStaysThere) {
    form->panOuter->OnExit = [this](TObject*) {
        form->log.add("exit panOuter");
        form->edtA->SetFocus();
    };
    EXPECT_TRUE(driver.focus("edtC"));
    EXPECT_EQ(form->log.take(), "exit edtA, exit panInner, exit panOuter");
    EXPECT_EQ(driver.focusedName(), "edtA");
}

TEST_F(FocusTest,
       GivenDisabledOrHiddenControls_WhenTheyAreFocused_ThenTheFocusDoesNotMoveAndTabSkipsThem) {
    form->panOther->SetEnabled(false);
    EXPECT_THROW(driver.focus("edtC"), ScriptError);
    EXPECT_FALSE(form->edtC->SetFocus());
    form->edtB->SetVisible(false);
    EXPECT_FALSE(form->edtB->SetFocus());
    EXPECT_EQ(driver.focusedName(), "edtA");
    EXPECT_EQ(form->log.take(), "");

    // Tab wraps around to the only focusable control left.
    driver.press("Tab");
    EXPECT_EQ(driver.focusedName(), "edtA");
    form->panOther->SetEnabled(true);
    driver.press("Tab");
    EXPECT_EQ(driver.focusedName(), "edtC");
    driver.press("Shift+Tab");
    EXPECT_EQ(driver.focusedName(), "edtA");
}

class KeysTest : public FocusTest {};

TEST_F(
    KeysTest,
    GivenAKeyPressHandlerThatDropsSomeCharacters_WhenTheOperatorTypes_ThenOnlyTheOthersReachTheText) {
    form->edtA->OnKeyPress = [](TObject*, TKeyChar& key) {
        if (key == U'e' || key == U'E' || key == U'+' || key == U'-') key = 0;
    };
    driver.type("1e2-3+E4");
    EXPECT_EQ(form->edtA->Text(), "1234");
}

TEST_F(KeysTest,
       GivenAKeyPressHandlerThatChangesTheKey_WhenTheOperatorTypes_ThenTheChangedCharacterIsTyped) {
    form->edtA->OnKeyPress = [](TObject*, TKeyChar& key) {
        if (key == U'.') key = U',';
    };
    int punctuationDowns = 0;
    form->edtA->OnKeyDown = [&punctuationDowns](TObject*, TKeyCode& key, TShiftState) {
        if (key == 190) ++punctuationDowns;
    };
    driver.type("12.5");
    EXPECT_EQ(form->edtA->Text(), "12,5");
    // The punctuation key reached the key-down handler first, as from a keyboard.
    EXPECT_EQ(punctuationDowns, 1);
}

TEST_F(KeysTest, GivenKeyPreview_WhenAKeyIsPressed_ThenTheFormSeesItFirstAndMayStopIt) {
    form->SetKeyPreview(true);
    form->OnKeyDown = [this](TObject*, TKeyCode& key, TShiftState) {
        form->log.add("form down " + std::to_string(key));
        if (key == VK_F5) key = 0;
    };
    form->OnKeyPress = [this](TObject*, TKeyChar& key) {
        form->log.add("form press");
        if (key == U'x') key = 0;
    };
    form->edtA->OnKeyDown = [this](TObject*, TKeyCode& key, TShiftState) {
        form->log.add("edit down " + std::to_string(key));
    };
    form->edtA->OnKeyPress = [this](TObject*, TKeyChar&) { form->log.add("edit press"); };

    driver.press("F5");
    EXPECT_EQ(form->log.take(), "form down 116");
    driver.type("x");
    EXPECT_EQ(form->log.take(), "form down 88, edit down 88, form press");
    driver.type("y");
    EXPECT_EQ(form->log.take(), "form down 89, edit down 89, form press, edit press");
    EXPECT_EQ(form->edtA->Text(), "y");
}

TEST_F(KeysTest,
       GivenAMenuShortcut_WhenPressed_ThenTheItemRunsOnlyWhileEnabledAndTheKeyGoesNoFurther) {
    form->mnuFiltro->OnClick = [this](TObject*) { form->log.add("filter"); };
    form->edtA->OnKeyDown = [this](TObject*, TKeyCode&, TShiftState) {
        form->log.add("edit down");
    };
    driver.press("Ctrl+L");
    EXPECT_EQ(form->log.take(), "filter");
    form->mnuFiltro->SetEnabled(false);
    driver.press("Ctrl+L");
    EXPECT_EQ(form->log.take(), "edit down");
}

TEST_F(KeysTest,
       GivenAnEditWithTextLengthAndCaseRules_WhenTyping_ThenTheyHoldAndEnteringSelectsTheOldText) {
    form->edtA->SetMaxLength(4);
    form->edtA->SetCharCase(ecUpperCase);
    driver.type("abcdef");
    EXPECT_EQ(form->edtA->Text(), "ABCD");
    driver.press("Backspace");
    EXPECT_EQ(form->edtA->Text(), "ABC");

    // Coming back to the box selects its text: the first key typed replaces it.
    driver.focus("edtB");
    driver.focus("edtA");
    driver.type("z");
    EXPECT_EQ(form->edtA->Text(), "Z");

    form->edtA->SetReadOnly(true);
    driver.type("q");
    EXPECT_EQ(form->edtA->Text(), "Z");
}

TEST_F(KeysTest, GivenACaretInTheText_WhenEditingKeysArePressed_ThenTheyActAtTheCaret) {
    driver.type("1234");
    driver.press("Left");
    driver.press("Left");
    driver.press("Backspace");
    EXPECT_EQ(form->edtA->Text(), "134");
    driver.press("Home");
    driver.type("9");
    driver.press("Del");
    EXPECT_EQ(form->edtA->Text(), "934");
    EXPECT_EQ(form->edtA->SelStart(), 1);
    // A selection made by the renderer is replaced by the next character.
    form->edtA->SetSelStart(1);
    form->edtA->SetSelLength(2);
    driver.type("ç");
    EXPECT_EQ(form->edtA->Text(), "9ç");
    driver.act([this] { form->PressKey(VK_OEM_COMMA_FOR_TEST, 0, U','); });
    EXPECT_EQ(form->edtA->Text(), "9ç,");
}

} // namespace
