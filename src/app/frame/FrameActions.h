#pragma once
// The main window's commands: its menus, accelerators and tool bar, built apart from the
// window class. The window connects the actions; of the Edit commands only Undo and Redo
// ever work.

#include <array>

class QAction;
class QComboBox;
class QMainWindow;
class QMenu;
class QToolBar;

namespace kv {

inline constexpr int kRecentMenuEntries = 4;

struct FrameActions {
    QAction* fileNew = nullptr;
    QAction* fileOpen = nullptr;
    QAction* fileSave = nullptr;
    QAction* fileSaveAs = nullptr;
    QAction* print = nullptr;
    QAction* printPreview = nullptr;
    QAction* printSetup = nullptr;
    QAction* exportPdf = nullptr;
    QAction* importFilters = nullptr;
    QAction* exportFilters = nullptr;
    QAction* exit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* viewToolBar = nullptr;
    QAction* viewStatusBar = nullptr;
    QAction* viewReportDsp = nullptr;  // checkable: the report graph adds the DSP totals
    QAction* about = nullptr;
    QAction* noConnection = nullptr;
    QAction* rs232 = nullptr;
    QAction* buildPresetFile = nullptr;
    QAction* presetController = nullptr;
    std::array<QAction*, kRecentMenuEntries> recentFiles{};
    QAction* recentSeparator = nullptr;
    QMenu* fileMenu = nullptr;
    QMenu* remoteMenu = nullptr;
    QToolBar* toolBar = nullptr;
};

// Creates every action, the menu bar and the tool bar with the unit type selector in
// its last place.
FrameActions buildFrameActions(QMainWindow& window, QComboBox& unitTypeSelector);

}  // namespace kv
