#include "ui/exchange/FilterExchange.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

#include "document/file/AtomicFile.h"
#include "exchange/EqFile.h"
#include "ui/exchange/FilterExportDialog.h"
#include "ui/exchange/FilterImportDialog.h"

namespace kv {

namespace {

Prompts orInteractive(Prompts prompts, QWidget* parent) {
    if (prompts.message && prompts.openFile && prompts.saveFile) return prompts;
    const QPointer<QWidget> owner(parent);
    return Prompts::interactive([owner]() -> QWidget* { return owner; });
}

}  // namespace

bool importFilters(CKorvaliserDoc& document, int output, const Prompts& prompts, QWidget* parent) {
    if (!prompts.openFile) return false;
    const QString path = prompts.openFile(QStringLiteral("Import Filters"), QString(),
                                          QStringLiteral("Filter Text Files (*.txt);;All Files (*)"));
    if (path.isEmpty()) return false;
    std::vector<std::uint8_t> bytes;
    // One byte more than a filter file may hold, so the reader can tell the file is too large.
    if (const FileResult result =
            readFilePrefix(QFile::encodeName(path).toStdString(), kMaxEqFileBytes + 1, bytes);
        !result.ok) {
        prompts.tell(QMessageBox::Warning, QString::fromStdString(result.error));
        return false;
    }
    FilterImportDialog dialog(document, std::string(bytes.begin(), bytes.end()), QFileInfo(path).fileName(),
                              output, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool exportFilters(const CKorvaliserDoc& document, int output, const Prompts& prompts, QWidget* parent) {
    FilterExportDialog dialog(document, output, prompts, parent);
    return dialog.exec() == QDialog::Accepted;
}

void addFilterExchangeItems(QMenu& menu, CKorvaliserDoc& document, int output, QWidget* parent,
                            Prompts prompts) {
    const Prompts used = orInteractive(std::move(prompts), parent);
    const QPointer<QWidget> owner(parent);
    QAction* importItem = menu.addAction(QStringLiteral("Import Filters..."));
    importItem->setObjectName(QStringLiteral("importFilters"));
    QObject::connect(importItem, &QAction::triggered, importItem,
                     [&document, output, used, owner] { importFilters(document, output, used, owner); });
    QAction* exportItem = menu.addAction(QStringLiteral("Export Filters..."));
    exportItem->setObjectName(QStringLiteral("exportFilters"));
    QObject::connect(exportItem, &QAction::triggered, exportItem,
                     [&document, output, used, owner] { exportFilters(document, output, used, owner); });
}

}  // namespace kv
