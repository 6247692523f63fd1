#include "services/data/Variant.h"
#include "services/data/DataPacket.h"

#include <gtest/gtest.h>

TEST(Variant, GivenTextsAroundTheInlineLimit_WhenCopiedAndMoved_ThenTheTextIsKept) {
    for (const std::string& text : std::vector<std::string>{
             "", "S", "0001", "fourteen chars", "fifteen chars!!", std::string(300, 'x')}) {
        Variant a(text);
        Variant b = a;
        Variant c = std::move(a);
        EXPECT_EQ(b.textView(), text);
        EXPECT_EQ(c.textView(), text);
        EXPECT_TRUE(a.isNull());
        b = c;
        c = Variant(1.5);
        EXPECT_EQ(b.textView(), text);
    }
}

TEST(Variant, GivenEachKind_WhenConverted_ThenNullReadsAsEmptyAndTextsParseWithADot) {
    EXPECT_EQ(Variant().toDouble(), 0.0);
    EXPECT_EQ(Variant().toText(), "");
    EXPECT_EQ(Variant(" 12.5 ").toDouble(), 12.5);
    EXPECT_EQ(Variant(7).toText(), "7");
    EXPECT_EQ(Variant(0.1).toText(), "0.1");
    EXPECT_EQ(Variant(2.6).toInt(), 3);
    EXPECT_TRUE(Variant("S").toBool());
    EXPECT_FALSE(Variant("N").toBool());
    EXPECT_THROW(Variant("1,5").toDouble(), VariantError);
    EXPECT_THROW(Variant("abc").toBool(), VariantError);
    EXPECT_THROW(Variant(1e12).toInt(), VariantError);
    EXPECT_THROW(Variant(3).textView(), VariantError);
    EXPECT_THROW(Variant("x").packet(), VariantError);
}

TEST(Variant, GivenValuesOfMixedKinds_WhenCompared_ThenNullIsFirstAndNumbersCompareByValue) {
    EXPECT_EQ(Variant(2), Variant(2.0));
    EXPECT_NE(Variant(2), Variant("2"));
    EXPECT_LT(Variant::compare(Variant(), Variant(-5)), 0);
    EXPECT_LT(Variant::compare(Variant(1), Variant(1.5)), 0);
    EXPECT_LT(Variant::compare(Variant("0001"), Variant("0002")), 0);
    EXPECT_NE(Variant::compare(Variant("abc"), Variant("ABC")), 0);
    EXPECT_EQ(Variant::compareNoCase(Variant("abc"), Variant("ABC")), 0);
    EXPECT_EQ(Variant::compareNoCase(Variant("ação"), Variant("AÇÃO")), 0);
    EXPECT_EQ(Variant::fromDate(45000.0).type(), VarType::DateTime);
    EXPECT_EQ(Variant::fromDate(45000.0), Variant(45000.0));
}

TEST(Variant, GivenEveryKind_WhenWrittenAsTypedJsonAndReadBack_ThenItIsEqual) {
    DataPacket p;
    p.fields = {{"CDFILIAL", FieldType::String, 4}};
    p.rows = {{Variant("0001")}};
    const std::vector<Variant> values = {
        Variant(),
        Variant(true),
        Variant(false),
        Variant(-17),
        Variant(1234.56),
        Variant::fromDate(46023.5),
        Variant("Ação \"x\"\n\\"),
        Variant(p),
        Variant(std::vector<Variant>{Variant(1), Variant("T"), Variant(std::vector<Variant>{})})};
    for (const Variant& v : values) {
        const std::string json = variantToJson(v);
        const Variant back = variantFromJson(json);
        EXPECT_EQ(back.type(), v.type()) << json;
        EXPECT_EQ(back, v) << json;
    }
    EXPECT_EQ(variantToJson(Variant(true)), R"({"type":"boolean","value":true})");
    EXPECT_EQ(variantToJson(Variant()), R"({"type":"null"})");
}

TEST(Variant, GivenMalformedTypedJson_WhenRead_ThenTheErrorNamesTheProblem) {
    auto message = [](const std::string& json) {
        try {
            variantFromJson(json);
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message(R"({"value":1})").find("must come before"), std::string::npos);
    EXPECT_NE(message(R"({"type":"integer","value":1.5})").find("32-bit"), std::string::npos);
    EXPECT_NE(message(R"({"type":"banana","value":1})").find("unknown variant type"),
              std::string::npos);
    EXPECT_NE(message(R"({"type":"text"})").find("has no value"), std::string::npos);
    EXPECT_NE(message(R"({"type":"text","value":"a"} x)").find("after the value"),
              std::string::npos);
    EXPECT_NE(message(std::string(100, '[')).find("expected an object"), std::string::npos);
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += R"({"type":"array","value":[)";
    EXPECT_NE(message(deep).find("too deep"), std::string::npos);
}
