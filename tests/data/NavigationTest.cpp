#include "DataSetFixture.h"

#include "services/data/EAbort.h"

#include <gtest/gtest.h>

using fixture::rows;
using fixture::walk;

namespace {

void loadBranches(TClientDataSet& ds) {
    fixture::load(ds, "CDFILIAL:S4;NMFILIAL:S30;VR:F",
                  {{"0001", "Centro", 1.0},
                   {"0002", "São Paulo", 2.0},
                   {"0003", "ÁGUA BRANCA", 3.0},
                   {"0004", "Água Verde", 4.0},
                   {"0005", "centro sul", 5.0}});
}

} // namespace

TEST(DataSetNavigation, GivenRows_WhenWalkingWithFirstNextEof_ThenEachRowOnceAndFlagsFollow) {
    TClientDataSet ds("cdsFilial");
    loadBranches(ds);
    EXPECT_EQ(walk(ds, "CDFILIAL"), "0001,0002,0003,0004,0005");
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 5); // stays on the last row

    ds.First();
    EXPECT_TRUE(ds.Bof());
    EXPECT_FALSE(ds.Eof());
    ds.Prior();
    EXPECT_TRUE(ds.Bof());
    EXPECT_EQ(ds.RecNo(), 1);
    EXPECT_EQ(ds.MoveBy(3), 3);
    EXPECT_EQ(ds.FieldByName("CDFILIAL").AsString(), "0004");
    EXPECT_FALSE(ds.Bof() || ds.Eof());
    EXPECT_EQ(ds.MoveBy(10), 1); // stops at the last row
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.MoveBy(-10), -4);
    EXPECT_TRUE(ds.Bof());
    ds.Last();
    EXPECT_TRUE(ds.Eof());
    EXPECT_EQ(ds.RecNo(), 5);
}

TEST(DataSetNavigation, GivenAnEmptyOrClosedDataSet_WhenNavigating_ThenEofAndClearErrors) {
    TClientDataSet ds("cdsVazio");
    ds.AddField("CDFILIAL", FieldType::String, 4);
    EXPECT_THROW(ds.First(), DataSetError);
    ds.CreateDataSet();
    EXPECT_TRUE(ds.IsEmpty());
    ds.First();
    EXPECT_TRUE(ds.Eof() && ds.Bof());
    EXPECT_EQ(ds.RecNo(), 0);
    EXPECT_EQ(ds.MoveBy(1), 0);
    EXPECT_TRUE(ds.FieldByName("CDFILIAL").IsNull());
    EXPECT_EQ(ds.FieldByName("CDFILIAL").AsString(), "");
    EXPECT_FALSE(ds.Locate("CDFILIAL", {"0001"}));
    try {
        ds.FieldByName("NMFILIAL");
        ADD_FAILURE();
    } catch (const DataSetError& e) {
        EXPECT_NE(std::string(e.what()).find("NMFILIAL"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("cdsVazio"), std::string::npos);
    }
    EXPECT_EQ(ds.FindField("nmfilial"), nullptr);
    EXPECT_EQ(&ds.FieldByName("cdfilial"), ds.FindField("CDFILIAL"));
}

TEST(DataSetNavigation, GivenRows_WhenLocating_ThenOptionsDecideAndMissesDoNotMove) {
    for (const bool indexed : {true, false}) {
        TClientDataSet ds("cdsFilial");
        ds.SetFilterIndexesEnabled(indexed);
        loadBranches(ds);
        auto at = [&] { return ds.FieldByName("CDFILIAL").AsString(); };
        EXPECT_TRUE(ds.Locate("CDFILIAL", {"0003"}));
        EXPECT_EQ(at(), "0003");
        EXPECT_FALSE(ds.Locate("NMFILIAL", {"centro"}));
        EXPECT_EQ(at(), "0003");
        EXPECT_TRUE(ds.Locate("NMFILIAL", {"centro"}, {.caseInsensitive = true}));
        EXPECT_EQ(at(), "0001");
        EXPECT_TRUE(ds.Locate("NMFILIAL", {"água verde"}, {.caseInsensitive = true}));
        EXPECT_EQ(at(), "0004");
        EXPECT_TRUE(ds.Locate("NMFILIAL", {"centro s"}, {.partialKey = true}));
        EXPECT_EQ(at(), "0005");
        EXPECT_TRUE(ds.Locate("NMFILIAL", {"ÁGUA"}, {.caseInsensitive = true, .partialKey = true}));
        EXPECT_EQ(at(), "0003");
        EXPECT_TRUE(ds.Locate("cdfilial;VR", {"0002", 2}));
        EXPECT_EQ(at(), "0002");
        EXPECT_FALSE(ds.Locate("CDFILIAL;VR", {"0002", 3}));
        EXPECT_TRUE(ds.Locate("VR", {"4,0"})); // a typed number is read as the field's kind
        EXPECT_EQ(at(), "0004");
        EXPECT_THROW(ds.Locate("VR", {"quatro"}), DataSetError);
        EXPECT_THROW(ds.Locate("NOPE", {"x"}), DataSetError);
        EXPECT_THROW(ds.Locate("CDFILIAL;VR", {"0001"}), DataSetError);
        EXPECT_EQ(at(), "0004");
    }
}

TEST(DataSetNavigation, GivenAFilter_WhenLocating_ThenOnlyVisibleRowsAreFound) {
    TClientDataSet ds("cdsFilial");
    loadBranches(ds);
    ds.SetFilter("VR > 2");
    ds.SetFiltered(true);
    EXPECT_FALSE(ds.Locate("CDFILIAL", {"0001"}));
    EXPECT_TRUE(ds.Locate("CDFILIAL", {"0005"}));
    EXPECT_EQ(ds.RecNo(), 3);
}

TEST(DataSetNavigation, GivenABookmark_WhenRowsChange_ThenItFindsItsRowOrSaysItIsGone) {
    TClientDataSet ds("cdsFilial");
    loadBranches(ds);
    ds.Locate("CDFILIAL", {"0004"});
    const TBookmark mark = ds.GetBookmark();
    ds.SetIndexFieldNames("NMFILIAL");
    ds.First();
    EXPECT_TRUE(ds.BookmarkValid(mark));
    ds.GotoBookmark(mark);
    EXPECT_EQ(ds.FieldByName("CDFILIAL").AsString(), "0004");
    ds.SetFilter("VR < 4");
    ds.SetFiltered(true);
    EXPECT_FALSE(ds.BookmarkValid(mark));
    EXPECT_THROW(ds.GotoBookmark(mark), DataSetError);
    ds.SetFiltered(false);
    ds.GotoBookmark(mark);
    ds.Delete();
    EXPECT_FALSE(ds.BookmarkValid(mark));
    ds.CancelUpdates();
    EXPECT_TRUE(ds.BookmarkValid(mark));
    loadBranches(ds); // a reload makes old bookmarks meaningless
    EXPECT_FALSE(ds.BookmarkValid(mark));
    EXPECT_FALSE(ds.BookmarkValid(TBookmark{}));
}

TEST(DataSetNavigation, GivenBeforeScrollAborts_WhenMoving_ThenTheCursorStays) {
    TClientDataSet ds("cdsFilial");
    loadBranches(ds);
    ds.Locate("CDFILIAL", {"0002"});
    int afterScrolls = 0;
    ds.BeforeScroll = [](TClientDataSet&) { Abort(); };
    ds.AfterScroll = [&](TClientDataSet&) { ++afterScrolls; };
    EXPECT_THROW(ds.Next(), EAbort);
    EXPECT_THROW(ds.First(), EAbort);
    EXPECT_THROW(ds.Locate("CDFILIAL", {"0005"}), EAbort);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(afterScrolls, 0);
    // Detached and re-attached handlers.
    auto saved = ds.BeforeScroll;
    ds.BeforeScroll = nullptr;
    ds.Next();
    EXPECT_EQ(ds.RecNo(), 3);
    ds.BeforeScroll = saved;
    EXPECT_THROW(ds.Prior(), EAbort);
    EXPECT_EQ(ds.RecNo(), 3);
}

TEST(DataSetNavigation, GivenAGridReadingRows_WhenAskingByRow_ThenTheCursorDoesNotMove) {
    TClientDataSet ds("cdsFilial");
    loadBranches(ds);
    ds.FieldByName("VR").SetDisplayFormat("#,##0.00");
    ds.FieldByName("NMFILIAL").OnGetText = [](TField& f, std::string& text, bool) {
        text = "<" + f.DataSet().FieldByName("CDFILIAL").AsString() + ">";
    };
    ds.Locate("CDFILIAL", {"0002"});
    const int vr = ds.FieldByName("VR").Index();
    const int nm = ds.FieldByName("NMFILIAL").Index();
    EXPECT_EQ(ds.RowDisplayText(3, vr), "4,00");
    EXPECT_EQ(ds.RowDisplayText(4, nm), "<0005>"); // the handler sees the row it is asked about
    EXPECT_EQ(ds.RowValue(0, vr).toDouble(), 1.0);
    EXPECT_EQ(ds.CurrentVisibleRow(), 1);
    EXPECT_EQ(ds.FieldByName("NMFILIAL").DisplayText(), "<0002>");
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(9);
    EXPECT_EQ(ds.RowDisplayText(1, vr), "9,00"); // the pending edit shows
    EXPECT_THROW(ds.RowValue(5, 0), DataSetError);
    ds.Cancel();
    ds.MoveToVisibleRow(4);
    EXPECT_EQ(ds.RecNo(), 5);
    EXPECT_THROW(ds.MoveToVisibleRow(5), DataSetError);
}
