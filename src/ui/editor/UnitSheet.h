#pragma once
// The modal preset editor: one output page per output, an "On Line" button that connects
// to the amplifier and sends it the whole preset, and OK. The edits are in the document
// the moment they are made, so no button commits or cancels anything; however the sheet
// closes, the link is marked offline afterwards and nothing more is sent.

#include <QDialog>
#include <array>
#include <functional>
#include <memory>

#include "ui/editor/EditorContext.h"
#include "ui/graph/GraphImages.h"

class QPushButton;
class QTabWidget;

namespace kv {

class COutputPage;
class PageButton;

class CUnitSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPageCount = 2;

    explicit CUnitSheet(EditorContext& context, QWidget* parent = nullptr);
    ~CUnitSheet() override;

    // "Settings for Preset %i : %s" for the current preset.
    static QString captionFor(const CKorvaliserDoc& document);

    COutputPage* page(int output) const { return pages_.at(static_cast<std::size_t>(output)); }
    COutputPage* currentPage() const;
    QTabWidget* tabs() const { return tabs_; }
    PageButton* onLineButton() const { return onLine_; }
    const GraphGeometry& geometry() const { return images_->geometry; }

    // What the "On Line" button does: go online if needed, then send every parameter.
    void goOnLine();
    // Asked before the sheet closes (by any road); false keeps it open. The editor
    // started on its own uses it to offer saving the file.
    void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void pageChanged(int index);
    void refreshOnLineButton();
    void addHistoryShortcuts();

    EditorContext& context_;
    // The graph and meter geometry and images both pages share.
    std::shared_ptr<GraphImages> images_ = std::make_shared<GraphImages>();
    QTabWidget* tabs_ = nullptr;
    std::array<COutputPage*, kPageCount> pages_{};
    PageButton* onLine_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int activePage_ = -1;
    std::function<bool()> closeGuard_;
};

}  // namespace kv
