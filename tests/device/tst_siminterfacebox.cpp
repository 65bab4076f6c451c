// The simulated interface box: requests, replies, pacing and faults.

#include "interfacebox.h"

#include <QRegularExpression>
#include <QtTest>

namespace {
const QRegularExpression kReadingReply(QStringLiteral("^\\d{5},\\d{5}\\r$"));

QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}
} // namespace

class TestSimInterfaceBox : public QObject {
    Q_OBJECT

private:
    Specimen m_specimen{SpecimenKind::Tension, 0, 1, 0.0};

private slots:
    void readRequestIsAnsweredWithTwelveCharacters() {
        InterfaceBox box(m_specimen, {}, 1);
        box.receive("RV\r", 1.0);
        const std::string reply = box.takeDue(1.0);
        QCOMPARE(reply.size(), std::size_t(12));
        QVERIFY2(kReadingReply.match(Text(reply)).hasMatch(), reply.c_str());
    }

    void identificationHoldsTheCodeAndCalibrateIsSilent() {
        InterfaceBox box(m_specimen, {}, 1);
        box.receive("CAL\r", 1.0);
        QVERIFY(!box.nextDue());
        box.receive("IDN?\r", 1.0);
        QVERIFY(Text(box.takeDue(1.0)).contains("6194"));
        QCOMPARE(box.takeRequests(), (std::vector<std::string>{"CAL", "IDN?"}));
        QVERIFY(box.takeRequests().empty());
    }

    void requestSplitOverArrivalsIsJoined() {
        InterfaceBox box(m_specimen, {}, 1);
        box.receive("R", 1.0);
        QVERIFY(!box.nextDue());
        box.receive("V", 1.0);
        box.receive("\rRV\n", 1.0);
        QCOMPARE(box.takeDue(1.0).size(), std::size_t(24));
    }

    void splitIdentificationComesInPiecesOverHalfASecond() {
        BoxSettings settings;
        settings.splitIdn = true;
        InterfaceBox box(m_specimen, settings, 1);
        box.receive("IDN?\r", 10.0);
        std::vector<std::string> pieces;
        for (double t = 10.0; t <= 10.6; t += 0.01) {
            const std::string piece = box.takeDue(t);
            if (!piece.empty())
                pieces.push_back(piece);
        }
        QVERIFY(pieces.size() >= 3);
        std::string whole;
        for (const std::string& piece : pieces) {
            QVERIFY(piece.find("6194") == std::string::npos);
            whole += piece;
        }
        QCOMPARE(whole, settings.identity);
        QVERIFY(!box.nextDue());
    }

    void silentBoxAnswersNothingAndDropsWhatWasPending() {
        BoxSettings delayed;
        delayed.delayMs = 100;
        InterfaceBox slow(m_specimen, delayed, 1);
        slow.receive("RV\r", 1.0);
        slow.setSilent(true);
        QVERIFY(!slow.nextDue());
        slow.receive("IDN?\rRV\r", 1.0);
        QVERIFY(slow.takeDue(5.0).empty());
        slow.setSilent(false);
        slow.receive("RV\r", 6.0);
        QCOMPARE(slow.takeDue(7.0).size(), std::size_t(12));
    }

    void delayPostponesEveryReply() {
        BoxSettings settings;
        settings.delayMs = 250;
        InterfaceBox box(m_specimen, settings, 1);
        box.receive("RV\r", 2.0);
        QVERIFY(box.takeDue(2.2).empty());
        QCOMPARE(*box.nextDue(), 2.25);
        QCOMPARE(box.takeDue(2.25).size(), std::size_t(12));
    }

    void baudRatePacesRepliesOneAfterAnother() {
        BoxSettings settings;
        settings.baud = 56000;
        InterfaceBox box(m_specimen, settings, 1);
        const double charSeconds = 10.0 / 56000.0;
        box.receive("RV\rRV\r", 0.0);
        // Request in, then twelve characters out; the second reply queues.
        QVERIFY(qAbs(*box.nextDue() - 15 * charSeconds) < 1e-9);
        QCOMPARE(box.takeDue(15 * charSeconds + 1e-9).size(), std::size_t(12));
        QVERIFY(qAbs(*box.nextDue() - 27 * charSeconds) < 1e-9);
    }

    void droppedRepliesAreNeverSent() {
        BoxSettings settings;
        settings.drop = 1.0;
        InterfaceBox box(m_specimen, settings, 1);
        box.receive("RV\rRV\rRV\r", 1.0);
        QVERIFY(box.takeDue(2.0).empty());
        box.receive("IDN?\r", 2.0);
        QVERIFY(Text(box.takeDue(2.0)).contains("6194"));
    }

    void garbledReplyLosesTheDigitsOfOneField() {
        BoxSettings settings;
        settings.garble = 1.0;
        InterfaceBox box(m_specimen, settings, 5);
        for (int i = 0; i < 20; ++i) {
            box.receive("RV\r", 1.0);
            const QString reply = Text(box.takeDue(1.0));
            QCOMPARE(reply.size(), 12);
            const QString disp = reply.left(5);
            const QString load = reply.mid(6, 5);
            const QRegularExpression digit(QStringLiteral("\\d"));
            QVERIFY(!disp.contains(digit) || !load.contains(digit));
        }
    }

    void someRepliesFaultAtAFractionalProbability() {
        BoxSettings settings;
        settings.drop = 0.5;
        InterfaceBox box(m_specimen, settings, 9);
        for (int i = 0; i < 200; ++i)
            box.receive("RV\r", 1.0);
        const std::size_t replies = box.takeDue(1.0).size() / 12;
        QVERIFY2(replies > 60 && replies < 140, qPrintable(QString::number(replies)));
    }

    void heldScriptedAndRawReplies() {
        InterfaceBox box(m_specimen, {}, 1);
        box.hold({100, 200});
        box.receive("RV\r", 1.0);
        QCOMPARE(box.takeDue(1.0), std::string("00200,00100\r"));

        box.script({{1, 2}, {3, 4}});
        box.receive("RV\rRV\rRV\r", 1.0);
        QCOMPARE(box.takeDue(1.0), std::string("00002,00001\r00004,00003\r00004,00003\r"));

        box.raw("00250,     \r");
        box.receive("RV\r", 1.0);
        QCOMPARE(box.takeDue(1.0), std::string("00250,     \r"));

        box.useSpecimen();
        box.receive("RV\r", 1.0);
        QVERIFY(kReadingReply.match(Text(box.takeDue(1.0))).hasMatch());
    }
};

QTEST_APPLESS_MAIN(TestSimInterfaceBox)
#include "tst_siminterfacebox.moc"
