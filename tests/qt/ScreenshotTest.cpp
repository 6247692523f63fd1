// Opens the budget module in the shell's main window on the real server and saves a picture of
// the shell and of every form that shows, named after its screen code or class.

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "qt/FormView.h"
#include "qt/QtPlatform.h"
#include "qt/QtText.h"
#include "server/ServerInstance.h"
#include "services/data/NumberFormat.h"
#include "services/ui/Application.h"
#include "services/ui/MemoryOptionStore.h"
#include "services/ui/TButton.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"
#include "services/ui/TLabel.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"
#include "shell/ModuleLoader.h"
#include "shell/ShellHost.h"
#include "shell/ShellWindow.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
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
            if (QAbstractButton* button = box->escapeButton()) button->click();
            return;
        }
        for (TForm* form : app.forms()) {
            if (!form->Modal()) continue;
            FormView* view = platform.viewOf(*form);
            if (!view || view->window()->window() != modal) continue;
            const std::string name = pictureName(*form);
            if (!written.count(name)) save(modal, name);
            auto* confirm = form->Find<TControl>("sbtConfirma");
            const bool isFilter = form->ClassName() == "TfrmFiltroCalculoOrc";
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

    void focus(const char* name) {
        auto* control = frmCalcOrcaOper->Find<TWinControl>(name);
        ASSERT_NE(control, nullptr) << name;
        app.dispatch([&] { frmCalcOrcaOper->FocusControl(control); });
    }

    const int year = QDate::currentDate().year();
    std::unique_ptr<srv::ServerInstance> server;
    ModuleLoader loader{{}};
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
};

TEST_F(QtScreenshots,
       GivenTheBudgetModuleInTheShell_WhenOpenedAndLoaded_ThenEveryFormIsPhotographed) {
    app.dispatch([] { CriaCalcOrcaOper(); });
    ASSERT_NE(frmCalcOrcaOper, nullptr) << messages;
    QTest::qWait(100);
    FormView* view = platform.viewOf(*frmCalcOrcaOper);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(save(view->window()->parentWidget(), pictureName(*frmCalcOrcaOper)));
    EXPECT_TRUE(save(&window, "shell"));

    // A budget chosen as the operator does: year, version, then on to the pages.
    focus("speAno");
    app.dispatch([this] { frmCalcOrcaOper->speAno->SetText(std::to_string(year)); });
    focus("edtVersao");
    app.dispatch([] { frmCalcOrcaOper->edtVersao->SetText("3"); });
    focus("pgcOrcamento");
    QTest::qWait(100);
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
    EXPECT_TRUE(written.count("FYN10000")) << "the main screen shows its code";
    EXPECT_TRUE(written.count("TfrmFiltroCalculoOrc")) << messages;
    std::string all;
    for (const auto& name : written)
        all += name + " ";
    std::printf("screenshots in %s: %s\nmessages shown:\n%s", FYN_SCREENSHOT_DIR, all.c_str(),
                messages.c_str());
}

} // namespace
