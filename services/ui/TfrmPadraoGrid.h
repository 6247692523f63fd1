#pragma once

#include "services/data/TDataSource.h"
#include "services/lib/TMessages.h"
#include "services/ui/TForm.h"

class TPanel;
class TSpeedButton;
class TMainMenu;
class TMenuItem;
class TDBGrid;

// The maintenance screen: a toolbar of standard buttons, the maintenance menu with the same
// actions, a main grid over dtsPadrao and a message catalog. Screens derive from it and
// extend the handlers (calling the base one first).
class TfrmPadraoGrid : public TForm {
public:
    explicit TfrmPadraoGrid(TComponent* owner);
    ~TfrmPadraoGrid() override;

    TPanel* panMenu;
    TSpeedButton* sbtIncluir;
    TSpeedButton* sbtAlterar;
    TSpeedButton* sbtExcluir;
    TSpeedButton* sbtProcurar;
    TSpeedButton* sbtVerificar;
    TSpeedButton* sbtOrdenar;
    TSpeedButton* sbtCancelar;
    TSpeedButton* sbtConfirmar;
    TSpeedButton* sbtAjuda;
    TSpeedButton* sbtImprimir;
    TSpeedButton* sbtFechar;

    TMainMenu* mnuPrincipal;
    TMenuItem* mnuManutencao;
    TMenuItem* mnuIncluir;
    TMenuItem* mnuAlterar;
    TMenuItem* mnuExcluir;
    TMenuItem* mnuProcurar;
    TMenuItem* mnuVerificar;
    TMenuItem* mnuOrdenar;
    TMenuItem* mnuCancelar;
    TMenuItem* mnuConfirmar;
    TMenuItem* mnuListagem;
    TMenuItem* mnuSair;

    TPanel* panGrid;
    TDBGrid* dbgPadrao;
    TDataSource dtsPadrao;
    TMessages msgPadrao;

    // Appends a row to dtsPadrao's dataset and focuses the grid.
    virtual void sbtIncluirClick(TObject* Sender);
    // Puts dtsPadrao's dataset in edit state and focuses the grid.
    virtual void sbtAlterarClick(TObject* Sender);
    // Deletes the current row after a Yes to the confirmation.
    virtual void sbtExcluirClick(TObject* Sender);
    // Opens the search dialog over dtsPadrao's dataset.
    virtual void sbtProcurarClick(TObject* Sender);
    // The screen's reload; nothing here.
    virtual void sbtVerificarClick(TObject* Sender);
    virtual void sbtOrdenarClick(TObject* Sender);
    // Cancels a pending edit or insert of dtsPadrao's dataset.
    virtual void sbtCancelarClick(TObject* Sender);
    // Posts a pending edit or insert of dtsPadrao's dataset.
    virtual void sbtConfirmarClick(TObject* Sender);
    virtual void sbtAjudaClick(TObject* Sender);
    virtual void sbtImprimirClick(TObject* Sender);
    // Closes the screen.
    virtual void mnuSairClick(TObject* Sender);
    // Enter in the grid moves to the next column.
    virtual void dbgPadraoKeyPress(TObject* Sender, TKeyChar& Key);
    virtual void FormCreate(TObject* Sender);
    // Closing frees the screen.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    // Enter outside the grid moves to the next control.
    virtual void FormKeyDown(TObject* Sender, TKeyCode& Key, TShiftState Shift);
    virtual void FormKeyPress(TObject* Sender, TKeyChar& Key);
    // Enables the standard actions for the state of dtsPadrao; buttons follow their menu items.
    // The sender is the screen (the data source is not a component).
    virtual void dtsPadraoStateChange(TObject* Sender);

    // Each toolbar button takes the enabled state of its menu item.
    void MirrorButtons();
};
