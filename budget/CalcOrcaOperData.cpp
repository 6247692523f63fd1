#include "budget/CalcOrcaOperData.h"

#include "services/data/NumberFormat.h"

const char* const CalcOrcaOperData::kMeses[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                                                  "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

namespace {

constexpr double kMaxValor = 999999999;
// A text field's size when the layout gives none.
constexpr int kDefaultTextSize = 20;

TField& text(TClientDataSet& cds, const char* name, int size, const char* label = nullptr,
             bool shown = false) {
    TField& f = cds.AddField(name, FieldType::String, size);
    if (label) f.SetDisplayLabel(label);
    f.SetVisible(shown);
    return f;
}

TField& number(TClientDataSet& cds, const char* name, const char* label = nullptr,
               bool shown = false) {
    TField& f = cds.AddField(name, FieldType::Float);
    if (label) f.SetDisplayLabel(label);
    f.SetVisible(shown);
    return f;
}

TField& date(TClientDataSet& cds, const char* name, bool shown = false) {
    TField& f = cds.AddField(name, FieldType::DateTime);
    f.SetVisible(shown);
    return f;
}

// A month value of the two edited item datasets.
void editedValue(TClientDataSet& cds, const std::string& month) {
    TField& f = number(cds, ("VRORCAMENTO" + month).c_str(), month.c_str());
    f.SetDisplayFormat("#,##0.00");
    f.SetEditFormat("0.00");
    f.SetMaxValue(kMaxValor);
}

// A zero base month is "not informed": it shows empty rather than as December 1899.
void baseMonthText(TField& field, std::string& out, bool displayText) {
    if (field.IsNull() || field.AsDateTime() == 0)
        out.clear();
    else
        out = FormatDate(displayText ? "mm/yyyy" : "dd/mm/yyyy", field.AsDateTime());
}

} // namespace

CalcOrcaOperData::CalcOrcaOperData() {
    declareItensOrcFatCons();
    declareItensOrcamento();
    declareOrcamentoFilial();
    declareTxAdm();
    declareSmallDataSets();
}

void CalcOrcaOperData::declareItensOrcFatCons() {
    TClientDataSet& cds = cdsItensOrcFatCons;
    text(cds, "NRANOORCAOP", 4);
    number(cds, "CDVERSORCAOP");
    text(cds, "CDFILIAL", 4, "Código", true);
    // FEV stands before JAN in the field list, as the server's packet has it.
    editedValue(cds, "FEV");
    editedValue(cds, "JAN");
    for (int m = 2; m < 12; ++m)
        editedValue(cds, kMeses[m]);
    text(cds, "IDTIPOORCAOP", 1);
    text(cds, "IDENTRSAIDOP", 1);
    text(cds, "CDTIPOOPER", 2);
    text(cds, "CDDESPADMFAT", 2);
    text(cds, "CDDESPPREV", 3);
    text(cds, "NMFILIAL", 30, "Nome da Filial", true);
    text(cds, "IDITEMORCAMENTO", 1);
    text(cds, "IDCHECKF", 1, "Efetiva");
    text(cds, "IDCHECKC", 1);
    text(cds, "CDIMPOSTO", 2);
    TField& base = date(cds, "DTMESBASEITEM");
    base.SetEditMask("!99/9999;1; ");
    base.SetDisplayFormat("mm/yyyy");
    base.SetDisplayLabel("Mês Base");
    base.OnGetText = baseMonthText;
    text(cds, "NRSEQITEMORCA", 10);
    text(cds, "IDSTATUSORCA", 2);
    text(cds, "IDACESSOCALC", 1);
    text(cds, "IDALTERADO", 1);
    text(cds, "IDCALCOMESTORC", 1);
    TField& calc = text(cds, "IDITEMCALCORCA", 1, "Manual");
    // Only a row whose values came from the server's calculation is not manual.
    calc.OnGetText = [](TField& field, std::string& out, bool) {
        out = field.AsString() == "S" ? "Não" : "Sim";
    };
    number(cds, "TOTAL", "Total").SetDisplayFormat("#,##0.00");

    cds.AddIndex("cdsItensOrcFatConsCDFILIAL", "CDFILIAL");
    cds.SetIndexFieldNames("CDFILIAL");
    cds.SetFilter("IDTIPOORCAOP <> 'C'");
    cds.SetFiltered(true);
}

void CalcOrcaOperData::declareItensOrcamento() {
    TClientDataSet& cds = cdsItensOrcamento;
    text(cds, "NRANOORCAOP", 4);
    number(cds, "CDVERSORCAOP");
    text(cds, "CDFILIAL", 4, "Filial");
    date(cds, "DTORCAMENTOITEM");
    text(cds, "IDSTATUSORCA", 1);
    for (const char* month : kMeses)
        editedValue(cds, month);
    text(cds, "IDITEMORCAMENTO", 1);
    text(cds, "NMFILIAL", 30, "Nome", true);
    text(cds, "IDTIPOORCAOP", 1);
    text(cds, "IDENTRSAIDOP", 1);
    text(cds, "CDTIPOOPER", 2);
    text(cds, "CDDESPADMFAT", 2);
    text(cds, "CDDESPPREV", 3);
    date(cds, "DTMESBASEITEM");
    text(cds, "NMTIPOOPER", 30, "Tipo de Operaçãoo");
    text(cds, "DSDESPADMFAT", 160, "Tipo de Mão de Obra");
    text(cds, "NMDESPPREV", 50, "Tipo de Despesa");
    text(cds, "IDALTERADO", 1);
    text(cds, "CDIMPOSTO", 2, "Imposto");
    text(cds, "IDACESSOAPROV", 1);
    text(cds, "IDACESSOCALC", 1);
    text(cds, "NRSEQITEMORCA", 10);
    TField& soma = number(cds, "SOMAT", "Total");
    soma.SetDisplayFormat("#,##0.00");
    soma.SetMaxValue(kMaxValor);
    text(cds, "SGIMPOSTO", 10, "Imposto");
    text(cds, "IDCHECK", kDefaultTextSize);
}

void CalcOrcaOperData::declareOrcamentoFilial() {
    TClientDataSet& cds = cdsOrcamentoFilial;
    text(cds, "NRANOORCAOP", 4);
    number(cds, "CDVERSORCAOP");
    text(cds, "NMFILIAL", 30, "Nome da Filial", true);
    text(cds, "CDFILIAL", 4, "Código", true);
    text(cds, "CDOPERADOR", 12);
    date(cds, "DTORCAMENTO");
    text(cds, "IDSTATUSORCA", 1);
    text(cds, "IDCHECKO", 1, "Efetiva").SetAlignment(taCenter);
    for (const char* check : {"IDCHECKD", "IDCHECKM", "IDCHECKE", "IDCHECKI", "IDCHECKR",
                              "IDCHECKS", "IDCHECKN", "IDCHECKP"})
        text(cds, check, 1);
    text(cds, "IDACESSOCALC", 1);
    text(cds, "IDITEMORCAMENTO", 1);
}

void CalcOrcaOperData::declareTxAdm() {
    TClientDataSet& cds = cdsTxAdm;
    text(cds, "DTMESBASEITEM", 10);
    number(cds, "SOMAT").SetDisplayFormat("#,##0.00");
    text(cds, "NRANOORCAOP", 4);
    number(cds, "CDVERSORCAOP");
    text(cds, "CDFILIAL", 4, "Código", true);
    text(cds, "IDSTATUSORCA", 1);
    text(cds, "IDITEMORCAMENTO", 1);
    text(cds, "IDTIPOORCAOP", 1);
    text(cds, "IDENTRSAIDOP", 1);
    text(cds, "CDTIPOOPER", 2);
    text(cds, "NRSEQITEMORCA", 10);
    text(cds, "NMFILIAL", 30, "Nome Filial", true);
    text(cds, "IDCHECK", 1);
    text(cds, "IDACESSOCALC", 1);
    text(cds, "IDACESSOAPROV", 1);
    text(cds, "IDITEMCALCORCA", 1);
    for (const char* month : kMeses)
        number(cds, (std::string("VRORCAMENTO") + month).c_str(), month)
            .SetDisplayFormat("#,##0.00");
    text(cds, "IDALTERADO", 1);
}

void CalcOrcaOperData::declareSmallDataSets() {
    text(cdsFeriadoFil, "CDFILIAL", 4);
    for (int m = 0; m < 12; ++m)
        text(cdsFeriadoFil, (std::string("VRORCAMENTO") + kMeses[m]).c_str(), m == 2 ? 3 : 2,
             kMeses[m], true);

    text(cdsParDROFilial, "CDFILIAL", 4);
    text(cdsParDROFilial, "IDFATUROP", 2);
    text(cdsParDROFilial, "IDDETALHEFATUR", 1);

    text(cdsVerifFaseOper, "CDOPERADOR", 12);
    text(cdsVerifFaseOper, "CDGRUPGERENTEOP", 10);
    text(cdsVerifFaseOper, "IDFASECALCORCA", 1);
    text(cdsVerifFaseOper, "IDFASEAPROVORCA", 1);
    text(cdsVerifFaseOper, "NMFASEORCOPERAC", 100);
    for (const char* month : kMeses)
        text(cdsVerifFaseOper, (std::string("IDPERMCALC") + month).c_str(), 1);

    text(cdsVersaoOrca, "CDANOVERORCA", 4, "Ano", true).SetDisplayWidth(8);
    text(cdsVersaoOrca, "CDVERSAOORCA", 40, "Versão", true);
    text(cdsVersaoOrca, "NRMESINIVERORC", 2);
    date(cdsVersaoOrca, "DATAINI");
    date(cdsVersaoOrca, "DATAFIN");

    number(cdsMaiorVersao, "CDVERSAOORCA", nullptr, true);
    text(cdsMaiorVersao, "NRMESINIVERORC", 2, nullptr, true);

    text(cdsMesIni, "NRMESINIORCA", 2, nullptr, true);
    text(cdsRetorno, "Retorno", kDefaultTextSize, nullptr, true);
    text(cdsTpDespLanEnt, "IDORCDESPENTROP", 1, nullptr, true);
    text(cdsParametros, "IDTIPOSIMULARESULTFAT", 30, nullptr, true);
    text(cdsParametros, "IDORCDESPENTROP", 1, nullptr, true);
}
