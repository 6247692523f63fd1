#pragma once

// What both screen benchmarks share: a headless application logged in as demo on a server,
// with the main screen open and the calculation filter confirmed whenever it is asked.
#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/data/NumberFormat.h"
#include "services/net/Login.h"
#include "services/ui/Application.h"
#include "services/ui/HeadlessPlatform.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TfrmRotiGeral.h"
#include "services/ui/testing/FixedHost.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

inline double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

class BenchSession {
public:
    // Logs in on the server at `port`; ok() is false (and the reason printed) when refused.
    BenchSession(const char* program, int port) {
        host.port = port;
        const LoginResult login = Login("127.0.0.1", port, "demo", "demo");
        if (!login.ok) {
            std::fprintf(stderr, "%s: login refused: %s\n", program, login.error.c_str());
            return;
        }
        host.token = login.token;
        host.name = login.name;
        app = std::make_unique<Application>(platform, &host);
        scope = std::make_unique<ApplicationScope>(*app);
        app->setToday(EncodeDate(2026, 5, 10));
        initializeModuleState();
        platform.onModal("TfrmFiltroCalculoOrc", [](TForm& dialog) {
            static_cast<TfrmRotiGeral&>(dialog).sbtConfirma->Click();
        });
        app->dispatch([] { CriaCalcOrcaOper(); });
    }

    // The screen goes before the server it talks to.
    ~BenchSession() {
        if (!app) return;
        delete frmCalcOrcaOper;
        app->freeReleasedForms();
        initializeModuleState();
    }
    BenchSession(const BenchSession&) = delete;
    BenchSession& operator=(const BenchSession&) = delete;

    bool ok() const { return frmCalcOrcaOper != nullptr && app != nullptr; }
    TfrmCalcOrcaOper& screen() { return *frmCalcOrcaOper; }

    FixedHost host;
    HeadlessPlatform platform;
    std::unique_ptr<Application> app;
    std::unique_ptr<ApplicationScope> scope;
};
