// Reads of the budget module: parameters, versions, the budget load, pickers and the phase.
#include "server/methods/Methods.h"
#include "tests/server/ServerFixture.h"

#include <set>

namespace {

std::set<std::string> branchesIn(const DataPacket& packet) {
    std::set<std::string> out;
    for (std::size_t r = 0; r < packet.rows.size(); ++r)
        out.insert(packet.value(r, "CDFILIAL").toText());
    return out;
}

std::string joined(const std::set<std::string>& codes) {
    std::string out;
    for (const auto& c : codes)
        out += (out.empty() ? "" : ",") + c;
    return out;
}

using Kind = TestDatabases::Kind;

TEST_P(ServerOnBackend, GivenFixture_WhenLoggingIn_ThenOnlyTheRightPasswordOpensASession) {
    Answer good = Answer::parse(server().login(R"({"operator":"teste","password":"teste"})"));
    EXPECT_TRUE(good.ok);
    EXPECT_EQ(good.token.size(), 32u);
    EXPECT_FALSE(good.name.empty());

    for (const char* body : {R"({"operator":"teste","password":"errada"})",
                             R"({"operator":"ninguem","password":"teste"})"}) {
        Answer bad = Answer::parse(server().login(body));
        EXPECT_FALSE(bad.ok) << body;
        EXPECT_EQ(bad.error, "Operador ou senha inválidos.") << body;
    }
    EXPECT_THROW(server().loginToken("teste", ""), std::runtime_error);

    // Two sessions of one operator are distinct and both valid.
    RpcTestClient other(server(), "teste", "teste");
    EXPECT_NE(other.token(), teste().token());
    EXPECT_TRUE(other.budget("GetParametro").ok);
}

TEST_P(ServerOnBackend, GivenFixture_WhenReadingParametersAndVersions_ThenPacketsHaveTheirShape) {
    Answer par = teste().budget("GetParametro");
    ASSERT_TRUE(par.ok) << par.error;
    EXPECT_EQ(dumpFields(par.packet()), "IDTIPOSIMULARESULTFAT:string:30,IDORCDESPENTROP:string:1");
    EXPECT_EQ(par.packet().rows.size(), 1u);

    Answer tp = teste().budget("TpDespLanEnt");
    ASSERT_TRUE(tp.ok) << tp.error;
    EXPECT_EQ(dumpFields(tp.packet()), "IDORCDESPENTROP:string:1");
    EXPECT_EQ(dumpRows(tp.packet()), dumpRows(par.packet(), {"IDORCDESPENTROP"}));

    Answer latest = teste().budget("GetMaiorVersao", {byref("2026")});
    ASSERT_TRUE(latest.ok) << latest.error;
    EXPECT_EQ(dumpFields(latest.packet()), "CDVERSAOORCA:float,NRMESINIVERORC:string:2");
    EXPECT_EQ(dumpRows(latest.packet()), "2|01\n");
    EXPECT_EQ(latest.byref.at(0).toText(), "2026");
    EXPECT_EQ(dumpRows(teste().budget("GetMaiorVersao", {byref("2025")}).packet()), "1|01\n");
    EXPECT_EQ(teste().budget("GetMaiorVersao", {byref("1999")}).packet().rows.size(), 0u);

    Answer one = teste().budget("GetVersao", {byref("2026"), byref(1.0), byref("")});
    ASSERT_TRUE(one.ok) << one.error;
    EXPECT_EQ(dumpFields(one.packet()), "CDANOVERORCA:string:4,CDVERSAOORCA:string:40,"
                                        "NRMESINIVERORC:string:2,DATAINI:datetime,"
                                        "DATAFIN:datetime");
    EXPECT_EQ(dumpRows(one.packet(), {"CDANOVERORCA", "CDVERSAOORCA", "NRMESINIVERORC"}),
              "2026|1|04\n");
    Answer all = teste().budget("GetVersao", {byref("2026"), byref(0.0), byref("T")});
    EXPECT_EQ(dumpRows(all.packet(), {"CDVERSAOORCA", "NRMESINIVERORC"}), "1|04\n2|01\n");
    // Versions that do not exist come back as an empty packet, which the client reports.
    for (double v : {9.0, 1.5, -1.0})
        EXPECT_EQ(
            teste().budget("GetVersao", {byref("2026"), byref(v), byref("")}).packet().rows.size(),
            0u)
            << v;

    Answer badYear = teste().budget("GetMaiorVersao", {byref("20x6")});
    EXPECT_FALSE(badYear.ok);
    EXPECT_NE(badYear.error.find("Ano inválido"), std::string::npos) << badYear.error;
    Answer badKind = teste().budget("GetVersao", {byref("2026"), byref(1.0), byref("X")});
    EXPECT_FALSE(badKind.ok);
}

TEST_P(ServerOnBackend,
       GivenFixture_WhenLoadingABudget_ThenSixPacketsCarryEveryFieldOfTheDatasets) {
    Answer a = load(teste());
    ASSERT_TRUE(a.ok) << a.error;
    ASSERT_EQ(a.result.array().size(), 6u);
    EXPECT_EQ(dumpFields(a.packet(0)),
              "NRANOORCAOP:string:4,CDVERSORCAOP:float,NMFILIAL:string:30,CDFILIAL:string:4,"
              "CDOPERADOR:string:12,DTORCAMENTO:datetime,IDSTATUSORCA:string:1,"
              "IDCHECKO:string:1,IDCHECKD:string:1,IDCHECKM:string:1,IDCHECKE:string:1,"
              "IDCHECKI:string:1,IDCHECKR:string:1,IDCHECKS:string:1,IDCHECKN:string:1,"
              "IDCHECKP:string:1,IDACESSOCALC:string:1,IDITEMORCAMENTO:string:1");
    EXPECT_EQ(dumpFields(a.packet(1)),
              "NRANOORCAOP:string:4,CDVERSORCAOP:float,CDFILIAL:string:4,VRORCAMENTOFEV:float,"
              "VRORCAMENTOJAN:float,VRORCAMENTOMAR:float,VRORCAMENTOABR:float,"
              "VRORCAMENTOMAI:float,VRORCAMENTOJUN:float,VRORCAMENTOJUL:float,"
              "VRORCAMENTOAGO:float,VRORCAMENTOSET:float,VRORCAMENTOOUT:float,"
              "VRORCAMENTONOV:float,VRORCAMENTODEZ:float,IDTIPOORCAOP:string:1,"
              "IDENTRSAIDOP:string:1,CDTIPOOPER:string:2,CDDESPADMFAT:string:2,"
              "CDDESPPREV:string:3,NMFILIAL:string:30,IDITEMORCAMENTO:string:1,"
              "IDCHECKF:string:1,IDCHECKC:string:1,CDIMPOSTO:string:2,DTMESBASEITEM:datetime,"
              "NRSEQITEMORCA:string:10,IDSTATUSORCA:string:2,IDACESSOCALC:string:1,"
              "IDALTERADO:string:1,IDCALCOMESTORC:string:1,IDITEMCALCORCA:string:1,TOTAL:float");
    EXPECT_EQ(dumpFields(a.packet(2)),
              "NRANOORCAOP:string:4,CDVERSORCAOP:float,CDFILIAL:string:4,"
              "DTORCAMENTOITEM:datetime,IDSTATUSORCA:string:1,VRORCAMENTOJAN:float,"
              "VRORCAMENTOFEV:float,VRORCAMENTOMAR:float,VRORCAMENTOABR:float,"
              "VRORCAMENTOMAI:float,VRORCAMENTOJUN:float,VRORCAMENTOJUL:float,"
              "VRORCAMENTOAGO:float,VRORCAMENTOSET:float,VRORCAMENTOOUT:float,"
              "VRORCAMENTONOV:float,VRORCAMENTODEZ:float,IDITEMORCAMENTO:string:1,"
              "NMFILIAL:string:30,IDTIPOORCAOP:string:1,IDENTRSAIDOP:string:1,"
              "CDTIPOOPER:string:2,CDDESPADMFAT:string:2,CDDESPPREV:string:3,"
              "DTMESBASEITEM:datetime,NMTIPOOPER:string:30,DSDESPADMFAT:string:160,"
              "NMDESPPREV:string:50,IDALTERADO:string:1,CDIMPOSTO:string:2,"
              "IDACESSOAPROV:string:1,IDACESSOCALC:string:1,NRSEQITEMORCA:string:10,"
              "SOMAT:float,SGIMPOSTO:string:10,IDCHECK:string:20");
    EXPECT_EQ(dumpFields(a.packet(3)),
              "CDFILIAL:string:4,VRORCAMENTOJAN:string:2,VRORCAMENTOFEV:string:2,"
              "VRORCAMENTOMAR:string:3,VRORCAMENTOABR:string:2,VRORCAMENTOMAI:string:2,"
              "VRORCAMENTOJUN:string:2,VRORCAMENTOJUL:string:2,VRORCAMENTOAGO:string:2,"
              "VRORCAMENTOSET:string:2,VRORCAMENTOOUT:string:2,VRORCAMENTONOV:string:2,"
              "VRORCAMENTODEZ:string:2");
    EXPECT_EQ(dumpFields(a.packet(4)), "CDFILIAL:string:4,IDFATUROP:string:2,"
                                       "IDDETALHEFATUR:string:1");
    EXPECT_EQ(dumpFields(a.packet(5)),
              "DTMESBASEITEM:string:10,SOMAT:float,NRANOORCAOP:string:4,CDVERSORCAOP:float,"
              "CDFILIAL:string:4,IDSTATUSORCA:string:1,IDITEMORCAMENTO:string:1,"
              "IDTIPOORCAOP:string:1,IDENTRSAIDOP:string:1,CDTIPOOPER:string:2,"
              "NRSEQITEMORCA:string:10,NMFILIAL:string:30,IDCHECK:string:1,"
              "IDACESSOCALC:string:1,IDACESSOAPROV:string:1,IDITEMCALCORCA:string:1,"
              "VRORCAMENTOJAN:float,VRORCAMENTOFEV:float,VRORCAMENTOMAR:float,"
              "VRORCAMENTOABR:float,VRORCAMENTOMAI:float,VRORCAMENTOJUN:float,"
              "VRORCAMENTOJUL:float,VRORCAMENTOAGO:float,VRORCAMENTOSET:float,"
              "VRORCAMENTOOUT:float,VRORCAMENTONOV:float,VRORCAMENTODEZ:float,"
              "IDALTERADO:string:1");

    // teste sees 0001..0005, never 0006, in every packet.
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(joined(branchesIn(a.packet(i))), "0001,0002,0003,0004,0005") << "packet " << i;
    // Each dataset gets its own type letters.
    auto letters = [](const DataPacket& p) {
        std::set<std::string> out;
        for (std::size_t r = 0; r < p.rows.size(); ++r)
            out.insert(p.value(r, "IDTIPOORCAOP").toText());
        return joined(out);
    };
    EXPECT_EQ(letters(a.packet(1)), "C,F");
    EXPECT_EQ(letters(a.packet(2)), "D,E,I,M,N,O,P,R,S");
    EXPECT_EQ(letters(a.packet(5)), "T");
    // Access and totals follow the branch and the months.
    EXPECT_EQ(dumpRows(a.packet(0), {"CDFILIAL", "IDACESSOCALC", "IDSTATUSORCA"}),
              "0001|S|P\n0002|S|P\n0003|S|E\n0004|S|A\n0005|N|P\n");
    const DataPacket& items = a.packet(2);
    for (std::size_t r = 0; r < items.rows.size(); ++r) {
        double sum = 0;
        for (const char* m :
             {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN", "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"})
            sum += monthValue(items, static_cast<int>(r), std::string("VRORCAMENTO") + m);
        EXPECT_NEAR(items.value(r, "SOMAT").toDouble(), sum, 1e-6);
    }
    // Both kinds of entry expenses are there, with their descriptive names.
    int withOperationName = 0;
    for (std::size_t r = 0; r < items.rows.size(); ++r)
        if (items.value(r, "IDTIPOORCAOP").toText() == "E" &&
            !items.value(r, "NMTIPOOPER").isNull())
            ++withOperationName;
    EXPECT_GT(withOperationName, 0);
    // The by-reference lists come back as sent.
    EXPECT_EQ(a.byref.at(3).toText(), "T");
    EXPECT_EQ(a.byref.size(), 4u);
}

TEST_P(ServerOnBackend, GivenFilterLists_WhenLoading_ThenOnlySelectedVisibleBranchesComeBack) {
    struct Case {
        const char* branches;
        const char* groups;
        const char* regions;
        const char* segments;
        const char* expected;
    };
    const Case cases[] = {
        {"_0001_0002_", "T", "T", "T", "0001,0002"},
        {"0003", "T", "T", "T", "0003"},
        {"_0006_", "T", "T", "T", ""}, // not visible to teste
        {"T", "_G2_", "T", "T", "0004,0005"},
        {"T", "T", "_R1_", "T", "0001,0002,0003"},
        {"T", "T", "T", "_S2_", "0003,0005"},
        {"T", "_G1_", "T", "_S1_", "0001,0002"},
        {"_0001_0004_", "T", "_R2_", "T", "0004"},
        {"", "", "", "", "0001,0002,0003,0004,0005"},
    };
    for (const Case& c : cases) {
        Answer a = load(teste(), 2, c.branches, c.groups, c.regions, c.segments);
        ASSERT_TRUE(a.ok) << a.error;
        EXPECT_EQ(joined(branchesIn(a.packet(0))), c.expected) << c.branches << " " << c.groups;
        EXPECT_EQ(joined(branchesIn(a.packet(1))), c.expected) << c.branches << " " << c.groups;
        EXPECT_EQ(joined(branchesIn(a.packet(3))), c.expected) << c.branches << " " << c.groups;
    }
    // A fixed-branch host's list.
    RpcTestClient fase = as("fase");
    EXPECT_EQ(joined(branchesIn(load(fase, 2, "_0006_").packet(2))), "0006");
}

TEST_P(ServerOnBackend, GivenBadArguments_WhenLoading_ThenTheLoadIsRefusedWithAReason) {
    Answer other = load(teste(), 2, "T", "T", "T", "T", "fase");
    EXPECT_FALSE(other.ok);
    EXPECT_NE(other.error.find("não corresponde ao operador"), std::string::npos) << other.error;

    Answer missing = load(teste(), 9);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "Versão 9 do ano 2026 não cadastrada.");

    Answer badList = load(teste(), 2, "_0001");
    EXPECT_FALSE(badList.ok);
    EXPECT_NE(badList.error.find("Lista de filiais inválida"), std::string::npos) << badList.error;
}

TEST_P(ServerOnBackend, GivenOperators_WhenAskingForPickerListsAndPhase_ThenTheySeeTheirOwn) {
    Answer fil =
        teste().budget("GetListaFilial", {val("teste"), byref("T"), byref("_R2_"), val("N")});
    ASSERT_TRUE(fil.ok) << fil.error;
    EXPECT_EQ(dumpFields(fil.packet()), "IDMARCADO:string:1,CDFILIAL:string:4,NMFILIAL:string:30");
    EXPECT_EQ(dumpRows(fil.packet(), {"IDMARCADO", "CDFILIAL"}), "N|0004\nN|0005\n");
    EXPECT_EQ(
        dumpRows(teste()
                     .budget("GetListaFilial", {val("teste"), byref("_G1_"), byref("T"), val("N")})
                     .packet(),
                 {"CDFILIAL"}),
        "0001\n0002\n0003\n");

    Answer grp = teste().budget("GetListaAgrupFil", {val("teste")});
    EXPECT_EQ(dumpFields(grp.packet()),
              "IDMARCADO:string:1,CDGRUPFILI:string:10,NMGRUPFILI:string:40");
    EXPECT_EQ(dumpRows(grp.packet(), {"CDGRUPFILI"}), "G1\nG2\n");
    EXPECT_EQ(dumpRows(teste().budget("GetListaReg", {val("teste")}).packet(), {"CDREGIAO"}),
              "R1\nR2\n");
    EXPECT_EQ(dumpRows(teste().budget("GetListaSeg", {val("teste")}).packet(), {"CDSEGMER"}),
              "S1\nS2\n");
    // bloq sees only 0001 and 0002, all in R1.
    RpcTestClient bloq = as("bloq");
    EXPECT_EQ(dumpRows(bloq.budget("GetListaReg", {val("bloq")}).packet(), {"CDREGIAO"}), "R1\n");
    EXPECT_FALSE(bloq.budget("GetListaSeg", {val("teste")}).ok);

    Answer phase =
        teste().call(srv::kModuleGestaoOperac, "VerificaFaseOperador", {val("teste"), val("2026")});
    ASSERT_TRUE(phase.ok) << phase.error;
    EXPECT_EQ(dumpFields(phase.packet()),
              "CDOPERADOR:string:12,CDGRUPGERENTEOP:string:10,IDFASECALCORCA:string:1,"
              "IDFASEAPROVORCA:string:1,NMFASEORCOPERAC:string:100,IDPERMCALCJAN:string:1,"
              "IDPERMCALCFEV:string:1,IDPERMCALCMAR:string:1,IDPERMCALCABR:string:1,"
              "IDPERMCALCMAI:string:1,IDPERMCALCJUN:string:1,IDPERMCALCJUL:string:1,"
              "IDPERMCALCAGO:string:1,IDPERMCALCSET:string:1,IDPERMCALCOUT:string:1,"
              "IDPERMCALCNOV:string:1,IDPERMCALCDEZ:string:1");
    RpcTestClient fase = as("fase");
    Answer closed =
        fase.call(srv::kModuleGestaoOperac, "VerificaFaseOperador", {val("fase"), val("2026")});
    EXPECT_EQ(dumpRows(closed.packet(), {"CDOPERADOR", "IDFASECALCORCA", "IDPERMCALCJAN",
                                         "IDPERMCALCMAR", "IDPERMCALCABR"}),
              "fase|S|N|N|S\n");
    EXPECT_EQ(dumpRows(bloq.call(srv::kModuleGestaoOperac, "VerificaFaseOperador",
                                 {val("bloq"), val("2026")})
                           .packet(),
                       {"IDFASECALCORCA"}),
              "N\n");
    // No phase registered for a year: no row, no restriction.
    EXPECT_EQ(
        fase.call(srv::kModuleGestaoOperac, "VerificaFaseOperador", {val("fase"), val("1999")})
            .packet()
            .rows.size(),
        0u);
}

} // namespace
