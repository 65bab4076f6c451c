// The simulator's commands on standard input.

#include "interfacebox.h"
#include "simcommands.h"

#include <QTemporaryFile>
#include <QtTest>
#include <sstream>

class TestSimCommands : public QObject {
    Q_OBJECT

private:
    Specimen m_specimen{SpecimenKind::Tension, 0, 1, 0.0};
    InterfaceBox m_box{m_specimen, {}, 1};
    SimCommands m_commands{m_box, m_specimen};

    std::string readOnce() {
        m_box.receive("RV\r", 0.5);
        return m_box.takeDue(0.5);
    }

private slots:
    void acknowledgements_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("quit");
        QTest::newRow("test kind") << "test shear"
                                   << "ok test shear" << false;
        QTest::newRow("blanks trimmed") << "  idle  \n"
                                        << "ok idle" << false;
        QTest::newRow("hold") << "hold 100 200"
                              << "ok hold 100 200" << false;
        QTest::newRow("quit") << "quit"
                              << "ok quit" << true;
        QTest::newRow("unknown kind") << "test bending"
                                      << "error unknown test kind bending" << false;
        QTest::newRow("unknown command") << "jump"
                                         << "error unknown command jump" << false;
        QTest::newRow("hold out of range")
            << "hold 70000 1"
            << "error hold needs LOAD DISP, each 0 to 65535" << false;
        QTest::newRow("hold one count") << "hold 5"
                                        << "error hold needs LOAD DISP, each 0 to 65535" << false;
        QTest::newRow("missing script") << "script /no/such/file"
                                        << "error cannot read /no/such/file" << false;
        QTest::newRow("empty") << "   "
                               << "error empty command" << false;
    }
    void acknowledgements() {
        QFETCH(QString, line);
        QFETCH(QString, reply);
        QFETCH(bool, quit);
        const CommandResult result = m_commands.apply(line.toStdString(), 0.0);
        QCOMPARE(QString::fromStdString(result.reply), reply);
        QCOMPARE(result.quit, quit);
    }

    void holdFixesTheReadingUntilTheSpecimenIsDrivenAgain() {
        m_commands.apply("hold 1234 4321", 0.0);
        QCOMPARE(readOnce(), std::string("04321,01234\r"));
        QCOMPARE(readOnce(), std::string("04321,01234\r"));
        m_commands.apply("idle", 0.0);
        const std::string reply = readOnce();
        QVERIFY(reply != "04321,01234\r");
        // Unloaded, within the noise of the zero point 32768.
        QCOMPARE(reply.substr(6, 3), std::string("327"));
    }

    void rawKeepsItsTextAndEscapes() {
        QCOMPARE(m_commands.apply("raw 00250,     \\r", 0.0).reply, std::string("ok raw"));
        QCOMPARE(readOnce(), std::string("00250,     \r"));
        m_commands.apply("raw   1\\t2\\\\\\n", 0.0);
        QCOMPARE(readOnce(), std::string("  1\t2\\\n"));
    }

    void scriptRepliesInOrderFromAFile() {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("# load disp\n100 200\n\n300, 400\n");
        file.close();
        const CommandResult result =
            m_commands.apply("script " + file.fileName().toStdString(), 0.0);
        QVERIFY(result.reply.rfind("ok", 0) == 0);
        QCOMPARE(readOnce(), std::string("00200,00100\r"));
        QCOMPARE(readOnce(), std::string("00400,00300\r"));
        QCOMPARE(readOnce(), std::string("00400,00300\r"));
    }

    void silentAndAnswer() {
        m_commands.apply("silent", 0.0);
        QVERIFY(readOnce().empty());
        m_commands.apply("answer", 0.0);
        QCOMPARE(readOnce().size(), std::size_t(12));
    }

    void pairs_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("load");
        QTest::addColumn<int>("disp");
        QTest::newRow("blank") << "1 2" << true << 1 << 2;
        QTest::newRow("comma") << "1,2" << true << 1 << 2;
        QTest::newRow("comma and blanks") << " 65535 ,  0 " << true << 65535 << 0;
        QTest::newRow("tab") << "7\t8" << true << 7 << 8;
        QTest::newRow("one number") << "12" << false << 0 << 0;
        QTest::newRow("negative") << "-1 2" << false << 0 << 0;
        QTest::newRow("too large") << "1 65536" << false << 0 << 0;
        QTest::newRow("three numbers") << "1 2 3" << false << 0 << 0;
        QTest::newRow("letters") << "a b" << false << 0 << 0;
    }
    void pairs() {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, load);
        QFETCH(int, disp);
        const auto pair = ParsePair(text.toStdString());
        QCOMPARE(pair.has_value(), ok);
        if (ok) {
            QCOMPARE(pair->load, load);
            QCOMPARE(pair->disp, disp);
        }
    }

    void scriptWithABadLineIsRefused() {
        std::istringstream in("1 2\nthree four\n");
        QVERIFY(!ParseScript(in).has_value());
    }
};

QTEST_APPLESS_MAIN(TestSimCommands)
#include "tst_simcommands.moc"
