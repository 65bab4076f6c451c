// The simulator's command line.

#include "simoptions.h"

#include <QtTest>

namespace {
SimOptions Parse(const std::vector<std::string>& args, std::string& error) {
    return ParseSimOptions(args, error);
}
} // namespace

class TestSimOptions : public QObject {
    Q_OBJECT

private slots:
    void defaults() {
        std::string error;
        const SimOptions options = Parse({}, error);
        QVERIFY(error.empty());
        QCOMPARE(options.kind, SpecimenKind::Tension);
        QCOMPARE(options.offsetCounts, 0);
        QCOMPARE(options.registerPort, 0);
        QVERIFY(!options.box.silent && !options.box.splitIdn && !options.log && !options.help);
        QCOMPARE(options.box.baud, 0);
        QVERIFY(QByteArray::fromStdString(options.box.identity).contains("6194"));
    }

    void everyOption() {
        std::string error;
        const SimOptions options =
            Parse({"--register",  "3",        "--test",     "hardness", "--offset", "-250",
                   "--split-idn", "--silent", "--delay-ms", "40",       "--baud",   "56000",
                   "--garble",    "0.25",     "--drop",     "0.5",      "--seed",   "99",
                   "--log",       "--idn",    "box\\r"},
                  error);
        QVERIFY2(error.empty(), error.c_str());
        QCOMPARE(options.registerPort, 3);
        QCOMPARE(options.kind, SpecimenKind::Hardness);
        QCOMPARE(options.offsetCounts, -250);
        QVERIFY(options.box.splitIdn && options.box.silent && options.log);
        QCOMPARE(options.box.delayMs, 40);
        QCOMPARE(options.box.baud, 56000);
        QCOMPARE(options.box.garble, 0.25);
        QCOMPARE(options.box.drop, 0.5);
        QCOMPARE(options.seed, 99u);
        QCOMPARE(options.box.identity, std::string("box\r"));
    }

    void mistakes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("port 0") << QStringList{"--register", "0"};
        QTest::newRow("port 5") << QStringList{"--register", "5"};
        QTest::newRow("missing value") << QStringList{"--baud"};
        QTest::newRow("unknown kind") << QStringList{"--test", "bending"};
        QTest::newRow("probability above 1") << QStringList{"--drop", "1.5"};
        QTest::newRow("probability not a number") << QStringList{"--garble", "often"};
        QTest::newRow("negative delay") << QStringList{"--delay-ms", "-1"};
        QTest::newRow("unknown option") << QStringList{"--fast"};
    }
    void mistakes() {
        QFETCH(QStringList, args);
        std::vector<std::string> list;
        for (const QString& arg : args)
            list.push_back(arg.toStdString());
        std::string error;
        Parse(list, error);
        QVERIFY(!error.empty());
    }

    void helpIsAsked() {
        std::string error;
        QVERIFY(Parse({"--help"}, error).help);
        QVERIFY(QByteArray(SimUsageText()).contains("--register N"));
    }
};

QTEST_APPLESS_MAIN(TestSimOptions)
#include "tst_simoptions.moc"
