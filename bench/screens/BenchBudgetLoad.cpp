// Loads a generated company's budget through the main screen, as an operator does, and prints
// the wall time of the first load and of the reload (F5): "bench: name: value unit".
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "server/ServerInstance.h"
#include "server/demo/DemoCompany.h"
#include "services/data/NumberFormat.h"
#include "services/ui/testing/FixedHost.h"
#include "services/net/Login.h"
#include "services/ui/Application.h"
#include "services/ui/HeadlessPlatform.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TfrmRotiGeral.h"

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

struct BenchHost : FixedHost {
    BenchHost() { token.clear(); }
};

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void measure(int branches, int itemsPerBranch) {
    srv::ServerOptions options;
    options.threads = 2;
    srv::ServerInstance server(options);
    srv::DemoCompany::fillGenerated(server.store(), branches, itemsPerBranch);

    BenchHost host;
    host.port = server.port();
    const LoginResult login = Login("127.0.0.1", host.port, "demo", "demo");
    if (!login.ok) {
        std::fprintf(stderr, "bench-screens: login refused: %s\n", login.error.c_str());
        return;
    }
    host.token = login.token;
    host.name = login.name;

    HeadlessPlatform platform;
    Application app(platform, &host);
    ApplicationScope scope(app);
    app.setToday(EncodeDate(2026, 5, 10));
    initializeModuleState();
    platform.onModal("TfrmFiltroCalculoOrc", [](TForm& dialog) {
        static_cast<TfrmRotiGeral&>(dialog).sbtConfirma->Click();
    });
    app.dispatch([] { CriaCalcOrcaOper(); });
    TfrmCalcOrcaOper& screen = *frmCalcOrcaOper;
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
    delete frmCalcOrcaOper;
    app.freeReleasedForms();
    initializeModuleState();
}

} // namespace

int main() {
    measure(50, 24);
    measure(200, 24);
    return 0;
}
