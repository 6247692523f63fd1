// A form shows as widgets that follow its controls.

#include "QtFixture.h"
#include "TestForms.h"
#include "qt/AlignLayout.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

namespace {

using QtRendering = QtFixture;

std::string rectText(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
           "x" + std::to_string(r.height());
}

TEST_F(QtRendering, GivenAForm_WhenShown_ThenEveryControlHasItsWidgetWithItsTexts) {
    SampleForm form;
    FormView& view = show(form);
    EXPECT_EQ(view.window()->windowTitle(), QStringLiteral("Amostra"));
    ASSERT_NE(widget<QLabel>(form, "lblAno"), nullptr);
    EXPECT_EQ(widget<QLabel>(form, "lblAno")->text(), QStringLiteral("Ano:"));
    ASSERT_NE(widget<QLineEdit>(form, "edtAno"), nullptr);
    ASSERT_NE(widget<QCheckBox>(form, "ckbTodos"), nullptr);
    EXPECT_EQ(widget<QCheckBox>(form, "ckbTodos")->text(), QStringLiteral("Todas"));
    ASSERT_NE(widget<QPushButton>(form, "btnOk"), nullptr);
    EXPECT_EQ(widget<QPushButton>(form, "btnOk")->text(), QStringLiteral("OK"));
    ASSERT_NE(widget<QToolButton>(form, "sbtFiltro"), nullptr);
    EXPECT_EQ(widget<QToolButton>(form, "sbtFiltro")->toolTip(), QStringLiteral("Filtro"));
    EXPECT_FALSE(widget<QToolButton>(form, "sbtFiltro")->icon().isNull());

    auto* bar = view.window()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    auto* item = view.window()->findChild<QAction*>(QStringLiteral("mnuFiltroOrc"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("Filtro Cálculo do Orçamento\tCtrl+L"));
}

TEST_F(QtRendering, GivenAlignedPanels_WhenShown_ThenTopTakesTheWidthAndClientTheRest) {
    SampleForm form;
    show(form);
    QWidget* top = widget(form, "panFiltro");
    QWidget* client = widget(form, "panDados");
    EXPECT_EQ(rectText(top->geometry()), "0,0 480x44");
    EXPECT_EQ(rectText(client->geometry()), "0,44 480x256");
    EXPECT_EQ(rectText(widget(form, "edtAno")->geometry()), "60,10 80x21");
}

TEST_F(QtRendering, GivenCaptionsWiderThanTheirButtons_WhenShown_ThenButtonsGrowAndStandApart) {
    TForm form(nullptr);
    form.SetName("frmBarra");
    form.SetBounds(0, 0, 700, 100);
    auto* bar = place<TPanel>(&form, &form, "panMenu", 0, 0, 700, 32, alTop);
    auto* glyph = place<TSpeedButton>(&form, bar, "sbtAjuda", 4, 3, 26, 26);
    glyph->SetHint("Ajuda");
    auto* first = place<TSpeedButton>(&form, bar, "sbtEfetivar", 32, 3, 30, 26);
    first->SetCaption("Efetivar Todos os Itens");
    auto* second = place<TSpeedButton>(&form, bar, "sbtSimula", 64, 3, 30, 26);
    second->SetCaption("Simulação de Resultado");
    auto* after = place<TSpeedButton>(&form, bar, "sbtFiltro", 100, 3, 26, 26);
    after->SetHint("Filtro");
    auto* below = place<TButton>(&form, &form, "btnAbaixo", 32, 60, 80, 25);
    below->SetCaption("OK");
    show(form);

    std::string layout;
    QRect previous;
    for (const char* name : {"sbtAjuda", "sbtEfetivar", "sbtSimula", "sbtFiltro"}) {
        QWidget* w = widget(form, name);
        const QRect r = w->geometry();
        layout += std::string(name) + (r.width() >= w->sizeHint().width() ? " whole" : " cut") +
                  (previous.isValid() && r.left() <= previous.right() ? " overlapping" : "") + "; ";
        previous = r;
    }
    EXPECT_EQ(layout, "sbtAjuda whole; sbtEfetivar whole; sbtSimula whole; sbtFiltro whole; ");
    // Designed gaps are kept, picture buttons keep their size, other rows stay where they were.
    QWidget* simula = widget(form, "sbtSimula");
    EXPECT_EQ(widget(form, "sbtFiltro")->x() - (simula->x() + simula->width()), 6);
    EXPECT_EQ(widget(form, "sbtAjuda")->x(), 4);
    EXPECT_LE(widget(form, "sbtFiltro")->width(), 26);
    EXPECT_EQ(widget(form, "btnAbaixo")->x(), 32);
    EXPECT_EQ(widget(form, "btnAbaixo")->width(), 80);
}

TEST_F(QtRendering, GivenEveryAlignment_WhenArranged_ThenEdgesAreTakenInOrderAndClientGetsTheRest) {
    TForm owner(nullptr);
    auto* top = place<TPanel>(&owner, &owner, "top", 0, 0, 10, 30, alTop);
    auto* bottom = place<TPanel>(&owner, &owner, "bottom", 0, 0, 10, 20, alBottom);
    auto* left = place<TPanel>(&owner, &owner, "left", 0, 0, 50, 10, alLeft);
    auto* right = place<TPanel>(&owner, &owner, "right", 0, 0, 40, 10, alRight);
    auto* client = place<TPanel>(&owner, &owner, "client", 0, 0, 1, 1, alClient);
    auto* fixed = place<TPanel>(&owner, &owner, "fixed", 7, 9, 11, 13, alNone);
    QWidget host;
    auto* layout = new AlignLayout(&host);
    std::vector<QWidget*> widgets;
    for (TControl* c : std::initializer_list<TControl*>{top, bottom, left, right, client, fixed}) {
        widgets.push_back(new QWidget(&host));
        layout->addControl(widgets.back(), c);
    }
    std::string arranged;
    for (const QRect& r : layout->arrange(QRect(0, 0, 400, 300), QPoint(0, 0)))
        arranged += rectText(r) + "; ";
    EXPECT_EQ(arranged,
              "0,0 400x30; 0,280 400x20; 0,30 50x250; 360,30 40x250; 50,30 310x250; 7,9 11x13; ");
}

TEST_F(QtRendering, GivenAShownForm_WhenPropertiesChange_ThenTheWidgetsFollowAtOnce) {
    SampleForm form;
    show(form);
    form.lblAno->SetCaption("Exercício:");
    EXPECT_EQ(widget<QLabel>(form, "lblAno")->text(), QStringLiteral("Exercício:"));
    form.edtAno->SetText("2026");
    EXPECT_EQ(widget<QLineEdit>(form, "edtAno")->text(), QStringLiteral("2026"));
    form.btnOk->SetEnabled(false);
    EXPECT_FALSE(widget(form, "btnOk")->isEnabled());
    form.panFiltro->SetEnabled(false);
    EXPECT_FALSE(widget(form, "edtAno")->isEnabled()); // a disabled container disables its children
    form.ckbTodos->SetChecked(true);
    EXPECT_TRUE(widget<QCheckBox>(form, "ckbTodos")->isChecked());
    form.edtValor->SetVisible(false);
    EXPECT_TRUE(widget(form, "edtValor")->isHidden());
    form.mnuFiltroOrc->SetEnabled(false);
    EXPECT_FALSE(platform.viewOf(form)
                     ->window()
                     ->findChild<QAction*>(QStringLiteral("mnuFiltroOrc"))
                     ->isEnabled());
    form.SetCaption("Outra");
    EXPECT_EQ(platform.viewOf(form)->window()->windowTitle(), QStringLiteral("Outra"));
}

TEST_F(QtRendering,
       GivenAShownForm_WhenItsWindowIsResized_ThenTheFormTakesTheNewSizeAndLaysOutAgain) {
    SampleForm form;
    FormView& view = show(form);
    const int menu = view.window()->findChild<QMenuBar*>()->sizeHint().height();
    view.window()->resize(640, 360 + menu);
    QApplication::processEvents();
    EXPECT_EQ(form.Width(), 640);
    EXPECT_EQ(form.Height(), 360);
    EXPECT_EQ(rectText(widget(form, "panFiltro")->geometry()), "0,0 640x44");
    EXPECT_EQ(rectText(widget(form, "panDados")->geometry()), "0,44 640x316");
}

TEST_F(QtRendering, GivenAShownForm_WhenAControlIsAddedOrFreed_ThenItsWidgetComesAndGoes) {
    SampleForm form;
    show(form);
    auto* extra = place<TEdit>(&form, form.panDados, "edtExtra", 8, 80, 60, 21);
    ASSERT_NE(widget(form, "edtExtra"), nullptr);
    EXPECT_EQ(widget(form, "edtExtra")->parentWidget(), widget(form, "panDados"));
    delete extra;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(platform.viewOf(form)->window()->findChild<QLineEdit*>(QStringLiteral("edtExtra")),
              nullptr);
}

TEST_F(QtRendering,
       GivenAnMdiArea_WhenAFormIsShownAndTheOperatorClosesItsWindow_ThenTheFormDecides) {
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    platform.setMdiArea(&area);
    SampleForm form;
    int refusals = 0;
    form.OnClose = [&](TObject*, TCloseAction& action) {
        if (refusals++ == 0) action = caNone; // the first close is refused
    };
    form.Show();
    ASSERT_EQ(area.subWindowList().size(), 1);
    QMdiSubWindow* sub = area.subWindowList().front();
    // The screen opens filling the workspace, and the form learns the room it has.
    EXPECT_TRUE(sub->isMaximized());
    EXPECT_EQ(sub->geometry(), area.viewport()->rect());
    QApplication::processEvents();
    const int menu = sub->widget()->findChild<QMenuBar*>()->sizeHint().height();
    EXPECT_EQ(QSize(form.Width(), form.Height() + menu), sub->widget()->size());
    // Restored, it takes its designed size.
    sub->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(sub->widget()->size(), QSize(480, 300 + menu));
    EXPECT_EQ(QSize(form.Width(), form.Height()), QSize(480, 300));
    sub->close();
    EXPECT_TRUE(sub->isVisible());
    sub->close();
    EXPECT_FALSE(sub->isVisible());
    EXPECT_EQ(refusals, 2);
    EXPECT_FALSE(form.Visible());
}

} // namespace
