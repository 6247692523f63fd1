#include "DataSetFixture.h"

#include <gtest/gtest.h>

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
