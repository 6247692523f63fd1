// What the replication dialog's pickers offer: branches the operator may change, and the items
// of a budget line in the listed branches.
#include "tests/server/ServerFixture.h"

namespace {

std::string branches(RpcTestClient& client, const std::string& list) {
    Answer a = client.budget("GetListaFilRepl", {byref(list)});
    if (!a.ok) return "error: " + a.error;
    return dumpRows(a.packet());
}

std::string items(RpcTestClient& client, const std::string& list, const std::string& type,
                  const std::string& year = "2026") {
    Answer a = client.budget("GetListaItens", {byref(list), byref(type), val(year)});
    if (!a.ok) return "error: " + a.error;
    return dumpRows(a.packet());
}

} // namespace

TEST_P(ServerOnBackend,
       GivenBranchLists_WhenAskingWhichMayTakeReplicatedValues_ThenOnlyVisibleOnesWithAccess) {
    Answer a = teste().budget("GetListaFilRepl", {byref("_0001_")});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpFields(a.packet()), "IDMARCADO:string:1,CDFILIAL:string:4,NMFILIAL:string:30");
    // 0005 is visible without calculation access, 0006 is not visible to this operator.
    EXPECT_EQ(branches(teste(), "_0001_0003_0005_0006_"),
              "N|0001|FILIAL CENTRO\nN|0003|FILIAL SUL\n");
    EXPECT_EQ(branches(teste(), "T"), "N|0001|FILIAL CENTRO\nN|0002|FILIAL NORTE\n"
                                      "N|0003|FILIAL SUL\nN|0004|FILIAL LESTE\n");
    // No branch of the budget may be changed: nothing is offered, not every branch.
    EXPECT_EQ(branches(teste(), ""), "");
    RpcTestClient bloq = as("bloq");
    EXPECT_EQ(branches(bloq, "_0001_0003_"), "N|0001|FILIAL CENTRO\n");
    EXPECT_EQ(branches(teste(), "_00"), "error: Lista de filiais inválida: _00.");
}

TEST_P(ServerOnBackend,
       GivenALine_WhenAskingItsItems_ThenTheDistinctCodesOfTheListedBranchesComeByCode) {
    Answer a = teste().budget("GetListaItens", {byref("T"), byref("D"), val("2026")});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(dumpFields(a.packet()),
              "IDMARCADO:string:1,DSDESPADMFAT:string:40,NMDESPPREV:string:40,"
              "NMTIPOOPER:string:40,SGIMPOSTO:string:40,CODIGO:string:10");
    EXPECT_EQ(items(teste(), "T", "D"), "N||Aluguel|||001\n");
    EXPECT_EQ(items(teste(), "_0001_0002_", "M"), "N||Rateio de despesas da matriz|||010\n");
    EXPECT_EQ(items(teste(), "_0001_", "O"), "N|Cozinheiro||||01\nN|Auxiliar de cozinha||||02\n");
    EXPECT_EQ(items(teste(), "_0001_", "I"), "N||||ISS|01\n");
    // Lines without item codes, branches the operator does not see, a year without versions.
    EXPECT_EQ(items(teste(), "T", "F"), "");
    EXPECT_EQ(items(teste(), "_0006_", "D"), "");
    EXPECT_EQ(items(teste(), "", "D"), "");
    EXPECT_EQ(items(teste(), "T", "D", "1999"), "");
    EXPECT_EQ(items(teste(), "T", "X"), "error: GetListaItens: tipo de item inválido \"X\".");
}

TEST_P(ServerOnBackend,
       GivenEntryExpenses_WhenTheParameterChanges_ThenOperationOrExpenseTypesAreOffered) {
    // The fixture records entry expenses by operation type ("O").
    const std::string byOperation = items(teste(), "_0001_", "E");
    server().store().transaction([](srv::Database& db) {
        return db.execute("UPDATE PARAMORCAOPERAC SET IDORCDESPENTROP = 'D'");
    });
    EXPECT_EQ(byOperation, "N|||Compra de insumos||01\nN|||Venda de refeições avulsas||V\n");
    EXPECT_EQ(items(teste(), "_0001_", "E"),
              "N||Material de limpeza|||004\nN||Transporte de mercadorias|||005\n");
}
