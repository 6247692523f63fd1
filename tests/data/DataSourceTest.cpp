#include "DataSetFixture.h"

#include "services/data/DataLink.h"
#include "services/data/TDataSource.h"

#include <gtest/gtest.h>

namespace {

struct RecordingLink : DataLink {
    std::string log;
    void add(const std::string& s) { log += (log.empty() ? "" : " ") + s; }
    void activeChanged() override { add("active"); }
    void dataSetChanged() override { add("data"); }
    void recordChanged(TField* f) override { add("record:" + (f ? f->FieldName() : "*")); }
    void dataSetScrolled() override { add("scroll"); }
    void stateChanged() override { add("state"); }
    void layoutChanged() override { add("layout"); }
    std::string take() { return std::exchange(log, {}); }
};

const char* kSpec = "SEQ:S2;VR:F";

} // namespace

TEST(DataSource, GivenALinkedSource_WhenTheDataSetWorks_ThenLinksAndEventsHearIt) {
    TClientDataSet ds("cdsItens");
    TDataSource dts("dtsItens", &ds);
    RecordingLink link;
    dts.addLink(&link);
    std::string states;
    dts.OnStateChange = [&](TDataSource& s) { states += std::to_string(s.State()); };
    std::string changes;
    dts.OnDataChange = [&](TDataSource&, TField* f) { changes += f ? f->FieldName() + "," : "*,"; };

    fixture::load(ds, kSpec, {{"01", 1.0}, {"02", 2.0}});
    EXPECT_EQ(link.take(), "active state layout data");
    EXPECT_EQ(dts.State(), dsBrowse);
    ds.Next();
    ds.Edit();
    ds.FieldByName("VR").SetAsFloat(5);
    ds.Post();
    EXPECT_EQ(link.take(), "scroll state record:VR state record:*");
    EXPECT_EQ(states, std::to_string(dsBrowse) + std::to_string(dsEdit) + std::to_string(dsBrowse));
    EXPECT_EQ(changes, "*,*,VR,*,");
    ds.Close();
    EXPECT_EQ(link.take(), "active state");
    EXPECT_EQ(dts.State(), dsInactive);
}

TEST(DataSource, GivenDisabledControls_WhenLooping_ThenOneDataSetChangedAtTheEnd) {
    TClientDataSet ds("cdsItens");
    fixture::load(ds, kSpec, {{"01", 1.0}, {"02", 2.0}, {"03", 3.0}});
    TDataSource dts("dtsItens", &ds);
    RecordingLink link;
    dts.addLink(&link);
    int stateChanges = 0;
    dts.OnStateChange = [&](TDataSource&) { ++stateChanges; };

    ds.DisableControls();
    ds.DisableControls(); // nested
    ds.First();
    while (!ds.Eof()) {
        ds.Edit();
        ds.FieldByName("VR").SetAsFloat(ds.FieldByName("VR").AsFloat() * 10);
        ds.Next();
    }
    ds.EnableControls();
    EXPECT_TRUE(ds.ControlsDisabled());
    EXPECT_EQ(link.take(), "");
    ds.EnableControls();
    EXPECT_FALSE(ds.ControlsDisabled());
    EXPECT_EQ(link.take(), "data");
    EXPECT_EQ(stateChanges, 6); // the state still reaches the source's own event
    EXPECT_EQ(fixture::rows(ds, "VR"), "10|20|30");
}

TEST(DataSource, GivenSourcesAndLinks_WhenDetachedDisabledOrDestroyed_ThenNothingIsCalled) {
    auto ds = std::make_unique<TClientDataSet>("cdsItens");
    fixture::load(*ds, kSpec, {{"01", 1.0}, {"02", 2.0}});
    TDataSource dts("dtsItens", ds.get());
    RecordingLink link;
    dts.addLink(&link);
    dts.SetEnabled(false);
    link.take();
    ds->Next();
    EXPECT_EQ(link.take(), "");
    EXPECT_EQ(dts.State(), dsInactive);
    dts.SetEnabled(true);
    dts.removeLink(&link);
    link.take();
    ds->Prior();
    EXPECT_EQ(link.take(), "");
    { TDataSource other("dtsOutro", ds.get()); } // a destroyed source unregisters itself
    ds->Next();
    ds.reset(); // a destroyed dataset leaves its sources empty
    EXPECT_EQ(dts.DataSet(), nullptr);
    EXPECT_EQ(dts.State(), dsInactive);
}

TEST(DataSource, GivenASourceSwitchedOrFieldsMoved_WhenLinked_ThenTheControlsAreToldToRedraw) {
    TClientDataSet a("cdsA"), b("cdsB");
    fixture::load(a, kSpec, {{"01", 1.0}});
    b.AddField("X", FieldType::String, 1);
    TDataSource dts("dts", &a);
    RecordingLink link;
    dts.addLink(&link);
    int stateChanges = 0;
    dts.OnStateChange = [&](TDataSource&) { ++stateChanges; };
    dts.SetDataSet(&b); // closed dataset: the state changes to inactive
    EXPECT_EQ(link.take(), "active state data");
    EXPECT_EQ(stateChanges, 1);
    a.Next();
    EXPECT_EQ(link.take(), ""); // the old dataset no longer reaches it
    dts.SetDataSet(&a);
    link.take();
    a.FieldByName("VR").SetIndex(0);
    EXPECT_EQ(link.take(), "layout");
    EXPECT_EQ(a.Fields()[0]->FieldName(), "VR");
    EXPECT_EQ(a.FieldByName("SEQ").Index(), 1);
    EXPECT_EQ(fixture::rows(a, "SEQ;VR"), "01 1"); // values follow their fields
    EXPECT_EQ(a.RowValue(0, 0).toDouble(), 1.0);
}

TEST(DataSource, GivenALinkHoldingTypedText_WhenAnythingPosts_ThenItIsStoredBeforeTheChecks) {
    struct TypingLink : DataLink {
        TDataSource* source = nullptr;
        std::string typed;
        int calls = 0;
        void updateData() override {
            ++calls;
            if (!typed.empty())
                source->DataSet()->FieldByName("VR").SetText(std::exchange(typed, {}));
        }
    };
    TClientDataSet ds("cdsItens");
    fixture::load(ds, kSpec, {{"01", 1.0}, {"02", 2.0}});
    TDataSource dts("dtsItens", &ds);
    TypingLink link;
    link.source = &dts;
    dts.addLink(&link);
    double seenByCheck = 0;
    ds.BeforePost = [&](TClientDataSet& d) { seenByCheck = d.FieldByName("VR").AsFloat(); };

    ds.Edit();
    link.typed = "7,5";
    ds.Next(); // the implicit post asks the control first
    EXPECT_EQ(seenByCheck, 7.5);
    EXPECT_EQ(fixture::rows(ds, "VR"), "7.5|2");
    ds.Post(); // browse: nobody is asked
    EXPECT_EQ(link.calls, 1);
    ds.DisableControls();
    ds.Edit();
    link.typed = "9";
    ds.Post(); // bulk loops with frozen controls store only what they set
    ds.EnableControls();
    EXPECT_EQ(link.calls, 1);
    EXPECT_EQ(fixture::rows(ds, "VR"), "7.5|2");
}
