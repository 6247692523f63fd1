// The operator's keys, clicks and focus moves reach the controls in the control layer's order.

#include "QtFixture.h"
#include "TestForms.h"
#include "services/data/EAbort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

using QtInput = QtFixture;

TEST_F(QtInput, GivenAnEditThatDropsDigits_WhenTheOperatorTypes_ThenTheDigitsNeverAppear) {
    SampleForm form;
    form.edtAno->OnKeyPress = [](TObject*, TKeyChar& key) {
        if (key >= U'0' && key <= U'9') key = 0;
    };
    show(form);
    auto* line = widget<QLineEdit>(form, "edtAno");
    line->setFocus();
    QTest::keyClicks(line, "a1b2c");
    EXPECT_EQ(form.edtAno->Text(), "abc");
    EXPECT_EQ(line->text(), QStringLiteral("abc"));
}

TEST_F(QtInput, GivenAnEditThatChangesKeys_WhenTheOperatorTypes_ThenTheChangedKeyIsWhatLands) {
    SampleForm form;
    form.edtAno->OnKeyPress = [](TObject*, TKeyChar& key) {
        if (key == U'.') key = U',';
    };
    show(form);
    auto* line = widget<QLineEdit>(form, "edtAno");
    line->setFocus();
    QTest::keyClicks(line, "12.5");
    EXPECT_EQ(form.edtAno->Text(), "12,5");
    EXPECT_EQ(line->text(), QStringLiteral("12,5"));
}

TEST_F(QtInput, GivenACaretPlacedByThePointer_WhenTheOperatorTypes_ThenTextLandsAtTheCaret) {
    SampleForm form;
    show(form);
    form.edtAno->SetText("2026");
    auto* line = widget<QLineEdit>(form, "edtAno");
    line->setFocus();
    line->setCursorPosition(2); // as a click between the digits does
    QTest::keyClicks(line, "x");
    EXPECT_EQ(form.edtAno->Text(), "20x26");
    EXPECT_EQ(line->text(), QStringLiteral("20x26"));
    EXPECT_EQ(line->cursorPosition(), 3);
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(form.edtAno->Text(), "2026");
}

TEST_F(QtInput,
       GivenAccentedLettersAndPunctuation_WhenTyped_ThenTheyArriveAsTheKeyboardProducedThem) {
    SampleForm form;
    std::u32string pressed;
    form.edtValor->OnKeyPress = [&](TObject*, TKeyChar& key) { pressed += key; };
    show(form);
    auto* line = widget<QLineEdit>(form, "edtValor");
    line->setFocus();
    for (const QString& text :
         {QStringLiteral("ç"), QStringLiteral("ã"), QStringLiteral(","), QStringLiteral("@")}) {
        const int key = text == QStringLiteral(",")   ? Qt::Key_Comma
                        : text == QStringLiteral("@") ? Qt::Key_2
                                                      : Qt::Key_unknown;
        const auto mods = text == QStringLiteral("@") ? Qt::ShiftModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(line, &press);
    }
    EXPECT_EQ(pressed, U"çã,@");
    EXPECT_EQ(form.edtValor->Text(), "çã,@");
}

TEST_F(QtInput, GivenAFormWithKeyPreview_WhenAKeyIsPressed_ThenTheFormSeesItBeforeTheControl) {
    SampleForm form;
    form.SetKeyPreview(true);
    std::string order;
    form.OnKeyDown = [&](TObject*, TKeyCode& key, TShiftState) {
        if (key == VK_F5) order += "form ";
    };
    form.edtAno->OnKeyDown = [&](TObject*, TKeyCode& key, TShiftState) {
        if (key == VK_F5) order += "edit ";
    };
    show(form);
    auto* line = widget<QLineEdit>(form, "edtAno");
    line->setFocus();
    QTest::keyClick(line, Qt::Key_F5);
    EXPECT_EQ(order, "form edit ");
}

TEST_F(QtInput, GivenAMenuShortcut_WhenItsKeysArriveOnAnyControl_ThenTheItemRunsOnlyWhileEnabled) {
    SampleForm form;
    int runs = 0;
    form.mnuFiltroOrc->OnClick = [&](TObject*) { ++runs; };
    show(form);
    auto* line = widget<QLineEdit>(form, "edtValor");
    line->setFocus();
    QTest::keyClick(line, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(form.edtValor->Text(), ""); // the shortcut typed nothing
    form.mnuFiltroOrc->SetEnabled(false);
    QTest::keyClick(line, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(runs, 1);
}

TEST_F(QtInput, GivenNoControlWithTheFocus_WhenAShortcutIsPressedOnTheWindow_ThenTheFormServesIt) {
    SampleForm form;
    int runs = 0;
    form.mnuFiltroOrc->OnClick = [&](TObject*) { ++runs; };
    show(form);
    form.FocusControl(nullptr);
    QTest::keyClick(platform.viewOf(form)->window(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(runs, 1);
}

TEST_F(QtInput, GivenADisabledButton_WhenClicked_ThenNothingRuns_AndOnceEnabledTheClickRuns) {
    SampleForm form;
    int clicks = 0, speedClicks = 0;
    form.btnOk->OnClick = [&](TObject*) { ++clicks; };
    form.sbtFiltro->OnClick = [&](TObject*) { ++speedClicks; };
    form.btnOk->SetEnabled(false);
    form.sbtFiltro->SetEnabled(false);
    show(form);
    QTest::mouseClick(widget(form, "btnOk"), Qt::LeftButton);
    QTest::mouseClick(widget(form, "sbtFiltro"), Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(speedClicks, 0);
    form.btnOk->SetEnabled(true);
    form.sbtFiltro->SetEnabled(true);
    QTest::mouseClick(widget(form, "btnOk"), Qt::LeftButton);
    QTest::mouseClick(widget(form, "sbtFiltro"), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(speedClicks, 1);
}

TEST_F(QtInput, GivenAButtonInsideADisabledPanel_WhenClicked_ThenNothingRuns) {
    SampleForm form;
    int clicks = 0;
    form.btnOk->OnClick = [&](TObject*) { ++clicks; };
    form.panDados->SetEnabled(false);
    show(form);
    QTest::mouseClick(widget(form, "btnOk"), Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
}

TEST_F(QtInput, GivenACheckBoxClick_WhenTheHandlerRuns_ThenTheBoxShowsTheControlsState) {
    SampleForm form;
    std::string seen;
    form.ckbTodos->OnClick = [&](TObject*) { seen += form.ckbTodos->Checked() ? "on " : "off "; };
    show(form);
    auto* box = widget<QCheckBox>(form, "ckbTodos");
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    EXPECT_EQ(seen, "on off ");
    EXPECT_FALSE(box->isChecked());
}

TEST_F(QtInput,
       GivenTheFocusInAPanel_WhenTheOperatorClicksIntoAnother_ThenExitAndEnterFireInOrder) {
    SampleForm form;
    std::string order;
    form.panFiltro->OnExit = [&](TObject*) { order += "exit panFiltro; "; };
    form.panDados->OnEnter = [&](TObject*) { order += "enter panDados; "; };
    form.edtAno->OnExit = [&](TObject*) { order += "exit edtAno; "; };
    form.edtValor->OnEnter = [&](TObject*) { order += "enter edtValor; "; };
    show(form);
    form.FocusControl(form.edtAno);
    order.clear();
    auto* valor = widget<QLineEdit>(form, "edtValor");
    QTest::mouseClick(valor, Qt::LeftButton);
    EXPECT_EQ(order, "exit edtAno; exit panFiltro; enter panDados; enter edtValor; ");
    EXPECT_EQ(form.ActiveControl(), form.edtValor);
    EXPECT_TRUE(valor->hasFocus());
}

TEST_F(QtInput,
       GivenAnExitHandlerThatAborts_WhenTheOperatorClicksAway_ThenTheFocusStaysWhereItWas) {
    SampleForm form;
    form.panFiltro->OnExit = [](TObject*) { ::Abort(); };
    show(form);
    form.FocusControl(form.edtAno);
    QTest::mouseClick(widget(form, "edtValor"), Qt::LeftButton);
    EXPECT_EQ(form.ActiveControl(), form.edtAno);
    EXPECT_TRUE(widget(form, "edtAno")->hasFocus());
}

TEST_F(QtInput, GivenTabInAnEdit_WhenPressed_ThenTheNextControlInTabOrderTakesTheFocus) {
    SampleForm form;
    show(form);
    form.FocusControl(form.edtAno);
    QTest::keyClick(widget(form, "edtAno"), Qt::Key_Tab);
    EXPECT_EQ(form.ActiveControl(), form.ckbTodos);
    EXPECT_TRUE(widget(form, "ckbTodos")->hasFocus());
}

TEST_F(QtInput, GivenAPopupMenu_WhenTheOperatorRightClicks_ThenItsItemsShowAfterOnPopupAndRun) {
    SampleForm form;
    auto* popup = new TPopupMenu(&form);
    popup->SetName("pmnValores");
    auto* item = new TMenuItem(&form);
    item->SetName("mnuLimpar");
    item->SetCaption("Limpar");
    popup->Items().Add(item);
    std::string log;
    popup->OnPopup = [&](TObject*) { log += "popup; "; };
    item->OnClick = [&](TObject*) { log += "limpar; "; };
    form.edtValor->SetPopupMenu(popup);
    show(form);
    auto* line = widget<QLineEdit>(form, "edtValor");
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5),
                              line->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(line, &request);
    QMenu* menu = line->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Limpar"));
    menu->actions()[0]->trigger();
    EXPECT_EQ(log, "popup; limpar; ");
}

TEST_F(QtInput, GivenAComboBox_WhenTheOperatorPicksAnItem_ThenTheControlSelectsItAndFiresOnSelect) {
    SampleForm form;
    auto* combo = place<TComboBox>(&form, form.panDados, "cmbOperacao", 8, 80, 160, 21);
    combo->SetStyle(csDropDownList);
    combo->SetItems({"Somar", "Subtrair", "Substituir"});
    std::string picked;
    combo->OnSelect = [&](TObject*) { picked = combo->Text(); };
    show(form);
    auto* box = widget<QComboBox>(form, "cmbOperacao");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 3);
    emit box->activated(2); // what choosing from the drop-down list does
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(picked, "Substituir");
    combo->SetItemIndex(0);
    EXPECT_EQ(box->currentText(), QStringLiteral("Somar"));
}

// A page control with three pages; the second refuses to be left, the third is disabled.
class PagesForm : public TForm {
public:
    PagesForm() : TForm(nullptr) {
        SetName("frmPages");
        SetBounds(0, 0, 400, 200);
        pgc = place<TPageControl>(this, this, "pgcPaginas", 0, 0, 400, 200, alClient);
        for (const char* name : {"tshUm", "tshDois", "tshTres"}) {
            auto* sheet = new TTabSheet(this);
            sheet->SetName(name);
            sheet->SetCaption(std::string(name).substr(3));
            sheet->SetPageControl(pgc);
            sheets.push_back(sheet);
        }
        pgc->SetActivePage(sheets[0]);
    }
    TPageControl* pgc;
    std::vector<TTabSheet*> sheets;
};

TEST_F(QtInput, GivenPages_WhenTheOperatorPicksTabs_ThenRefusalsAndDisabledPagesKeepTheActivePage) {
    PagesForm form;
    std::string changes;
    form.pgc->OnChanging = [&](TObject*, bool& allow) {
        allow = form.pgc->ActivePage() != form.sheets[1];
    };
    form.pgc->OnChange = [&](TObject*) { changes += form.pgc->ActivePage()->Name() + " "; };
    form.sheets[2]->SetEnabled(false);
    show(form);
    auto* tabs = widget<QTabWidget>(form, "pgcPaginas");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Dois"));
    QTabBar* bar = tabs->tabBar();

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(form.pgc->ActivePage(), form.sheets[1]);
    EXPECT_EQ(tabs->currentIndex(), 1);

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center()); // refused by OnChanging
    EXPECT_EQ(form.pgc->ActivePage(), form.sheets[1]);
    EXPECT_EQ(tabs->currentIndex(), 1);

    form.pgc->SetActivePage(form.sheets[0]);
    EXPECT_EQ(tabs->currentIndex(), 0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center()); // disabled page
    EXPECT_EQ(form.pgc->ActivePage(), form.sheets[0]);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(changes, "tshDois ");
}

} // namespace
