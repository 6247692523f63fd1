#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the application's event loop on SIGTERM, SIGINT or SIGHUP, so that the shell closes the
// way it does from its menu (screens, modules and the VNC display go in order).
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

private:
    QSocketNotifier* m_notifier = nullptr;
};
