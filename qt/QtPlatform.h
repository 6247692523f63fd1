#pragma once

#include "services/ui/Platform.h"

#include <QPointer>

#include <unordered_map>

class FormView;
class ProgressWindow;
class QMdiArea;
class QWidget;

// The platform of the control layer on Qt Widgets: forms become windows (MDI children of the
// shell when it has an MDI area, dialogs when modal), message boxes answer in Portuguese.
class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Non-modal forms open as child windows of this area (nullptr: top-level windows).
    void setMdiArea(QMdiArea* area);
    // Application-wide style and font that the designed layouts are measured for.
    static void installLook();

    // The window of a form that has been shown (or built); nullptr otherwise.
    FormView* viewOf(const TForm& form) const;
    // Builds the form's window without showing it (screenshots, tests).
    FormView& ensureView(TForm& form);
    // The text of the progress window while it is shown, else empty.
    std::string progressText() const;

    TModalResult MessageBox(MessageKind kind, const std::string& text,
                            MessageButtons buttons) override;
    TModalResult ShowModal(TForm& form) override;
    void ShowForm(TForm& form) override;
    void HideForm(TForm& form) override;
    void SetCursor(TCursor cursor) override;
    TCursor Cursor() const override { return m_cursor; }
    void ShowProgress(int kind, const std::string& text) override;
    void HideProgress() override;
    void FocusChanged(TForm& form, TWinControl* control) override;
    void Repaint(TForm& form) override;

private:
    QWidget* dialogParent() const;
    void formDestroyed(FormView& view);

    struct Entry {
        FormView* view = nullptr;
        QPointer<QWidget> frame; // the MDI child or dialog around the form's widget
    };
    std::unordered_map<const TForm*, Entry> m_forms;
    QPointer<QMdiArea> m_mdi;
    QPointer<ProgressWindow> m_progress;
    TCursor m_cursor = crDefault;
};
