#pragma once

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// The main window's menu bar and toolbar, built with their captions,
// shortcuts, check marks and start-up enabling. The members carry the names
// the rest of the program knows the commands by; each object has the same
// object name. Submenus are QMenus: enable or disable them through their
// menuAction(). Window thread.
struct MainMenus {
    QMenu* mnuFile = nullptr;
    QMenu* mnuNew = nullptr;
    QAction* mnuHardness = nullptr;
    QAction* mnuTension = nullptr;
    QAction* mnuCompression = nullptr;
    QAction* mnuShear = nullptr;
    QAction* mnuStructures = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExport = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuReport = nullptr;
    QAction* mnuSpecimen = nullptr;
    QAction* mnuCompare = nullptr;
    QAction* seperator = nullptr;
    QAction* mnuExit = nullptr;

    QMenu* mnuView = nullptr;
    QMenu* mnuUnits = nullptr;
    QAction* mnuEnglish = nullptr;
    QAction* mnuMetric = nullptr;
    QMenu* mnuAxis = nullptr;
    QAction* mnuLoadDisp = nullptr;
    QAction* mnuStressStrain = nullptr;
    QAction* mnuZoomOut = nullptr;
    QAction* mnuResultMarks = nullptr; // checked: the chart marks the results
    QAction* mnuProperties = nullptr;

    QMenu* mnuOptions = nullptr;
    QAction* mnuCalibration = nullptr;
    QAction* mnutest = nullptr;
    QAction* mnuAskSpecimen = nullptr; // checked: a new test asks for its specimen

    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* seperator2 = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // The toolbar's buttons; each action's data() holds its key ("New",
    // "Open", "Save", "Print"), which decides what a click does.
    QToolBar* Toolbar = nullptr;
    QAction* toolbarNew = nullptr;
    QAction* toolbarOpen = nullptr;
    QAction* toolbarSave = nullptr;
    QAction* toolbarPrint = nullptr;
};

// Fills `menuBar` and creates the toolbar as a child of `toolbarParent`.
MainMenus BuildMainMenus(QMenuBar& menuBar, QWidget& toolbarParent);
