#pragma once

#include "server/ServerInstance.h"
#include "tests/server/RpcTestClient.h"
#include "tests/store/TestDatabases.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

// A server on the shared test company (year 2026), on the backend the test is run for.
class ServerOnBackend : public ::testing::TestWithParam<TestDatabases::Kind> {
protected:
    void SetUp() override;

    srv::ServerInstance& server() { return *m_server; }
    // A client logged in as teste (sees 0001..0005), or as another fixture operator.
    RpcTestClient& teste() { return *m_teste; }
    RpcTestClient as(const std::string& op) { return RpcTestClient(*m_server, op, op); }

    // GetDadosOrcamento of 2026 with the four lists.
    Answer load(RpcTestClient& client, int version = 2, const std::string& branches = "T",
                const std::string& groups = "T", const std::string& regions = "T",
                const std::string& segments = "T", const std::string& op = "");
    // SetItensOrcFatCons kind N or T of 2026 with a delta (or null).
    Answer save(RpcTestClient& client, const Variant& delta, const std::string& kind = "N",
                int version = 2, const std::string& op = "");

    std::unique_ptr<srv::ServerInstance> m_server;
    std::unique_ptr<RpcTestClient> m_teste;
};

// The index of the first row of a packet with the given branch and type letter, or -1.
int rowOf(const DataPacket& packet, const std::string& branch, const std::string& type);
// A delta that changes fields of some rows of a loaded packet, as the client's change log does.
DataPacket modifiedDelta(const DataPacket& loaded,
                         const std::vector<std::pair<int, std::map<std::string, Variant>>>& edits);
// A packet with `check` set to "S" on the rows of the given branches (and type letter), as the
// screens mark what a calculation order applies to.
DataPacket checkedRows(DataPacket packet, const std::string& check,
                       const std::vector<std::string>& branches, const std::string& type = "");
// A month value of a row as a double (null reads 0).
double monthValue(const DataPacket& packet, int row, const std::string& field);
