#include "services/ui/TfrmFiltroPadrao.h"

#include "services/lib/Consiste.h"
#include "services/lib/HostServices.h"
#include "services/ui/Application.h"
#include "services/ui/OptionStore.h"
#include "services/ui/Platform.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TPanel.h"

namespace {
std::string currentOperator() {
    HostServices* host = Application::instance().host();
    return host ? host->Operador() : std::string();
}

OptionStore& store() {
    OptionStore* s = Application::instance().optionStore();
    if (!s) MensErro("Não há onde gravar as opções nesta estação.");
    return *s;
}
} // namespace

TfrmFiltroPadrao::TfrmFiltroPadrao(TComponent* owner) : TfrmRotiGeral(owner) {
    SetName("frmFiltroPadrao");
    btfSaveOpc = Add<TButtonFlat>("btfSaveOpc", panBotoes);
    btfSaveOpc->SetCaption("Salvar Opções");
    btfSaveOpc->SetBounds(6, 6, 100, 28);
    btfLoadOpc = Add<TButtonFlat>("btfLoadOpc", panBotoes);
    btfLoadOpc->SetCaption("Carregar Opções");
    btfLoadOpc->SetBounds(112, 6, 110, 28);
    btfSaveOpc->OnClick = [this](TObject* s) { btfSaveOpcClick(s); };
    btfLoadOpc->OnClick = [this](TObject* s) { btfLoadOpcClick(s); };
}

std::string TfrmFiltroPadrao::Opcao(const std::string& key) const {
    auto it = Opcoes.find(key);
    return it == Opcoes.end() ? std::string() : it->second;
}

void TfrmFiltroPadrao::btfSaveOpcClick(TObject*) {
    OptionStore& s = store();
    std::string op = currentOperator();
    for (const auto& [key, value] : Opcoes)
        s.set(op, OptionScreen(), key, value);
    Application::instance().platform().MessageBox(MessageKind::Information, "Opções gravadas.",
                                                  MessageButtons::Ok);
}

void TfrmFiltroPadrao::btfLoadOpcClick(TObject*) {
    auto saved = store().all(currentOperator(), OptionScreen());
    if (saved.empty()) MensErro("Não há opções gravadas para este operador.");
    for (auto& [key, value] : saved)
        Opcoes[key] = value;
}
