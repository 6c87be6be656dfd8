#include "app/frame/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

#include "app/DocumentHost.h"
#include "app/KorvaliserApp.h"
#include "app/platform/KeyboardLocks.h"
#include "document/KorvaliserDoc.h"
#include "document/file/OvkFile.h"
#include "link/UnitLink.h"
#include "ui/AppResources.h"
#include "ui/exchange/FilterExchange.h"
#include "ui/report/KorvaliserView.h"
#include "ui/tree/PearTree.h"

namespace kv {

QString unitTypeChangedPath(const QString& path) {
    return QFile::decodeName(unitTypeChangedPath(QFile::encodeName(path).toStdString()).c_str());
}

namespace {

constexpr int kLockPollMs = 250;

QString recentFileText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > 60) shown = QStringLiteral("...") + shown.right(57);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

CMainFrame::CMainFrame(CKorvaliserApp& app) : app_(app) {
    ensureAppResources();
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/app/korvaliser.svg")));
    unitType_ = new QComboBox(this);
    unitType_->setObjectName(QStringLiteral("unitTypeSelector"));
    unitType_->addItems({QStringLiteral("Unit Type KV420"), QStringLiteral("Unit Type KV520")});
    unitType_->setFocusPolicy(Qt::TabFocus);
    // Only a deliberate choice may ask "Switch Unit Type?": the wheel passing over the
    // selector does nothing.
    unitType_->installEventFilter(this);
    actions_ = buildFrameActions(*this, *unitType_);
    createPanes();
    createStatusBar();
    connectActions();
    connectDocument();
    showUnitType();
    updateTitle();
    updateRecentFiles();
    updateRemoteChecks();
    resize(1024, 720);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::createPanes() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("mainSplitter"));
    splitter_->setChildrenCollapsible(true);
    tree_ = new CPearTree(app_.document(), splitter_);
    view_ = new CKorvaliserView(app_.document(), &app_.curves(), app_.prompts(), splitter_);
    view_->setShowQ(app_.settings().showQ != 0);
    view_->setShowDsp(app_.settings().reportDsp != 0);
    splitter_->addWidget(tree_);
    splitter_->addWidget(view_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({180, 844});
    setCentralWidget(splitter_);
    view_->setFocus();

    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(next, &QShortcut::activated, this, [this] { switchPane(); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previous, &QShortcut::activated, this, [this] { switchPane(); });
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    std::size_t next = 0;
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("indicator%1").arg(QString::fromLatin1(text)));
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
        bar->addPermanentWidget(pane);
        lockPanes_[next++] = pane;
    }
    // The lock keys can change in any program: the panes follow them a few times a second.
    showKeyboardLocks();
    if (readKeyboardLocks() != KeyboardLocks{}) {
        auto* locks = new QTimer(this);
        connect(locks, &QTimer::timeout, this, &CMainFrame::showKeyboardLocks);
        locks->start(kLockPollMs);
    }
    bar->showMessage(QStringLiteral("Ready"));
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty()) bar->showMessage(QStringLiteral("Ready"));
    });
}

void CMainFrame::showKeyboardLocks() {
    // A pane shows its name while the lock is on; where the state cannot be read, the
    // pane is not shown at all rather than shown wrong.
    const KeyboardLocks locks = readKeyboardLocks();
    const std::array<std::optional<bool>, 3> states{locks.caps, locks.num, locks.scroll};
    const std::array<const char*, 3> names{"CAP", "NUM", "SCRL"};
    for (std::size_t i = 0; i < lockPanes_.size(); ++i) {
        lockPanes_[i]->setVisible(states[i].has_value());
        lockPanes_[i]->setText(states[i].value_or(false) ? QString::fromLatin1(names[i]) : QString());
    }
}

void CMainFrame::connectActions() {
    DocumentHost& host = app_.host();
    const FrameActions& a = actions_;
    connect(a.fileNew, &QAction::triggered, &host, [&host] { host.newDocument(); });
    connect(a.fileOpen, &QAction::triggered, &host, [&host] { host.open(); });
    connect(a.fileSave, &QAction::triggered, &host, [&host] { host.save(); });
    connect(a.fileSaveAs, &QAction::triggered, &host, [&host] { host.saveAs(); });
    connect(a.print, &QAction::triggered, view_, &CKorvaliserView::print);
    connect(a.printPreview, &QAction::triggered, view_, &CKorvaliserView::printPreview);
    connect(a.printSetup, &QAction::triggered, view_, &CKorvaliserView::printSetup);
    connect(a.exportPdf, &QAction::triggered, view_, &CKorvaliserView::exportPdfAsked);
    a.viewReportDsp->setChecked(view_->showDsp());
    connect(a.viewReportDsp, &QAction::toggled, this, [this](bool on) {
        view_->setShowDsp(on);
        app_.settings().reportDsp = on ? 1 : 0;  // kept for the next run, as written at exit
    });
    // From the main window the filters go to or come from the current preset; the
    // dialogs offer the output, Output 1 first.
    connect(a.importFilters, &QAction::triggered, this,
            [this] { importFilters(app_.document(), 0, app_.prompts(), this); });
    connect(a.exportFilters, &QAction::triggered, this,
            [this] { exportFilters(app_.document(), 0, app_.prompts(), this); });
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.about, &QAction::triggered, this, [this] { app_.about(); });
    connect(a.noConnection, &QAction::triggered, this, [this] { app_.chooseNoConnection(); });
    connect(a.rs232, &QAction::triggered, this, [this] { app_.chooseRs232(); });
    connect(a.buildPresetFile, &QAction::triggered, this, [this] { app_.buildPresetFile(); });
    connect(a.presetController, &QAction::triggered, this, [this] { app_.openPresetController(); });
    connect(a.undo, &QAction::triggered, this, [this] {
        app_.document().undo();
        afterHistoryStep();
    });
    connect(a.redo, &QAction::triggered, this, [this] {
        app_.document().redo();
        afterHistoryStep();
    });
    for (int i = 0; i < kRecentMenuEntries; ++i) {
        connect(a.recentFiles[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] {
            const QStringList& files = app_.host().recentFiles();
            if (i < files.size()) app_.openDocumentFile(files.at(i));
        });
    }
    connect(unitType_, &QComboBox::activated, this, &CMainFrame::changeUnitType);
    // The Remote menu's check marks follow the link, which going online may change.
    connect(a.remoteMenu, &QMenu::aboutToShow, this, &CMainFrame::updateRemoteChecks);
}

void CMainFrame::connectDocument() {
    DocumentHost& host = app_.host();
    connect(&host, &DocumentHost::viewsUpdated, tree_, &CPearTree::onViewsUpdated);
    connect(&host, &DocumentHost::viewsUpdated, view_, [this](QObject*) { view_->refresh(); });
    connect(&host, &DocumentHost::contentChanged, view_, &CKorvaliserView::refresh);
    connect(tree_, &CPearTree::viewsUpdateRequested, &host, &DocumentHost::updateAllViews);
    connect(tree_, &CPearTree::editRequested, this, [this] { app_.openEditor(); });
    connect(&host, &DocumentHost::titleChanged, this, &CMainFrame::updateTitle);
    connect(&host, &DocumentHost::recentFilesChanged, this, &CMainFrame::updateRecentFiles);
    connect(&host, &DocumentHost::documentLoaded, this, &CMainFrame::showUnitType);
    connect(&host, &DocumentHost::unitTypeChanged, this, &CMainFrame::showUnitType);
    connect(&host, &DocumentHost::contentChanged, this, &CMainFrame::updateHistoryActions);
    connect(&host, &DocumentHost::titleChanged, this, &CMainFrame::updateHistoryActions);
    updateHistoryActions();
}

void CMainFrame::afterHistoryStep() {
    // Names, order and pasted presets may have changed: the tree and the report follow.
    app_.host().updateAllViews(nullptr);
}

void CMainFrame::updateHistoryActions() {
    const CKorvaliserDoc& doc = app_.document();
    const auto named = [](const char* verb, const std::string& name) {
        return name.empty() ? QString::fromLatin1(verb)
                            : QString::fromLatin1(verb) + u' ' + QString::fromStdString(name);
    };
    actions_.undo->setEnabled(doc.canUndo());
    actions_.undo->setText(named("&Undo", doc.canUndo() ? doc.undoName() : std::string{}));
    actions_.redo->setEnabled(doc.canRedo());
    actions_.redo->setText(named("&Redo", doc.canRedo() ? doc.redoName() : std::string{}));
}

void CMainFrame::updateTitle() {
    setWindowTitle(app_.host().windowTitle());
    setWindowModified(app_.host().isModified());
}

void CMainFrame::updateRecentFiles() {
    const QStringList& files = app_.host().recentFiles();
    for (int i = 0; i < kRecentMenuEntries; ++i) {
        QAction* action = actions_.recentFiles[static_cast<std::size_t>(i)];
        const bool used = i < files.size();
        action->setVisible(used);
        if (used) action->setText(recentFileText(i, files.at(i)));
    }
    actions_.recentSeparator->setVisible(!files.isEmpty());
}

void CMainFrame::updateRemoteChecks() {
    const ConnectionMode mode = app_.link().connectionMode();
    actions_.noConnection->setChecked(mode == ConnectionMode::NoConnection);
    actions_.rs232->setChecked(mode == ConnectionMode::Rs232);
}

void CMainFrame::applySplitPosition(int width) {
    const int left = std::max(0, width);
    const int total = std::max(splitter_->width(), left + 1);
    splitter_->setSizes({left, std::max(1, total - left)});
}

int CMainFrame::splitPosition() const {
    const QList<int> sizes = splitter_->sizes();
    return sizes.isEmpty() ? 0 : sizes.first();
}

namespace {

int selectorEntryOf(int unitType) { return unitType == kUnitKV420 ? 0 : unitType == kUnitKV520 ? 1 : -1; }

}  // namespace

void CMainFrame::showUnitType() { unitType_->setCurrentIndex(selectorEntryOf(app_.document().unitType())); }

void CMainFrame::changeUnitType(int entry) {
    // Picking the model already chosen is no change: no question, no renamed bank.
    if (entry == selectorEntryOf(app_.document().unitType())) return;
    const auto answer = app_.prompts().ask(
        QMessageBox::Question, QStringLiteral("Switch Unit Type?\n\nLimter settings may need to be changed."),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (answer == QMessageBox::Ok) {
        DocumentHost& host = app_.host();
        if (!host.pathName().isEmpty()) host.setPathName(unitTypeChangedPath(host.pathName()));
        if (entry == 0 || entry == 1)
            app_.document().switchUnitType(entry == 0 ? kUnitKV420 : kUnitKV520);  // one undoable step
        else
            host.setModified(true);
    }
    showUnitType();  // after Cancel the selector returns to the old entry
}

void CMainFrame::switchPane() {
    // Two panes: the next and the previous pane are the same one.
    if (tree_->hasFocus())
        view_->setFocus(Qt::ShortcutFocusReason);
    else
        tree_->setFocus(Qt::ShortcutFocusReason);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == unitType_ && event->type() == QEvent::Wheel) return true;
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!app_.host().saveModified()) {
        event->ignore();
        return;
    }
    app_.settings().splitPos = splitPosition();
    event->accept();
}

}  // namespace kv
