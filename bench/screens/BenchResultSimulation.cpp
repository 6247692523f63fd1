// Opens the result simulation for every branch of a generated 1,000-branch budget, server
// reads included, and compares it with the main screen's own load of that budget:
// "bench: name: value unit".
#include "bench/screens/BenchSession.h"
#include "server/ServerInstance.h"
#include "server/demo/DemoCompany.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"

#include <chrono>
#include <cstdio>

int main() {
    constexpr int kBranches = 1000;
    srv::ServerOptions options;
    options.threads = 2;
    srv::ServerInstance server(options);
    srv::DemoCompany::fillGenerated(server.store(), kBranches, 12);

    BenchSession session("bench-result-simulation", server.port());
    if (!session.ok()) return 1;
    Application& app = *session.app;
    HeadlessPlatform& platform = session.platform;
    TfrmCalcOrcaOper& screen = session.screen();
    app.dispatch([&] { screen.edtVersao->SetFocus(); });
    app.dispatch([&] { screen.edtVersao->SetText("1"); });
    const double load =
        millisecondsOf([&] { app.dispatch([&] { screen.pgcOrcamento->SetFocus(); }); });

    // Every branch checked on the billing page: the simulation opens in list mode.
    TDBGrid* grid = screen.dbgItOrcFatur;
    platform.answerNext(mrYes);
    app.dispatch([&] { grid->ClickTitle(grid->ColumnByFieldName("IDCHECKF")->Index()); });
    platform.clearMessages();

    // From the click until the screen is loaded and shown; its closing is not counted.
    auto start = std::chrono::steady_clock::now();
    double open = 0;
    std::string selection;
    bool list = false;
    platform.onModal("TfrmSimulaResult", [&](TForm& f) {
        open = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                   .count();
        auto& s = static_cast<TfrmSimulaResult&>(f);
        selection = s.stCdFilial;
        list = s.chkFilialLista->Checked();
        s.sbtCancel->Click();
    });
    start = std::chrono::steady_clock::now();
    app.dispatch([&] { screen.sbtSimulaRes->Click(); });
    if (!platform.messagesText().empty())
        std::fprintf(stderr, "bench-result-simulation: messages shown:\n%s",
                     platform.messagesText().c_str());
    if (!list || selection.size() != 1 + 5 * kBranches)
        std::fprintf(stderr,
                     "bench-result-simulation: expected %d listed branches, got %zu "
                     "characters\n",
                     kBranches, selection.size());
    std::printf("bench: result-simulation-open-1000: %.1f ms\n", open);
    std::printf("bench: result-simulation-open-vs-load: %.2f x\n", load > 0 ? open / load : 0.0);
    return 0;
}
