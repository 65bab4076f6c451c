#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "results/comparewindow.h"
#include "support/scripteddialogs.h"

#include <QChartView>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLegendMarker>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QXYSeries>

static QString cell(const CompareWindow& window, int row, int column) {
    const auto* table = window.findChild<QTableWidget*>("tableCompare");
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString("(none)");
}

static QStringList legend(const CompareWindow& window) {
    QStringList names;
    for (const QLegendMarker* marker :
         window.findChild<QChartView*>()->chart()->legend()->markers())
        names << marker->label();
    return names;
}

class TestCompareWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitNameTables(); }
    // Data files of the test data: peaks of 30 and 60 lbf, mean 45, deviation
    // 21.2132, variation 47.14045%; bad.tdf is no data file.
    void addsOverlaysAndSummarisesThenRemoves() {
        ScriptedDialogs dialogs;
        dialogs.fileNames << path("a.tdf");
        CompareWindow window(dialogs, m_folder, kUnitsEnglish);
        // Spread figures to four digits.
        QTest::mouseClick(window.findChild<QPushButton*>("buttonAdd"), Qt::LeftButton);
        QCOMPARE(dialogs.openRequests.value(0).folder, m_folder);
        QVERIFY(window.addFile(path("b,1.tdf")));
        QCOMPARE(legend(window), (QStringList{"a.tdf", "b,1.tdf"}));
        // Peaks, their statistics; break point numbers are not averaged.
        QCOMPARE((QStringList{cell(window, 0, 3), cell(window, 1, 3), cell(window, 2, 0),
                              cell(window, 2, 3), cell(window, 3, 3), cell(window, 4, 3),
                              cell(window, 2, 5)}),
                 (QStringList{"30", "60", "Mean", "45", "21.21", "47.14", ""}));

        window.findChild<QTableWidget*>("tableCompare")->setCurrentCell(0, 0);
        QTest::mouseClick(window.findChild<QPushButton*>("buttonRemove"), Qt::LeftButton);
        QCOMPARE(legend(window), QStringList{"b,1.tdf"});
        QCOMPARE(window.findChild<QTableWidget*>("tableCompare")->rowCount(), 1);
        QCOMPARE(cell(window, 0, 3), "60");
        QVERIFY(dialogs.messages.isEmpty());
    }

    // At its first size the chart and the table are both readable: no
    // figure or title of the chart cut short, every heading whole and its
    // own tooltip, a spread of 0.0001 inch without an exponent. Add takes
    // several files at once.
    void firstSizeShowsChartAndTableWhole() {
        QTemporaryDir folder;
        QStringList files;
        for (const std::int32_t lastCounts : {1100, 1102}) {
            files << folder.filePath(QString("p%1.tdf").arg(lastCounts));
            QVERIFY(testOf(kTestCompression, {32768, 1000, 32000, lastCounts})
                        .SaveFile(files.constLast().toStdString()));
        }
        ScriptedDialogs dialogs;
        dialogs.fileNameLists << files;
        CompareWindow window(dialogs, folder.path(), kUnitsEnglish);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.findChild<QPushButton*>("buttonAdd"), Qt::LeftButton);
        QCOMPARE(window.fileCount(), 2);
        QCoreApplication::processEvents();
        const auto& chart = *window.findChild<QChartView*>();
        QVERIFY(chart.height() >= 240);
        for (const QGraphicsItem* item : chart.scene()->items())
            if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item))
                QVERIFY2(
                    !text->toPlainText().contains(QRegularExpression("\\.\\.\\.|\u2026|\u22ee")),
                    qPrintable(text->toPlainText()));
        auto& table = *window.findChild<QTableWidget*>("tableCompare");
        for (int column = 0; column < table.columnCount(); ++column) {
            const QTableWidgetItem& heading = *table.horizontalHeaderItem(column);
            QCOMPARE(heading.toolTip(), heading.text());
            QVERIFY2(table.columnWidth(column) >=
                         table.horizontalHeader()->fontMetrics().horizontalAdvance(heading.text()),
                     qPrintable(heading.text()));
        }
        QCOMPARE(cell(window, 3, 4), "0.00007071");
        for (int column = 3; column < table.columnCount(); ++column)
            QVERIFY(!cell(window, 3, column).contains('E'));
    }

    void refusesWhatItCannotKeepApart() {
        ScriptedDialogs dialogs;
        CompareWindow window(dialogs, m_folder, kUnitsMetric);
        QVERIFY(window.addFile(path("a.tdf")));
        QVERIFY(!window.addFile(path("a.tdf")));
        QVERIFY(!window.addFile(path("A.TDF")));
        QVERIFY(!window.addFile(path("bad.tdf")));
        QCOMPARE(
            dialogs.texts(),
            (QStringList{"This file is already being compared.",
                         "A file whose name differs from an open one only in letter case cannot "
                         "be compared with it.",
                         "File could not be opened.  Not a valid file type."}));
        QCOMPARE(window.fileCount(), 1);
        QCOMPARE(legend(window), QStringList{"a.tdf"});
        QCOMPARE(cell(window, 0, 3), "134"); // newtons
    }

    // Each file's own specimen: its tension properties filled, and stress
    // against strain while every test has its dimensions.
    void eachFileWithItsOwnSpecimen() {
        ScriptedDialogs dialogs;
        CompareWindow window(dialogs, m_folder, kUnitsMetric);
        const QString view = QStringLiteral(TORVIK_TEST_DATA "view/");
        QVERIFY(window.addFile(view + "tension-specimen.tdf"));
        const QChart& chart = *window.findChild<QChartView*>()->chart();
        QCOMPARE(chart.axes(Qt::Vertical).constFirst()->titleText(), "Stress (MPa)");
        QCOMPARE(cell(window, 0, 13), "0.4200508"); // 271 N over 645.16 mm^2
        const auto* stressAxis = static_cast<const QValueAxis*>(chart.axes(Qt::Vertical).first());
        QVERIFY2(stressAxis->max() < 1.0, "the curve is drawn as stress, not as load");
        QVERIFY(window.addFile(view + "tension.tdf"));
        QCOMPARE(chart.axes(Qt::Vertical).constFirst()->titleText(), "Load (N)");
        QCOMPARE(cell(window, 1, 13), "");
        QCOMPARE(static_cast<const QXYSeries*>(chart.series().constFirst())->points().last(),
                 QPointF(3.086f, 271.0f));
    }

    // The 95% confidence limits of the mean beside the other statistics,
    // over the tests not left out: peaks 30 and 60, t = 12.7062 for one
    // degree of freedom, 45 -+ 12.7062 x 21.2132 / sqrt(2) = 45 -+ 190.5931;
    // the third test's 40 lbf is left out with its record's reason.
    void confidenceLimitsOverTheTestsNotLeftOut() {
        QTemporaryDir folder;
        Experiment cracked = testOf(kTestCompression, {32768, 1000, 31456, 1200, 32700, 1210});
        SpecimenRecord record;
        record.excluded = "cracked before the test";
        cracked.SetSpecimen(record);
        QVERIFY(cracked.SaveFile(folder.filePath("cracked.tdf").toStdString()));
        ScriptedDialogs dialogs;
        CompareWindow window(dialogs, m_folder, kUnitsEnglish);
        for (const QString& file : {path("a.tdf"), path("b,1.tdf"), folder.filePath("cracked.tdf")})
            QVERIFY(window.addFile(file));
        const auto* table = window.findChild<QTableWidget*>("tableCompare");
        QCOMPARE(table->rowCount(), 3 + 5);
        QCOMPARE((QStringList{cell(window, 2, 3), cell(window, 2, table->columnCount() - 1),
                              cell(window, 3, 3), cell(window, 6, 0), cell(window, 6, 3),
                              cell(window, 7, 3)}),
                 (QStringList{"40", "cracked before the test", "45", "Lower 95% confidence limit",
                              "-145.5931", "235.5931"}));
    }

private:
    QString path(const char* name) const { return m_folder + QLatin1String(name); }
    const QString m_folder = QStringLiteral(TORVIK_TEST_DATA "properties/");
};

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
