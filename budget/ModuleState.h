#pragma once

#include <string>

class TfrmCalcOrcaOper;

// Variables the main screen shares with its dialogs for the module's whole life. The host's
// start-up hook calls initializeModuleState, its shut-down hook finalizeModuleState.

// The code the host loads this module by; every form the module creates carries it.
inline const std::string kModuleCode = "FYN10000";

// The one main screen instance (nullptr until created).
extern TfrmCalcOrcaOper* frmCalcOrcaOper;
// The main screen exists.
extern bool boStCriado;
// An item row is being edited: scrolling re-enters edit.
extern bool boEditItemOrca;
// A fee row is being edited.
extern bool boEditTxAdm;
// A bulk loop over rows runs: suppresses re-edit and check toggling.
extern bool boCheck;
// A loop over the branch dataset runs: the branch scroll handler keeps stFiliSelec.
extern bool boLoop;
// Set by the selection handlers of the check columns.
extern bool boCheckar;
// The reload was ordered by a button, not by leaving the filter panel.
extern bool boclique;
extern bool boNext;
// Effecting allowed by the operator's phase.
extern bool boHabEfet;
// Set by the consumption base-month copy.
extern bool boRepliMesCons;
// The loaded version is the latest of its year: only then may anything be changed.
extern bool boMaiorVersao;
// Branch code of the current branch, restored after every re-filter.
extern std::string stFiliSelec;
// Calculation period: confirmed ("S"), complete period ("S") or range ("N"), range in days.
extern std::string StrOperac;
extern std::string DataTCalc;
extern double DataIniCalc;
extern double DataFinCalc;
// Labour generation: keys of the labour budgets last picked (kept between openings of its
// dialog) and whether a generation ran since the dialog was created.
extern std::string stMaoObraOrca;
extern bool boAlterado;

// Sets every variable to its initial value (the module was loaded).
void initializeModuleState();
// Clears the texts the module leaves behind (the module is being unloaded).
void finalizeModuleState();
