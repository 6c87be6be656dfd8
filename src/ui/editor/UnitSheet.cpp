#include "ui/editor/UnitSheet.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "document/KorvaliserDoc.h"
#include "link/OnlineSender.h"
#include "link/UnitLink.h"
#include "ui/page/OutputPage.h"
#include "ui/page/PageButton.h"

namespace kv {

CUnitSheet::CUnitSheet(EditorContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("unitSheet"));
    setWindowTitle(captionFor(context.document));
    setWindowIcon(QIcon(QStringLiteral(":/page/editor.svg")));
    setModal(true);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    for (int o = 0; o < kPageCount; ++o) {
        auto* page = new COutputPage(context, images_, o);
        pages_[static_cast<std::size_t>(o)] = page;
        tabs_->addTab(page, page->title());
    }

    onLine_ = new PageButton(PageButton::Style::OnLine, this);
    onLine_->setObjectName(QStringLiteral("onLineButton"));
    onLine_->setText(QStringLiteral("On Line"));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->hide();  // every edit is already in the document: there is nothing to cancel
    const QSize buttonSize(96, 28);
    onLine_->setFixedSize(buttonSize);
    ok_->setFixedSize(buttonSize);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(onLine_);
    buttons->addSpacing(buttonSize.width());
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(onLine_, &QAbstractButton::clicked, this, &CUnitSheet::goOnLine);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(tabs_, &QTabWidget::currentChanged, this, &CUnitSheet::pageChanged);
    addHistoryShortcuts();
    // A unit that stops answering takes the link offline: the button says so at once.
    context_.link.setDroppedHandler([this] { refreshOnLineButton(); });
    refreshOnLineButton();
}

void CUnitSheet::addHistoryShortcuts() {
    // The main window's Undo and Redo cannot be reached while the sheet is open: the same
    // keys work here. A text field being typed in keeps them for its own text.
    CKorvaliserDoc& doc = context_.document;
    for (const char* key : {"Ctrl+Z", "Alt+Backspace"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key)), this);
        connect(shortcut, &QShortcut::activated, this, [&doc] { doc.undo(); });
    }
    for (const char* key : {"Ctrl+Y", "Ctrl+Shift+Z"}) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key)), this);
        connect(shortcut, &QShortcut::activated, this, [&doc] { doc.redo(); });
    }
}

CUnitSheet::~CUnitSheet() {
    context_.link.setDroppedHandler({});
    // Closing by any road ends the online period.
    context_.link.setOffline();
}

QString CUnitSheet::captionFor(const CKorvaliserDoc& document) {
    const std::u16string name = document.presetNameText(-1);
    return QStringLiteral("Settings for Preset %1 : %2")
        .arg(document.positionOfCurrentPreset() + 1)
        .arg(QString::fromStdU16String(name));
}

COutputPage* CUnitSheet::currentPage() const { return qobject_cast<COutputPage*>(tabs_->currentWidget()); }

void CUnitSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activePage_ < 0) pageChanged(tabs_->currentIndex());
    refreshOnLineButton();
}

void CUnitSheet::pageChanged(int index) {
    if (activePage_ >= 0 && activePage_ < kPageCount)
        pages_[static_cast<std::size_t>(activePage_)]->deactivate();
    activePage_ = index;
    if (index >= 0 && index < kPageCount) pages_[static_cast<std::size_t>(index)]->activate();
}

void CUnitSheet::goOnLine() {
    if (!context_.link.online()) {
        context_.sender.goOnline();
        refreshOnLineButton();
        if (!context_.link.online()) return;
    }
    context_.sender.sendAllParameters();
    refreshOnLineButton();
}

void CUnitSheet::refreshOnLineButton() { onLine_->setLit(context_.link.online()); }

void CUnitSheet::done(int result) {
    // A text still being typed commits when it loses the focus: let that happen while the
    // link is still online, so the unit gets the value the document keeps.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    if (closeGuard_ && !closeGuard_()) return;  // the user keeps the sheet open
    if (activePage_ >= 0 && activePage_ < kPageCount)
        pages_[static_cast<std::size_t>(activePage_)]->deactivate();
    activePage_ = -1;
    context_.link.setOffline();
    refreshOnLineButton();
    QDialog::done(result);
}

}  // namespace kv
