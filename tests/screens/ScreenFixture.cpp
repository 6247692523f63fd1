#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10100.h"
#include "services/data/NumberFormat.h"
#include "services/data/TClientDataSet.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TWinControl.h"

ScreenFixture::ScreenFixture() {
    app.setToday(EncodeDate(2026, 5, 10));
    app.setOptionStore(&options);
    initializeModuleState();
}

ScreenFixture::~ScreenFixture() {
    // The screen goes before the server it talks to.
    if (frmCalcOrcaOper) delete frmCalcOrcaOper;
    app.freeReleasedForms();
    initializeModuleState();
}

void ScreenFixture::loginAs(const std::string& op) {
    host.op = op;
}

srv::ServerInstance& ScreenFixture::startServer() {
    if (!server) {
        srv::ServerOptions options;
        options.testFixture = !useDemo;
        options.demo = useDemo;
        // A keep-alive connection holds a thread: the main screen keeps two open, and a screen
        // of another module opened from it needs one of its own.
        options.threads = 3;
        server = std::make_unique<srv::ServerInstance>(options);
        host.port = server->port();
    }
    return *server;
}

TfrmCalcOrcaOper& ScreenFixture::openScreen() {
    startServer();
    host.token = server->loginToken(host.op, host.op);
    event([] { CriaCalcOrcaOper(); });
    form = frmCalcOrcaOper;
    if (!form) ADD_FAILURE() << "the screen did not open:\n" << messages();
    return *form;
}

bool ScreenFixture::event(const std::function<void()>& action) {
    return app.dispatch(action);
}

void ScreenFixture::typeText(const std::string& text) {
    for (char c : text)
        event([&] { form->TypeChar(static_cast<unsigned char>(c)); });
}

bool ScreenFixture::focus(const std::string& controlName) {
    auto* control = form->Find<TWinControl>(controlName);
    if (!control) {
        ADD_FAILURE() << "no control " << controlName;
        return false;
    }
    bool moved = false;
    event([&] { moved = form->FocusControl(control); });
    return moved;
}

std::string ScreenFixture::codes(TClientDataSet& cds, const char* field) {
    std::string out;
    if (!cds.Active()) return "(closed)";
    const int index = cds.FieldByName(field).Index();
    for (int row = 0; row < cds.RecordCount(); ++row)
        out += (out.empty() ? "" : " ") + cds.RowValue(row, index).toText();
    return out;
}

void ScreenFixture::confirmFilterWhenAsked() {
    platform.onModal("TfrmFiltroCalculoOrc", [](TForm& dialog) {
        static_cast<TfrmFiltroCalculoOrc&>(dialog).sbtConfirma->Click();
    });
}

void ScreenFixture::cancelFilterWhenAsked() {
    platform.onModal("TfrmFiltroCalculoOrc", [](TForm& dialog) {
        static_cast<TfrmFiltroCalculoOrc&>(dialog).sbtCancel->Click();
    });
}

void ScreenFixture::loadBudget(int year, int version) {
    focus("speAno");
    event([&] { form->Find<TWinControl>("speAno")->SetFocus(); });
    auto* ano = form->speAno;
    auto* versao = form->edtVersao;
    event([&] { ano->SetText(std::to_string(year)); });
    focus("edtVersao");
    event([&] { versao->SetText(std::to_string(version)); });
    focus("pgcOrcamento");
}
