#include "DataSetFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using fixture::rows;

namespace {

void loadItems(TClientDataSet& ds) {
    fixture::load(ds, "SEQ:S2;CDFILIAL:S4;CDDESPADMFAT:S2;VR:F",
                  {{"01", "0002", "B", 1.0},
                   {"02", "0001", "B", 2.0},
                   {"03", "0002", "A", 3.0},
                   {"04", "0001", "A", 4.0},
                   {"05", "0001", "B", 5.0}});
}

} // namespace

TEST(DataSetOrder, GivenIndexFieldNames_WhenSet_ThenRowsSortStablyAndTheCursorStays) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.Locate("SEQ", {"03"});
    ds.SetIndexFieldNames("CDFILIAL");
    EXPECT_EQ(rows(ds, "SEQ"), "02|04|05|01|03"); // equal keys keep the load order
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "03");
    EXPECT_EQ(ds.RecNo(), 5);
    ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
    EXPECT_EQ(rows(ds, "SEQ"), "04|02|05|03|01");
    EXPECT_EQ(ds.IndexFieldNames(), "CDFILIAL;CDDESPADMFAT");
    ds.SetIndexFieldNames("");
    EXPECT_EQ(rows(ds, "SEQ"), "01|02|03|04|05");
    EXPECT_THROW(ds.SetIndexFieldNames("CDFILIAL;NOPE"), DataSetError);
    EXPECT_EQ(ds.IndexFieldNames(), "");
}

TEST(DataSetOrder, GivenNamedIndexes_WhenChosen_ThenDescendingFieldsReverse) {
    TClientDataSet ds("cdsItens");
    ds.AddIndex("porValor", "VR", "VR");
    loadItems(ds);
    ds.AddIndex("porFilial", "CDFILIAL;VR", "VR");
    ds.SetIndexName("porValor");
    EXPECT_EQ(rows(ds, "SEQ"), "05|04|03|02|01");
    ds.SetIndexName("porFilial");
    EXPECT_EQ(rows(ds, "SEQ"), "05|04|02|03|01");
    ds.SetIndexFieldNames("SEQ");
    EXPECT_EQ(ds.IndexName(), "");
    EXPECT_EQ(rows(ds, "SEQ"), "01|02|03|04|05");
    EXPECT_THROW(ds.SetIndexName("nenhum"), DataSetError);
    EXPECT_THROW(ds.AddIndex("ruim", "NOPE"), DataSetError);
}

TEST(DataSetOrder, GivenAnOrder_WhenRowsAreEditedOrAdded_ThenTheyTakeTheirPlace) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetIndexFieldNames("VR");
    ds.First();
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(4.5);
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ"), "02|03|04|01|05");
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "01"); // the cursor follows its row
    ds.Append();
    ds.FieldByName("SEQ").SetAsString("06");
    ds.FieldByName("VR").SetAsFloat(0.5);
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ"), "06|02|03|04|01|05");
    EXPECT_EQ(ds.RecNo(), 1);
    ds.SetIndexFieldNames("");
    EXPECT_EQ(rows(ds, "SEQ"), "01|02|03|04|05|06");
}

TEST(DataSetOrder, GivenAnOrderAndAFilter_WhenBothApply_ThenFilteredRowsInIndexOrder) {
    for (const bool indexed : {true, false}) {
        TClientDataSet ds("cdsItens");
        ds.SetFilterIndexesEnabled(indexed);
        ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
        ds.SetFilter("CDFILIAL = '0001' AND CDDESPADMFAT IN ('A','B')");
        ds.SetFiltered(true);
        loadItems(ds);
        EXPECT_EQ(rows(ds, "SEQ"), "04|02|05") << indexed;
        ds.SetIndexFieldNames("VR");
        EXPECT_EQ(rows(ds, "SEQ"), "02|04|05") << indexed;
    }
}

// Rows that arrive already ordered by the leading fields of an index (a budget comes by
// branch) sort only within their runs; the result must be the full stable sort all the same.
TEST(DataSetOrder, GivenRowsPartlyInIndexOrder_WhenIndexed_ThenTheOrderIsTheFullStableSort) {
    struct Case {
        const char* index;
        const char* descending;
        std::vector<std::vector<Variant>> rows;
        const char* expected;
    };
    const std::vector<Case> cases = {
        // in branch order, unsorted within: sorted by expense inside each branch
        {"CDFILIAL;CDDESPADMFAT",
         "",
         {{"01", "0001", "B", 1.0},
          {"02", "0001", "A", 2.0},
          {"03", "0001", "B", 3.0},
          {"04", "0002", "C", 4.0},
          {"05", "0002", "A", 5.0}},
         "02|01|03|05|04"},
        // wholly in order already: untouched
        {"CDFILIAL;CDDESPADMFAT",
         "",
         {{"01", "0001", "A", 1.0}, {"02", "0001", "B", 2.0}, {"03", "0002", "A", 3.0}},
         "01|02|03"},
        // a branch out of place: the whole sort, not just the runs
        {"CDFILIAL;CDDESPADMFAT",
         "",
         {{"01", "0002", "A", 1.0}, {"02", "0001", "B", 2.0}, {"03", "0001", "A", 3.0}},
         "03|02|01"},
        // descending leading field already in order, ascending second field sorted in runs
        {"CDFILIAL;VR",
         "CDFILIAL",
         {{"01", "0002", "A", 9.0},
          {"02", "0002", "A", 1.0},
          {"03", "0001", "A", 5.0},
          {"04", "0001", "A", 2.0}},
         "02|01|04|03"},
        // two leading fields in order, the third sorted within the equal pairs, stably
        {"CDFILIAL;CDDESPADMFAT;VR",
         "",
         {{"01", "0001", "A", 2.0},
          {"02", "0001", "A", 1.0},
          {"03", "0001", "A", 1.0},
          {"04", "0001", "B", 0.0},
          {"05", "0002", "A", 7.0},
          {"06", "0002", "A", 3.0}},
         "02|03|01|04|06|05"},
    };
    for (const Case& c : cases) {
        TClientDataSet ds("cdsItens");
        ds.AddIndex("ordem", c.index, c.descending);
        fixture::load(ds, "SEQ:S2;CDFILIAL:S4;CDDESPADMFAT:S2;VR:F", c.rows);
        ds.SetIndexName("ordem");
        EXPECT_EQ(rows(ds, "SEQ"), c.expected) << c.index;
    }
}

// The same against a plain stable sort, over rows in every degree of order.
TEST(DataSetOrder, GivenManyRowsInAnyDegreeOfOrder_WhenIndexed_ThenTheyMatchAStableSort) {
    unsigned seed = 7;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int shuffled : {0, 1, 5, 100}) {
        std::vector<std::vector<Variant>> data;
        for (int i = 0; i < 300; ++i) {
            char branch[8];
            std::snprintf(branch, sizeof branch, "%04d", i / 12);
            data.push_back({Variant(std::to_string(1000 + i)), Variant(branch),
                            Variant(std::string(1, static_cast<char>('A' + next(4)))),
                            Variant(static_cast<double>(next(3)))});
        }
        // A few rows swapped out of branch order (none at all for the first round).
        for (int s = 0; s < shuffled; ++s)
            std::swap(data[next(300)], data[next(300)]);
        std::vector<std::size_t> expected(data.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            expected[i] = i;
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            for (std::size_t f : {1u, 2u, 3u}) {
                const int c = Variant::compare(data[a][f], data[b][f]);
                if (c != 0) return c < 0;
            }
            return false;
        });
        std::string want;
        for (std::size_t i : expected)
            want += (want.empty() ? "" : "|") + data[i][0].toText();
        TClientDataSet ds("cdsItens");
        fixture::load(ds, "SEQ:S4;CDFILIAL:S4;CDDESPADMFAT:S2;VR:F", data);
        ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT;VR");
        EXPECT_EQ(rows(ds, "SEQ"), want) << shuffled << " rows swapped";
    }
}

// An order comes back from before when its index is chosen again; whatever happened to the
// rows in between, it must be the order a fresh sort gives.
TEST(DataSetOrder, GivenAnOrderUsedBefore_WhenRowsChangeUnderAnotherOrder_ThenItComesBackFresh) {
    struct Change {
        const char* what;
        std::function<void(TClientDataSet&)> apply;
        const char* expected; // by "CDFILIAL;CDDESPADMFAT", then by "VR"
    };
    auto at = [](TClientDataSet& ds, const char* seq) { ASSERT_TRUE(ds.Locate("SEQ", {seq})); };
    // A value typed into one field of the row `seq`.
    auto typed = [&](const char* seq, const char* field, Variant value) {
        return [=](TClientDataSet& ds) {
            at(ds, seq);
            ds.Edit();
            ds.FieldByName(field).SetAsVariant(value);
            ds.Post();
        };
    };
    const std::vector<Change> changes = {
        {"nothing", [](TClientDataSet&) {}, "04|02|05|03|01 / 01|02|03|04|05"},
        {"a key typed", typed("01", "CDFILIAL", "0001"), "04|01|02|05|03 / 01|02|03|04|05"},
        {"a value typed", typed("01", "VR", 9.0), "04|02|05|03|01 / 02|03|04|05|01"},
        {"a row appended",
         [](TClientDataSet& ds) {
             ds.Append();
             ds.FieldByName("SEQ").SetAsString("06");
             ds.FieldByName("CDFILIAL").SetAsString("0001");
             ds.FieldByName("CDDESPADMFAT").SetAsString("A");
             ds.FieldByName("VR").SetAsFloat(0.5);
             ds.Post();
         },
         "04|06|02|05|03|01 / 06|01|02|03|04|05"},
        {"a row inserted and cancelled",
         [](TClientDataSet& ds) {
             ds.Insert();
             ds.FieldByName("SEQ").SetAsString("07");
             ds.Cancel();
         },
         "04|02|05|03|01 / 01|02|03|04|05"},
        {"a row deleted",
         [&](TClientDataSet& ds) {
             at(ds, "04");
             ds.Delete();
         },
         "02|05|03|01 / 01|02|03|05"},
        {"a row deleted and the change log merged",
         [&](TClientDataSet& ds) {
             at(ds, "02");
             ds.Delete();
             ds.MergeChangeLog();
         },
         "04|05|03|01 / 01|03|04|05"},
        {"changes undone",
         [&](TClientDataSet& ds) {
             at(ds, "04");
             ds.Delete();
             typed("05", "CDDESPADMFAT", "0")(ds);
             ds.CancelUpdates();
         },
         "04|02|05|03|01 / 01|02|03|04|05"},
        {"other rows loaded",
         [](TClientDataSet& ds) {
             fixture::load(ds, "SEQ:S2;CDFILIAL:S4;CDDESPADMFAT:S2;VR:F",
                           {{"11", "0009", "B", 3.0}, {"12", "0008", "A", 1.0}});
         },
         "12|11 / 12|11"},
    };
    for (const Change& change : changes) {
        TClientDataSet ds("cdsItens");
        loadItems(ds);
        ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
        ds.SetIndexFieldNames("VR");
        change.apply(ds);
        ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
        const std::string byBranch = rows(ds, "SEQ");
        ds.SetIndexFieldNames("VR");
        EXPECT_EQ(byBranch + " / " + rows(ds, "SEQ"), change.expected) << change.what;
        // Back and forth again, nothing changed since: the same orders.
        ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
        EXPECT_EQ(rows(ds, "SEQ"), byBranch) << change.what;
    }
}

// A filter shows the rows of the order that comes back, not those of the one before.
TEST(DataSetOrder, GivenAFilterInForce_WhenAnOrderComesBack_ThenTheFilteredRowsFollowIt) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetFilter("CDFILIAL = '0001'");
    ds.SetFiltered(true);
    ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
    ds.SetIndexFieldNames("VR");
    ASSERT_TRUE(ds.Locate("SEQ", {"05"}));
    ds.Edit();
    ds.FieldByName("CDDESPADMFAT").SetAsString("0");
    ds.Post();
    ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
    EXPECT_EQ(rows(ds, "SEQ;CDDESPADMFAT"), "05 0|04 A|02 B");
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "05"); // the cursor stays on its row
    ds.SetFilter("CDFILIAL = '0002'");
    ds.SetIndexFieldNames("VR");
    ds.SetIndexFieldNames("CDFILIAL;CDDESPADMFAT");
    EXPECT_EQ(rows(ds, "SEQ;CDDESPADMFAT"), "03 A|01 B");
}
