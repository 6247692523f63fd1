// Saves of the main screen (SetItensOrcFatCons kinds N and T): what is written, what is refused
// and that a refusal writes nothing.
#include "tests/server/ServerFixture.h"

#include <thread>

namespace {

struct Loaded {
    Answer answer;
    const DataPacket& fatCons() const { return answer.packet(1); }
    const DataPacket& items() const { return answer.packet(2); }
    const DataPacket& fees() const { return answer.packet(5); }
};

class Saves : public ServerOnBackend {
protected:
    Loaded loaded(RpcTestClient& client, int version = 2) {
        Loaded l{load(client, version)};
        EXPECT_TRUE(l.answer.ok) << l.answer.error;
        return l;
    }
    // Every month value of every item dataset of a fresh load, to compare before and after.
    std::string snapshot(RpcTestClient& client, int version = 2) {
        Loaded l = loaded(client, version);
        std::vector<std::string> f{"CDFILIAL", "IDTIPOORCAOP", "NRSEQITEMORCA"};
        for (const char* m :
             {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN", "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"})
            f.push_back(std::string("VRORCAMENTO") + m);
        f.push_back("IDALTERADO");
        return dumpRows(l.fatCons(), f) + dumpRows(l.items(), f) + dumpRows(l.fees(), f);
    }
};

TEST_P(Saves, GivenAnOpenRow_WhenSavingChangedMonths_ThenTheReloadShowsThemRounded) {
    Loaded before = loaded(teste());
    const int fat = rowOf(before.fatCons(), "0001", "F");
    const int tax = rowOf(before.items(), "0001", "I");
    ASSERT_GE(fat, 0);
    ASSERT_GE(tax, 0);

    Answer a = save(teste(), modifiedDelta(before.fatCons(),
                                           {{fat,
                                             {{"VRORCAMENTOJAN", Variant(1234.565)},
                                              {"IDALTERADO", Variant("S")},
                                              {"DTMESBASEITEM", Variant::fromDate(46082)}}}}));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet()), "OK|1\n");
    // The delta is not sent back.
    EXPECT_TRUE(a.byref.at(0).isNull());

    ASSERT_TRUE(
        save(teste(), modifiedDelta(before.items(), {{tax, {{"VRORCAMENTODEZ", Variant(-0.005)}}}}))
            .ok);

    Loaded after = loaded(teste());
    EXPECT_DOUBLE_EQ(monthValue(after.fatCons(), fat, "VRORCAMENTOJAN"), 1234.57);
    EXPECT_EQ(after.fatCons().value(static_cast<std::size_t>(fat), "IDALTERADO").toText(), "S");
    EXPECT_DOUBLE_EQ(
        after.fatCons().value(static_cast<std::size_t>(fat), "DTMESBASEITEM").toDouble(), 46082);
    EXPECT_DOUBLE_EQ(monthValue(after.items(), tax, "VRORCAMENTODEZ"), -0.01);
    // Totals follow the saved months.
    EXPECT_NEAR(after.fatCons().value(static_cast<std::size_t>(fat), "TOTAL").toDouble() -
                    before.fatCons().value(static_cast<std::size_t>(fat), "TOTAL").toDouble(),
                1234.57 - monthValue(before.fatCons(), fat, "VRORCAMENTOJAN"), 1e-6);

    // The fee rows save with kind T.
    const int fee = rowOf(after.fees(), "0002", "T");
    ASSERT_GE(fee, 0);
    ASSERT_TRUE(save(teste(),
                     modifiedDelta(after.fees(), {{fee, {{"VRORCAMENTOMAR", Variant(77.0)}}}}), "T")
                    .ok);
    EXPECT_DOUBLE_EQ(monthValue(loaded(teste()).fees(), fee, "VRORCAMENTOMAR"), 77.0);
}

TEST_P(Saves, GivenNoPendingChanges_WhenSaving_ThenTheServerAnswersOkAndWritesNothing) {
    const std::string before = snapshot(teste());
    Answer a = save(teste(), Variant());
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet()), "OK|0\n");
    EXPECT_EQ(snapshot(teste()), before);
    // Even an empty save names a version that does not exist.
    EXPECT_FALSE(save(teste(), Variant(), "N", 7).ok);
}

TEST_P(Saves, GivenRowsClosedToTheOperator_WhenSaving_ThenEachIsRefusedAndNothingIsWritten) {
    Loaded l = loaded(teste());
    const std::string before = snapshot(teste());
    struct Case {
        const char* what;
        std::string branch;
        std::string type;
        const char* expected;
    };
    const Case cases[] = {
        {"effected branch", "0003", "I", "efetivad"},
        {"approved branch", "0004", "O", "aprovad"},
        {"branch without calculation access", "0005", "D",
         "Gerente não tem permissão para realizar o cálculo do orçamento desta filial."},
    };
    for (const Case& c : cases) {
        const int row = rowOf(l.items(), c.branch, c.type);
        ASSERT_GE(row, 0) << c.what;
        Answer a =
            save(teste(), modifiedDelta(l.items(), {{row, {{"VRORCAMENTOJUL", Variant(5.0)}}}}));
        EXPECT_FALSE(a.ok) << c.what;
        EXPECT_NE(a.error.find(c.expected), std::string::npos) << c.what << ": " << a.error;
    }

    // A fee row sent as a plain save, and a plain row sent as a fee save.
    const int fee = rowOf(l.fees(), "0001", "T");
    EXPECT_FALSE(
        save(teste(), modifiedDelta(l.fees(), {{fee, {{"VRORCAMENTOJAN", Variant(1.0)}}}})).ok);
    const int item = rowOf(l.items(), "0001", "M");
    EXPECT_FALSE(
        save(teste(), modifiedDelta(l.items(), {{item, {{"VRORCAMENTOJAN", Variant(1.0)}}}}), "T")
            .ok);

    // A version that is not the latest of its year is read-only.
    Loaded old = loaded(teste(), 1);
    const int oldRow = rowOf(old.items(), "0001", "I");
    Answer a =
        save(teste(), modifiedDelta(old.items(), {{oldRow, {{"VRORCAMENTOJAN", Variant(3.0)}}}}),
             "N", 1);
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("última versão"), std::string::npos) << a.error;

    // Rows of another year or version than the arguments name.
    DataPacket foreign = modifiedDelta(l.items(), {{item, {{"CDVERSORCAOP", Variant(1.0)}}}});
    EXPECT_FALSE(save(teste(), foreign).ok);
    // Nor may a modification move a row to another key.
    Answer moved =
        save(teste(), modifiedDelta(l.items(), {{item, {{"NRSEQITEMORCA", Variant("X")}}}}));
    EXPECT_FALSE(moved.ok);
    EXPECT_NE(moved.error.find("chave"), std::string::npos) << moved.error;

    EXPECT_EQ(snapshot(teste()), before);
}

TEST_P(Saves, GivenAnotherOperatorsChange_WhenSavingFromStaleValues_ThenItIsAConflictNamingTheRow) {
    RpcTestClient fase = as("fase");
    Loaded mine = loaded(teste());
    Loaded theirs = loaded(fase);
    const int row = rowOf(mine.items(), "0002", "N");
    ASSERT_GE(row, 0);
    const int theirRow = rowOf(theirs.items(), "0002", "N");

    // fase changes December first (open to its phase); teste then saves from the old values.
    ASSERT_TRUE(
        save(fase, modifiedDelta(theirs.items(), {{theirRow, {{"VRORCAMENTODEZ", Variant(10.0)}}}}))
            .ok);
    const std::string afterTheirs = snapshot(teste());
    Answer stale =
        save(teste(), modifiedDelta(mine.items(), {{row, {{"VRORCAMENTODEZ", Variant(20.0)}}}}));
    EXPECT_FALSE(stale.ok);
    const std::string seq =
        mine.items().value(static_cast<std::size_t>(row), "NRSEQITEMORCA").toText();
    EXPECT_NE(stale.error.find("Conflito"), std::string::npos) << stale.error;
    EXPECT_NE(stale.error.find(seq), std::string::npos) << stale.error;
    EXPECT_NE(stale.error.find("filial 0002"), std::string::npos) << stale.error;
    EXPECT_EQ(snapshot(teste()), afterTheirs);

    // A change of another field of the row counts too, even when the month sent is untouched.
    Answer staleOther =
        save(teste(), modifiedDelta(mine.items(), {{row, {{"VRORCAMENTOJUN", Variant(1.0)}}}}));
    EXPECT_FALSE(staleOther.ok);

    // After a reload the same change goes through.
    Loaded fresh = loaded(teste());
    EXPECT_TRUE(
        save(teste(), modifiedDelta(fresh.items(), {{row, {{"VRORCAMENTODEZ", Variant(20.0)}}}}))
            .ok);
}

TEST_P(Saves, GivenADeltaFailingOnItsLastRow_WhenSaving_ThenTheDatabaseIsAsItWas) {
    Loaded l = loaded(teste());
    const std::string before = snapshot(teste());
    DataPacket delta = modifiedDelta(
        l.items(), {{rowOf(l.items(), "0001", "I"), {{"VRORCAMENTOJAN", Variant(111.0)}}},
                    {rowOf(l.items(), "0002", "O"), {{"VRORCAMENTOFEV", Variant(222.0)}}},
                    {rowOf(l.items(), "0005", "D"), {{"VRORCAMENTOMAR", Variant(333.0)}}}});
    Answer a = save(teste(), delta);
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("0005"), std::string::npos) << a.error;
    EXPECT_EQ(snapshot(teste()), before);

    // Inserting a row that exists and deleting one that does not are refused the same way.
    DataPacket insert = modifiedDelta(l.items(), {{rowOf(l.items(), "0001", "I"), {}}});
    insert.changes[0] = {UpdateKind::Inserted, 0, {}};
    EXPECT_FALSE(save(teste(), insert).ok);
    DataPacket gone = modifiedDelta(l.items(), {{rowOf(l.items(), "0001", "S"), {}}});
    gone.changes[0] = {UpdateKind::Deleted, -1, gone.rows[0]};
    gone.changes[0].original[static_cast<std::size_t>(gone.fieldIndex("NRSEQITEMORCA"))] =
        Variant("9999999999");
    gone.rows.clear();
    Answer missing = save(teste(), gone);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("excluído"), std::string::npos) << missing.error;
    EXPECT_EQ(snapshot(teste()), before);
}

TEST_P(Saves, GivenInsertAndDelete_WhenSaving_ThenRowsComeAndGo) {
    Loaded l = loaded(teste());
    const int source = rowOf(l.items(), "0001", "N");
    DataPacket insert = modifiedDelta(
        l.items(),
        {{source, {{"NRSEQITEMORCA", Variant("NOVO000001")}, {"VRORCAMENTOABR", Variant(9.5)}}}});
    insert.changes[0] = {UpdateKind::Inserted, 0, {}};
    ASSERT_TRUE(save(teste(), insert).ok);
    Loaded after = loaded(teste());
    int found = -1;
    for (std::size_t r = 0; r < after.items().rows.size(); ++r)
        if (after.items().value(r, "NRSEQITEMORCA").toText() == "NOVO000001")
            found = static_cast<int>(r);
    ASSERT_GE(found, 0);
    EXPECT_DOUBLE_EQ(monthValue(after.items(), found, "VRORCAMENTOABR"), 9.5);

    DataPacket remove;
    remove.fields = after.items().fields;
    remove.changes.push_back(
        {UpdateKind::Deleted, -1, after.items().rows[static_cast<std::size_t>(found)]});
    ASSERT_TRUE(save(teste(), remove).ok);
    EXPECT_EQ(loaded(teste()).items().rows.size(), l.items().rows.size());

    // A code longer than its column is refused by the database: bad input, nothing written.
    DataPacket tooLong = modifiedDelta(l.items(), {{source,
                                                    {{"NRSEQITEMORCA", Variant("NOVO000002")},
                                                     {"CDDESPPREV", Variant("ABCDEFGH")}}}});
    tooLong.changes[0] = {UpdateKind::Inserted, 0, {}};
    Answer refused = save(teste(), tooLong);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("Nada foi gravado"), std::string::npos) << refused.error;
    EXPECT_EQ(loaded(teste()).items().rows.size(), l.items().rows.size());
}

TEST_P(Saves, GivenAPhaseThatClosesMonths_WhenSaving_ThenOnlyOpenMonthsChange) {
    RpcTestClient fase = as("fase");
    Loaded l = loaded(fase);
    const int row = rowOf(l.items(), "0001", "D");
    ASSERT_GE(row, 0);
    Answer jan = save(fase, modifiedDelta(l.items(), {{row, {{"VRORCAMENTOJAN", Variant(42.0)}}}}));
    EXPECT_FALSE(jan.ok);
    EXPECT_NE(jan.error.find("JAN"), std::string::npos) << jan.error;
    ASSERT_TRUE(
        save(fase, modifiedDelta(l.items(), {{row, {{"VRORCAMENTOABR", Variant(42.0)}}}})).ok);
    EXPECT_DOUBLE_EQ(monthValue(loaded(fase).items(), row, "VRORCAMENTOABR"), 42.0);

    // A phase that forbids calculation forbids every save, even of open branches.
    RpcTestClient bloq = as("bloq");
    Loaded b = loaded(bloq);
    Answer refused = save(bloq, modifiedDelta(b.items(), {{rowOf(b.items(), "0001", "D"),
                                                           {{"VRORCAMENTOABR", Variant(1.0)}}}}));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("não habilitada para cálculo"), std::string::npos)
        << refused.error;

    // Nor can one operator save as another.
    EXPECT_FALSE(save(teste(), Variant(), "N", 2, "fase").ok);
}

INSTANTIATE_TEST_SUITE_P(Backends, Saves,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace

namespace {

TEST_P(Saves,
       GivenABillingSaveMarkingEveryRow_WhenSaving_ThenClosedRowsKeepTheirsAndChangesAreWritten) {
    // The billing tab marks every row with calculation access, effected and approved ones too,
    // and sends them all with the one row really changed.
    Loaded l = loaded(teste());
    std::vector<std::pair<int, std::map<std::string, Variant>>> edits;
    for (std::size_t r = 0; r < l.fatCons().rows.size(); ++r) {
        if (l.fatCons().value(r, "IDTIPOORCAOP").toText() != "F" ||
            l.fatCons().value(r, "IDACESSOCALC").toText() != "S")
            continue;
        std::map<std::string, Variant> e{{"IDALTERADO", Variant("S")}};
        if (l.fatCons().value(r, "CDFILIAL").toText() == "0001")
            e["VRORCAMENTOJUN"] = Variant(600.0);
        edits.emplace_back(static_cast<int>(r), e);
    }
    ASSERT_EQ(edits.size(), 4u); // 0001..0004; 0005 has no calculation access
    Answer a = save(teste(), modifiedDelta(l.fatCons(), edits));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpRows(a.packet()), "OK|2\n"); // 0001 changed, 0002 marked; 0003, 0004 closed

    std::string expected;
    for (std::size_t r = 0; r < l.fatCons().rows.size(); ++r) {
        const std::string b = l.fatCons().value(r, "CDFILIAL").toText();
        const std::string t = l.fatCons().value(r, "IDTIPOORCAOP").toText();
        const Variant& old = l.fatCons().value(r, "IDALTERADO");
        const bool marked = t == "F" && (b == "0001" || b == "0002");
        expected += b + "|" + t + "|" + (marked ? "S" : old.isNull() ? "~" : old.toText()) + "\n";
    }
    Loaded after = loaded(teste());
    EXPECT_EQ(dumpRows(after.fatCons(), {"CDFILIAL", "IDTIPOORCAOP", "IDALTERADO"}), expected);
    EXPECT_DOUBLE_EQ(
        monthValue(after.fatCons(), rowOf(after.fatCons(), "0001", "F"), "VRORCAMENTOJUN"), 600.0);
    // A value change on an effected row is still refused.
    const int closed = rowOf(after.fatCons(), "0003", "F");
    Answer refused = save(
        teste(), modifiedDelta(
                     after.fatCons(),
                     {{closed, {{"IDALTERADO", Variant("S")}, {"VRORCAMENTOJUN", Variant(1.0)}}}}));
    EXPECT_FALSE(refused.ok);
}

} // namespace

namespace {

TEST_P(Saves, GivenConcurrentSaves_WhenSomeAreRefused_ThenEachGetsItsOwnOutcome) {
    Loaded l = loaded(teste());
    // Open rows of 0001 and 0002 each saved by a thread of its own, and refused rows of 0005
    // saved at the same moment: the shared commit must not mix their outcomes.
    std::vector<int> open, refused;
    for (std::size_t r = 0; r < l.items().rows.size(); ++r) {
        const std::string b = l.items().value(r, "CDFILIAL").toText();
        if (b == "0001" || b == "0002")
            open.push_back(static_cast<int>(r));
        else if (b == "0005")
            refused.push_back(static_cast<int>(r));
    }
    ASSERT_GE(open.size(), 10u);
    ASSERT_GE(refused.size(), 2u);
    std::vector<std::pair<int, bool>> jobs; // row, expected to pass
    for (int r : open)
        jobs.emplace_back(r, true);
    for (int r : refused)
        jobs.emplace_back(r, false);

    std::vector<Answer> answers(jobs.size());
    std::vector<std::thread> threads;
    for (std::size_t j = 0; j < jobs.size(); ++j)
        threads.emplace_back([&, j] {
            RpcTestClient client(server(), "teste", "teste");
            // A refused save first changes an open row, then fails on its own row: the
            // change before the failure must go too.
            std::vector<std::pair<int, std::map<std::string, Variant>>> edits;
            if (!jobs[j].second)
                edits.push_back({open[j % open.size()], {{"VRORCAMENTOSET", Variant(-7.0)}}});
            edits.push_back({jobs[j].first, {{"VRORCAMENTOAGO", Variant(1000.0 + j)}}});
            answers[j] = save(client, modifiedDelta(l.items(), edits));
        });
    for (auto& t : threads)
        t.join();

    Loaded after = loaded(teste());
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        EXPECT_EQ(answers[j].ok, jobs[j].second) << j << ": " << answers[j].error;
        const double stored = monthValue(after.items(), jobs[j].first, "VRORCAMENTOAGO");
        if (jobs[j].second)
            EXPECT_DOUBLE_EQ(stored, 1000.0 + static_cast<double>(j)) << j;
        else
            EXPECT_DOUBLE_EQ(stored, monthValue(l.items(), jobs[j].first, "VRORCAMENTOAGO")) << j;
    }
    for (int r : open)
        EXPECT_DOUBLE_EQ(monthValue(after.items(), r, "VRORCAMENTOSET"),
                         monthValue(l.items(), r, "VRORCAMENTOSET"));
}

} // namespace
