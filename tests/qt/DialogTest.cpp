// Modal dialogs, message boxes, the cursor and the progress window on real Qt windows.

#include "QtFixture.h"
#include "TestForms.h"
#include "qt/ProgressWindow.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
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

// A dialog designed larger than any laptop screen, confirmed from its far corner.
class WideForm : public TForm {
public:
    WideForm() : TForm(nullptr) {
        SetName("frmLargo");
        SetCaption("Largo");
        SetBounds(0, 0, 1500, 1000);
        btnOk = place<TButton>(this, this, "btnConfirma", 1400, 960, 80, 25);
        btnOk->SetCaption("Confirma");
        btnOk->SetModalResult(mrOk);
    }
    TButton* btnOk;
};

TEST_F(QtDialogs, GivenTheShellsWindow_WhenDialogsOpen_ThenTheyStandCentredOnItInsideTheScreen) {
    QMainWindow shell;
    auto* mdi = new QMdiArea;
    shell.setCentralWidget(mdi);
    shell.setGeometry(120, 60, 560, 420);
    shell.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shell));
    shell.activateWindow();
    platform.setMdiArea(mdi);
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    std::string seen;
    auto describe = [&](QWidget* modal) {
        const QPoint offset = modal->frameGeometry().center() - shell.frameGeometry().center();
        const bool inside = room.contains(modal->frameGeometry());
        seen += "off centre " +
                std::to_string(std::abs(offset.x()) > 1 || std::abs(offset.y()) > 1) + ", inside " +
                std::to_string(inside) + "; ";
    };

    AnswerForm small;
    whenModalShows([&](QWidget* modal) {
        describe(modal);
        QTest::mouseClick(buttonTexted(modal, QStringLiteral("Confirma")), Qt::LeftButton);
    });
    EXPECT_EQ(small.ShowModal(), mrOk);
    EXPECT_EQ(platform.viewOf(small)->window()->size(), QSize(240, 80));

    // Too large for the screen: the dialog takes the whole screen rather than leave it, and
    // its form scrolls, so the button in the far corner is still reached.
    WideForm wide;
    whenModalShows([&](QWidget* modal) {
        describe(modal);
        auto* scroll = modal->findChild<QScrollArea*>();
        QPushButton* ok = buttonTexted(modal, QStringLiteral("Confirma"));
        ASSERT_TRUE(scroll && ok);
        scroll->ensureWidgetVisible(ok);
        QApplication::processEvents();
        const QRect onDialog(ok->mapTo(modal, QPoint(0, 0)), ok->size());
        seen += "button shown " + std::to_string(modal->rect().contains(onDialog));
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(wide.ShowModal(), mrOk);
    EXPECT_EQ(seen, "off centre 0, inside 1; off centre 1, inside 1; button shown 1");
    platform.setMdiArea(nullptr);
}

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
