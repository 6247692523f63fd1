// Opens the budget module in the shell's main window on the real server and saves a picture of
// the shell and of every form that shows, named after its screen code or class.

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "qt/ControlView.h"
#include "qt/FormView.h"
#include "qt/QtPlatform.h"
#include "qt/QtText.h"
#include "server/ServerInstance.h"
#include "services/data/NumberFormat.h"
#include "services/ui/Application.h"
#include "services/ui/MemoryOptionStore.h"
#include "services/ui/TButton.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"
#include "shell/ModuleLoader.h"
#include "shell/ShellHost.h"
#include "shell/ShellWindow.h"
#include "simulation/Cli_fyn10300.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <vector>

namespace {

const QString kDir = QStringLiteral(FYN_SCREENSHOT_DIR);

// How many distinct colours a part of a picture has (up to `enough`).
int coloursIn(const QImage& image, const QRect& area, int enough) {
    std::set<QRgb> seen;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            seen.insert(image.pixel(x, y));
            if (static_cast<int>(seen.size()) >= enough) return enough;
        }
    return static_cast<int>(seen.size());
}

// The visible grids of a window whose tables have rows.
std::vector<QTableView*> gridsWithRows(QWidget* window) {
    std::vector<QTableView*> out;
    for (QTableView* table : window->findChildren<QTableView*>())
        if (table->isVisible() && table->model() && table->model()->rowCount() > 0)
            out.push_back(table);
    return out;
}

// The screen code a form shows (its lblCodTela), else its class name.
std::string pictureName(TForm& form) {
    if (auto* code = form.Find<TLabel>("lblCodTela"); code && !code->Caption().empty())
        return code->Caption();
    return form.ClassName();
}

class QtScreenshots : public ::testing::Test {
protected:
    QtScreenshots() {
        // The demo company, as `make run` serves it: its budget is of the current year.
        srv::ServerOptions options;
        options.demo = true;
        options.threads = 2;
        server = std::make_unique<srv::ServerInstance>(options);
        host = std::make_unique<ShellHost>(ShellHost::Session{"demo", "Operador de demonstração",
                                                              "127.0.0.1", server->port(), "",
                                                              server->loginToken("demo", "demo")},
                                           loader);
        app.setHost(host.get());
        app.setOptionStore(&saved);
        app.setToday(EncodeDate(year, 5, 10));
        initializeModuleState();
        QDir().mkpath(kDir);
        window.setSessionInfo("demo", "Operador de demonstração", "127.0.0.1", "");
        platform.setMdiArea(window.mdiArea());
        window.resize(1280, 800);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        watcher.setInterval(25);
        QObject::connect(&watcher, &QTimer::timeout, &watcher, [this] { answerWhatIsOpen(); });
        watcher.start();
    }

    ~QtScreenshots() override {
        watcher.stop();
        // The screen goes before the server it talks to.
        if (frmCalcOrcaOper) delete frmCalcOrcaOper;
        app.freeReleasedForms();
        initializeModuleState();
    }

    // Saves the widget's picture and checks that it holds a drawing of the widget: its size
    // and more than a flat background.
    bool save(QWidget* widget, const std::string& name) {
        QApplication::processEvents();
        const QImage image = widget->grab().toImage();
        EXPECT_EQ(image.size(), widget->size() * widget->devicePixelRatio()) << name;
        EXPECT_GE(coloursIn(image, image.rect(), 8), 8) << name << " is blank";
        const bool ok = image.save(kDir + QLatin1Char('/') + QString::fromStdString(name) + ".png");
        if (ok) written.insert(name);
        return ok;
    }

    // The first rows of the window's grids that are not drawn: a drawn row's strip is more
    // than one colour (text on the background). "" when every one is.
    std::string undrawnRows(QWidget* window) {
        std::string out;
        QApplication::processEvents();
        for (QTableView* table : gridsWithRows(window)) {
            const QImage image = table->viewport()->grab().toImage();
            for (int r = 0; r < std::min(table->model()->rowCount(), 3); ++r) {
                const QRect strip(0, table->rowViewportPosition(r), image.width(),
                                  table->rowHeight(r));
                if (coloursIn(image, strip, 2) < 2)
                    out += fromQt(table->objectName()) + "#" + std::to_string(r) + " ";
            }
        }
        return out;
    }

    // Photographs a modal form once and closes it (the filter dialog is confirmed, so that
    // the budget loads); message boxes are recorded and answered with their escape button.
    void answerWhatIsOpen() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages += box->text().toStdString() + "\n";
            if (!written.count("MessageBox")) save(box, "MessageBox");
            QAbstractButton* yes = nullptr;
            for (QAbstractButton* button : box->buttons())
                if (box->buttonRole(button) == QMessageBox::YesRole) yes = button;
            if (QAbstractButton* button = answerYes && yes ? yes : box->escapeButton())
                button->click();
            return;
        }
        for (TForm* form : app.forms()) {
            if (!form->Modal()) continue;
            FormView* view = platform.viewOf(*form);
            if (!view || view->window()->window() != modal) continue;
            std::string name = pictureName(*form);
            // A test may first bring the form to the state it wants photographed.
            if (auto step = prepare.find(name); step != prepare.end()) {
                auto work = std::move(step->second);
                prepare.erase(step);
                work(*form);
                return;
            }
            if (auto as = pictureAs.find(name); as != pictureAs.end()) name = as->second;
            if (!written.count(name)) save(modal, name);
            auto* confirm = form->Find<TControl>("sbtConfirma");
            const bool isFilter =
                form->ClassName() == "TfrmFiltroCalculoOrc" || confirming.count(form->ClassName());
            // A dialog that keeps refusing to close is ended all the same.
            const bool insist = ++closeAttempts[form] > 3;
            app.dispatch([form, confirm, isFilter, insist] {
                if (insist)
                    form->SetModalResult(mrCancel);
                else if (isFilter && confirm)
                    confirm->Click();
                else
                    form->Close();
            });
            return;
        }
    }

    // A click on the check box of a branch's billing row.
    void selectBilling(const std::string& branch) {
        TDBGrid* grid = frmCalcOrcaOper->dbgItOrcFatur;
        TClientDataSet& fc = frmCalcOrcaOper->cdsItensOrcFatCons;
        const int key = fc.FieldByName("CDFILIAL").Index();
        for (int row = 0; row < fc.RecordCount(); ++row)
            if (fc.RowValue(row, key).toText() == branch) {
                const int column = grid->ColumnByFieldName("IDCHECKF")->Index();
                app.dispatch([grid, row, column] {
                    grid->SetFocus();
                    grid->ClickCell(row, column);
                });
            }
        QTest::qWait(50);
    }

    void focus(const char* name) {
        auto* control = frmCalcOrcaOper->Find<TWinControl>(name);
        ASSERT_NE(control, nullptr) << name;
        app.dispatch([&] { frmCalcOrcaOper->FocusControl(control); });
    }

    // Opens the main screen as the shell's menu does.
    FormView* openScreen() {
        app.dispatch([] { CriaCalcOrcaOper(); });
        if (!frmCalcOrcaOper) return nullptr;
        QTest::qWait(100);
        return platform.viewOf(*frmCalcOrcaOper);
    }

    // A budget chosen as the operator does: year, version, then on to the pages.
    void loadBudget() {
        focus("speAno");
        app.dispatch([this] { frmCalcOrcaOper->speAno->SetText(std::to_string(year)); });
        focus("edtVersao");
        app.dispatch([] { frmCalcOrcaOper->edtVersao->SetText("3"); });
        focus("pgcOrcamento");
        QTest::qWait(100);
    }

    QWidget* widgetOf(FormView& view, const TControl* control) {
        ControlView* v = control ? view.viewOf(control) : nullptr;
        return v ? v->widget() : nullptr;
    }

    // What an operator cannot reach or read on the loaded screen at the shell's current size,
    // one line per fault; empty when everything is within reach.
    std::string unreachable(FormView& view) {
        std::string faults;
        auto fault = [&](const std::string& text) { faults += text + "\n"; };
        QMdiArea* mdi = window.mdiArea();
        const QRect workspace(mdi->viewport()->mapTo(&window, QPoint(0, 0)),
                              mdi->viewport()->size());
        auto onShell = [&](QWidget* w) {
            return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
        };

        // The toolbar and the filter panel keep their designed height; the toolbar's buttons
        // stand apart, whole, inside the workspace.
        for (TPanel* panel : {frmCalcOrcaOper->panMenu, frmCalcOrcaOper->panFiltro})
            if (QWidget* w = widgetOf(view, panel); !w || w->height() != panel->Height())
                fault(panel->Name() + " is not " + std::to_string(panel->Height()) + " high");
        std::vector<std::pair<std::string, QRect>> tools;
        for (TControl* c : frmCalcOrcaOper->panMenu->Controls()) {
            QWidget* w = widgetOf(view, c);
            if (!w || w->isHidden()) continue;
            const QRect r = onShell(w);
            if (!workspace.contains(r)) fault(c->Name() + " is outside the workspace");
            if (w->sizeHint().width() > w->width()) fault(c->Name() + " is clipped");
            for (const auto& [name, other] : tools)
                if (other.intersects(r)) fault(c->Name() + " overlaps " + name);
            tools.emplace_back(c->Name(), r);
        }

        // Every page reached by its tab, scrolling the tab bar as the operator would.
        auto* tabs = qobject_cast<QTabWidget*>(widgetOf(view, frmCalcOrcaOper->pgcOrcamento));
        if (!tabs) return faults + "no page control\n";
        QTabBar* bar = tabs->tabBar();
        if (!workspace.contains(onShell(bar))) fault("the tab bar leaves the workspace");
        auto* scrollRight = bar->findChild<QToolButton*>(QStringLiteral("ScrollRightButton"));
        TPageControl* pages = frmCalcOrcaOper->pgcOrcamento;
        for (TTabSheet* page : pages->Pages()) {
            const int index = tabs->indexOf(widgetOf(view, page));
            auto shown = [&] {
                const QRect r = bar->tabRect(index);
                if (!bar->rect().contains(r)) return false;
                for (auto* button : bar->findChildren<QToolButton*>())
                    if (button->isVisible() && button->geometry().intersects(r)) return false;
                return true;
            };
            for (int clicks = 0; !shown() && clicks < 40; ++clicks) {
                if (!scrollRight || !scrollRight->isVisible() || !scrollRight->isEnabled()) break;
                QTest::mouseClick(scrollRight, Qt::LeftButton);
                QApplication::processEvents();
            }
            if (!shown()) {
                fault(page->Name() + "'s tab cannot be reached");
                continue;
            }
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
            QTest::qWait(30);
            if (pages->ActivePage() != page) {
                fault(page->Name() + "'s tab does not open it");
                continue;
            }

            // The page's grid takes the room the branch list leaves it, inside the workspace.
            QWidget* sheet = widgetOf(view, page);
            if (sheet->width() < workspace.width() - 12)
                fault(page->Name() + " is narrower than the workspace");
            int left = 0;
            for (TControl* c : page->Controls())
                if (c->Align() == alLeft)
                    if (QWidget* w = widgetOf(view, c)) left += w->width();
            for (TControl* c : page->Controls()) {
                auto* grid = dynamic_cast<TDBGrid*>(c);
                QWidget* w = grid && grid->Align() == alClient ? widgetOf(view, grid) : nullptr;
                if (!w) continue;
                if (w->width() < sheet->width() - left)
                    fault(grid->Name() + " is " + std::to_string(w->width()) + " wide of " +
                          std::to_string(sheet->width() - left));
                if (!workspace.contains(onShell(w))) fault(grid->Name() + " leaves the workspace");
            }
        }
        app.dispatch([pages] { pages->SelectPage(pages->Pages().front()); });
        QTest::qWait(30);
        return faults;
    }

    // The main screen's row on a branch, so that the simulation opens on it.
    void onBranch(const char* code) {
        app.dispatch(
            [code] { frmCalcOrcaOper->cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(code)}); });
        QTest::qWait(50);
    }

    // The branches checked on the miscellaneous-expenses page, as double clicks on their marks.
    void checkExpenseBranches(std::initializer_list<const char*> codes) {
        app.dispatch(
            [] { frmCalcOrcaOper->pgcOrcamento->SelectPage(frmCalcOrcaOper->tshDiversas); });
        QTest::qWait(50);
        TDBGrid* list = frmCalcOrcaOper->dbgFilialDiversas;
        TClientDataSet& branches = frmCalcOrcaOper->cdsOrcamentoFilial;
        const int code = branches.FieldByName("CDFILIAL").Index();
        for (const char* branch : codes)
            for (int row = 0; row < branches.RecordCount(); ++row)
                if (branches.RowValue(row, code).toText() == branch)
                    app.dispatch([list, row] {
                        list->SetFocus();
                        list->DblClickCell(row, list->ColumnByFieldName("IDCHECKD")->Index());
                    });
        QTest::qWait(50);
    }

    // The result simulation, as it opens, clicks one of its line buttons. The dialog opens once
    // the watcher has returned: the watcher does not run again inside its own round, and the
    // dialog's picture is its next one.
    void openLine(TButtonFlat* TfrmSimulaResult::*button) {
        prepare["FYN10300"] = [this, button](TForm& form) {
            TButtonFlat* b = static_cast<TfrmSimulaResult&>(form).*button;
            QTimer::singleShot(0, &watcher, [this, b] {
                app.dispatch([b] {
                    b->SetFocus();
                    b->Click();
                });
            });
        };
    }

    // A month cell of a line dialog chosen before its picture, as the operator is about to type.
    void chooseMonth(const std::string& code, const char* grid, int row, const char* field) {
        prepare[code] = [this, grid, row, field](TForm& form) {
            auto* months = form.Find<TDBGrid>(grid);
            ASSERT_NE(months, nullptr);
            app.dispatch([&form, months, row, field] {
                form.FocusControl(months);
                months->ClickCell(row, months->ColumnByFieldName(field)->Index());
            });
        };
    }

    // Opens the result simulation from the main screen; the named picture must be taken.
    void simulate(const std::string& picture) {
        ASSERT_TRUE(frmCalcOrcaOper->sbtSimulaRes->EffectivelyEnabled()) << messages;
        app.dispatch([] { frmCalcOrcaOper->sbtSimulaRes->Click(); });
        QTest::qWait(50);
        EXPECT_TRUE(written.count(picture)) << messages;
    }

    const int year = QDate::currentDate().year();
    std::unique_ptr<srv::ServerInstance> server;
    // Other modules the budget screen opens are found where the build puts them.
    ModuleLoader loader{{FYN_MODULE_DIR}};
    std::unique_ptr<ShellHost> host;
    QtPlatform platform;
    MemoryOptionStore saved;
    Application app{platform, nullptr};
    ApplicationScope scope{app};
    ShellWindow window{[](const QString&) {}};
    QTimer watcher;
    std::set<std::string> written;
    std::map<TForm*, int> closeAttempts;
    std::string messages;
    // Questions are answered Yes, and these dialogs confirmed, instead of closed.
    bool answerYes = false;
    std::set<std::string> confirming;
    // Steps run on a modal form of that name before its picture, and the picture's own name.
    std::map<std::string, std::function<void(TForm&)>> prepare;
    std::map<std::string, std::string> pictureAs;
};

TEST_F(QtScreenshots,
       GivenTheLoadedBudgetOnLaptopScreens_WhenTheShellFillsThem_ThenEveryTabAndGridIsWithinReach) {
    window.showNormal();
    window.resize(1366, 768);
    QTest::qWait(50);
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    auto* frame = qobject_cast<QMdiSubWindow*>(view->window()->parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isMaximized()) << "the screen opens filling the workspace";

    // The operator's shell goes from one laptop screen to the other with the budget open.
    for (const QSize size : {QSize(1366, 768), QSize(1024, 768)}) {
        window.resize(size);
        QTest::qWait(100);
        const std::string name =
            "FYN10000-" + std::to_string(size.width()) + "x" + std::to_string(size.height());
        EXPECT_EQ(unreachable(*view), "") << name;
        EXPECT_TRUE(save(&window, name));
    }
}

TEST_F(QtScreenshots,
       GivenTheBudgetModuleInTheShell_WhenOpenedAndLoaded_ThenEveryFormIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    EXPECT_TRUE(save(view->window()->parentWidget(), pictureName(*frmCalcOrcaOper)));
    EXPECT_TRUE(save(&window, "shell"));

    loadBudget();
    EXPECT_TRUE(save(view->window()->parentWidget(), pictureName(*frmCalcOrcaOper) + "-loaded"));
    EXPECT_FALSE(gridsWithRows(view->window()).empty()) << "no grid shows the loaded budget";
    EXPECT_EQ(undrawnRows(view->window()), "");
    EXPECT_TRUE(save(&window, "shell-loaded"));

    // Each page of the loaded budget, as the operator reaches it by its tab.
    TPageControl* pages = frmCalcOrcaOper->pgcOrcamento;
    for (TTabSheet* page : pages->Pages()) {
        app.dispatch([pages, page] { pages->SelectPage(page); });
        QTest::qWait(50);
        EXPECT_EQ(pages->ActivePage(), page) << page->Name();
        EXPECT_TRUE(save(view->window()->parentWidget(),
                         pictureName(*frmCalcOrcaOper) + "-" + page->Name()));
    }
    app.dispatch([pages] { pages->SelectPage(pages->Pages().front()); });

    // Every dialog the toolbar opens is photographed as it shows.
    for (const char* name : {"sbtRepliVal", "sbtSimulaRes", "sbtOrcMaoObra", "sbtTxAdm",
                             "btnMesBaseFat", "btnMesBaseCons", "btnCalcDeprec", "sbtFiltro"}) {
        auto* control = frmCalcOrcaOper ? frmCalcOrcaOper->Find<TControl>(name) : nullptr;
        if (control && control->EffectivelyEnabled()) app.dispatch([control] { control->Click(); });
        QTest::qWait(50);
    }
    // Replication from an open branch's miscellaneous expenses (the first branches are
    // effected in this version).
    app.dispatch([pages] { pages->SelectPage(frmCalcOrcaOper->tshDiversas); });
    app.dispatch([] { frmCalcOrcaOper->cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0003")}); });
    QTest::qWait(50);
    if (frmCalcOrcaOper->sbtRepliVal->EffectivelyEnabled())
        app.dispatch([] { frmCalcOrcaOper->sbtRepliVal->Click(); });
    QTest::qWait(50);
    app.dispatch([pages] { pages->SelectPage(pages->Pages().front()); });
    EXPECT_TRUE(written.count("FYN10000")) << "the main screen shows its code";
    EXPECT_TRUE(written.count("FYN10300")) << messages;
    EXPECT_TRUE(written.count("TfrmFiltroCalculoOrc")) << messages;
    EXPECT_TRUE(written.count("TfrmReplicaVal")) << messages;
    std::string all;
    for (const auto& name : written)
        all += name + " ";
    std::printf("screenshots in %s: %s\nmessages shown:\n%s", FYN_SCREENSHOT_DIR, all.c_str(),
                messages.c_str());
}

TEST_F(QtScreenshots,
       GivenABranchOfTheDemo_WhenCalculatedAndThenEffected_ThenTheBillingPageIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    TClientDataSet& fc = frmCalcOrcaOper->cdsItensOrcFatCons;
    ASSERT_GT(fc.RecordCount(), 8) << messages;
    answerYes = true;
    confirming.insert("TfrmPerCalc");

    // 0008 calculates billing by headcount from its base month.
    selectBilling("0008");
    app.dispatch([] { frmCalcOrcaOper->sbtCalcEfet->Click(); });
    QTest::qWait(100);
    EXPECT_NE(messages.find("Cálculo realizado com sucesso."), std::string::npos) << messages;
    // The last months and the "Manual" column, scrolled into view.
    app.dispatch([] {
        TDBGrid* grid = frmCalcOrcaOper->dbgItOrcFatur;
        grid->SetSelectedIndex(grid->ColumnByFieldName("IDITEMCALCORCA")->Index());
    });
    QTest::qWait(50);
    EXPECT_TRUE(save(view->window()->parentWidget(), "FYN10000-calculated"));

    selectBilling("0008");
    app.dispatch([] { frmCalcOrcaOper->sbtEfetivar->Click(); });
    QTest::qWait(100);
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0008");
    EXPECT_EQ(fc.FieldByName("IDSTATUSORCA").AsString(), "E") << messages;
    EXPECT_TRUE(save(view->window()->parentWidget(), "FYN10000-effected"));
}

TEST_F(QtScreenshots,
       GivenThreeCheckedBranches_WhenSimulatingMarch_ThenTheListedResultIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    checkExpenseBranches({"0003", "0004", "0005"});
    // March alone: the period box unticked, the month chosen, the header left.
    prepare["FYN10300"] = [this](TForm& form) {
        auto& s = static_cast<TfrmSimulaResult&>(form);
        app.dispatch([&s] {
            s.chkPeriodo->SetFocus();
            s.chkPeriodo->Click();
            s.speAno1->SetFocus();
            s.speAno1->SetText("03/" + s.speAno1->Text().substr(3));
            s.sbtCancel->SetFocus();
        });
    };
    pictureAs["FYN10300"] = "FYN10300-list";
    simulate("FYN10300-list");
}

TEST_F(QtScreenshots,
       GivenTheResultSimulation_WhenGrossBillingIsSimulated_ThenTheBillingDialogIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    // The first branches are effected in the demo's latest version: the simulation opens on 0003.
    onBranch("0003");
    // The gross-billing button of the branch's result opens the services and their months.
    openLine(&TfrmSimulaResult::btnFatBrut);
    // March's budgeted quantity chosen, as the operator is about to type it; the whole dialog
    // as designed, the offscreen screen being narrower than an operator's.
    chooseMonth("FYN10310", "dbgItensSimulacao", 2, "QTORCADA");
    prepare["FYN10310"] = [this, choose = prepare["FYN10310"]](TForm& form) {
        choose(form);
        if (FormView* dialog = platform.viewOf(form)) save(dialog->window(), "FYN10310");
    };
    simulate("FYN10310");
}

TEST_F(QtScreenshots,
       GivenAnOpenBranchsConsumption_WhenItsDialogOpens_ThenServicesAndMonthsArePhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    // The first branches are effected in the demo's latest version: 0003 is open.
    app.dispatch([] { frmCalcOrcaOper->pgcOrcamento->SelectPage(frmCalcOrcaOper->tshConsumo); });
    onBranch("0003");
    openLine(&TfrmSimulaResult::btnConsumo);
    // March's diners chosen, as the operator is about to type them.
    chooseMonth("FYN10370", "dbgItensSimulacao", 2, "QTORCAMENTO");
    simulate("FYN10370");
}

TEST_F(QtScreenshots,
       GivenAnOpenBranch_WhenItsLabourIsSimulated_ThenTheLabourDialogIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    // The first branches are effected in the demo's latest version: the simulation opens on 0003.
    onBranch("0003");
    openLine(&TfrmSimulaResult::btnMaoObra);
    // March's value cell chosen, as the operator is about to type it.
    chooseMonth("FYN10330", "dbgItensSimulacao", 2, "VALORMO");
    simulate("FYN10330");
}

TEST_F(QtScreenshots,
       GivenTheResultSimulation_WhenTheTaxLineIsOpened_ThenTheGeneralItemDialogIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    // The taxes of the simulated branch, its March selected in the month grid.
    openLine(&TfrmSimulaResult::btnImposto);
    chooseMonth("FYN10400", "dbgItens", 2, "VRMES");
    simulate("FYN10400");
}

TEST_F(QtScreenshots,
       GivenTheFeePage_WhenAMonthIsBeingTyped_ThenThePictureShowsTheEditAndTheOtherPagesLocked) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    TfrmCalcOrcaOper& screen = *frmCalcOrcaOper;
    app.dispatch([&screen] { screen.pgcOrcamento->SelectPage(screen.tshTxAdm); });
    QTest::qWait(50);
    // The first branches are effected in the demo's latest version: an open one is typed.
    TDBGrid* grid = screen.dbgTxAdm;
    TClientDataSet& fee = screen.cdsTxAdm;
    int row = -1;
    for (int r = 0; r < fee.RecordCount() && row < 0; ++r)
        if (fee.RowValue(r, fee.FieldByName("IDITEMORCAMENTO").Index()).toText() == "P" &&
            fee.RowValue(r, fee.FieldByName("IDACESSOCALC").Index()).toText() == "S")
            row = r;
    ASSERT_GE(row, 0);
    const int march = grid->ColumnByFieldName("VRORCAMENTOMAR")->Index();
    app.dispatch([&] {
        screen.FocusControl(grid);
        grid->ClickCell(row, march);
    });
    for (char c : std::string("1.234,56"))
        app.dispatch([&screen, c] { screen.TypeChar(static_cast<unsigned char>(c)); });
    QTest::qWait(50);
    EXPECT_EQ(fee.State(), dsEdit);
    EXPECT_FALSE(screen.tshMaoObra->Enabled());
    EXPECT_TRUE(screen.sbtConfirmar->Enabled());
    EXPECT_TRUE(save(view->window()->parentWidget(), "FYN10000-tshTxAdm-editing"));
}

TEST_F(QtScreenshots,
       GivenAnOpenEntryExpense_WhenItsProductsAreAsked_ThenTheShellOpensTheOtherModulesScreen) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    TfrmCalcOrcaOper& screen = *frmCalcOrcaOper;
    // The first branches are effected in the demo's latest version: the page opens on 0003.
    app.dispatch([&screen] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0003")}); });
    app.dispatch([&screen] { screen.pgcOrcamento->SelectPage(screen.tshEntradas); });
    QTest::qWait(50);
    ASSERT_TRUE(screen.sbtProdDesp->EffectivelyEnabled()) << messages;
    app.dispatch([&screen] { screen.sbtProdDesp->Click(); });
    QTest::qWait(50);
    EXPECT_TRUE(written.count("FYN10395")) << messages;
}

TEST_F(QtScreenshots,
       GivenAnOpenBranchsEntryExpenses_WhenSimulated_ThenTheirDialogIsPhotographedWhileTyping) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    // The first branches are effected in the demo's latest version: the simulation opens on 0003.
    onBranch("0003");
    openLine(&TfrmSimulaResult::btnDespEntr);
    pictureAs["FYN10300"] = "FYN10300-entries";
    // July of the first item being typed.
    chooseMonth("FYN10350", "dbgMes", 6, "VRMES");
    prepare["FYN10350"] = [this, choose = prepare["FYN10350"]](TForm& form) {
        choose(form);
        for (char c : std::string("1.234,56"))
            app.dispatch([&form, c] { form.TypeChar(static_cast<unsigned char>(c)); });
    };
    simulate("FYN10350");
    EXPECT_TRUE(written.count("FYN10300-entries")) << messages;
}

} // namespace

TEST_F(QtScreenshots,
       GivenTwoCheckedBranches_WhenTheirExpensesAreSimulated_ThenTheExpensesDialogIsPhotographed) {
    FormView* view = openScreen();
    ASSERT_NE(view, nullptr) << messages;
    loadBudget();
    checkExpenseBranches({"0003", "0004"});
    openLine(&TfrmSimulaResult::btnDespDiv);
    pictureAs["FYN10300"] = "FYN10300-expenses";
    // The second expense chosen and its months in view.
    prepare["FYN10340"] = [this](TForm& form) {
        app.dispatch([&form] {
            auto* expenses = form.Find<TDBGrid>("dbgPadrao");
            expenses->SetFocus();
            expenses->ClickCell(1, 0);
            auto* months = form.Find<TDBGrid>("dbgMes");
            months->SetFocus();
            months->ClickCell(2, months->ColumnByFieldName("VALOR")->Index());
        });
    };
    simulate("FYN10340");
    EXPECT_EQ(messages, "");
}
