#include "DataSetFixture.h"

#include "services/data/NumberFormat.h"

#include <gtest/gtest.h>

// Values the operator types travel as packets with a decimal point and come back showing the
// decimal comma, whatever locale the process adopted at start-up.

namespace {

const char* kSpec = "CD:S4;VR:F;DT:D";

std::string shown(const TClientDataSet& ds) {
    std::string out;
    for (int row = 0; row < ds.RecordCount(); ++row) {
        if (row) out += '|';
        for (int field = 0; field < ds.FieldCount(); ++field)
            out += (field ? " " : "") + ds.RowDisplayText(row, field);
    }
    return out;
}

void showAsTheScreens(TClientDataSet& ds) {
    ds.FieldByName("VR").SetDisplayFormat("#,##0.00");
}

} // namespace

TEST(
    TypedValuesRoundTrip,
    GivenNumbersAndDatesTypedWithDecimalComma_WhenSentAsPacketAndReadBack_ThenExactAndShownAsTyped) {
    TClientDataSet typed;
    fixture::load(typed, kSpec,
                  {{"0001", 0.0, Variant()}, {"0002", 0.0, Variant()}, {"0003", 0.0, Variant()}});
    const char* entries[][3] = {{"0001", "1234,5", "15/03/2026"},
                                {"0002", "-0,75", "29/02/2024"},
                                {"0003", "123.456.789,01", "1/1/26"}};
    for (const auto& entry : entries) {
        ASSERT_TRUE(typed.Locate("CD", {Variant(entry[0])}));
        typed.Edit();
        typed.FieldByName("VR").SetText(entry[1]);
        typed.FieldByName("DT").SetText(entry[2]);
        typed.Post();
    }

    const std::string wire = typed.Delta().toJson();
    for (const char* number : {"1234.5", "-0.75", "123456789.01", "46096", "45351", "46023"})
        EXPECT_NE(wire.find(number), std::string::npos) << number << " missing from " << wire;
    EXPECT_EQ(wire.find("1234,5"), std::string::npos) << wire;

    TClientDataSet received;
    received.SetData(DataPacket::fromJson(typed.Data().toJson()));
    EXPECT_EQ(fixture::rows(received, "CD;VR;DT"),
              "0001 1234.5 46096|0002 -0.75 45351|0003 123456789.01 46023");
    showAsTheScreens(received);
    EXPECT_EQ(shown(received), "0001 1.234,50 15/03/2026|0002 -0,75 29/02/2024|"
                               "0003 123.456.789,01 01/01/2026");
}

TEST(TypedValuesRoundTrip, GivenValuesWithoutADisplayFormat_WhenShownAndTypedBack_ThenUnchanged) {
    TClientDataSet ds;
    fixture::load(ds, kSpec,
                  {{"0001", 0.1, EncodeDate(2026, 12, 31)},
                   {"0002", -1234567.125, EncodeDate(1899, 12, 30)},
                   {"0003", 999999999999.99, EncodeDate(2000, 2, 29)}});
    EXPECT_EQ(shown(ds), "0001 0,1 31/12/2026|0002 -1234567,125 30/12/1899|"
                         "0003 999999999999,99 29/02/2000");
    // Each value, edited as shown, stays the same value.
    const std::string before = fixture::rows(ds, "CD;VR;DT");
    for (ds.First(); !ds.Eof(); ds.Next()) {
        ds.Edit();
        for (const char* name : {"VR", "DT"}) {
            TField& field = ds.FieldByName(name);
            field.SetText(field.Text());
        }
        ds.Post();
    }
    EXPECT_EQ(fixture::rows(ds, "CD;VR;DT"), before);
}
