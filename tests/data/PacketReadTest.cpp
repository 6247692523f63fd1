#include "services/data/DataPacket.h"
#include "services/data/JsonReader.h"

#include <gtest/gtest.h>

namespace {

const char* kFields =
    R"({"fields":[{"name":"T","type":"string","size":40},{"name":"F","type":"float"},)"
    R"({"name":"I","type":"integer"},{"name":"D","type":"datetime"},)"
    R"({"name":"B","type":"boolean"}],"rows":[)";

DataPacket parse(const std::string& rows) {
    return DataPacket::fromJson(kFields + rows + "]}");
}

std::string cells(const DataPacket& p) {
    std::string out;
    for (const auto& row : p.rows) {
        if (!out.empty()) out += '|';
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (i ? " " : "") +
                   (row[i].isNull()
                        ? std::string("null")
                        : std::string(Variant::typeName(row[i].type())) + ":" + row[i].toText());
    }
    return out;
}

} // namespace

TEST(PacketRead, GivenRowsOfEveryShape_WhenRead_ThenValuesAreExactWhateverPathReadsThem) {
    // Plain rows, rows with escapes, exponents, long digit strings and odd spacing.
    const DataPacket p = parse(R"(["abc",1.25,7,39873,true],)"
                               R"([ "a\"b\\c\u00e7" , -0.5 , -7 , 39873.5 , false ],)"
                               R"([null,null,null,null,null],)"
                               R"(["",1e3,0,0,true],)"
                               R"(["x",0.1000000000000000055511151231257827,2147483647,-1,false],)"
                               R"(["y",123456789012.34567,-2147483648,1.5E1,true])");
    EXPECT_EQ(cells(p),
              "text:abc double:1.25 integer:7 datetime:39873 boolean:True|"
              "text:a\"b\\cç double:-0.5 integer:-7 datetime:39873.5 boolean:False|"
              "null null null null null|"
              "text: double:1000 integer:0 datetime:0 boolean:True|"
              "text:x double:0.1 integer:2147483647 datetime:-1 boolean:False|"
              "text:y double:123456789012.34567 integer:-2147483648 datetime:15 boolean:True");
    EXPECT_EQ(p.rows[1][1].toDouble(), -0.5);
    EXPECT_EQ(p.rows[4][1].toDouble(), 0.1);
    EXPECT_EQ(p.rows[5][1].toDouble(), 123456789012.34567);
}

TEST(PacketRead, GivenRepeatedLongTexts_WhenRead_ThenEqualValuesWhetherSharedOrNot) {
    const std::string name = "Filial 0001 Regional Sul e Sudeste";
    const DataPacket p = parse(R"([")" + name + R"(",1,1,1,true],[")" + name + R"(",2,2,2,false])");
    EXPECT_EQ(p.rows[0][0], p.rows[1][0]);
    EXPECT_EQ(p.rows[1][0].toText(), name);
    EXPECT_EQ(DataPacket::fromJson(p.toJson()), p);
}

TEST(PacketRead, GivenMalformedRows_WhenRead_ThenThePacketErrorNamesRowAndField) {
    struct Bad {
        const char* rows;
        const char* mentions;
    } bads[] = {
        {R"(["a",1,1.5,1,true])", "I"},
        {R"(["a",1,3000000000,1,true])", "I"},
        {R"(["a","1",1,1,true])", "F"},
        {R"([1,1,1,1,true])", "T"},
        {R"(["a",1,1,1,"S"])", "B"},
        {R"(["a",1,1,1])", "4 values"},
        {R"(["a",1,1,1,true,9])", "more values"},
        {R"(["a",01,1,1,true])", "expected ','"},
        {R"(["a",1.,1,1,true])", "digit"},
        {R"(["a\q",1,1,1,true])", "escape"},
        {R"(["a",1,1,1,nul])", "B"},
        {R"(["a",1,1,1,true)", "']'"},
    };
    for (const Bad& b : bads) {
        try {
            parse(b.rows);
            ADD_FAILURE() << b.rows;
        } catch (const PacketError& e) {
            EXPECT_NE(std::string(e.what()).find(b.mentions), std::string::npos)
                << b.rows << " -> " << e.what();
        }
    }
}

TEST(PacketRead, GivenDeeplyNestedJson_WhenRead_ThenCommasAreCheckedToTheLimitAndBeyondIsRefused) {
    auto nested = [](int depth, const std::string& inner) {
        return std::string(static_cast<std::size_t>(depth), '[') + inner +
               std::string(static_cast<std::size_t>(depth), ']');
    };
    auto read = [](const std::string& json) {
        JsonReader in(json);
        in.skip();
        in.finish();
    };
    EXPECT_NO_THROW(read(nested(63, "1,2")));
    EXPECT_THROW(read(nested(63, "1 2")), JsonError); // a missing comma at the deepest level
    EXPECT_THROW(read(nested(64, "1")), JsonError);
}

// A loaded answer hands its rows to the dataset rather than copying them, unless something else
// still holds them: then that holder keeps its rows whole.
TEST(PacketOwnership, GivenAnAnswerHeldOnceOrTwice_WhenItsPacketsAreTaken_ThenOthersKeepTheirs) {
    const DataPacket rows = parse(R"(["um texto bem mais longo que o curto", 1.5, 2, 3, true])");
    Variant sole(std::vector<Variant>{Variant(rows), Variant(7)});
    std::vector<Variant> items = std::move(sole).takeArray();
    EXPECT_TRUE(sole.isNull());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(std::move(items[0]).takePacket(), rows);
    EXPECT_TRUE(items[0].isNull());
    EXPECT_THROW(std::move(items[1]).takePacket(), VariantError);

    Variant shared(rows);
    const Variant other = shared;
    const DataPacket taken = std::move(shared).takePacket();
    EXPECT_EQ(taken, rows);
    EXPECT_TRUE(shared.isNull());
    EXPECT_EQ(cells(other.packet()), cells(rows));

    Variant list(std::vector<Variant>{Variant("a"), Variant(2)});
    const Variant kept = list;
    EXPECT_EQ(std::move(list).takeArray().size(), 2u);
    EXPECT_EQ(kept.array().size(), 2u);
    EXPECT_THROW(std::move(Variant("texto")).takeArray(), VariantError);
}
