#include "DataSetFixture.h"

#include <gtest/gtest.h>

#include <functional>

using fixture::rows;

namespace {

void loadItems(TClientDataSet& ds) {
    fixture::load(ds, "SEQ:S2;CDFILIAL:S4;VR:F",
                  {{"01", "0001", 10.0}, {"02", "0002", 20.0}, {"03", "0003", 30.0}});
}

// A change log as text: "kind row [original SEQ/VR]" per change.
std::string describe(const DataPacket& p) {
    std::string out;
    for (const RowChange& c : p.changes) {
        if (!out.empty()) out += "; ";
        out += DataPacket::kindName(c.kind);
        if (c.row >= 0)
            out += " " + p.rows[static_cast<std::size_t>(c.row)][0].toText() + "/" +
                   p.rows[static_cast<std::size_t>(c.row)][2].toText();
        if (!c.original.empty())
            out += " was " + c.original[0].toText() + "/" + c.original[2].toText();
    }
    return out;
}

void editRows(TClientDataSet& ds) {
    ds.First();
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(11);
    ds.Post();
    ds.Edit(); // twice: still one change, original kept
    ds.FieldByName("VR").SetAsFloat(12);
    ds.Post();
    ds.Next();
    ds.Delete(); // 02
    ds.Append();
    ds.FieldByName("SEQ").SetAsString("04");
    ds.FieldByName("VR").SetAsFloat(40);
    ds.Post();
    ds.Append();
    ds.FieldByName("SEQ").SetAsString("05");
    ds.Post();
    ds.Delete(); // an insert deleted again leaves no trace
}

} // namespace

TEST(DataSetChangeLog, GivenEdits_WhenAskingTheDelta_ThenEachChangedRowOnceWithItsOriginal) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    EXPECT_EQ(ds.ChangeCount(), 0);
    editRows(ds);
    EXPECT_EQ(ds.ChangeCount(), 3);
    EXPECT_EQ(describe(ds.Delta()), "modified 01/12 was 01/10; inserted 04/40; deleted was 02/20");
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 12|03 30|04 40");

    // An edit that changes nothing is not a change.
    ds.Locate("SEQ", {"03"});
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(30);
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 3);
    // A pending edit is not in the log until posted.
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(31);
    EXPECT_EQ(ds.ChangeCount(), 3);
    EXPECT_EQ(ds.Delta().rows.size(), 2u); // a deleted row is only its change entry
    ds.Cancel();
}

TEST(DataSetChangeLog, GivenChanges_WhenMerged_ThenTheyBecomeTheOriginalState) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    editRows(ds);
    ds.MergeChangeLog();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_TRUE(ds.Delta().rows.empty());
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 12|03 30|04 40");
    ds.CancelUpdates(); // nothing left to undo
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 12|03 30|04 40");
    ds.First();
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(13);
    ds.Post();
    EXPECT_EQ(describe(ds.Delta()), "modified 01/13 was 01/12");
}

TEST(DataSetChangeLog, GivenChanges_WhenCancelled_ThenTheLoadedRowsComeBackInPlace) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    editRows(ds);
    ds.CancelUpdates();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(rows(ds, "SEQ;VR"), "01 10|02 20|03 30");
}

TEST(DataSetChangeLog, GivenPendingChanges_WhenCopiedThroughData_ThenTheCopyStillHasThem) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    editRows(ds);
    const DataPacket data = ds.Data();
    EXPECT_EQ(describe(data), "modified 01/12 was 01/10; deleted was 02/20; inserted 04/40");

    TClientDataSet copy("cdsCopia");
    copy.SetData(DataPacket::fromJson(data.toJson()));
    EXPECT_EQ(copy.ChangeCount(), 3);
    EXPECT_EQ(rows(copy, "SEQ;VR"), "01 12|03 30|04 40");
    EXPECT_EQ(copy.Delta(), ds.Delta());
    copy.CancelUpdates();
    EXPECT_EQ(rows(copy, "SEQ;VR"), "01 10|03 30|02 20");
}

TEST(DataSetChangeLog, GivenDeclaredFields_WhenDataArrives_ThenTheyKeepTheirPropertiesAndHandlers) {
    TClientDataSet ds("cdsItens");
    TField& vr = ds.AddField("VR", FieldType::Float);
    vr.SetDisplayFormat("#,##0.00");
    vr.SetMaxValue(100);
    int setTexts = 0;
    vr.OnSetText = [&](TField& f, const std::string& t) {
        ++setTexts;
        f.SetAsString(t);
    };
    TField& total = ds.AddField("TOTAL", FieldType::Float); // the screen's own column
    loadItems(ds);
    EXPECT_EQ(&ds.FieldByName("VR"), &vr);
    EXPECT_EQ(&ds.FieldByName("TOTAL"), &total);
    EXPECT_EQ(ds.FieldCount(), 4);
    EXPECT_EQ(vr.DisplayText(), "10,00");
    EXPECT_TRUE(total.IsNull());
    ds.Edit();
    vr.SetText("55");
    EXPECT_EQ(setTexts, 1);
    EXPECT_THROW(vr.SetAsFloat(101), DataSetError);
    total.SetAsFloat(1);
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ;VR;TOTAL"), "01 55 1|02 20 null|03 30 null");
}

TEST(DataSetChangeLog, GivenMalformedPackets_WhenLoaded_ThenAClearErrorAndNothingChanges) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetFilter("CDFILIAL <> '0002'");
    ds.SetFiltered(true);
    ds.Last();
    auto good = [] { return fixture::packet("SEQ:S2;CDFILIAL:S4;VR:F", {{"09", "0009", 9.0}}); };
    struct Bad {
        const char* what;
        std::function<void(DataPacket&)> spoil;
        const char* mentions;
    } bads[] = {
        {"short row", [](DataPacket& p) { p.rows[0].pop_back(); }, "linha 0"},
        {"text in a number", [](DataPacket& p) { p.rows[0][2] = "nove"; }, "VR"},
        {"number in a text", [](DataPacket& p) { p.rows[0][0] = 9; }, "SEQ"},
        {"repeated field", [](DataPacket& p) { p.fields[1].name = "seq"; }, "seq"},
        {"nameless field", [](DataPacket& p) { p.fields[1].name = ""; }, "sem nome"},
        {"change off the rows",
         [](DataPacket& p) {
             p.changes.push_back({UpdateKind::Modified, 5, p.rows[0]});
         },
         "alteração 0"},
        {"modified without original",
         [](DataPacket& p) {
             p.changes.push_back({UpdateKind::Modified, 0, {}});
         },
         "originais"},
        {"deleted inside the rows",
         [](DataPacket& p) {
             p.changes.push_back({UpdateKind::Deleted, 0, p.rows[0]});
         },
         "exclusão"},
        {"filter field missing", [](DataPacket& p) { p.fields[1].name = "CDEMPRESA"; }, "CDFILIAL"},
    };
    for (const Bad& b : bads) {
        DataPacket p = good();
        b.spoil(p);
        try {
            ds.SetData(p);
            ADD_FAILURE() << b.what;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(b.mentions), std::string::npos)
                << b.what << ": " << e.what();
        }
        EXPECT_EQ(rows(ds, "SEQ;CDFILIAL"), "01 0001|03 0003") << b.what;
        EXPECT_EQ(ds.RecNo(), 2) << b.what;
        EXPECT_EQ(ds.FieldCount(), 3) << b.what;
    }
    EXPECT_THROW(DataPacket::fromJson(R"({"fields":[{"name":"A","type":"string"}],"rows":[[1]]})"),
                 PacketError);
    ds.SetData(good());
    EXPECT_EQ(rows(ds, "SEQ"), "09");
}
