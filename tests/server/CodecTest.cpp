// The request and answer codecs, argument kinds and code lists: the parts every call crosses.
#include "server/methods/CodeList.h"
#include "server/methods/PacketBuilder.h"
#include "server/rpc/MethodRegistry.h"
#include "server/rpc/ParamKind.h"
#include "server/rpc/RpcError.h"
#include "server/rpc/RpcRequest.h"
#include "server/rpc/RpcResponse.h"
#include "tests/server/RpcTestClient.h"

#include <gtest/gtest.h>

namespace {

using srv::ParamKind;
using srv::RpcError;

TEST(RequestCodec, GivenAClientRequest_WhenDecoded_ThenMethodValuesAndByrefSurvive) {
    srv::RpcRequest sent{"GetVersao",
                         {{Variant("2026"), true}, {Variant(3.0), true}, {Variant(""), false}}};
    srv::RpcRequest got = srv::RpcRequest::parse(sent.toJson());
    EXPECT_EQ(got.method, "GetVersao");
    ASSERT_EQ(got.params.size(), 3u);
    EXPECT_EQ(got.params[0].value.toText(), "2026");
    EXPECT_TRUE(got.params[0].byref);
    EXPECT_EQ(got.params[1].value.type(), VarType::Double);
    EXPECT_FALSE(got.params[2].byref);
    // Unknown members are ignored; byref defaults to false; params may be absent.
    got = srv::RpcRequest::parse(
        R"({"x":[1,{"y":2}],"method":"M","params":[{"value":{"type":"null"},"extra":1}]})");
    ASSERT_EQ(got.params.size(), 1u);
    EXPECT_TRUE(got.params[0].value.isNull());
    EXPECT_FALSE(got.params[0].byref);
    EXPECT_TRUE(srv::RpcRequest::parse(R"({"method":"M"})").params.empty());
}

TEST(RequestCodec, GivenMalformedBodies_WhenDecoded_ThenEachIsABadRequestWithAReason) {
    const char* bodies[] = {
        "",
        "not json",
        "[1,2]",
        R"({"method":"M")",
        R"({"method":"M"} trailing)",
        R"({"params":[]})",
        R"({"method":""})",
        R"({"method":5})",
        R"({"method":"M","params":{}})",
        R"({"method":"M","params":[{"byref":true}]})",
        R"({"method":"M","params":[{"value":{"type":"bogus","value":1}}]})",
        R"({"method":"M","params":[{"value":{"type":"integer","value":"x"}}]})",
        R"({"method":"M","params":[{"value":{"type":"packet","value":{"rows":[[1]]}}}]})",
        R"({"method":"M","params":[{"value":{"type":"text","value":"x"},"byref":"yes"}]})",
    };
    for (const char* body : bodies) {
        try {
            srv::RpcRequest::parse(body);
            ADD_FAILURE() << "accepted: " << body;
        } catch (const RpcError& e) {
            EXPECT_EQ(e.status(), RpcError::BadRequest) << body;
            EXPECT_EQ(std::string(e.what()).rfind("Requisição inválida", 0), 0u) << e.what();
        }
    }
    // Deep nesting is refused, not a stack overflow.
    std::string deep = R"({"method":"M","params":[{"value":{"type":"array","value":)";
    for (int i = 0; i < 10000; ++i)
        deep += "[";
    EXPECT_THROW(srv::RpcRequest::parse(deep), RpcError);
}

TEST(RequestCodec, GivenLoginBodies_WhenDecoded_ThenBothFieldsAreRequired) {
    srv::LoginRequest ok = srv::LoginRequest::parse(R"({"operator":"teste","password":"p w"})");
    EXPECT_EQ(ok.operatorCode, "teste");
    EXPECT_EQ(ok.password, "p w");
    for (const char* body : {R"({"operator":"teste"})", R"({"password":"x"})", R"("x")",
                             R"({"operator":1,"password":"x"})"})
        EXPECT_THROW(srv::LoginRequest::parse(body), RpcError) << body;
}

TEST(AnswerCodec, GivenAnswers_WhenEncoded_ThenClientsReadTheSameValues) {
    DataPacket p;
    p.fields = {{"A", FieldType::String, 2}};
    p.rows = {{Variant("x")}};
    Answer a = Answer::parse(
        srv::RpcResponse::success(Variant(std::vector<Variant>{Variant(p), Variant(1)}),
                                  {{0, Variant("T")}, {3, Variant()}}));
    EXPECT_TRUE(a.ok);
    EXPECT_EQ(a.packet(0), p);
    EXPECT_EQ(a.byref.at(0).toText(), "T");
    EXPECT_TRUE(a.byref.at(3).isNull());

    Answer e = Answer::parse(srv::RpcResponse::failure("Versão \"3\" não cadastrada.\n"));
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.error, "Versão \"3\" não cadastrada.\n");
    Answer l = Answer::parse(srv::RpcResponse::loggedIn("abc", "José"));
    EXPECT_EQ(l.token, "abc");
    EXPECT_EQ(l.name, "José");
}

TEST(ParamKinds, GivenValuesOfEachKind_WhenCheckedAgainstDeclaredKinds_ThenOnlyFittingOnesPass) {
    // Columns: Text Integer Double Boolean Date Any.
    struct Row {
        Variant value;
        const char* accepted;
    };
    const Row rows[] = {
        {Variant("x"), "T....A"},
        {Variant(3), ".IDBDA"},
        {Variant(3.0), ".ID.DA"},
        {Variant(3.5), "..D.DA"},
        {Variant(1e12), "..D.DA"},
        {Variant(true), "...B.A"},
        {Variant::fromDate(46000), "....DA"},
        {Variant(), "....DA"},
        {Variant(DataPacket()), ".....A"},
        {Variant(std::vector<Variant>{}), ".....A"},
    };
    const ParamKind kinds[] = {ParamKind::Text,    ParamKind::Integer, ParamKind::Double,
                               ParamKind::Boolean, ParamKind::Date,    ParamKind::Any};
    for (const Row& r : rows) {
        std::string got;
        for (ParamKind k : kinds)
            got += srv::paramAccepts(k, r.value) ? std::string(1, "TIDBDA"[got.size()]) : ".";
        EXPECT_EQ(got, r.accepted) << srv::valueKindName(r.value);
    }
}

TEST(CodeLists, GivenListTexts_WhenParsed_ThenAllSomeOrOneCodeIsSelected) {
    EXPECT_TRUE(srv::CodeList::parse("T", "x").all());
    EXPECT_TRUE(srv::CodeList::parse("", "x").all());
    EXPECT_TRUE(srv::CodeList::parse("  ", "x").all());
    auto two = srv::CodeList::parse("_0001_0002_", "x");
    EXPECT_FALSE(two.all());
    EXPECT_EQ(two.codes(), (std::set<std::string>{"0001", "0002"}));
    EXPECT_FALSE(two.contains("0003"));
    auto one = srv::CodeList::parse("0007", "x");
    EXPECT_EQ(one.codes(), (std::set<std::string>{"0007"}));
    EXPECT_EQ(srv::CodeList::parse("_G 1_", "x").codes(), (std::set<std::string>{"G 1"}));
    for (const char* bad : {"_", "__", "_0001", "_0001__0002_"})
        EXPECT_THROW(srv::CodeList::parse(bad, "filiais"), RpcError) << bad;
}

TEST(Packets, GivenStoredCells_WhenConvertedToFieldKinds_ThenDatesAndTextsReadAsTheClientExpects) {
    EXPECT_EQ(srv::PacketBuilder::formatDate(Variant(46023.0)), "01/01/2026");
    EXPECT_EQ(srv::PacketBuilder::formatDate(Variant(0.0)), "30/12/1899");
    EXPECT_EQ(srv::PacketBuilder::formatDate(Variant(60.0)), "28/02/1900");
    EXPECT_EQ(srv::PacketBuilder::formatDate(Variant(46081.75)), "28/02/2026");
    EXPECT_EQ(srv::PacketBuilder::formatDate(Variant()), "");
    EXPECT_EQ(srv::PacketBuilder::convert(FieldType::String, Variant(21)).toText(), "21");
    EXPECT_EQ(srv::PacketBuilder::convert(FieldType::Float, Variant(2)).type(), VarType::Double);
    EXPECT_EQ(srv::PacketBuilder::convert(FieldType::DateTime, Variant(46023.0)).type(),
              VarType::DateTime);
    EXPECT_TRUE(srv::PacketBuilder::convert(FieldType::Float, Variant()).isNull());
}

TEST(Registry, GivenModulesAndMethods_WhenLookedUp_ThenNamesAreExact) {
    srv::MethodRegistry r;
    r.add("M.a", "Get", {ParamKind::Text}, [](srv::CallContext&) { return Variant(1); });
    r.addPending("M.a", "Later", {});
    r.addModule("M.b");
    EXPECT_TRUE(r.hasModule("M.b"));
    EXPECT_FALSE(r.hasModule("m.a"));
    ASSERT_NE(r.find("M.a", "Get"), nullptr);
    EXPECT_EQ(r.find("M.a", "get"), nullptr);
    EXPECT_EQ(r.find("M.b", "Get"), nullptr);
    EXPECT_FALSE(static_cast<bool>(r.find("M.a", "Later")->handler));
    EXPECT_EQ(r.methods("M.a"), (std::vector<std::string>{"Get", "Later"}));
}

} // namespace
