#pragma once

#include "platform/qtseriallink.h"

#include <QStringList>

// The real serial port with a record of what the device link did with it:
// which device paths it opened, in order, and what it has read since the
// last open. Everything goes through to QtSerialLink over real
// pseudo-terminals; nothing is faked.
class ObservedLink : public SerialLink {
    Q_OBJECT
public:
    ObservedLink() {
        connect(&m_inner, &SerialLink::readyRead, this, &SerialLink::readyRead);
        connect(&m_inner, &SerialLink::lost, this, &SerialLink::lost);
    }

    OpenResult open(const QString& devicePath) override {
        opened.append(devicePath);
        receivedSinceOpen.clear();
        const OpenResult result = m_inner.open(devicePath);
        currentPath = result == OpenResult::Opened ? devicePath : QString();
        return result;
    }
    void close() override {
        currentPath.clear();
        m_inner.close();
    }
    bool isOpen() const override { return m_inner.isOpen(); }
    bool write(const QByteArray& bytes) override {
        written += bytes;
        return m_inner.write(bytes);
    }
    qint64 bytesAvailable() const override { return m_inner.bytesAvailable(); }
    QByteArray readAll() override {
        const QByteArray bytes = m_inner.readAll();
        receivedSinceOpen += bytes;
        return bytes;
    }
    void discardInput() override { m_inner.discardInput(); }

    QStringList opened;           // every path open() was asked for
    QString currentPath;          // the open port's path, empty when none
    QByteArray receivedSinceOpen; // read through readAll() since the last open
    QByteArray written;           // every request sent

private:
    QtSerialLink m_inner;
};
