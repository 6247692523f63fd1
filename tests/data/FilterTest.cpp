#include "DataSetFixture.h"

#include "services/data/NumberFormat.h"

#include <gtest/gtest.h>

#include <cstdio>

using fixture::rows;

namespace {

const char* kItems =
    "SEQ:S2;CDFILIAL:S4;IDTIPOORCAOP:S1;CDDESPPREV:S3;CDTIPOOPER:S2;VR:F;QT:I;DT:D";

void loadItems(TClientDataSet& ds) {
    const double mar = EncodeDate(2009, 3, 1);
    fixture::load(ds, kItems,
                  {
                      {"01", "0001", "I", "010", "V", 10.5, 1, mar},
                      {"02", "0001", "O", "010", Variant(), 0.0, 2, Variant()},
                      {"03", "0002", "I", "10", "AB", -3.0, 3, mar + 31},
                      {"04", "0002", "E", "abc", "V", 100.0, Variant(), mar},
                      {"05", "0003", "E", Variant(), "O'", 7.25, 5, mar - 1},
                      {"06", "0001", "E", "011", "X", Variant(), 6, mar},
                      {"07", "0004", "M", "010", "V", 2.0, 7, mar},
                      {"08", "0001", "I", "010", "V", 1.0, 8, mar},
                  });
}

struct Case {
    const char* filter;
    const char* expected; // SEQ of the visible rows
};

} // namespace

TEST(DataSetFilter, GivenFiltersOfTheScreens_WhenAppliedThroughIndexAndScan_ThenSameRows) {
    const Case cases[] = {
        {"IDTIPOORCAOP = 'I'AND CDFILIAL = '0001'", "01|08"},
        {"IDTIPOORCAOP = 'E' AND CDFILIAL = '0001' AND CDTIPOOPER <> 'V'", "06"},
        {"IDTIPOORCAOP = 'E' AND CDFILIAL = '0002' AND CDTIPOOPER = 'V'", "04"},
        {"[IDTIPOORCAOP] = 'M'", "07"},
        {"IDTIPOORCAOP <> 'C'", "01|02|03|04|05|06|07|08"},
        {"CDFILIAL IN ('0001','0002')", "01|02|03|04|06|08"},
        {"CDFILIAL IN ('0003')", "05"},
        {"CDFILIAL NOT IN ('0001','0002')", "05|07"},
        // A number against a text field compares numerically: "010" and "10" match 010.
        {"CDDESPPREV = 010 AND CDFILIAL = '0001'", "01|02|08"},
        {"CDDESPPREV = 10", "01|02|03|07|08"},
        {"CDDESPPREV <> 10", "04|05|06"},
        {"CDDESPPREV = '10'", "03"},
        {"VR > 5", "01|04|05"},
        {"VR >= 10.5 OR QT <= 2", "01|02|04"},
        {"VR > 2.5 AND VR < 10.5", "05"},
        {"VR IN (7.25, -3.0)", "03|05"},
        {"VR < 0", "03"},
        {"VR = 0", "02|06"}, // null reads as 0
        {"QT = 3", "03"},
        {"QT IN (1, 8)", "01|08"},
        {"NOT (IDTIPOORCAOP = 'I' OR IDTIPOORCAOP = 'E')", "02|07"},
        {"(CDFILIAL = '0001' OR CDFILIAL = '0004') AND NOT IDTIPOORCAOP = 'I'", "02|06|07"},
        {"CDTIPOOPER = 'O'''", "05"},
        {"CDTIPOOPER = ''", "02"}, // null reads as ""
        {"CDTIPOOPER IS NULL", "02"},
        {"CDDESPPREV IS NOT NULL AND QT IS NULL", "04"},
        {"idtipoorcaop = 'm' OR cdfilial = '0003'", "05"},
        {"DT = '01/03/2009' AND CDFILIAL='0001'", "01|06|08"},
        {"DT > '01/03/2009'", "03"},
        {"SEQ >= '07'", "07|08"},
        {"'0001' = CDFILIAL AND 5 < QT", "06|08"},
        {"CDFILIAL = SEQ", ""},
        {"1 = 1 AND CDFILIAL = '0004'", "07"},
        {"   ", "01|02|03|04|05|06|07|08"},
    };
    for (const bool indexed : {true, false}) {
        TClientDataSet ds("cdsItens");
        ds.SetFilterIndexesEnabled(indexed);
        loadItems(ds);
        ds.SetFiltered(true);
        for (const Case& c : cases) {
            ds.SetFilter(c.filter);
            EXPECT_EQ(rows(ds, "SEQ"), c.expected)
                << c.filter << (indexed ? " (index)" : " (scan)");
            EXPECT_EQ(ds.RecordCount(), ds.VisibleRowCount());
        }
    }
}

TEST(DataSetFilter, GivenAFilteredDataSet_WhenFilteredIsTurnedOff_ThenAllRowsAndTheTextStays) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetFilter("CDFILIAL = '0002'");
    EXPECT_EQ(ds.RecordCount(), 8); // not filtering yet
    ds.SetFiltered(true);
    EXPECT_EQ(rows(ds, "SEQ"), "03|04");
    EXPECT_EQ(ds.RecNo(), 1);
    ds.SetFiltered(false);
    EXPECT_EQ(ds.RecordCount(), 8);
    EXPECT_EQ(ds.Filter(), "CDFILIAL = '0002'");
}

TEST(DataSetFilter, GivenAFilterSetBeforeTheFieldsExist_WhenTheDataArrives_ThenItApplies) {
    TClientDataSet ds("cdsItens");
    ds.SetFilter("IDTIPOORCAOP <> 'C'");
    ds.SetFiltered(true);
    fixture::load(ds, "IDTIPOORCAOP:S1", {{"F"}, {"C"}, {"F"}});
    EXPECT_EQ(rows(ds, "IDTIPOORCAOP"), "F|F");
}

TEST(DataSetFilter, GivenBadFilters_WhenSet_ThenAClearErrorAndThePreviousFilterStays) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetFiltered(true);
    ds.SetFilter("CDFILIAL = '0002'");
    ds.Last();
    struct Bad {
        const char* filter;
        const char* mentions;
    } bads[] = {
        {"CDFILIAL = '0001", "aspa"},
        {"CDFILIAL = ", "valor"},
        {"CDFILIAL '0001'", "operador"},
        {"(CDFILIAL = '0001'", "')'"},
        {"CDFILIAL = '0001' AND", "valor"},
        {"CDFILIAL = '0001' XOR QT = 1", "fim do filtro"},
        {"CDFILIAL IN ('0001' '0002')", "lista"},
        {"CDFILIAL IN ()", "texto"},
        {"NOPE = 'x'", "NOPE"},
        {"[CD FILIAL] = 'x'", "CD FILIAL"},
        {"QT = 'abc'", "abc"},
        {"DT > 'ontem'", "ontem"},
        {"CDFILIAL = '0001' # 2", "inesperado"},
    };
    for (const Bad& b : bads) {
        try {
            ds.SetFilter(b.filter);
            ADD_FAILURE() << "accepted: " << b.filter;
        } catch (const DataSetError& e) {
            EXPECT_NE(std::string(e.what()).find(b.mentions), std::string::npos)
                << b.filter << " -> " << e.what();
        }
        EXPECT_EQ(ds.Filter(), "CDFILIAL = '0002'");
        EXPECT_EQ(rows(ds, "SEQ"), "03|04");
        EXPECT_EQ(ds.RecNo(), 2);
    }
}

TEST(DataSetFilter, GivenAFilterOnAnUnknownField_WhenFilteringIsTurnedOn_ThenRefusedAndOff) {
    TClientDataSet ds("cdsItens");
    ds.SetFilter("NOPE = 1");
    loadItems(ds);
    EXPECT_THROW(ds.SetFiltered(true), DataSetError);
    EXPECT_FALSE(ds.Filtered());
    EXPECT_EQ(ds.RecordCount(), 8);
}

TEST(DataSetFilter, GivenAFilter_WhenAnEditTakesTheRowOut_ThenTheWalkStillVisitsEveryRowOnce) {
    for (const bool indexed : {true, false}) {
        TClientDataSet ds("cdsItens");
        ds.SetFilterIndexesEnabled(indexed);
        loadItems(ds);
        ds.SetFilter("IDTIPOORCAOP = 'I'");
        ds.SetFiltered(true);
        std::string seen;
        ds.First();
        while (!ds.Eof()) {
            seen += ds.FieldByName("SEQ").AsString() + ",";
            ds.Edit();
            ds.FieldByName("IDTIPOORCAOP").SetAsString("X");
            ds.Next(); // posts; the row leaves the filter
        }
        EXPECT_EQ(seen, "01,03,08,") << indexed;
        EXPECT_EQ(ds.RecordCount(), 0);
        ds.SetFilter("IDTIPOORCAOP = 'X'");
        EXPECT_EQ(rows(ds, "SEQ"), "01|03|08");
    }
}

TEST(DataSetFilter, GivenAFilter_WhenRowsAreInsertedOrChanged_ThenTheIndexPathFollows) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetFilter("CDFILIAL = '0003'");
    ds.SetFiltered(true);
    ds.Append();
    ds.FieldByName("SEQ").SetAsString("09");
    ds.FieldByName("CDFILIAL").SetAsString("0003");
    ds.Post();
    ds.Append();
    ds.FieldByName("SEQ").SetAsString("10");
    ds.FieldByName("CDFILIAL").SetAsString("0009");
    ds.Post(); // does not match: leaves the view
    EXPECT_EQ(rows(ds, "SEQ"), "05|09");
    ds.SetFilter("CDFILIAL = '0009'");
    EXPECT_EQ(rows(ds, "SEQ"), "10");
    ds.Delete();
    ds.SetFilter("CDFILIAL = '0001'");
    ds.First();
    ds.Edit();
    ds.FieldByName("CDFILIAL").SetAsString("0003");
    ds.Post();
    EXPECT_EQ(rows(ds, "SEQ"), "02|06|08");
    ds.SetFilter("CDFILIAL = '0003'");
    EXPECT_EQ(rows(ds, "SEQ"), "01|05|09");
    ds.SetFilter("CDFILIAL = '0009'");
    EXPECT_EQ(rows(ds, "SEQ"), "");
}

// Keys held by few, some and many of the rows take different ways through the hashes; each
// must give the rows and order that a plain walk gives.
TEST(DataSetFilter, GivenKeysOfEveryFrequency_WhenFilteredThroughIndexAndScan_ThenSameRows) {
    std::vector<std::vector<Variant>> data;
    for (int i = 0; i < 640; ++i) {
        // 5 rows of "a", 40 of "b", 230 of "c", 5 without a kind, the rest "d"; branches
        // against the load order.
        const Variant kind = i % 128 == 0    ? Variant("a")
                             : i % 128 == 64 ? Variant()
                             : i % 16 == 1   ? Variant("b")
                             : i % 16 < 7    ? Variant("c")
                                             : Variant("d");
        char branch[8];
        std::snprintf(branch, sizeof branch, "%04d", (i * 37) % 50);
        data.push_back({Variant(std::to_string(1000 + i)), Variant(branch), Variant(kind),
                        Variant(static_cast<double>(i % 3))});
    }
    const char* spec = "SEQ:S4;CDFILIAL:S4;IDTIPOORCAOP:S1;VR:F";
    for (const char* filter : {"IDTIPOORCAOP = 'a'", "IDTIPOORCAOP = 'b' AND VR = 1",
                               "IDTIPOORCAOP = 'c'", "IDTIPOORCAOP IN ('a', 'b', 'a')",
                               "IDTIPOORCAOP = ''", "IDTIPOORCAOP IN ('b', 'x') AND VR <> 2"}) {
        std::string found[2];
        for (const bool indexed : {true, false}) {
            TClientDataSet ds("cdsItens");
            ds.SetFilterIndexesEnabled(indexed);
            fixture::load(ds, spec, data);
            ds.SetIndexFieldNames("CDFILIAL;VR");
            ds.SetFilter(filter);
            ds.SetFiltered(true);
            found[indexed] = rows(ds, "SEQ");
        }
        EXPECT_EQ(found[true], found[false]) << filter;
        EXPECT_FALSE(found[true].empty()) << filter;
    }
}

// The page summary reads the rows of one type past the filter of the branch on screen.
TEST(DataSetFilter, GivenAFilterInForce_WhenRowsAreAskedForWhereAnother_ThenAllStoredRowsAnswer) {
    TClientDataSet ds("cdsItens");
    loadItems(ds);
    ds.SetIndexFieldNames("CDFILIAL;SEQ");
    ds.SetFilter("CDFILIAL = '0002'");
    ds.SetFiltered(true);
    ASSERT_TRUE(ds.Locate("SEQ", {"04"}));
    ds.Edit();
    ds.FieldByName("IDTIPOORCAOP").SetAsString("I");
    auto answer = [&](const std::string& filter) {
        std::string out;
        const std::vector<Variant> found = ds.RowsWhere(filter, "SEQ;cdfilial");
        for (std::size_t i = 0; i < found.size(); i += 2)
            out += (out.empty() ? "" : "|") + found[i].toText() + " " + found[i + 1].toText();
        return out;
    };
    // The stored rows: the pending edit is not among them.
    EXPECT_EQ(answer("IDTIPOORCAOP = 'I'"), "01 0001|08 0001|03 0002");
    EXPECT_EQ(answer("IDTIPOORCAOP IN ('E', 'M') AND CDTIPOOPER <> 'V'"), "06 0001|05 0003");
    EXPECT_EQ(answer(""), "01 0001|02 0001|06 0001|08 0001|03 0002|04 0002|05 0003|07 0004");
    ds.SetFilterIndexesEnabled(false);
    EXPECT_EQ(answer("IDTIPOORCAOP = 'I'"), "01 0001|08 0001|03 0002");
    EXPECT_THROW(answer("NOPE = 'I'"), DataSetError);
    EXPECT_THROW(answer("IDTIPOORCAOP = "), DataSetError);
    EXPECT_THROW(ds.RowsWhere("IDTIPOORCAOP = 'I'", "SEQ;NOPE"), DataSetError);
    // Neither the view nor the edit moved.
    EXPECT_EQ(ds.State(), dsEdit);
    EXPECT_EQ(ds.FieldByName("SEQ").AsString(), "04");
    EXPECT_EQ(rows(ds, "SEQ;IDTIPOORCAOP"), "03 I|04 I");
    ds.Post();
    EXPECT_EQ(answer("IDTIPOORCAOP = 'I'"), "01 0001|08 0001|03 0002|04 0002");
    ds.Close();
    EXPECT_THROW(answer("IDTIPOORCAOP = 'I'"), DataSetError);
}
