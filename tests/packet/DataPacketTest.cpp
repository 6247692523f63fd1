#include "services/data/DataPacket.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

DataPacket budgetRows() {
    DataPacket p;
    p.fields = {{"CDFILIAL", FieldType::String, 4},
                {"NRSEQITEMORCA", FieldType::Integer, 0},
                {"VRORCAMENTOJAN", FieldType::Float, 0},
                {"DTMESBASEITEM", FieldType::DateTime, 0},
                {"IDCHECK", FieldType::Boolean, 0}};
    p.rows = {
        {Variant("0001"), Variant(1), Variant(1234.5), Variant::fromDate(39873), Variant(true)},
        {Variant("0002"), Variant(2), Variant(), Variant(), Variant(false)}};
    return p;
}

std::string errorOf(const std::string& json) {
    try {
        DataPacket::fromJson(json);
    } catch (const PacketError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(DataPacket, GivenRowsOfEveryFieldType_WhenWrittenAndRead_ThenTheJsonAndValuesAreExact) {
    const DataPacket p = budgetRows();
    const std::string json = p.toJson();
    EXPECT_EQ(
        json,
        R"({"fields":[{"name":"CDFILIAL","type":"string","size":4},)"
        R"({"name":"NRSEQITEMORCA","type":"integer"},{"name":"VRORCAMENTOJAN","type":"float"},)"
        R"({"name":"DTMESBASEITEM","type":"datetime"},{"name":"IDCHECK","type":"boolean"}],)"
        R"("rows":[["0001",1,1234.5,39873,true],["0002",2,null,null,false]]})");
    const DataPacket back = DataPacket::fromJson(json);
    EXPECT_EQ(back, p);
    EXPECT_EQ(back.rows[0][3].type(), VarType::DateTime);
    EXPECT_EQ(back.rows[0][1].type(), VarType::Integer);
}

TEST(DataPacket, GivenAChangeLog_WhenWrittenAndRead_ThenKindsRowsAndOriginalsSurvive) {
    DataPacket p = budgetRows();
    p.changes = {{UpdateKind::Modified,
                  0,
                  {Variant("0001"), Variant(1), Variant(1000.0), Variant(), Variant(false)}},
                 {UpdateKind::Inserted, 1, {}},
                 {UpdateKind::Deleted,
                  -1,
                  {Variant("0003"), Variant(3), Variant(5.0), Variant(), Variant(false)}}};
    const DataPacket back = DataPacket::fromJson(p.toJson());
    EXPECT_EQ(back, p);
}

TEST(DataPacket, GivenFieldNamesInAnyCase_WhenLookedUp_ThenTheyAreFound) {
    const DataPacket p = budgetRows();
    EXPECT_EQ(p.fieldIndex("vrorcamentojan"), 2);
    EXPECT_EQ(p.fieldIndex("NOPE"), -1);
    EXPECT_EQ(p.value(1, "nrseqitemorca"), Variant(2));
    EXPECT_THROW(p.value(0, "NOPE"), PacketError);
    EXPECT_THROW(p.value(9, "CDFILIAL"), PacketError);
}

TEST(DataPacket, GivenMalformedPackets_WhenRead_ThenEachIsRefusedWithItsReason) {
    const std::string f =
        R"({"fields":[{"name":"A","type":"integer"},{"name":"B","type":"string"}],)";
    EXPECT_NE(errorOf(f + R"("rows":[[1]]})").find("row 0 has 1 values for 2 fields"),
              std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[[1,"x",3]]})").find("more values"), std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[["1","x"]]})").find("field A: expected an integer"),
              std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[[1.5,"x"]]})").find("32-bit integer"), std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[[1,2]]})").find("field B: expected a text"),
              std::string::npos);
    EXPECT_NE(errorOf(R"({"rows":[]})").find("\"fields\" must come before"), std::string::npos);
    EXPECT_NE(errorOf(R"({"fields":[{"name":"A","type":"blob"}]})").find("unknown field type"),
              std::string::npos);
    EXPECT_NE(errorOf(R"({"fields":[{"name":"A","type":"string"},{"name":"a","type":"string"}]})")
                  .find("twice"),
              std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[[1,"x"]],"changes":[{"kind":"modified","row":5}]})")
                  .find("not in the packet"),
              std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[[1,"x"]],"changes":[{"kind":"modified","row":0}]})")
                  .find("original values"),
              std::string::npos);
    EXPECT_NE(errorOf(f + R"("rows":[[1,"x")").find("malformed data packet"), std::string::npos);
    EXPECT_NE(errorOf(R"({"fields":[]} trailing)").find("after the value"), std::string::npos);
}

TEST(DataPacket, GivenARowOfTheWrongWidthOrANaN_WhenWritten_ThenItIsRefused) {
    DataPacket p = budgetRows();
    p.rows[1].pop_back();
    EXPECT_THROW(p.toJson(), PacketError);
    DataPacket q = budgetRows();
    q.rows[0][2] = Variant(std::nan(""));
    EXPECT_THROW(q.toJson(), std::invalid_argument);
}

TEST(DataPacket, GivenEscapedAndUnicodeTexts_WhenRead_ThenTheyDecodeToUtf8) {
    const DataPacket p = DataPacket::fromJson(
        R"({"fields":[{"name":"T","type":"string"}],"rows":[["a\"b\\c\u00e7\ud83d\ude00\n"]]})");
    EXPECT_EQ(p.rows[0][0].textView(), "a\"b\\c\xc3\xa7\xf0\x9f\x98\x80\n");
    EXPECT_EQ(DataPacket::fromJson(p.toJson()), p);
    EXPECT_NE(errorOf(R"({"fields":[{"name":"T","type":"string"}],"rows":[["\ud800"]]})")
                  .find("surrogate"),
              std::string::npos);
}
