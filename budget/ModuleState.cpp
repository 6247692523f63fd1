#include "budget/ModuleState.h"

TfrmCalcOrcaOper* frmCalcOrcaOper = nullptr;
bool boStCriado = false;
bool boEditItemOrca = false;
bool boEditTxAdm = false;
bool boCheck = false;
bool boLoop = false;
bool boCheckar = false;
bool boclique = false;
bool boNext = false;
bool boHabEfet = true;
bool boRepliMesCons = false;
bool boMaiorVersao = false;
std::string stFiliSelec;
std::string StrOperac;
std::string DataTCalc;
double DataIniCalc = 0;
double DataFinCalc = 0;
std::string stMaoObraOrca;
bool boAlterado = false;

void initializeModuleState() {
    frmCalcOrcaOper = nullptr;
    boStCriado = false;
    boEditItemOrca = false;
    boEditTxAdm = false;
    boCheck = false;
    boLoop = false;
    boCheckar = false;
    boclique = false;
    boNext = false;
    boHabEfet = true;
    boRepliMesCons = false;
    boMaiorVersao = false;
    stFiliSelec.clear();
    StrOperac.clear();
    DataTCalc.clear();
    DataIniCalc = 0;
    DataFinCalc = 0;
    stMaoObraOrca.clear();
    boAlterado = false;
}

void finalizeModuleState() {
    StrOperac.clear();
    stFiliSelec.clear();
    DataTCalc.clear();
    stMaoObraOrca.clear();
}
