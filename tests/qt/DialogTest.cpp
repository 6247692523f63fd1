// Modal dialogs, message boxes, the cursor and the progress window on real Qt windows.

#include "QtFixture.h"
#include "TestForms.h"
#include "qt/ProgressWindow.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace {

using QtDialogs = QtFixture;

// Runs `step` on the modal window once it is up (the caller is blocked in its loop).
void whenModalShows(std::function<void(QWidget*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            step(modal);
        }
    });
    timer->start();
}

QPushButton* buttonTexted(QWidget* window, const QString& text) {
    for (auto* b : window->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

class AnswerForm : public TForm {
public:
    AnswerForm() : TForm(nullptr) {
        SetName("frmResposta");
        SetCaption("Resposta");
        SetBounds(0, 0, 240, 80);
        btnOk = place<TButton>(this, this, "btnConfirma", 20, 30, 80, 25);
        btnOk->SetCaption("Confirma");
        btnOk->SetModalResult(mrOk);
    }
    TButton* btnOk;
};

TEST_F(QtDialogs, GivenAModalDialog_WhenItsConfirmButtonIsClicked_ThenShowModalReturnsOk) {
    AnswerForm form;
    whenModalShows([](QWidget* modal) {
        QPushButton* ok = buttonTexted(modal, QStringLiteral("Confirma"));
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(platform.viewOf(form)->window()->isVisible());
}

TEST_F(QtDialogs, GivenAModalDialog_WhenTheOperatorPressesEscape_ThenTheFormClosesAsCancelled) {
    AnswerForm form;
    std::string closed;
    form.OnClose = [&](TObject*, TCloseAction&) { closed = "closed"; };
    whenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(closed, "closed");
}

TEST_F(QtDialogs, GivenAQuestion_WhenTheOperatorAnswers_ThenTheAnswerReachesTheHandler) {
    SampleForm form;
    std::string log;
    form.btnOk->OnClick = [&](TObject*) {
        TModalResult answer = platform.MessageBox(MessageKind::Confirmation, "Confirma o cálculo?",
                                                  MessageButtons::YesNo);
        log += answer == mrYes ? "Sim" : answer == mrNo ? "Não" : "?";
        log += "; ";
    };
    show(form);
    QStringList buttons;
    whenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QStringLiteral("Confirma o cálculo?"));
        for (auto* b : box->buttons())
            buttons << b->text();
        QTest::mouseClick(buttonTexted(box, QStringLiteral("Não")), Qt::LeftButton);
    });
    QTest::mouseClick(widget(form, "btnOk"), Qt::LeftButton);
    whenModalShows([&](QWidget* modal) {
        QTest::mouseClick(buttonTexted(modal, QStringLiteral("Sim")), Qt::LeftButton);
    });
    QTest::mouseClick(widget(form, "btnOk"), Qt::LeftButton);
    EXPECT_EQ(log, "Não; Sim; ");
    buttons.sort();
    EXPECT_EQ(buttons.join(QLatin1Char(',')), QStringLiteral("Não,Sim"));
}

TEST_F(QtDialogs, GivenAnErrorRaisedByAHandler_WhenTheOperatorClicks_ThenItShowsWithAnOkButton) {
    SampleForm form;
    form.btnOk->OnClick = [](TObject*) { throw std::runtime_error("Ano deve ser informado."); };
    show(form);
    QString text, title;
    QStringList buttons;
    whenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        text = box->text();
        title = box->windowTitle();
        for (auto* b : box->buttons())
            buttons << b->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTest::mouseClick(widget(form, "btnOk"), Qt::LeftButton);
    EXPECT_EQ(text, QStringLiteral("Ano deve ser informado."));
    EXPECT_EQ(title, QStringLiteral("Erro"));
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
}

TEST_F(QtDialogs, GivenALongOperation_WhenItShowsProgressAndHourglass_ThenBothShowAndGoAway) {
    platform.SetCursor(crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    platform.ShowProgress(1, "Carregando dados do orçamento.");
    EXPECT_EQ(platform.progressText(), "Carregando dados do orçamento.");
    platform.ShowProgress(6, "Calculando");
    EXPECT_EQ(platform.progressText(), "Calculando");
    platform.HideProgress();
    EXPECT_EQ(platform.progressText(), "");
    platform.SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(platform.Cursor(), crDefault);
}

} // namespace
