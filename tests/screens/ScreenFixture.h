#pragma once

#include "server/ServerInstance.h"
#include "services/ui/Application.h"
#include "services/ui/HeadlessPlatform.h"
#include "services/ui/MemoryOptionStore.h"
#include "services/ui/testing/FixedHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class TfrmCalcOrcaOper;
class TClientDataSet;

// The host as a test sets it up: the operator logged in on the in-process server.
struct TestHost : FixedHost {
    TestHost() {
        op = "teste";
        name = "Operador de Teste";
        port = 0;
        token.clear();
    }
    // Stands in for the shell's loader: the test opens the other module's screen itself.
    std::function<void(const std::string&, const std::vector<Variant>&)> onLoadBPL;
    void LoadBPL(const std::string& code, const std::vector<Variant>& params) override {
        FixedHost::LoadBPL(code, params);
        if (onLoadBPL) onLoadBPL(code, params);
    }
};

// A test with the real server on loopback filled with the shared fixture (or the demo
// company), a headless application whose "today" is 10/05/2026, and the module's state reset.
class ScreenFixture : public ::testing::Test {
protected:
    ScreenFixture();
    ~ScreenFixture() override;

    // Logs `op` in (password equal to the code in the fixture) before the screen opens.
    void loginAs(const std::string& op);
    // The server on loopback, started on first use.
    srv::ServerInstance& startServer();
    // Runs the module's entry as the host does and returns the main screen.
    TfrmCalcOrcaOper& openScreen();
    // One operator event, as the renderer delivers it; false when it ended by an exception.
    bool event(const std::function<void()>& action);
    // Types a text into the focused control, character by character.
    void typeText(const std::string& text);
    // Moves the focus to a named control of the main screen.
    bool focus(const std::string& controlName);
    // The branch codes of a dataset's visible rows, in order: "0001 0002".
    static std::string codes(TClientDataSet& cds, const char* field = "CDFILIAL");
    // Answers the filter dialog: confirms it as it opens, or cancels it.
    void confirmFilterWhenAsked();
    void cancelFilterWhenAsked();
    // Year and version typed, panel left with the filter confirmed.
    void loadBudget(int year, int version);
    std::string messages() const { return platform.messagesText(); }

    bool useDemo = false;
    std::unique_ptr<srv::ServerInstance> server;
    HeadlessPlatform platform;
    TestHost host;
    MemoryOptionStore options;
    Application app{platform, &host};
    ApplicationScope scope{app};
    TfrmCalcOrcaOper* form = nullptr;
};
