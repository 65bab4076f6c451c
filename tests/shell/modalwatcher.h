#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Acts on a modal window while it is up: every few milliseconds, while the
// active modal window carries the given object name, hands it to the action
// until the action answers true. Lets a test look at and answer a window that
// the code under test shows with exec(), without sleeping and without
// blocking whatever loop runs beneath it.
class ModalWatcher : public QObject {
public:
    ModalWatcher(const QString& objectName, std::function<bool(QWidget&)> action)
        : m_objectName(objectName), m_action(std::move(action)) {
        connect(&m_timer, &QTimer::timeout, this, &ModalWatcher::handleTimeout);
        m_timer.start(10);
    }

    bool seen() const { return m_seen; }
    bool done() const { return m_done; }

private:
    void handleTimeout() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != m_objectName || !modal->isVisible())
            return;
        m_seen = true;
        if (m_action(*modal)) {
            m_done = true;
            m_timer.stop();
        }
    }

    QString m_objectName;
    std::function<bool(QWidget&)> m_action;
    QTimer m_timer;
    bool m_seen = false;
    bool m_done = false;
};
