#include "tests/server/ServerFixture.h"

void ServerOnBackend::SetUp() {
    const std::string database = TestDatabases::newSpec(GetParam());
    if (database.empty())
        GTEST_SKIP() << "no PostgreSQL server for this run (FYN_TEST_PG_URL_FILE)";
    srv::ServerOptions options;
    options.db = database;
    options.testFixture = true;
    options.threads = 4;
    m_server = std::make_unique<srv::ServerInstance>(options);
    m_teste = std::make_unique<RpcTestClient>(*m_server, "teste", "teste");
}

Answer ServerOnBackend::load(RpcTestClient& client, int version, const std::string& branches,
                             const std::string& groups, const std::string& regions,
                             const std::string& segments, const std::string& op) {
    return client.budget("GetDadosOrcamento",
                         {val("2026"), val(version), val(op.empty() ? client.operatorCode() : op),
                          byref(branches), byref(groups), byref(regions), byref(segments)});
}

Answer ServerOnBackend::save(RpcTestClient& client, const Variant& delta, const std::string& kind,
                             int version, const std::string& op) {
    const Variant today = Variant::fromDate(46000);
    return client.budget("SetItensOrcFatCons",
                         {byref(delta), val(kind), val("2026"), val(version),
                          val(op.empty() ? client.operatorCode() : op), val("N"), val(false),
                          val(false), val(Variant()), val(""), val(today), val(today)});
}

int rowOf(const DataPacket& packet, const std::string& branch, const std::string& type) {
    for (std::size_t r = 0; r < packet.rows.size(); ++r)
        if (packet.value(r, "CDFILIAL").toText() == branch &&
            packet.value(r, "IDTIPOORCAOP").toText() == type)
            return static_cast<int>(r);
    return -1;
}

DataPacket modifiedDelta(const DataPacket& loaded,
                         const std::vector<std::pair<int, std::map<std::string, Variant>>>& edits) {
    DataPacket delta;
    delta.fields = loaded.fields;
    for (const auto& [row, values] : edits) {
        std::vector<Variant> now = loaded.rows.at(static_cast<std::size_t>(row));
        for (const auto& [field, value] : values)
            now.at(static_cast<std::size_t>(loaded.fieldIndex(field))) = value;
        delta.changes.push_back({UpdateKind::Modified, static_cast<std::int32_t>(delta.rows.size()),
                                 loaded.rows.at(static_cast<std::size_t>(row))});
        delta.rows.push_back(std::move(now));
    }
    return delta;
}

DataPacket checkedRows(DataPacket p, const std::string& check,
                       const std::vector<std::string>& branches, const std::string& type) {
    const int f = p.fieldIndex(check);
    const int b = p.fieldIndex("CDFILIAL");
    const int t = p.fieldIndex("IDTIPOORCAOP");
    for (auto& row : p.rows)
        for (const std::string& code : branches)
            if (row[std::size_t(b)].toText() == code &&
                (type.empty() || row[std::size_t(t)].toText() == type))
                row[std::size_t(f)] = Variant("S");
    return p;
}

double monthValue(const DataPacket& packet, int row, const std::string& field) {
    const Variant& v = packet.value(static_cast<std::size_t>(row), field);
    return v.isNull() ? 0.0 : v.toDouble();
}

INSTANTIATE_TEST_SUITE_P(Backends, ServerOnBackend,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });
