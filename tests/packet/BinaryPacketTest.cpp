#include "services/data/BinaryWriter.h"
#include "services/data/DataPacket.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

// A packet of every field type, with nulls, repeated cells, values that are and are not whole
// hundredths, extreme numbers and texts, and a change log of every kind.
DataPacket everyKind() {
    DataPacket p;
    p.fields = {{"CDFILIAL", FieldType::String, 4}, {"NMFILIAL", FieldType::String, 30},
                {"QT", FieldType::Integer, 0},      {"VR", FieldType::Float, 0},
                {"DT", FieldType::DateTime, 0},     {"OK", FieldType::Boolean, 0}};
    const double dmax = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::denorm_min();
    const std::string longName(300, 'x');
    p.rows = {
        {Variant("0001"), Variant("Filial com nome bem comprido"), Variant(1), Variant(1234.5),
         Variant::fromDate(46023), Variant(true)},
        {Variant("0001"), Variant("Filial com nome bem comprido"), Variant(1), Variant(1234.5),
         Variant::fromDate(46023.75), Variant(false)},
        {Variant(""), Variant(), Variant(), Variant(), Variant(), Variant()},
        {Variant(), Variant(longName), Variant(std::numeric_limits<std::int32_t>::min()),
         Variant(-0.0), Variant::fromDate(0), Variant(true)},
        {Variant("ção"), Variant(longName), Variant(std::numeric_limits<std::int32_t>::max()),
         Variant(0.1), Variant::fromDate(-693593), Variant()},
        {Variant(std::string("a\0b", 3)), Variant("é"), Variant(-7), Variant(dmax),
         Variant::fromDate(2958465.99999), Variant(false)},
        {Variant("0002"), Variant("é"), Variant(0), Variant(tiny), Variant::fromDate(1e-9),
         Variant(true)},
        {Variant("0002"), Variant("0002"), Variant(0), Variant(-1e15), Variant(), Variant(true)},
        {Variant("0002"), Variant(), Variant(0), Variant(-0.01), Variant(), Variant(true)},
    };
    p.changes = {{UpdateKind::Modified, 1, p.rows[0]},
                 {UpdateKind::Inserted, 4, {}},
                 {UpdateKind::Deleted, -1, p.rows[2]}};
    return p;
}

// Bit for bit, so that -0.0 and 0.0 differ.
std::string bits(const DataPacket& p) {
    std::string out;
    auto cell = [&](const Variant& v) {
        out += Variant::typeName(v.type());
        out += ':';
        if (v.type() == VarType::Double || v.type() == VarType::DateTime) {
            const double d = v.toDouble();
            char buf[40];
            std::snprintf(buf, sizeof buf, "%a", d);
            out += buf;
        } else if (!v.isNull()) {
            out += v.toText();
        }
        out += ' ';
    };
    for (const auto& row : p.rows) {
        for (const Variant& v : row)
            cell(v);
        out += '|';
    }
    for (const auto& c : p.changes) {
        out += std::to_string(static_cast<int>(c.kind)) + "@" + std::to_string(c.row) + ":";
        for (const Variant& v : c.original)
            cell(v);
        out += '|';
    }
    return out;
}

std::string packetError(std::string_view bytes) {
    try {
        DataPacket::fromBinary(bytes);
    } catch (const PacketError& e) {
        return e.what();
    }
    return "no error";
}

std::string variantError(std::string_view bytes) {
    try {
        variantFromBinary(bytes);
    } catch (const PacketError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(BinaryPacket, GivenEveryFieldTypeNullsAndChanges_WhenWrittenAndRead_ThenBitForBitEqual) {
    const DataPacket p = everyKind();
    const DataPacket back = DataPacket::fromBinary(p.toBinary());
    EXPECT_EQ(back.fields, p.fields);
    EXPECT_EQ(bits(back), bits(p));
    EXPECT_EQ(back, p);
    // The same packet the JSON form carries.
    EXPECT_EQ(DataPacket::fromJson(back.toJson()), DataPacket::fromJson(p.toJson()));
}

TEST(BinaryPacket, GivenEmptyPackets_WhenWrittenAndRead_ThenFieldsAndNoRowsComeBack) {
    DataPacket none;
    EXPECT_EQ(DataPacket::fromBinary(none.toBinary()), none);
    EXPECT_EQ(none.toBinary(), std::string("\0\0\0", 3));
    DataPacket fieldsOnly = everyKind();
    fieldsOnly.rows.clear();
    fieldsOnly.changes.clear();
    EXPECT_EQ(DataPacket::fromBinary(fieldsOnly.toBinary()), fieldsOnly);
    // Rows without fields are empty rows, and come back as such.
    DataPacket emptyRows;
    emptyRows.rows = {{}, {}};
    EXPECT_EQ(DataPacket::fromBinary(emptyRows.toBinary()).rows.size(), 2u);
}

TEST(BinaryPacket, GivenValuesOfTheWrongKindForAField_WhenWritten_ThenConvertedOrRefusedByName) {
    DataPacket p;
    p.fields = {{"T", FieldType::String, 0}, {"I", FieldType::Integer, 0}};
    p.rows = {{Variant(12), Variant(3.0)}};
    const DataPacket back = DataPacket::fromBinary(p.toBinary());
    EXPECT_EQ(back.rows[0][0], Variant("12"));
    EXPECT_EQ(back.rows[0][1].type(), VarType::Integer);
    p.rows = {{Variant("a"), Variant("não é número")}};
    try {
        p.toBinary();
        FAIL() << "a text in an integer field was written";
    } catch (const PacketError& e) {
        EXPECT_NE(std::string(e.what()).find("field I"), std::string::npos) << e.what();
    }
    p.rows = {{Variant("a")}};
    EXPECT_THROW(p.toBinary(), PacketError);
}

// A large packet is written in two halves at once: joined, they are the bytes of one writer, the
// first row of the second half a repeat of the last of the first; a fault in either is reported.
TEST(BinaryPacket, GivenAPacketLargeEnoughForTwoWriters_WhenWritten_ThenAsIfWrittenAtOnce) {
    auto sameRows = [](std::size_t n) {
        DataPacket p;
        p.fields = {{"CDFILIAL", FieldType::String, 4},
                    {"QT", FieldType::Integer, 0},
                    {"VR", FieldType::Float, 0}};
        p.rows.assign(n, {Variant("0001"), Variant(7), Variant(12.5)});
        return p;
    };
    const DataPacket one = sameRows(1), many = sameRows(70000);
    const std::string bytes = many.toBinary();
    // Every row after the first is three one-byte repeats (the integer is written again: two
    // bytes), and the row count takes two bytes more.
    EXPECT_EQ(bytes.size(), one.toBinary().size() + 69999 * 4 + 2);
    EXPECT_EQ(DataPacket::fromBinary(bytes), many);

    DataPacket varied = sameRows(70000);
    for (std::size_t r = 0; r < varied.rows.size(); ++r)
        if (r % 1000 == 0)
            varied.rows[r] = {Variant("0" + std::to_string(r)), Variant(), Variant(r * 0.01)};
    EXPECT_EQ(DataPacket::fromBinary(varied.toBinary()), varied);

    for (const std::size_t bad : {std::size_t{10}, std::size_t{69990}}) {
        DataPacket wrong = sameRows(70000);
        wrong.rows[bad][1] = Variant("não é número");
        try {
            wrong.toBinary();
            ADD_FAILURE() << "row " << bad << " was written";
        } catch (const PacketError& e) {
            EXPECT_NE(std::string(e.what()).find("field QT"), std::string::npos) << e.what();
        }
    }
}

TEST(BinaryPacket, GivenRepeatedTextsAndMoney_WhenWritten_ThenFarSmallerThanTheJson) {
    DataPacket p;
    p.fields = {{"CDFILIAL", FieldType::String, 4},
                {"NMDESPPREV", FieldType::String, 50},
                {"VRORCAMENTOJAN", FieldType::Float, 0}};
    for (int i = 0; i < 1000; ++i)
        p.rows.push_back({Variant(i < 500 ? "0001" : "0002"), Variant("Despesa com manutenção"),
                          Variant(1000.25 + i)});
    const std::string binary = p.toBinary();
    EXPECT_LT(binary.size() * 4, p.toJson().size()) << binary.size();
    EXPECT_EQ(DataPacket::fromBinary(binary), p);
}

TEST(BinaryVariant, GivenEveryKindNestedInArrays_WhenWrittenAndRead_ThenEqual) {
    const Variant v(std::vector<Variant>{
        Variant(), Variant(true), Variant(false), Variant(-5), Variant(2.5),
        Variant::fromDate(46023), Variant("texto"), Variant(everyKind()),
        Variant(std::vector<Variant>{}),
        Variant(std::vector<Variant>{Variant(std::vector<Variant>{Variant("fundo")})})});
    const Variant back = variantFromBinary(variantToBinary(v));
    EXPECT_EQ(variantToJson(back), variantToJson(v));
    EXPECT_EQ(back.array()[5].type(), VarType::DateTime);
    EXPECT_EQ(back.array()[7].packet(), everyKind());
}

TEST(BinaryPacket, GivenEveryCutOfAValidPacket_WhenRead_ThenEachIsRefusedWithoutACrash) {
    const std::string whole = everyKind().toBinary();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::string error = packetError(std::string_view(whole).substr(0, n));
        EXPECT_NE(error.find("malformed binary data packet"), std::string::npos)
            << n << " bytes: " << error;
    }
    EXPECT_EQ(packetError(whole), "no error");
    EXPECT_NE(packetError(whole + "x").find("unexpected bytes after the end"), std::string::npos);
    const std::string variant =
        variantToBinary(Variant(std::vector<Variant>{Variant(everyKind())}));
    for (std::size_t n = 0; n < variant.size(); ++n)
        EXPECT_NE(variantError(std::string_view(variant).substr(0, n)), "no error") << n;
}

TEST(BinaryPacket, GivenForgedInput_WhenRead_ThenTheErrorSaysWhatIsWrong) {
    auto bytes = [](auto build) {
        std::string out;
        BinaryWriter w(out);
        build(w);
        return out;
    };
    struct Case {
        std::string input;
        const char* message;
    };
    const Case cases[] = {
        // a count of rows no input could hold
        {bytes(
             [](BinaryWriter& w) { w.varint(1).text("T").byte(0).varint(0).varint(4000000000u); }),
         "too many rows"},
        {bytes([](BinaryWriter& w) { w.varint(1).text("T").byte(9).varint(0); }), "unknown type 9"},
        {bytes([](BinaryWriter& w) {
             w.varint(2).text("T").byte(0).varint(0).text("t").byte(1).varint(0);
         }),
         "field t appears twice"},
        {bytes([](BinaryWriter& w) { w.varint(1).text("").byte(0).varint(0); }),
         "a field has no name"},
        // the first row repeats the one above it
        {bytes([](BinaryWriter& w) { w.varint(1).text("T").byte(0).varint(0).varint(1).byte(1); }),
         "repeats a text that is not there"},
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("V").byte(2).varint(0).varint(1).byte(3).varint(0);
         }),
         "repeats a row that is not there"},
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("B").byte(3).varint(0).varint(1).byte(7).varint(0);
         }),
         "a boolean cell must be 0, 1 or 2"},
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("I").byte(1).varint(0).varint(1).byte(1).varint(1ull << 33).varint(0);
         }),
         "an integer cell out of range"},
        // a deletion that names a row, and a change past the rows
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("B").byte(3).varint(0).varint(1).byte(2).varint(1);
             w.byte(2).varint(1).byte(1).byte(1);
         }),
         "only deleted rows are outside"},
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("B").byte(3).varint(0).varint(1).byte(2).varint(1);
             w.byte(1).varint(5).byte(0);
         }),
         "a change names a row that is not in the packet"},
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("B").byte(3).varint(0).varint(1).byte(2).varint(1);
             w.byte(0).varint(1).byte(0);
         }),
         "needs its original values"},
        {std::string(11, '\xff'), "overlong number"},
        // a number cell holding NaN, which the text form could never carry
        {bytes([](BinaryWriter& w) {
             w.varint(1).text("V").byte(2).varint(0).varint(1).byte(1);
             w.raw(std::string("\x43\x44\x00\x01\x01\x02\xfb\xff", 8)).varint(0);
         }),
         "not finite in a number cell"},
    };
    for (const Case& c : cases) {
        const std::string error = packetError(c.input);
        EXPECT_NE(error.find(c.message), std::string::npos) << c.message << " / " << error;
    }
    EXPECT_NE(variantError(std::string(1, '\x09')).find("unknown variant type 9"),
              std::string::npos);
    EXPECT_NE(variantError(std::string("\x07\xff\xff\xff\xff\x0f", 6)).find("too many"),
              std::string::npos);
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep += std::string("\x07\x01", 2);
    deep += '\0';
    EXPECT_NE(variantError(deep).find("nested too deep"), std::string::npos);
    std::string shallow;
    for (int i = 0; i < 60; ++i)
        shallow += std::string("\x07\x01", 2);
    shallow += '\0';
    EXPECT_EQ(variantError(shallow), "no error");
    EXPECT_NE(variantError(std::string("\x03\x43\x44\x00\x01\x01\x02\xfb\xff", 9))
                  .find("not finite in a double"),
              std::string::npos);
    EXPECT_NE(variantError(std::string("\x05\0\0\0\0\0\0\xf0\x7f", 9)).find("not finite in a date"),
              std::string::npos);
}

TEST(BinaryPacket, GivenNaNOrInfinity_WhenWritten_ThenRefusedAsTheTextFormRefusesThem) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (const double v : values) {
        EXPECT_THROW(variantToBinary(Variant(v)), std::invalid_argument) << v;
        EXPECT_THROW(variantToJson(Variant(v)), std::invalid_argument) << v;
        DataPacket p;
        p.fields = {{"VR", FieldType::Float, 0}};
        p.rows = {{Variant(1.5)}, {Variant(v)}};
        EXPECT_THROW(p.toBinary(), std::invalid_argument) << v;
    }
}
