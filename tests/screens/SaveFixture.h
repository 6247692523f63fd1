#pragma once

#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/TSpeedButton.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

// The loaded budget with the operator's way to Confirm, and what the server keeps of it.
class SaveFixture : public EntryFixture {
protected:
    // A month of a branch's line as the server keeps it (version 2 of 2026).
    double stored(const std::string& branch, const std::string& type, const std::string& month,
                  const std::string& sequence = {}) {
        std::string sql = "SELECT VRORCAMENTO" + month +
                          " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 "
                          "AND CDFILIAL = ? AND IDTIPOORCAOP = ?";
        std::vector<Variant> params{Variant(branch), Variant(type)};
        if (!sequence.empty()) {
            sql += " AND NRSEQITEMORCA = ?";
            params.emplace_back(sequence);
        }
        return startServer()
            .store()
            .read([&](srv::Database& db) { return db.query(sql, params); })
            .scalar()
            .toDouble();
    }

    void typeMonth(TDBGrid* grid, const std::string& branch, const std::string& month,
                   const std::string& text) {
        clickCell(grid, branch, "VRORCAMENTO" + month);
        typeText(text);
    }

    // Confirm clicked as the operator does: nothing happens while the button is disabled.
    void clickConfirm() {
        platform.answerNext(mrYes);
        event([&] { form->sbtConfirmar->Click(); });
    }
};

// The same with a server whose data lives in a file, so that it can be stopped and started
// again (on the same port once it has one) as an operator would see it.
class FileServerSaveFixture : public SaveFixture {
protected:
    std::string file;
    int port = 0;

    explicit FileServerSaveFixture(const std::string& name)
        : file((std::filesystem::temp_directory_path() /
                ("fyn-" + name + "-" + std::to_string(::getpid()) + ".db"))
                   .string()) {
        // Process ids come round again: an old run's file must not stand in for a fresh company.
        removeFiles();
    }
    ~FileServerSaveFixture() override {
        // The screen goes before the server it talks to.
        delete frmCalcOrcaOper;
        frmCalcOrcaOper = nullptr;
        form = nullptr;
        app.freeReleasedForms();
        server.reset();
        removeFiles();
    }
    void removeFiles() {
        for (const char* suffix : {"", "-wal", "-shm"})
            std::remove((file + suffix).c_str());
    }
    void startFileServer() {
        srv::ServerOptions options;
        options.db = file;
        options.testFixture = true;
        options.threads = 2;
        options.listen = "127.0.0.1:" + std::to_string(port);
        server = std::make_unique<srv::ServerInstance>(options);
        port = server->port();
        host.port = port;
    }
};
