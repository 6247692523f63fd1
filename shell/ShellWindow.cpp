#include "shell/ShellWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

ShellWindow::ShellWindow(std::function<void(const QString&)> openModule, QWidget* parent)
    : QMainWindow(parent), m_openModule(std::move(openModule)) {
    setObjectName(QStringLiteral("ShellWindow"));
    setWindowTitle(QStringLiteral("Gestão Operacional"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0x5a, 0x6e, 0x82));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    QMenu* system = menuBar()->addMenu(QStringLiteral("&Sistema"));
    QAction* quit = system->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("actSair"));
    quit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    QMenu* budget = menuBar()->addMenu(QStringLiteral("&Orçamento"));
    QAction* open = budget->addAction(QStringLiteral("Cálculo &Orçamento Operacional"), this,
                                      [this] { m_openModule(QStringLiteral("FYN10000")); });
    open->setObjectName(QStringLiteral("actFYN10000"));

    QMenu* windows = menuBar()->addMenu(QStringLiteral("&Janelas"));
    windows->addAction(QStringLiteral("&Cascata"), m_mdi, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("&Lado a lado"), m_mdi, &QMdiArea::tileSubWindows);
    windows->addAction(QStringLiteral("&Fechar todas"), m_mdi, &QMdiArea::closeAllSubWindows);

    m_session = new QLabel;
    m_session->setObjectName(QStringLiteral("lblSessao"));
    statusBar()->addPermanentWidget(m_session);
    resize(1280, 800);
}

namespace {
const QString kPlacementKey = QStringLiteral("window/placement");
}

void ShellWindow::showInPlace(const QString& settingsPath) {
    m_settingsPath = settingsPath;
    if (!settingsPath.isEmpty()) {
        const QSettings ini(settingsPath, QSettings::IniFormat);
        const QByteArray placement = ini.value(kPlacementKey).toByteArray();
        m_placementSaved = !placement.isEmpty() && restoreGeometry(placement);
    }
    if (m_placementSaved) {
        show();
        return;
    }
    // Without a window manager (a bare X or VNC display) nobody maximizes the window, so its
    // own size is already the screen's room.
    if (QScreen* where = screen()) setGeometry(where->availableGeometry());
    showMaximized();
}

void ShellWindow::savePlacement() const {
    if (m_settingsPath.isEmpty() || (!m_placementSaved && isMaximized())) return;
    QSettings ini(m_settingsPath, QSettings::IniFormat);
    ini.setValue(kPlacementKey, saveGeometry());
}

void ShellWindow::closeEvent(QCloseEvent* event) {
    savePlacement();
    QMainWindow::closeEvent(event);
}

void ShellWindow::setSessionInfo(const QString& operatorCode, const QString& operatorName,
                                 const QString& server, const QString& fixedBranch) {
    QString text =
        QStringLiteral("Operador: %1 - %2   Servidor: %3").arg(operatorCode, operatorName, server);
    text += fixedBranch.isEmpty() ? QStringLiteral("   Filial: todas")
                                  : QStringLiteral("   Filial fixa: ") + fixedBranch;
    m_session->setText(text);
}

QString ShellWindow::sessionInfo() const {
    return m_session->text();
}
