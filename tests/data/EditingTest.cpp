#include "DataSetFixture.h"

#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using fixture::EventLog;
using fixture::rows;

namespace {

void loadItems(TClientDataSet& ds) {
    fixture::load(ds, "SEQ:S2;CDFILIAL:S4;VR:F;QT:I;DT:D;OK:B",
                  {{"01", "0001", 10.0, 1, 39873.0, true},
                   {"02", "0002", 20.0, 2, Variant(), false},
                   {"03", "0003", 30.0, 3, Variant(), Variant()}});
}

} // namespace

TEST(DataSetEditing, GivenBrowse_WhenEditingAndPosting_ThenStatesAndEventsInOrder) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    EventLog log;
    log.attach(ds);
    ds.Next();
    EXPECT_EQ(log.take(), "BeforeScroll AfterScroll");
    ds.Edit();
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(log.take(), "BeforeEdit AfterEdit");
    ds.Edit(); // already editing: nothing
    EXPECT_EQ(log.take(), "");
    ds.FieldByName("VR").SetAsFloat(21.5);
    ds.Post();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(log.take(), "BeforePost AfterPost");
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 10|02 21.5|03 30");

    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(99);
    ds.Next(); // a pending edit is posted before moving
    EXPECT_EQ(log.take(), "BeforeEdit AfterEdit BeforePost AfterPost BeforeScroll AfterScroll");
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 10|02 99|03 30");

    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(-1);
    EXPECT_EQ(ds.FieldByName("VR").AsFloat(), -1);
    ds.Cancel();
    EXPECT_EQ(log.take(), "BeforeEdit AfterEdit BeforeCancel AfterCancel");
    EXPECT_EQ(ds.FieldByName("VR").AsFloat(), 30);
}

TEST(DataSetEditing, GivenRows_WhenInsertingAppendingAndDeleting_ThenPositionsAndEvents) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    EventLog log;
    log.attach(ds);
    ds.Next();
    log.take();
    ds.Insert();
    EXPECT_EQ(ds.State(), dsInsert);
    EXPECT_EQ(log.take(), "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll");
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(ds.RecordCount(), 4);
    ds.FieldByName("SEQ").SetAsString("1b");
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ"), "01|1b|02|03");
    ds.Append();
    ds.FieldByName("SEQ").SetAsString("04");
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ"), "01|1b|02|03|04");
    log.take();
    ds.Locate("SEQ", {"02"});
    ds.Delete();
    EXPECT_EQ(log.take(),
              "BeforeScroll AfterScroll BeforeDelete BeforeScroll AfterDelete AfterScroll");
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "03"); // the next row takes its place
    ds.Last();
    ds.Delete();
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "03"); // the last one: the previous row
    ds.Append();
    ds.Cancel();
    EXPECT_EQ(rows(ds, "SEQ"), "01|1b|03");
    ds.Insert();
    ds.Delete(); // a pending insert is cancelled
    EXPECT_EQ(rows(ds, "SEQ"), "01|1b|03");
    EXPECT_EQ(ds.State(), dsBrowse);
}

TEST(DataSetEditing, GivenAnEmptyDataSet_WhenEditingOrDeleting_ThenInsertOrAClearError) {
    TClientDataSet ds("cdsItens");
    fixture::load(ds, "SEQ:S2", {});
    ds.Edit();
    EXPECT_EQ(ds.State(), dsInsert);
    ds.Cancel();
    EXPECT_THROW(ds.Delete(), DataSetError);
    ds.OnNewRecord = [](TClientDataSet& d) { d.FieldByName("SEQ").SetAsString("99"); };
    ds.Append();
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "99");
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ"), "99");
}

TEST(DataSetEditing, GivenHandlersThatAbort_WhenEditing_ThenTheDataSetStaysAsItWas) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    auto abort = [](TClientDataSet&) { Abort(); };

    ds.BeforeEdit = abort;
    EXPECT_THROW(ds.Edit(), EAbort);
    EXPECT_EQ(ds.State(), dsBrowse);
    ds.BeforeEdit = nullptr;

    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(77);
    ds.BeforePost = abort;
    EXPECT_THROW(ds.Post(), EAbort);
    EXPECT_EQ(ds.State(), dsEdit); // typed values kept
    EXPECT_EQ(ds.FieldByName("VR").AsFloat(), 77);
    EXPECT_THROW(ds.Next(), EAbort); // cannot leave the row either
    EXPECT_EQ(ds.RecNo(), 1);
    ds.BeforePost = nullptr;
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 1);

    ds.BeforeInsert = abort;
    EXPECT_THROW(ds.Append(), EAbort);
    ds.BeforeInsert = nullptr;
    ds.OnNewRecord = abort;
    EXPECT_THROW(ds.Append(), EAbort);
    ds.OnNewRecord = nullptr;
    ds.BeforeDelete = abort;
    EXPECT_THROW(ds.Delete(), EAbort);
    ds.BeforeDelete = nullptr;
    ds.Edit();
    ds.BeforeCancel = abort;
    EXPECT_THROW(ds.Cancel(), EAbort);
    EXPECT_EQ(ds.State(), dsEdit);
    ds.BeforeCancel = nullptr;
    ds.Cancel();
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 77|02 20|03 30");
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.ChangeCount(), 1);
}

TEST(DataSetEditing, GivenBeforeHandlersThatChangeTheDataSet_WhenTheOperationGoesOn_ThenItAdapts) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.BeforePost = [](TClientDataSet& d) { d.Cancel(); };
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(5);
    ds.Post(); // cancelled by its handler: nothing stored
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.ChangeCount(), 0);
    ds.BeforePost = nullptr;

    ds.BeforeEdit = [](TClientDataSet& d) { d.EmptyDataSet(); };
    EXPECT_THROW(ds.Edit(), DataSetError);
    ds.BeforeEdit = nullptr;
    loadItems(ds);

    ds.BeforeDelete = [](TClientDataSet& d) {
        auto self = d.BeforeDelete;
        d.BeforeDelete = nullptr;
        d.Delete(); // deletes the row itself
        d.BeforeDelete = self;
    };
    ds.Delete();
    EXPECT_EQ(rows(ds, "SEQ"), "03"); // one row by the handler, the next by the call
    ds.BeforeDelete = nullptr;
    ds.BeforeInsert = [](TClientDataSet& d) { d.Close(); };
    EXPECT_THROW(ds.Append(), DataSetError);
    EXPECT_FALSE(ds.Active());
}

TEST(DataSetEditing, GivenAHandlerThatDetachesItself_WhenItRuns_ThenNothingBreaks) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    int calls = 0;
    ds.AfterPost = [&](TClientDataSet& d) {
        ++calls;
        auto saved = d.AfterPost; // the bulk-loop pattern: detach, work, re-attach
        d.AfterPost = nullptr;
        d.Edit();
        d.FieldByName("QT").SetAsInteger(d.FieldByName("QT").AsInteger() + 1);
        d.Post();
        d.AfterPost = saved;
    };
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(1);
    ds.Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(rows(ds, "SEQ;VR;QT"), "01 1 2|02 20 2|03 30 3");
    EXPECT_NE(ds.AfterPost, nullptr);
}

TEST(DataSetEditing, GivenFieldsOfEachKind_WhenSetAndRead_ThenConvertedOrRefusedByName) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    TField& vr = ds.FieldByName("VR");
    TField& qt = ds.FieldByName("QT");
    TField& dt = ds.FieldByName("DT");
    TField& ok = ds.FieldByName("OK");
    TField& seq = ds.FieldByName("SEQ");

    EXPECT_THROW(vr.SetAsFloat(1), DataSetError); // browse state
    ds.Edit();
    vr.SetAsString("1.234,5");
    EXPECT_EQ(vr.AsFloat(), 1234.5);
    EXPECT_EQ(vr.AsString(), "1234,5");
    EXPECT_EQ(vr.AsInteger(), 1235);
    qt.SetAsVariant(Variant(7.0));
    EXPECT_EQ(qt.AsInteger(), 7);
    EXPECT_EQ(qt.AsVariant().type(), VarType::Integer);
    dt.SetAsString("15/03/2009");
    EXPECT_EQ(dt.AsDateTime(), EncodeDate(2009, 3, 15));
    EXPECT_EQ(dt.AsString(), "15/03/2009");
    ok.SetAsString("N");
    EXPECT_FALSE(ok.AsBoolean());
    seq.SetAsFloat(5);
    EXPECT_EQ(seq.AsString(), "5");
    seq.SetAsString("09");
    EXPECT_EQ(seq.AsInteger(), 9); // a code read as a number
    vr.SetAsString("");
    EXPECT_TRUE(vr.IsNull());
    EXPECT_EQ(vr.AsFloat(), 0);
    qt.Clear();
    EXPECT_TRUE(qt.IsNull());

    struct Bad {
        std::function<void()> set;
        const char* mentions;
    } bads[] = {
        {[&] { vr.SetAsString("12.5"); }, "VR"},
        {[&] { vr.SetAsString("doze"); }, "doze"},
        {[&] { qt.SetAsFloat(1.5); }, "QT"},
        {[&] { qt.SetAsString("1,5"); }, "1,5"},
        {[&] { dt.SetAsString("31/02/2009"); }, "31/02/2009"},
        {[&] { ok.SetAsString("talvez"); }, "talvez"},
        {[&] { seq.SetAsString("123"); }, "SEQ"}, // longer than its size
        {[&] {
             vr.SetAsVariant(Variant(std::vector<Variant>{1, 2}));
         },
         "VR"},
        {[&] { vr.SetAsFloat(std::nan("")); }, "VR"},
        {[&] { seq.AsFloat(); }, "SEQ"},
    };
    seq.SetAsString("ab");
    for (auto& b : bads) {
        try {
            b.set();
            ADD_FAILURE() << b.mentions;
        } catch (const DataSetError& e) {
            EXPECT_NE(std::string(e.what()).find(b.mentions), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(seq.AsString(), "ab");
    EXPECT_TRUE(vr.IsNull());
    ds.Cancel();
    EXPECT_EQ(rows(ds, "SEQ;VR;QT"), "01 10 1|02 20 2|03 30 3");
}

TEST(DataSetEditing, GivenReadOnlyAndRangedFields_WhenSet_ThenRefusedAndUnchanged) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.FieldByName("CDFILIAL").SetReadOnly(true);
    ds.FieldByName("VR").SetMaxValue(999999999);
    ds.Edit();
    EXPECT_THROW(ds.FieldByName("CDFILIAL").SetAsString("0009"), DataSetError);
    ds.FieldByName("VR").SetAsFloat(999999999);
    try {
        ds.FieldByName("VR").SetAsFloat(1000000000);
        ADD_FAILURE();
    } catch (const DataSetError& e) {
        EXPECT_NE(std::string(e.what()).find("999999999"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ds.FieldByName("VR").AsFloat(), 999999999);
    EXPECT_EQ(ds.FieldByName("CDFILIAL").AsString(), "0001");
}

TEST(DataSetEditing, GivenFormatsAndTextHandlers_WhenReadingAndTypingText_ThenTheyApply) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    TField& vr = ds.FieldByName("VR");
    vr.SetDisplayFormat("#,##0.00");
    vr.SetEditFormat("0.00");
    ds.Edit();
    vr.SetText("1.234,5");
    EXPECT_EQ(vr.DisplayText(), "1.234,50");
    EXPECT_EQ(vr.Text(), "1234,50");
    TField& dt = ds.FieldByName("DT");
    EXPECT_EQ(dt.DisplayText(), "01/03/2009");
    dt.SetDisplayFormat("mm/yyyy");
    EXPECT_EQ(dt.DisplayText(), "03/2009");
    ds.FieldByName("OK").SetDisplayFormat("Sim;Não");
    EXPECT_EQ(ds.FieldByName("OK").DisplayText(), "Sim");

    std::string typed;
    vr.OnSetText = [&](TField& f, const std::string& text) {
        typed = text;
        f.SetAsFloat(42);
    };
    vr.SetText("abc"); // the handler decides, no conversion error
    EXPECT_EQ(typed, "abc");
    EXPECT_EQ(vr.AsFloat(), 42);
    vr.OnGetText = [](TField&, std::string& text, bool display) { text = display ? "D" : "E"; };
    EXPECT_EQ(vr.DisplayText(), "D");
    EXPECT_EQ(vr.Text(), "E");
    vr.OnGetText = nullptr;
    vr.OnSetText = nullptr;
    vr.SetText("");
    EXPECT_EQ(vr.DisplayText(), "");
    EXPECT_EQ(vr.DisplayName(), "VR");
    vr.SetDisplayLabel("Valor");
    EXPECT_EQ(vr.DisplayName(), "Valor");
}

TEST(DataSetEditing, GivenAnEditThatFollowsTheCursor_WhenWalking_ThenEveryRowIsPostedOnLeaving) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    // The item pages keep the dataset in edit from row to row.
    ds.AfterScroll = [](TClientDataSet& d) {
        if (d.State() == dsBrowse) d.Edit();
    };
    ds.First();
    EXPECT_EQ(ds.State(), dsEdit);
    while (!ds.Eof()) {
        TField& vr = ds.FieldByName("VR");
        vr.SetAsFloat(vr.AsFloat() + 1);
        ds.Next();
    }
    EXPECT_EQ(ds.State(), dsBrowse); // the last row was posted by the Next that found the end
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 11|02 21|03 31");
    EXPECT_EQ(ds.ChangeCount(), 3);
}

TEST(DataSetEditing,
     GivenAnAfterPostThatReopensTheEdit_WhenTheCursorMoves_ThenEachRowKeepsItsOwnValues) {
    // The budget screens put a row back in edit as soon as it is posted; the move that caused
    // the post must not carry the old row's values to the row it lands on.
    for (const std::string move : {"Next", "Filter", "Index"}) {
        TClientDataSet ds("cdsItens");
        loadItems(ds);
        ds.SetFilter("CDFILIAL <> '0009'");
        ds.SetFiltered(true);
        ds.AfterPost = [](TClientDataSet& d) { d.Edit(); };
        ds.First();
        ds.Edit();
        ds.FieldByName("VR").SetAsFloat(11);
        if (move == "Next") ds.Next();
        if (move == "Filter") ds.SetFilter("CDFILIAL <> '0001'");
        if (move == "Index") ds.SetIndexFieldNames("QT");
        if (move == "Index") ds.Next();
        EXPECT_EQ(ds.State(), dsEdit) << move;
        EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "02") << move;
        EXPECT_EQ(ds.FieldByName("VR").AsFloat(), 20.0) << move;
        ds.FieldByName("VR").SetAsFloat(22);
        ds.AfterPost = nullptr;
        ds.Post();
        ds.SetFiltered(false);
        EXPECT_EQ(rows(ds, "SEQ;CDFILIAL;VR"), "01 0001 11|02 0002 22|03 0003 30") << move;
        EXPECT_EQ(ds.ChangeCount(), 2) << move;
    }
}

TEST(DataSetEditing,
     GivenAnEditReopenedOnARowThatIsNoLongerCurrent_WhenPosted_ThenOnlyThatRowChanges) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    bool reopen = true;
    ds.AfterPost = [&reopen](TClientDataSet& d) {
        if (reopen) {
            d.Edit();
            d.FieldByName("QT").SetAsInteger(99); // typed into the row being left
        }
    };
    ds.First();
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(11);
    ds.Next(); // posts row 01, whose handler reopens and changes it
    reopen = false;
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "02");
    EXPECT_EQ(ds.FieldByName("QT").AsInteger(), 2); // row 02 shows its own values
    EXPECT_THROW(ds.FieldByName("QT").SetAsInteger(5), DataSetError);
    ds.Post();
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(rows(ds, "SEQ;VR;QT"), "01 11 99|02 20 2|03 30 3");
}
