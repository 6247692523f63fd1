#pragma once

#include "services/ui/Platform.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The platform without a screen: questions are answered from a script, every message is
// recorded, a modal form runs the script registered for its class, and the cursor and the
// progress window are plain observable state.
class HeadlessPlatform : public Platform {
public:
    struct Shown {
        MessageKind kind;
        std::string text;
        TModalResult answer;
    };
    using ModalScript = std::function<void(TForm&)>;

    TModalResult MessageBox(MessageKind kind, const std::string& text,
                            MessageButtons buttons) override;
    TModalResult ShowModal(TForm& form) override;
    void ShowForm(TForm& form) override;
    void HideForm(TForm& form) override;
    void SetCursor(TCursor cursor) override { m_cursor = cursor; }
    TCursor Cursor() const override { return m_cursor; }
    void ShowProgress(int kind, const std::string& text) override;
    void HideProgress() override;

    // The answer to the next question (Yes/No or OK/Cancel), in order of asking.
    void answerNext(TModalResult answer) { m_answers.push_back(answer); }
    std::size_t pendingAnswers() const { return m_answers.size(); }
    // Questions asked with no answer scripted (each answered No / Cancel).
    const std::vector<std::string>& unscriptedQuestions() const { return m_unscripted; }

    // The steps a modal form of that class runs when shown; they set its ModalResult (or
    // close it). A form without a script ends as cancelled and is noted.
    void onModal(const std::string& className, ModalScript script);
    const std::vector<std::string>& unscriptedModals() const { return m_unscriptedModals; }
    // Class names of the modal forms run so far, in order.
    const std::vector<std::string>& modalsRun() const { return m_modalsRun; }

    const std::vector<Shown>& messages() const { return m_messages; }
    // Every message shown so far, one per line: "error: text", "info: text",
    // "warning: text", "confirm: text -> Yes".
    std::string messagesText() const;
    void clearMessages() { m_messages.clear(); }

    bool progressVisible() const { return m_progressVisible; }
    int progressKind() const { return m_progressKind; }
    const std::string& progressText() const { return m_progressText; }
    // How many times the progress window was shown.
    int progressShows() const { return m_progressShows; }

    // Non-modal forms shown and not hidden.
    const std::vector<TForm*>& shownForms() const { return m_shownForms; }

private:
    std::deque<TModalResult> m_answers;
    std::vector<std::string> m_unscripted;
    std::map<std::string, ModalScript> m_scripts;
    std::vector<std::string> m_unscriptedModals;
    std::vector<std::string> m_modalsRun;
    std::vector<Shown> m_messages;
    TCursor m_cursor = crDefault;
    bool m_progressVisible = false;
    int m_progressKind = 0;
    std::string m_progressText;
    int m_progressShows = 0;
    std::vector<TForm*> m_shownForms;
};

// Text of a message kind as messagesText writes it ("error", "info", ...).
const char* MessageKindName(MessageKind kind);
// "Yes", "No", "OK", "Cancel", ...
const char* ModalResultName(TModalResult result);
