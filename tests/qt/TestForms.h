#pragma once

#include "services/ui/TButton.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMenu.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TPanel.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

#include <string>

// Places a control the way a screen's construction code does.
template <class T>
T* place(TForm* owner, TWinControl* parent, const std::string& name, int left, int top, int width,
         int height, TAlign align = alNone) {
    auto* control = new T(owner);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    control->SetAlign(align);
    return control;
}

// A small screen: a filter panel on top (year edit, enabled check), a client panel with
// buttons, and a menu with a Ctrl+L entry.
class SampleForm : public TForm {
public:
    SampleForm() : TForm(nullptr) {
        SetName("frmSample");
        SetCaption("Amostra");
        SetBounds(0, 0, 480, 300);
        panFiltro = place<TPanel>(this, this, "panFiltro", 0, 0, 480, 44, alTop);
        lblAno = place<TLabel>(this, panFiltro, "lblAno", 8, 14, 30, 13);
        lblAno->SetCaption("Ano:");
        edtAno = place<TEdit>(this, panFiltro, "edtAno", 60, 10, 80, 21);
        edtAno->SetTabOrder(0);
        ckbTodos = place<TCheckBox>(this, panFiltro, "ckbTodos", 160, 12, 90, 17);
        ckbTodos->SetCaption("Todas");
        ckbTodos->SetTabOrder(1);
        panDados = place<TPanel>(this, this, "panDados", 0, 44, 480, 256, alClient);
        edtValor = place<TEdit>(this, panDados, "edtValor", 8, 8, 120, 21);
        btnOk = place<TButton>(this, panDados, "btnOk", 8, 40, 75, 25);
        btnOk->SetCaption("OK");
        sbtFiltro = place<TSpeedButton>(this, panDados, "sbtFiltro", 100, 40, 28, 25);
        sbtFiltro->SetHint("Filtro");

        menu = new TMainMenu(this);
        menu->SetName("mnuPrincipal");
        mnuManutencao = new TMenuItem(this);
        mnuManutencao->SetName("mnuManutencao");
        mnuManutencao->SetCaption("&Manutenção");
        menu->Items().Add(mnuManutencao);
        mnuFiltroOrc = new TMenuItem(this);
        mnuFiltroOrc->SetName("mnuFiltroOrc");
        mnuFiltroOrc->SetCaption("Filtro Cálculo do Orçamento");
        mnuFiltroOrc->SetShortCut(ShortCut('L', ssCtrl));
        mnuManutencao->Add(mnuFiltroOrc);
    }

    TPanel* panFiltro;
    TLabel* lblAno;
    TEdit* edtAno;
    TCheckBox* ckbTodos;
    TPanel* panDados;
    TEdit* edtValor;
    TButton* btnOk;
    TSpeedButton* sbtFiltro;
    TMainMenu* menu;
    TMenuItem* mnuManutencao;
    TMenuItem* mnuFiltroOrc;
};
