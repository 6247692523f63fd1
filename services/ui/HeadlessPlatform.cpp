#include "services/ui/HeadlessPlatform.h"

#include "services/ui/TForm.h"

#include <algorithm>

const char* MessageKindName(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error:
        return "error";
    case MessageKind::Warning:
        return "warning";
    case MessageKind::Information:
        return "info";
    case MessageKind::Confirmation:
        return "confirm";
    }
    return "?";
}

const char* ModalResultName(TModalResult result) {
    switch (result) {
    case mrNone:
        return "None";
    case mrOk:
        return "OK";
    case mrCancel:
        return "Cancel";
    case mrAbort:
        return "Abort";
    case mrRetry:
        return "Retry";
    case mrIgnore:
        return "Ignore";
    case mrYes:
        return "Yes";
    case mrNo:
        return "No";
    }
    return "?";
}

TModalResult HeadlessPlatform::MessageBox(MessageKind kind, const std::string& text,
                                          MessageButtons buttons) {
    TModalResult answer = mrOk;
    if (buttons != MessageButtons::Ok) {
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        } else {
            // The safe answer: nothing goes on without a scripted Yes.
            answer = buttons == MessageButtons::YesNo ? mrNo : mrCancel;
            m_unscripted.push_back(text);
        }
    }
    m_messages.push_back({kind, text, answer});
    return answer;
}

void HeadlessPlatform::onModal(const std::string& className, ModalScript script) {
    m_scripts[className] = std::move(script);
}

TModalResult HeadlessPlatform::ShowModal(TForm& form) {
    std::string name = form.ClassName();
    m_modalsRun.push_back(name);
    auto it = m_scripts.find(name);
    if (it == m_scripts.end()) {
        m_unscriptedModals.push_back(name);
        form.SetModalResult(mrCancel);
        return mrCancel;
    }
    // Copy: the script may register scripts itself.
    ModalScript script = it->second;
    script(form);
    return form.ModalResult();
}

void HeadlessPlatform::ShowForm(TForm& form) {
    if (std::find(m_shownForms.begin(), m_shownForms.end(), &form) == m_shownForms.end())
        m_shownForms.push_back(&form);
}

void HeadlessPlatform::HideForm(TForm& form) {
    std::erase(m_shownForms, &form);
}

void HeadlessPlatform::ShowProgress(int kind, const std::string& text) {
    m_progressVisible = true;
    m_progressKind = kind;
    m_progressText = text;
    ++m_progressShows;
}

void HeadlessPlatform::HideProgress() {
    m_progressVisible = false;
    m_progressText.clear();
}

std::string HeadlessPlatform::messagesText() const {
    std::string out;
    for (const Shown& m : m_messages) {
        out += MessageKindName(m.kind);
        out += ": ";
        out += m.text;
        if (m.kind == MessageKind::Confirmation) {
            out += " -> ";
            out += ModalResultName(m.answer);
        }
        out += '\n';
    }
    return out;
}
