#include "mainmenus.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {
constexpr int kToolbarIconPixels = 16;

// Screen readers read a caption without its access-key marker.
QString spokenCaption(const QString& caption) {
    QString spoken = caption;
    spoken.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    spoken.remove(QLatin1Char('&'));
    spoken.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return spoken;
}

QMenu* named(QMenu* menu, const char* objectName) {
    menu->setObjectName(QLatin1String(objectName));
    menu->menuAction()->setObjectName(QLatin1String(objectName));
    menu->setAccessibleName(spokenCaption(menu->title()));
    return menu;
}

QMenu* addMenu(QMenuBar& bar, const char* objectName, const QString& caption) {
    return named(bar.addMenu(caption), objectName);
}

QMenu* addMenu(QMenu& parent, const char* objectName, const QString& caption) {
    return named(parent.addMenu(caption), objectName);
}

QAction* addItem(QMenu& menu,
                 const char* objectName,
                 const QString& caption,
                 const QKeySequence& shortcut = {}) {
    QAction* item = menu.addAction(caption);
    item->setObjectName(QLatin1String(objectName));
    item->setShortcut(shortcut);
    return item;
}

QAction* addSeparator(QMenu& menu, const char* objectName) {
    QAction* separator = menu.addSeparator();
    separator->setObjectName(QLatin1String(objectName));
    return separator;
}

QAction* addCheckItem(QMenu& menu,
                      const char* objectName,
                      const QString& caption,
                      bool checked,
                      const QKeySequence& shortcut = {}) {
    QAction* item = addItem(menu, objectName, caption, shortcut);
    item->setCheckable(true);
    item->setChecked(checked);
    return item;
}

void buildFileMenu(MainMenus& m, QMenuBar& bar) {
    m.mnuFile = addMenu(bar, "mnuFile", QObject::tr("&File"));
    m.mnuNew = addMenu(*m.mnuFile, "mnuNew", QObject::tr("&New"));
    m.mnuHardness = addItem(*m.mnuNew, "mnuHardness", QObject::tr("Hardness"));
    m.mnuTension = addItem(*m.mnuNew, "mnuTension", QObject::tr("Tension"));
    m.mnuCompression = addItem(*m.mnuNew, "mnuCompression", QObject::tr("Compression"));
    m.mnuShear = addItem(*m.mnuNew, "mnuShear", QObject::tr("Shear"));
    m.mnuStructures = addItem(*m.mnuNew, "mnuStructures", QObject::tr("Structures"));
    m.mnuOpen =
        addItem(*m.mnuFile, "mnuOpen", QObject::tr("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    m.mnuSave =
        addItem(*m.mnuFile, "mnuSave", QObject::tr("&Save..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    m.mnuExport = addItem(*m.mnuFile, "mnuExport", QObject::tr("&Export..."));
    m.mnuClose =
        addItem(*m.mnuFile, "mnuClose", QObject::tr("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W));
    m.mnuPrint =
        addItem(*m.mnuFile, "mnuPrint", QObject::tr("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    m.mnuReport = addItem(*m.mnuFile, "mnuReport", QObject::tr("&Report..."));
    m.mnuCompare = addItem(*m.mnuFile, "mnuCompare", QObject::tr("Co&mpare..."));
    m.mnuSpecimen = addItem(*m.mnuFile, "mnuSpecimen", QObject::tr("Spec&imen..."));
    m.seperator = addSeparator(*m.mnuFile, "seperator");
    m.mnuExit =
        addItem(*m.mnuFile, "mnuExit", QObject::tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Nothing to save, export, close, print or report until a test is present.
    for (QAction* item :
         {m.mnuSave, m.mnuExport, m.mnuClose, m.mnuPrint, m.mnuReport, m.mnuSpecimen})
        item->setEnabled(false);
}

void buildViewMenu(MainMenus& m, QMenuBar& bar) {
    m.mnuView = addMenu(bar, "mnuView", QObject::tr("&View"));
    m.mnuUnits = addMenu(*m.mnuView, "mnuUnits", QObject::tr("&Units"));
    m.mnuEnglish = addCheckItem(*m.mnuUnits, "mnuEnglish", QObject::tr("English"), true,
                                QKeySequence(Qt::CTRL | Qt::Key_E));
    m.mnuMetric = addCheckItem(*m.mnuUnits, "mnuMetric", QObject::tr("Metric"), false,
                               QKeySequence(Qt::CTRL | Qt::Key_M));
    m.mnuAxis = addMenu(*m.mnuView, "mnuAxis", QObject::tr("&Axis"));
    m.mnuLoadDisp =
        addCheckItem(*m.mnuAxis, "mnuLoadDisp", QObject::tr("Load vs. Displacement"), true);
    m.mnuStressStrain =
        addCheckItem(*m.mnuAxis, "mnuStressStrain", QObject::tr("Stress vs. Strain"), false);
    // Only a tension test has a stress against strain view.
    m.mnuAxis->menuAction()->setEnabled(false);
    m.mnuZoomOut = addItem(*m.mnuView, "mnuZoomOut", QObject::tr("Zoom &Out"),
                           QKeySequence(Qt::CTRL | Qt::Key_0));
    m.mnuResultMarks =
        addCheckItem(*m.mnuView, "mnuResultMarks", QObject::tr("Result &Marks"), false);
    m.mnuProperties = addItem(*m.mnuView, "mnuProperties", QObject::tr("Test &Properties..."));
    m.mnuProperties->setEnabled(false);
}

void buildOptionsAndHelpMenus(MainMenus& m, QMenuBar& bar) {
    m.mnuOptions = addMenu(bar, "mnuOptions", QObject::tr("&Options"));
    m.mnuCalibration = addItem(*m.mnuOptions, "mnuCalibration", QObject::tr("&Calibration"));
    m.mnutest = addItem(*m.mnuOptions, "mnutest", QObject::tr("Wa&tch Sensors"),
                        QKeySequence(Qt::CTRL | Qt::Key_T));
    m.mnuAskSpecimen = addCheckItem(*m.mnuOptions, "mnuAskSpecimen",
                                    QObject::tr("&Ask for Specimen Before Test"), false);
    m.mnuHelp = addMenu(bar, "mnuHelp", QObject::tr("&Help"));
    m.mnuHelpHelp =
        addItem(*m.mnuHelp, "mnuHelpHelp", QObject::tr("&Help..."), QKeySequence(Qt::Key_F1));
    m.seperator2 = addSeparator(*m.mnuHelp, "seperator2");
    m.mnuHelpAbout = addItem(*m.mnuHelp, "mnuHelpAbout", QObject::tr("&About Torvik..."));
}

QAction* addButton(QToolBar& toolbar, const QString& key, const QString& iconPath) {
    QAction* button = toolbar.addAction(QIcon(iconPath), key);
    button->setObjectName(QStringLiteral("toolbar") + key);
    button->setData(key);
    button->setToolTip(key);
    toolbar.widgetForAction(button)->setAccessibleName(key);
    return button;
}

void buildToolbar(MainMenus& m, QWidget& parent) {
    m.Toolbar = new QToolBar(QObject::tr("Toolbar"), &parent);
    m.Toolbar->setObjectName(QStringLiteral("Toolbar"));
    m.Toolbar->setAccessibleName(QObject::tr("Toolbar"));
    // Icons only, named by tooltips and for screen readers: the toolbar stays
    // about as high as the strip above the results frame.
    m.Toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m.Toolbar->setAutoFillBackground(true);
    m.Toolbar->setIconSize(QSize(kToolbarIconPixels, kToolbarIconPixels));
    m.Toolbar->setMovable(false);
    m.Toolbar->setFloatable(false);
    m.toolbarNew = addButton(*m.Toolbar, QStringLiteral("New"), QStringLiteral(":/shell/new.svg"));
    m.toolbarOpen =
        addButton(*m.Toolbar, QStringLiteral("Open"), QStringLiteral(":/shell/open.svg"));
    m.toolbarSave =
        addButton(*m.Toolbar, QStringLiteral("Save"), QStringLiteral(":/shell/save.svg"));
    m.Toolbar->addSeparator();
    m.toolbarPrint =
        addButton(*m.Toolbar, QStringLiteral("Print"), QStringLiteral(":/shell/print.svg"));
    m.toolbarSave->setEnabled(false);
    m.toolbarPrint->setEnabled(false);
}
} // namespace

// The toolbar's icons are compiled into this library.
static void initShellResources() {
    Q_INIT_RESOURCE(shell);
}

MainMenus BuildMainMenus(QMenuBar& menuBar, QWidget& toolbarParent) {
    initShellResources();
    MainMenus menus;
    buildFileMenu(menus, menuBar);
    buildViewMenu(menus, menuBar);
    buildOptionsAndHelpMenus(menus, menuBar);
    buildToolbar(menus, toolbarParent);
    return menus;
}
