#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TField.h"
#include "services/lib/Consiste.h"
#include "tests/lib/FixedHost.h"

#include <gtest/gtest.h>

namespace {

// A one-row dataset in edit state whose date field holds 15/03/2026.
struct DateRow {
    TClientDataSet ds{"cdsPeriodo"};
    TField& field;

    DateRow() : field(ds.AddField("DATAINI", FieldType::DateTime)) {
        ds.CreateDataSet();
        ds.Append();
        field.SetAsDateTime(EncodeDate(2026, 3, 15));
        ds.Post();
        ds.Edit();
    }
    std::string shown() const { return FormatDate("dd/mm/yyyy", field.AsDateTime()); }
};

} // namespace

TEST(LibDateSetText, GivenValidDateTexts_WhenStored_ThenTheFieldHoldsThatDay) {
    HeadlessHost env;
    DateRow row;

    DateSetText(row.field, "29/02/2028");
    EXPECT_EQ(row.shown(), "29/02/2028");
    DateSetText(row.field, "1/4/2026");
    EXPECT_EQ(row.shown(), "01/04/2026");
    EXPECT_EQ(env.platform.messagesText(), "");
}

TEST(LibDateSetText, GivenAnImpossibleDate_WhenStored_ThenItIsRefusedAndTheFieldKeepsItsValue) {
    HeadlessHost env;
    DateRow row;

    for (const char* bad : {"31/02/2026", "29/02/2027", "00/01/2026", "15/13/2026", "abc", "15-03"})
        EXPECT_THROW(DateSetText(row.field, bad), EAbort) << bad;

    EXPECT_EQ(row.shown(), "15/03/2026");
    ASSERT_EQ(env.platform.messages().size(), 6u);
    EXPECT_EQ(env.platform.messages()[0].text,
              "Data inválida: 31/02/2026. Informe a data como dd/mm/aaaa.");
}

TEST(LibDateSetText, GivenABlankText_WhenStored_ThenTheDateIsCleared) {
    HeadlessHost env;
    DateRow row;

    DateSetText(row.field, "  ");

    EXPECT_TRUE(row.field.IsNull());
    EXPECT_EQ(env.platform.messagesText(), "");
}
