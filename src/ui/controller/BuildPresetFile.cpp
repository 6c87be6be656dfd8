#include "ui/controller/BuildPresetFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/KorvaliserDoc.h"
#include "link/PresetBuildFile.h"
#include "ui/Prompts.h"
#include "ui/controller/PresetSelectionList.h"

namespace kv {

CBuildPresetFile::CBuildPresetFile(CKorvaliserDoc& document, const Prompts& prompts, QWidget* parent)
    : QDialog(parent), document_(document), prompts_(prompts) {
    setObjectName(QStringLiteral("buildPresetFileDialog"));
    setWindowTitle(QStringLiteral("Select Presets for Build File"));
    list_ = new PresetSelectionList(document_, this);
    list_->setObjectName(QStringLiteral("buildList"));
    auto* selectAllButton = new QPushButton(QStringLiteral("Select All"), this);
    selectAllButton->setObjectName(QStringLiteral("selectAllButton"));
    auto* clearAllButton = new QPushButton(QStringLiteral("Clear All"), this);
    clearAllButton->setObjectName(QStringLiteral("clearAllButton"));
    build_ = new QPushButton(QStringLiteral("Build Preset File"), this);
    build_->setObjectName(QStringLiteral("buildButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(selectAllButton);
    buttons->addWidget(clearAllButton);
    buttons->addStretch(1);
    buttons->addWidget(build_);
    buttons->addWidget(cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(selectAllButton, &QPushButton::clicked, this, &CBuildPresetFile::selectAll);
    connect(clearAllButton, &QPushButton::clicked, this, &CBuildPresetFile::clearAll);
    connect(build_, &QPushButton::clicked, this, [this] {
        if (build()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &PresetSelectionList::selectionChanged, this, [this] { updateBuildButton(); });
    updateBuildButton();
}

PresetMask CBuildPresetFile::selection() const { return list_->selection(); }

void CBuildPresetFile::setTicked(int position, bool ticked) { list_->setTicked(position, ticked); }

void CBuildPresetFile::selectAll() {
    list_->selectAll();
    updateBuildButton();
}

void CBuildPresetFile::clearAll() {
    list_->clearAll();
    updateBuildButton();
}

void CBuildPresetFile::updateBuildButton() { build_->setEnabled(selection() != 0); }

bool CBuildPresetFile::build() {
    const PresetMask mask = selection();
    if (mask == 0 || !prompts_.saveFile) return false;
    const QString proposed =
        writtenPath_.isEmpty()
            ? QString::fromLatin1(kBuildFileDefaultName)
            : QFileInfo(writtenPath_).dir().filePath(QString::fromLatin1(kBuildFileDefaultName));
    QString path =
        prompts_.saveFile(QStringLiteral("Save Preset File"), proposed, QStringLiteral("Binaries (*.bin)"));
    if (path.isEmpty()) return false;  // cancelled: the selection stays open
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".bin");
    const FileResult result = writePresetBuildFile(document_, mask, QFile::encodeName(path).toStdString());
    if (!result.ok) {
        prompts_.tell(QMessageBox::Warning, QString::fromStdString(result.error));
        return false;
    }
    writtenPath_ = path;
    return true;
}

}  // namespace kv
