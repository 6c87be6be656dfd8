#include "app/frame/FrameActions.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace kv {

namespace {

QAction* makeAction(QMainWindow& window, const char* name, const QString& text, const QString& tip,
                    const QString& icon = {}) {
    auto* action = new QAction(text, &window);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(tip);
    if (!icon.isEmpty()) action->setIcon(QIcon(QStringLiteral(":/app/%1.svg").arg(icon)));
    return action;
}

void createFileActions(QMainWindow& w, FrameActions& a) {
    a.fileNew = makeAction(w, "actionNew", QStringLiteral("&New"), QStringLiteral("Create a new document"),
                           QStringLiteral("new"));
    a.fileNew->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    a.fileOpen = makeAction(w, "actionOpen", QStringLiteral("&Open..."),
                            QStringLiteral("Open an existing document"), QStringLiteral("open"));
    a.fileOpen->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    a.fileSave = makeAction(w, "actionSave", QStringLiteral("&Save"),
                            QStringLiteral("Save the active document"), QStringLiteral("save"));
    a.fileSave->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    a.fileSaveAs = makeAction(w, "actionSaveAs", QStringLiteral("Save &As..."),
                              QStringLiteral("Save the active document with a new name"));
    a.print = makeAction(w, "actionPrint", QStringLiteral("&Print..."),
                         QStringLiteral("Print the settings report"), QStringLiteral("print"));
    a.print->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    a.printPreview = makeAction(w, "actionPrintPreview", QStringLiteral("Print Pre&view"),
                                QStringLiteral("Display the full page"), QStringLiteral("print-preview"));
    a.printSetup = makeAction(w, "actionPrintSetup", QStringLiteral("P&rint Setup..."),
                              QStringLiteral("Change the printer and printing options"));
    a.exportPdf =
        makeAction(w, "actionExportPdf", QStringLiteral("&Export PDF..."),
                   QStringLiteral("Write the settings report to a PDF file"), QStringLiteral("export-pdf"));
    a.importFilters =
        makeAction(w, "actionImportFilters", QStringLiteral("&Import Filters..."),
                   QStringLiteral("Read an output's filters from a REW, Equalizer APO or AutoEq file"));
    a.exportFilters =
        makeAction(w, "actionExportFilters", QStringLiteral("Export &Filters..."),
                   QStringLiteral("Write an output's filters to a REW, Equalizer APO or AutoEq file"));
    a.exit = makeAction(w, "actionExit", QStringLiteral("E&xit"), QStringLiteral("Quit the application"));
    for (int i = 0; i < kRecentMenuEntries; ++i) {
        auto* recent = makeAction(w, "actionRecentFile", QString(), QStringLiteral("Open this document"));
        recent->setObjectName(QStringLiteral("actionRecentFile%1").arg(i + 1));
        recent->setVisible(false);
        a.recentFiles[static_cast<std::size_t>(i)] = recent;
    }
}

void createEditActions(QMainWindow& w, FrameActions& a) {
    // Undo and Redo follow the document's history; cut, copy and paste stay disabled.
    a.undo = makeAction(w, "actionUndo", QStringLiteral("&Undo"), QStringLiteral("Undo the last action"),
                        QStringLiteral("undo"));
    a.undo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Z")), QKeySequence(QStringLiteral("Alt+Backspace"))});
    a.redo =
        makeAction(w, "actionRedo", QStringLiteral("&Redo"), QStringLiteral("Redo the action undone last"));
    a.redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    a.cut = makeAction(w, "actionCut", QStringLiteral("Cu&t"), QStringLiteral("Cut the selection"),
                       QStringLiteral("cut"));
    a.cut->setShortcuts({QKeySequence(QStringLiteral("Ctrl+X")), QKeySequence(QStringLiteral("Shift+Del"))});
    a.copy = makeAction(w, "actionCopy", QStringLiteral("&Copy"), QStringLiteral("Copy the selection"),
                        QStringLiteral("copy"));
    a.copy->setShortcuts({QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Ins"))});
    a.paste = makeAction(w, "actionPaste", QStringLiteral("&Paste"),
                         QStringLiteral("Insert the clipboard contents"), QStringLiteral("paste"));
    a.paste->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+V")), QKeySequence(QStringLiteral("Shift+Ins"))});
    for (QAction* action : {a.undo, a.redo, a.cut, a.copy, a.paste}) action->setEnabled(false);
}

void createOtherActions(QMainWindow& w, FrameActions& a) {
    a.about = makeAction(w, "actionAbout", QStringLiteral("&About Korvaliser..."),
                         QStringLiteral("Display program information and version"), QStringLiteral("about"));
    a.noConnection = makeAction(w, "actionNoConnection", QStringLiteral("No Connection"),
                                QStringLiteral("Work without an amplifier"));
    a.rs232 = makeAction(w, "actionRs232", QStringLiteral("RS232"), QStringLiteral("Choose the serial port"));
    // One of the two link modes is in force: exclusive items, shown with radio marks.
    auto* linkModes = new QActionGroup(&w);
    linkModes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* action : {a.noConnection, a.rs232}) {
        action->setCheckable(true);
        linkModes->addAction(action);
    }
    a.buildPresetFile = makeAction(w, "actionBuildPresetFile", QStringLiteral("Build Preset File"),
                                   QStringLiteral("Build a Preset File"), QStringLiteral("build-file"));
    a.presetController = makeAction(w, "actionPresetController", QStringLiteral("Preset Controller"),
                                    QStringLiteral("Preset Controller"), QStringLiteral("preset-controller"));
}

void buildMenus(QMainWindow& w, FrameActions& a) {
    QMenuBar* bar = w.menuBar();
    a.fileMenu = bar->addMenu(QStringLiteral("&File"));
    a.fileMenu->addActions({a.fileNew, a.fileOpen, a.fileSave, a.fileSaveAs});
    a.fileMenu->addSeparator();
    a.fileMenu->addActions({a.print, a.printPreview, a.printSetup, a.exportPdf});
    a.fileMenu->addSeparator();
    a.fileMenu->addActions({a.importFilters, a.exportFilters});
    a.recentSeparator = a.fileMenu->addSeparator();
    for (QAction* recent : a.recentFiles) a.fileMenu->addAction(recent);
    a.fileMenu->addSeparator();
    a.fileMenu->addAction(a.exit);

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->addActions({a.undo, a.redo});
    edit->addSeparator();
    edit->addActions({a.cut, a.copy, a.paste});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->addActions({a.viewToolBar, a.viewStatusBar});
    view->addSeparator();
    view->addAction(a.viewReportDsp);

    a.remoteMenu = bar->addMenu(QStringLiteral("Remote"));
    a.remoteMenu->addActions({a.noConnection, a.rs232});

    QMenu* build = bar->addMenu(QStringLiteral("Build"));
    build->addAction(a.buildPresetFile);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->addAction(a.about);
}

QToolBar* buildToolBar(QMainWindow& w, FrameActions& a, QComboBox& selector) {
    auto* bar = new QToolBar(QStringLiteral("Toolbar"), &w);
    bar->setObjectName(QStringLiteral("mainToolBar"));
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->addActions({a.fileNew, a.fileOpen, a.fileSave});
    bar->addSeparator();
    bar->addActions({a.cut, a.copy, a.paste});
    bar->addSeparator();
    bar->addActions({a.print, a.about, a.presetController});
    bar->addSeparator();
    selector.setMinimumWidth(150);
    bar->addWidget(&selector);
    w.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

}  // namespace

FrameActions buildFrameActions(QMainWindow& window, QComboBox& unitTypeSelector) {
    FrameActions a;
    createFileActions(window, a);
    createEditActions(window, a);
    createOtherActions(window, a);
    a.toolBar = buildToolBar(window, a, unitTypeSelector);
    a.viewToolBar = a.toolBar->toggleViewAction();
    a.viewToolBar->setText(QStringLiteral("&Toolbar"));
    a.viewToolBar->setStatusTip(QStringLiteral("Show or hide the toolbar"));
    a.viewStatusBar = makeAction(window, "actionViewStatusBar", QStringLiteral("&Status Bar"),
                                 QStringLiteral("Show or hide the status bar"));
    a.viewStatusBar->setCheckable(true);
    a.viewStatusBar->setChecked(true);
    QObject::connect(a.viewStatusBar, &QAction::toggled, window.statusBar(), &QWidget::setVisible);
    a.viewReportDsp =
        makeAction(window, "actionViewReportDsp", QStringLiteral("Report Shows &DSP Response"),
                   QStringLiteral("Add what the unit really plays to the report graph, dashed"));
    a.viewReportDsp->setCheckable(true);
    buildMenus(window, a);
    return a;
}

}  // namespace kv
