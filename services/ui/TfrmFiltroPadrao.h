#pragma once

#include "services/ui/TfrmRotiGeral.h"

#include <map>
#include <string>

class TButtonFlat;

// The filter dialog: besides confirm and cancel, it saves and restores named option values
// per operator through the host's OptionStore.
class TfrmFiltroPadrao : public TfrmRotiGeral {
public:
    explicit TfrmFiltroPadrao(TComponent* owner);

    TButtonFlat* btfSaveOpc;
    TButtonFlat* btfLoadOpc;

    // The option list the save writes and the load fills.
    std::map<std::string, std::string> Opcoes;
    void SetOpcao(const std::string& key, const std::string& value) { Opcoes[key] = value; }
    // The value loaded for a key; empty when none.
    std::string Opcao(const std::string& key) const;

    // Writes every option of the list for the operator and this screen.
    virtual void btfSaveOpcClick(TObject* Sender);
    // Reads back what was saved for the operator and this screen into the list.
    virtual void btfLoadOpcClick(TObject* Sender);

    // The key the options are saved under: the class name of the dialog.
    virtual std::string OptionScreen() const { return ClassName(); }
};
