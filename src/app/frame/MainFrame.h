#pragma once
// The main window: tool bar with the unit type selector, menus, a status bar with the
// message pane and the three lock indicators, and a splitter with the preset tree on the
// left and the settings report on the right.

#include <QMainWindow>
#include <array>

#include "app/frame/FrameActions.h"

class QComboBox;
class QLabel;
class QSplitter;

namespace kv {

class CKorvaliserApp;
class CKorvaliserView;
class CPearTree;

inline constexpr int kUnitTypeEntries = 2;

// The path a bank gets when its unit type changes (the document's rule, for Qt paths).
QString unitTypeChangedPath(const QString& path);

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CKorvaliserApp& app);
    ~CMainFrame() override;

    CPearTree& tree() const { return *tree_; }
    CKorvaliserView& view() const { return *view_; }
    QComboBox& unitTypeSelector() const { return *unitType_; }
    QSplitter& splitter() const { return *splitter_; }
    const FrameActions& actions() const { return actions_; }

    // Width of the preset tree pane ("Split Pos").
    void applySplitPosition(int width);
    int splitPosition() const;

    // Selects the entry of the document's unit type (none for an unknown type).
    void showUnitType();
    // The user picked entry `entry` of the selector.
    void changeUnitType(int entry);

    void updateRemoteChecks();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createPanes();
    void createStatusBar();
    void connectActions();
    void connectDocument();
    void updateTitle();
    void updateRecentFiles();
    void switchPane();  // F6 and Shift+F6
    void afterHistoryStep();
    void updateHistoryActions();
    void showKeyboardLocks();

    CKorvaliserApp& app_;
    QComboBox* unitType_ = nullptr;
    QSplitter* splitter_ = nullptr;
    CPearTree* tree_ = nullptr;
    CKorvaliserView* view_ = nullptr;
    FrameActions actions_;
    std::array<QLabel*, 3> lockPanes_{};  // CAP, NUM, SCRL
};

}  // namespace kv
