#include "model/gfunctions.h"
#include "model/modelfakes.h"
#include "results/comparewindow.h"
#include "support/scripteddialogs.h"

#include <QChartView>
#include <QLegendMarker>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString cell(const CompareWindow& window, int row, int column) {
    const auto* table = window.findChild<QTableWidget*>("tableCompare");
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString("(none)");
}

QStringList legend(const CompareWindow& window) {
    QStringList names;
    for (const QLegendMarker* marker :
         window.findChild<QChartView*>()->chart()->legend()->markers())
        names << marker->label();
    return names;
}

} // namespace

class TestCompareWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void addsOverlaysAndSummarisesThenRemoves();
    void refusesWhatItCannotKeepApart();

private:
    QString path(const char* name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

// Peaks of 30 and 60 lbf: mean 45, deviation 21.2132, variation 47.14045%.
void TestCompareWindow::initTestCase() {
    InitNameTables();
    QVERIFY(m_dir.isValid());
    QVERIFY(testOf(kTestCompression, {32768, 1000, 32440, 1100, 32112, 1200, 31784, 1300})
                .SaveFile(path("a.tdf").toStdString()));
    QVERIFY(
        testOf(kTestCompression, {32768, 1000, 32112, 1100, 31456, 1200, 30800, 1300, 32700, 1310})
            .SaveFile(path("b.tdf").toStdString()));
    writeBytes(path("bad.tdf"), dataFile({"TDF1"}));
}

void TestCompareWindow::addsOverlaysAndSummarisesThenRemoves() {
    ScriptedDialogs dialogs;
    dialogs.fileNames << path("a.tdf");
    CompareWindow window(dialogs, m_dir.path(), kUnitsEnglish);
    QTest::mouseClick(window.findChild<QPushButton*>("buttonAdd"), Qt::LeftButton);
    QCOMPARE(dialogs.openRequests.value(0).folder, m_dir.path());
    QVERIFY(window.addFile(path("b.tdf")));
    QCOMPARE(legend(window), (QStringList{"a.tdf", "b.tdf"}));
    QCOMPARE(cell(window, 0, 3), "30");
    QCOMPARE(cell(window, 1, 3), "60");
    QCOMPARE(cell(window, 2, 0), "Mean");
    QCOMPARE(cell(window, 2, 3), "45");
    QCOMPARE(cell(window, 3, 3), "21.2132");
    QCOMPARE(cell(window, 4, 3), "47.14045");
    QCOMPARE(cell(window, 2, 5), ""); // break point numbers are not averaged

    window.findChild<QTableWidget*>("tableCompare")->setCurrentCell(0, 0);
    QTest::mouseClick(window.findChild<QPushButton*>("buttonRemove"), Qt::LeftButton);
    QCOMPARE(legend(window), QStringList{"b.tdf"});
    QCOMPARE(window.findChild<QTableWidget*>("tableCompare")->rowCount(), 1);
    QCOMPARE(cell(window, 0, 3), "60");
    QVERIFY(dialogs.messages.isEmpty());
}

void TestCompareWindow::refusesWhatItCannotKeepApart() {
    ScriptedDialogs dialogs;
    CompareWindow window(dialogs, m_dir.path(), kUnitsMetric);
    QVERIFY(window.addFile(path("a.tdf")));
    QVERIFY(!window.addFile(path("a.tdf")));
    QVERIFY(!window.addFile(path("A.TDF")));
    QVERIFY(!window.addFile(path("bad.tdf")));
    QCOMPARE(dialogs.texts(),
             (QStringList{"This file is already being compared.",
                          "A file whose name differs from an open one only in letter case cannot "
                          "be compared with it.",
                          "File could not be opened.  Not a valid file type."}));
    QCOMPARE(window.fileCount(), 1);
    QCOMPARE(legend(window), QStringList{"a.tdf"});
    QCOMPARE(cell(window, 0, 3), "134"); // newtons
}

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
