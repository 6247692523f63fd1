#include "qt/QtPlatform.h"

#include "qt/DialogWindow.h"
#include "qt/FormView.h"
#include "qt/FormWidget.h"
#include "qt/Glyphs.h"
#include "qt/ProgressWindow.h"
#include "qt/QtText.h"
#include "services/ui/TForm.h"

#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleFactory>

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    while (m_cursor == crHourGlass && QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        m_cursor = crDefault;
    }
    for (auto& [form, entry] : m_forms) {
        entry.view->onFormDestroyed = nullptr;
        delete entry.view;
        if (entry.frame) delete entry.frame;
    }
    if (m_progress) delete m_progress;
}

void QtPlatform::installLook() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QApplication::setWindowIcon(Glyphs::applicationIcon());
}

void QtPlatform::setMdiArea(QMdiArea* area) {
    m_mdi = area;
}

FormView* QtPlatform::viewOf(const TForm& form) const {
    const auto it = m_forms.find(&form);
    return it == m_forms.end() ? nullptr : it->second.view;
}

FormView& QtPlatform::ensureView(TForm& form) {
    if (FormView* view = viewOf(form)) return *view;
    auto* view = new FormView(form);
    view->onFormDestroyed = [this](FormView& v) { formDestroyed(v); };
    m_forms[&form].view = view;
    return *view;
}

void QtPlatform::formDestroyed(FormView& view) {
    for (auto it = m_forms.begin(); it != m_forms.end(); ++it)
        if (it->second.view == &view) {
            if (it->second.frame) {
                it->second.frame->hide();
                it->second.frame->deleteLater();
            }
            m_forms.erase(it);
            break;
        }
    view.deleteLater();
}

std::string QtPlatform::progressText() const {
    return m_progress && m_progress->isVisible() ? fromQt(m_progress->text()) : std::string();
}

QWidget* QtPlatform::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    // The progress window is no owner: a message shown during a long call belongs to the screen.
    if (QWidget* active = QApplication::activeWindow(); active && active != m_progress)
        return active;
    return m_mdi ? m_mdi->window() : nullptr;
}

TModalResult QtPlatform::MessageBox(MessageKind kind, const std::string& text,
                                    MessageButtons buttons) {
    QMessageBox box(dialogParent());
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setText(toQt(text));
    switch (kind) {
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("Erro"));
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        box.setWindowTitle(QStringLiteral("Atenção"));
        break;
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setWindowTitle(QStringLiteral("Informação"));
        break;
    case MessageKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(QStringLiteral("Confirmação"));
        break;
    }
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    switch (buttons) {
    case MessageButtons::Ok:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setEscapeButton(ok);
        break;
    case MessageButtons::YesNo:
        yes = box.addButton(QStringLiteral("Sim"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("Não"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        break;
    case MessageButtons::OkCancel:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        break;
    }
    // The operator must see that the box waits for an answer, even inside a long operation.
    const bool busy = m_cursor == crHourGlass;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busy) QApplication::restoreOverrideCursor();

    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == yes) return mrYes;
    if (clicked && clicked == no) return mrNo;
    if (clicked && clicked == ok) return mrOk;
    if (clicked && clicked == cancel) return mrCancel;
    return buttons == MessageButtons::YesNo ? mrNo
           : buttons == MessageButtons::Ok  ? mrOk
                                            : mrCancel;
}

TModalResult QtPlatform::ShowModal(TForm& form) {
    FormView& view = ensureView(form);
    Entry& entry = m_forms[&form];
    auto* dialog = qobject_cast<DialogWindow*>(entry.frame.data());
    if (!dialog) {
        if (entry.frame) entry.frame->deleteLater();
        dialog = new DialogWindow(view.window(), dialogParent());
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->onCloseRequest = [&view] { view.closeRequested(); };
        entry.frame = dialog;
    }
    dialog->setWindowTitle(toQt(form.Caption()));
    dialog->placeOnScreen();

    QEventLoop loop;
    bool gone = false;
    view.onModalResult = [&](FormView& v) {
        if (v.form() && v.form()->ModalResult() != mrNone) loop.quit();
    };
    auto previous = view.onFormDestroyed;
    view.onFormDestroyed = [&, previous](FormView& v) {
        gone = true;
        loop.quit();
        if (previous) previous(v);
    };
    // The hourglass of the code that opened the dialog must not hide that it waits for input.
    const bool busy = m_cursor == crHourGlass;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    view.showFocus(form.ActiveControl());
    if (form.ModalResult() == mrNone) loop.exec();
    if (busy) QApplication::restoreOverrideCursor();
    if (gone) return mrCancel;
    view.onModalResult = nullptr;
    view.onFormDestroyed = previous;
    dialog->hide();
    return form.ModalResult();
}

void QtPlatform::ShowForm(TForm& form) {
    FormView& view = ensureView(form);
    Entry& entry = m_forms[&form];
    if (!entry.frame) {
        if (m_mdi) {
            QMdiSubWindow* sub = m_mdi->addSubWindow(view.window());
            sub->setAttribute(Qt::WA_DeleteOnClose, false);
            sub->setWindowTitle(toQt(form.Caption()));
            sub->setObjectName(toQt(form.Name()) + QStringLiteral("Window"));
            entry.frame = sub;
        } else {
            entry.frame = view.window();
        }
    }
    QWidget* frame = entry.frame;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
        const bool opening = sub->isHidden();
        if (opening && form.Width() > 0 && form.Height() > 0) {
            // The designed size is what the operator gets back by restoring the window; a
            // screen larger than the area keeps to it from its corner.
            sub->adjustSize();
            const QSize area = m_mdi->viewport()->size();
            if (sub->width() > area.width() || sub->height() > area.height()) {
                sub->resize(std::min(sub->width(), area.width()),
                            std::min(sub->height(), area.height()));
                sub->move(0, 0);
            }
        }
        // A screen opens filling the workspace; showing it again keeps what the operator chose.
        if (form.WindowState() == wsMinimized)
            sub->showMinimized();
        else if (form.WindowState() == wsMaximized || opening)
            sub->showMaximized();
        else
            sub->show();
        m_mdi->setActiveSubWindow(sub);
    } else {
        frame->show();
        frame->raise();
        frame->activateWindow();
    }
    view.showFocus(form.ActiveControl());
}

void QtPlatform::HideForm(TForm& form) {
    const auto it = m_forms.find(&form);
    if (it == m_forms.end()) return;
    if (it->second.frame) it->second.frame->hide();
}

void QtPlatform::SetCursor(TCursor cursor) {
    if (cursor == m_cursor) return;
    if (cursor == crHourGlass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    m_cursor = cursor;
}

void QtPlatform::ShowProgress(int kind, const std::string& text) {
    if (!m_progress) m_progress = new ProgressWindow(dialogParent());
    m_progress->showText(kind, toQt(text));
}

void QtPlatform::HideProgress() {
    if (m_progress) m_progress->hide();
}

void QtPlatform::FocusChanged(TForm& form, TWinControl* control) {
    if (FormView* view = viewOf(form)) view->showFocus(control);
}

void QtPlatform::Repaint(TForm& form) {
    if (FormView* view = viewOf(form))
        if (view->window()) view->window()->repaint();
}
