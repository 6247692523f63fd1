// Value entry on a generated company's budget through the main screen, as an operator works:
// a page change with its branch summary, typing a month value and leaving the cell, and the
// client side of a billing-tab save. Prints "bench: name: value unit".
#include "bench/screens/BenchSession.h"
#include "server/ServerInstance.h"
#include "server/demo/DemoCompany.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    constexpr int kBranches = 1000;
    srv::ServerOptions options;
    options.threads = 2;
    srv::ServerInstance server(options);
    srv::DemoCompany::fillGenerated(server.store(), kBranches, 12);

    BenchSession session("bench-screens-entry", server.port());
    if (!session.ok()) return 1;
    Application& app = *session.app;
    HeadlessPlatform& platform = session.platform;
    TfrmCalcOrcaOper& screen = session.screen();
    screen.LigaEventosEntrada();
    app.dispatch([&] { screen.edtVersao->SetFocus(); });
    app.dispatch([&] { screen.edtVersao->SetText("1"); });
    app.dispatch([&] { screen.pgcOrcamento->SetFocus(); });

    // Page change with the branch summary: labour, head office, billing in turn.
    std::vector<double> pages;
    for (int i = 0; i < 5; ++i)
        for (TTabSheet* sheet : {screen.tshMaoObra, screen.tshMatriz, screen.tshFaturBruto})
            pages.push_back(millisecondsOf(
                [&] { app.dispatch([&] { screen.pgcOrcamento->SelectPage(sheet); }); }));

    // Typing a value and leaving the cell, row after row of the billing grid.
    TDBGrid* grid = screen.dbgItOrcFatur;
    const int jan = grid->ColumnByFieldName("VRORCAMENTOJAN")->Index();
    app.dispatch([&] { grid->SetFocus(); });
    std::vector<double> entries;
    for (int row = 0; row < 50; ++row) {
        app.dispatch([&] { grid->ClickCell(row, jan); });
        entries.push_back(millisecondsOf([&] {
            for (char c : std::string("1.234,5"))
                app.dispatch([&] { screen.TypeChar(static_cast<unsigned char>(c)); });
            app.dispatch([&] { screen.PressKey(VK_TAB); });
        }));
    }

    // The client side of a billing-tab save: the marks of every row and the delta encoded for
    // sending. The connection points at a port where nothing listens, so neither the network,
    // the server's work nor the reload is counted.
    std::vector<double> saves;
    app.dispatch([&] { screen.netCalcOrcaOper.SetConnected(false); });
    screen.netCalcOrcaOper.BeforeConnect = [](TNetConnection& c) {
        c.Host = "127.0.0.1";
        c.Port = 1;
    };
    for (int i = 0; i < 3; ++i) {
        app.dispatch([&] {
            if (screen.cdsItensOrcFatCons.State() == dsBrowse) screen.cdsItensOrcFatCons.Edit();
        });
        platform.answerNext(mrYes);
        saves.push_back(millisecondsOf(
            [&] { app.dispatch([&] { screen.sbtConfirmarClick(screen.sbtConfirmar); }); }));
        app.dispatch([&] { screen.cdsItensOrcFatCons.CancelUpdates(); });
    }

    std::printf("bench: page-change: %.1f ms\n", median(pages));
    std::printf("bench: value-entry: %.2f ms\n", median(entries));
    std::printf("bench: billing-save-client: %.1f ms\n", median(saves));
    const std::string shown = platform.messagesText();
    std::fprintf(stderr, "bench-screens-entry: %d billing rows; messages shown:\n%s",
                 screen.cdsItensOrcFatCons.RecordCount(), shown.c_str());
    return 0;
}
