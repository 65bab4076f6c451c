#pragma once

#include "device/protocol.h"
#include "device/reconnect.h"
#include "platform/eventwait.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <optional>

class Clock;
class Dialogs;
class SerialLink;

// The device link: the program's one conversation with the testing machine's
// interface box. probe() finds the box on ports 1 to 4 (device paths from the
// settings store) behind the splash window; GetVals() then reads one raw load
// and displacement at a time. Every wait blocks in the event dispatcher on the
// window thread, so timers and clicks keep running inside it; the wait looks
// again after each event it handles (arriving input, a lost device, the
// click or timer that calls setAppClosing() or abandonRead()) and at each new
// second of the clock, and sleeps otherwise. A device lost after it was
// found (adapter unplugged) is looked for again on the same port path, quietly
// and without blocking, and reads resume once it answers. Window thread only.
class Interface : public QObject {
    Q_OBJECT
public:
    Interface(SerialLink& port,
              QStringList portPaths, // ports 1 to 4, in order
              Clock& clock,
              Dialogs& dialogs,
              QObject* parent = nullptr);

    // Runs the probe once (later calls do nothing), with the splash window up
    // for at least three clock seconds; tells the operator when no interface
    // answered. valid() is false until it has run.
    void probe();
    bool valid() const { return m_valid; }

    // One fresh reading in raw counts. False, with load and disp untouched,
    // when the device is not there (or lost and not back yet), a read is
    // already in progress, the program is closing or the read was abandoned,
    // the reply is late or cut short, or a field of it is not one whole
    // number padded with blanks.
    bool GetVals(std::int32_t& load, std::int32_t& disp);

    // While set, reads fail at once and a waiting read gives up.
    void setAppClosing(bool closing);
    bool readInProgress() const { return m_callDepth > 0; }
    // Makes a waiting read give up (return false) on its next pass.
    void abandonRead();
    // Ends a waiting read as soon as that loses no reading: at once when the
    // box is not answering, otherwise when its reply is in or, at the latest,
    // kReplyGraceMsecs later.
    void abandonReadAfterReply();
    // A reply on a working line takes a few milliseconds (a USB adapter may
    // hold it back for up to 16 ms more); this is ten times that and more,
    // and still shorter than an operator can tell from at once.
    static constexpr int kReplyGraceMsecs = 200;

    // The box answered its last request; false once a read ran out of time
    // or the line was lost, true again at the next reply.
    bool answering() const { return m_answering; }
    // Wall-clock second of the last good reading, or of finding the box
    // before there was one; none until the box was found.
    std::optional<qint64> lastReadingSecond() const { return m_lastReadingSecond; }

signals:
    // A GetVals call that got past its guards is returning and the link is
    // free again (emitted just before it returns). A nested call refused at
    // once does not emit it.
    void readFinished();
    // A read's request has gone out and its reply is on its way down the
    // line: window work done now overlaps the wait instead of holding up the
    // next request.
    void requestSent();
    // answering() changed.
    void answeringChanged(bool answering);

private:
    std::optional<protocol::Reading> readOnce();
    void setAnswering(bool answering);
    void handleLost();

    SerialLink& m_port;
    QStringList m_portPaths;
    Clock& m_clock;
    Dialogs& m_dialogs;
    bool m_valid = false;
    std::int32_t m_callDepth = 0;
    bool m_appClosing = false;
    bool m_probed = false;
    bool m_readAbandoned = false;
    bool m_answering = false;
    std::optional<qint64> m_lastReadingSecond;
    QString m_foundPath;   // the port path the device answered on
    QByteArray m_received; // taken from the port in one pass of a read
    protocol::ReplyFramer m_framer;
    QTimer m_replyGrace;
    EventWait m_wait;
    Reconnect m_reconnect;
};
