// Loads a generated company's budget through the main screen, as an operator does, and prints
// the wall time of the first load and of the reload (F5): "bench: name: value unit".
#include "bench/screens/BenchSession.h"
#include "server/ServerInstance.h"
#include "server/demo/DemoCompany.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpinEdit.h"

#include <cstdio>
#include <memory>

namespace {

void measure(int branches, int itemsPerBranch) {
    srv::ServerOptions options;
    options.threads = 2;
    srv::ServerInstance server(options);
    srv::DemoCompany::fillGenerated(server.store(), branches, itemsPerBranch);

    BenchSession session("bench-screens", server.port());
    if (!session.ok()) return;
    Application& app = *session.app;
    HeadlessPlatform& platform = session.platform;
    TfrmCalcOrcaOper& screen = session.screen();
    app.dispatch([&] { screen.edtVersao->SetFocus(); });
    app.dispatch([&] { screen.edtVersao->SetText("1"); });

    const double load =
        millisecondsOf([&] { app.dispatch([&] { screen.pgcOrcamento->SetFocus(); }); });
    const double reload = millisecondsOf([&] { app.dispatch([&] { screen.PressKey(VK_F5); }); });
    if (!platform.messagesText().empty())
        std::fprintf(stderr, "bench-screens: messages shown:\n%s", platform.messagesText().c_str());
    const int rows = screen.cdsItensOrcamento.Data().rows.size();
    std::printf("bench: load %d branches x %d items (%d item rows): %.1f ms\n", branches,
                itemsPerBranch, rows, load);
    std::printf("bench: reload %d branches x %d items: %.1f ms\n", branches, itemsPerBranch,
                reload);
}

} // namespace

int main() {
    measure(50, 24);
    measure(200, 24);
    return 0;
}
