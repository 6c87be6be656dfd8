#include "ui/exchange/FilterExportDialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "document/file/AtomicFile.h"
#include "ui/Prompts.h"

namespace kv {

namespace {

QString presetName(const CKorvaliserDoc& document) {
    return QString::fromStdU16String(document.presetNameText(-1)).trimmed();
}

}  // namespace

FilterExportDialog::FilterExportDialog(const CKorvaliserDoc& document, int output, const Prompts& prompts,
                                       QWidget* parent)
    : QDialog(parent),
      document_(document),
      prompts_(prompts),
      // REW's own form of the date: 14-Mar-2024 10:15:32, in English whatever the locale.
      dated_(QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("dd-MMM-yyyy HH:mm:ss"))) {
    setObjectName(QStringLiteral("filterExportDialog"));
    setWindowTitle(QStringLiteral("Export Filters"));
    output_ = new QComboBox(this);
    output_->setObjectName(QStringLiteral("outputChoice"));
    for (int o = 0; o < document_.outputCount(); ++o)
        output_->addItem(QStringLiteral("Output %1").arg(o + 1));
    output_->setCurrentIndex(std::clamp(output, 0, output_->count() - 1));
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("formatChoice"));
    format_->addItem(QStringLiteral("Equalizer APO / AutoEq"), static_cast<int>(EqFormat::Apo));
    format_->addItem(QStringLiteral("REW filter settings"), static_cast<int>(EqFormat::Rew));
    preview_ = new QPlainTextEdit(this);
    preview_->setObjectName(QStringLiteral("exportPreview"));
    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    leftOut_ = new QLabel(this);
    leftOut_->setObjectName(QStringLiteral("leftOutLabel"));
    leftOut_->setWordWrap(true);
    leftOut_->setStyleSheet(QStringLiteral("color: rgb(150, 60, 0);"));

    auto* buttons = new QDialogButtonBox(this);
    auto* saveButton = buttons->addButton(QStringLiteral("Save..."), QDialogButtonBox::AcceptRole);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (save()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("From:"), output_);
    form->addRow(QStringLiteral("Format:"), format_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(preview_, 1);
    layout->addWidget(leftOut_);
    layout->addWidget(buttons);

    connect(output_, &QComboBox::currentIndexChanged, this, &FilterExportDialog::refresh);
    connect(format_, &QComboBox::currentIndexChanged, this, &FilterExportDialog::refresh);
    refresh();
    resize(560, 420);
}

int FilterExportDialog::output() const { return output_->currentIndex(); }

EqFormat FilterExportDialog::format() const { return static_cast<EqFormat>(format_->currentData().toInt()); }

void FilterExportDialog::refresh() {
    const QString title = QStringLiteral("Korvaliser preset %1 \"%2\", Output %3")
                              .arg(document_.positionOfCurrentPreset() + 1)
                              .arg(presetName(document_))
                              .arg(output() + 1);
    const EqExportHeader header{title.toStdString(), format() == EqFormat::Rew ? dated_.toStdString() : ""};
    exported_ = writeEqFile(document_.outputChannel(output()), document_.activeBandCount(), format(), header);
    preview_->setPlainText(QString::fromStdString(exported_.text));
    QStringList leftOut;
    for (const std::string& item : exported_.leftOut) leftOut.append(QString::fromStdString(item));
    leftOut_->setText(QStringLiteral("Not in the file (the format cannot express it): ") +
                      leftOut.join(QStringLiteral("; ")));
    leftOut_->setVisible(!leftOut.isEmpty());
}

QString FilterExportDialog::proposedFileName() const {
    const QString name = presetName(document_);
    const QString preset =
        name.isEmpty() ? QStringLiteral("Preset %1").arg(document_.positionOfCurrentPreset() + 1) : name;
    // A name is no path: a slash in it would name a folder.
    return QStringLiteral("%1 Output %2.txt").arg(QString(preset).replace(u'/', u'-')).arg(output() + 1);
}

bool FilterExportDialog::save() {
    if (!prompts_.saveFile) return false;
    QString path = prompts_.saveFile(QStringLiteral("Export Filters"), proposedFileName(),
                                     QStringLiteral("Filter Text Files (*.txt);;All Files (*)"));
    if (path.isEmpty()) return false;  // cancelled: the dialog stays open
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    const std::vector<std::uint8_t> bytes(exported_.text.begin(), exported_.text.end());
    if (const FileResult result = writeFileAtomically(QFile::encodeName(path).toStdString(), bytes);
        !result.ok) {
        prompts_.tell(QMessageBox::Warning, QString::fromStdString(result.error));
        return false;
    }
    writtenPath_ = path;
    return true;
}

}  // namespace kv
