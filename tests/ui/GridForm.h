#pragma once

#include "EventLog.h"

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"

// A grid over three branch rows, and an edit to move the focus to.
class TfrmGrade : public TForm {
public:
    explicit TfrmGrade(TComponent* owner)
        : TForm(owner), cdsItens("cdsItens"), dtsItens("dtsItens") {
        cdsItens.AddField("CDFILIAL", FieldType::String, 4);
        cdsItens.AddField("NMFILIAL", FieldType::String, 30);
        cdsItens.AddField("VRORCAMENTOJAN", FieldType::Float);
        cdsItens.AddField("VRORCAMENTOFEV", FieldType::Float);
        cdsItens.AddField("DTMESBASEITEM", FieldType::DateTime).SetEditMask("!99/9999;1; ");
        cdsItens.AddField("IDCHECKF", FieldType::String, 1);
        cdsItens.CreateDataSet();
        const char* rows[][3] = {
            {"0001", "Centro", "S"}, {"0002", "Norte", "N"}, {"0003", "Sul", ""}};
        for (auto& r : rows) {
            cdsItens.Append();
            cdsItens.FieldByName("CDFILIAL").SetAsString(r[0]);
            cdsItens.FieldByName("NMFILIAL").SetAsString(r[1]);
            if (*r[2]) cdsItens.FieldByName("IDCHECKF").SetAsString(r[2]);
            cdsItens.Post();
        }
        cdsItens.MergeChangeLog();
        cdsItens.First();
        dtsItens.SetDataSet(&cdsItens);
        RegisterDataSet("cdsItens", &cdsItens);

        dbgItens = Add<TDBGrid>("dbgItens", this);
        dbgItens->SetDataSource(&dtsItens);
        dbgItens->AddColumn("IDCHECKF", "4", 20);
        dbgItens->AddColumn("CDFILIAL", "Código").SetReadOnly(true);
        dbgItens->AddColumn("VRORCAMENTOJAN", "Janeiro");
        dbgItens->AddColumn("DTMESBASEITEM", "Mês Base");
        edtOutro = Add<TEdit>("edtOutro", this);
        dbgItens->OnColExit = [this](TObject*) {
            log.add("colexit " + dbgItens->SelectedColumn()->FieldName() + " [" +
                    dbgItens->EditorText() + "]");
        };
        dbgItens->OnColEnter = [this](TObject*) {
            log.add("colenter " + dbgItens->SelectedColumn()->FieldName());
        };
        dbgItens->OnExit = [this](TObject*) { log.add("grid exit"); };
    }
    ~TfrmGrade() override { DestroyComponents(); }

    TClientDataSet cdsItens;
    TDataSource dtsItens;
    TDBGrid* dbgItens;
    TEdit* edtOutro;
    EventLog log;
};
