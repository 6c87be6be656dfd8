#include "ui/exchange/FilterImportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "document/KorvaliserDoc.h"
#include "exchange/EqFileParser.h"
#include "exchange/EqTokens.h"
#include "exchange/ImportPlan.h"
#include "ui/exchange/ImportPreviewGraph.h"
#include "ui/exchange/MappingTable.h"

namespace kv {

namespace {

QString textOf(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string_view line : splitEqLines(text)) lines.emplace_back(line);
    return lines;
}

// A refusal of the core as a sentence.
QString sentenceOf(const std::string& refusal) {
    QString text = textOf(refusal);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text + u'.';
}

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

}  // namespace

FilterImportDialog::FilterImportDialog(CKorvaliserDoc& document, const std::string& text, const QString& name,
                                       int output, QWidget* parent)
    : QDialog(parent), document_(document), file_(parseEqFile(text)), lines_(linesOf(text)) {
    setObjectName(QStringLiteral("filterImportDialog"));
    setWindowTitle(QStringLiteral("Import Filters"));
    table_ = new MappingTable(this);
    graph_ = new ImportPreviewGraph(this);
    worst_ = namedLabel(QString(), "worstLabel", this);
    refusal_ = namedLabel(QString(), "refusalLabel", this);
    refusal_->setWordWrap(true);
    refusal_->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterImportDialog::applyAndClose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fileLabel = namedLabel(QStringLiteral("File: ") + name, "fileLabel", this);
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* lower = new QHBoxLayout;
    lower->addWidget(buildKeepChoice(), 2);
    lower->addWidget(graph_, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel);
    layout->addWidget(buildChoices());
    layout->addWidget(table_, 3);
    layout->addLayout(lower, 2);
    layout->addWidget(worst_);
    layout->addWidget(refusal_);
    layout->addWidget(buttons);

    output_->setCurrentIndex(std::clamp(output, 0, output_->count() - 1));
    connectChoices();
    choicesChanged();
    resize(900, 640);
}

QWidget* FilterImportDialog::buildChoices() {
    auto* box = new QWidget(this);
    output_ = new QComboBox(box);
    output_->setObjectName(QStringLiteral("outputChoice"));
    for (int o = 0; o < document_.outputCount(); ++o)
        output_->addItem(QStringLiteral("Output %1").arg(o + 1));
    channelLabel_ = namedLabel(QStringLiteral("Channel:"), "channelLabel", box);
    channel_ = new QComboBox(box);
    channel_->setObjectName(QStringLiteral("channelChoice"));
    for (const std::string& channel : file_.channels) channel_->addItem(textOf(channel));
    channelLabel_->setVisible(!file_.channels.empty());
    channel_->setVisible(!file_.channels.empty());

    freeBands_ = new QRadioButton(QStringLiteral("Fill the free bands"), box);
    freeBands_->setObjectName(QStringLiteral("freeBandsChoice"));
    freeBands_->setChecked(true);
    replace_ = new QRadioButton(QStringLiteral("Replace the bands from band"), box);
    replace_->setObjectName(QStringLiteral("replaceChoice"));
    firstBand_ = new QSpinBox(box);
    firstBand_->setObjectName(QStringLiteral("firstBandChoice"));
    firstBand_->setRange(1, document_.activeBandCount());
    firstBand_->setEnabled(false);

    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Into:"), box), 0, 0);
    grid->addWidget(output_, 0, 1);
    grid->addWidget(channelLabel_, 0, 2);
    grid->addWidget(channel_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Bands:"), box), 1, 0);
    grid->addWidget(freeBands_, 1, 1);
    auto* replaceRow = new QHBoxLayout;
    replaceRow->addWidget(replace_);
    replaceRow->addWidget(firstBand_);
    replaceRow->addStretch(1);
    grid->addLayout(replaceRow, 1, 2, 1, 3);
    grid->setColumnStretch(4, 1);
    return box;
}

QWidget* FilterImportDialog::buildKeepChoice() {
    auto* box = new QWidget(this);
    keepLabel_ =
        namedLabel(QStringLiteral("More filters than bands: tick the ones to keep (largest effect first)"),
                   "keepLabel", box);
    keepLabel_->setWordWrap(true);
    keepList_ = new QListWidget(box);
    keepList_->setObjectName(QStringLiteral("keepList"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(keepLabel_);
    layout->addWidget(keepList_, 1);
    return box;
}

void FilterImportDialog::connectChoices() {
    connect(output_, &QComboBox::currentIndexChanged, this, &FilterImportDialog::choicesChanged);
    connect(channel_, &QComboBox::currentIndexChanged, this, &FilterImportDialog::choicesChanged);
    connect(replace_, &QRadioButton::toggled, this, [this](bool replacing) {
        firstBand_->setEnabled(replacing);
        choicesChanged();
    });
    connect(firstBand_, &QSpinBox::valueChanged, this, &FilterImportDialog::choicesChanged);
    connect(keepList_, &QListWidget::itemChanged, this, &FilterImportDialog::recompute);
}

ImportRequest FilterImportDialog::baseRequest() const {
    ImportRequest request;
    request.output = output_->currentIndex();
    if (!file_.channels.empty()) request.channel = channel_->currentText().toStdString();
    if (replace_->isChecked()) {
        request.placement = BandPlacement::ReplaceFrom;
        request.firstBand = firstBand_->value() - 1;
    }
    return request;
}

void FilterImportDialog::choicesChanged() {
    offerFiltersToKeep();
    recompute();
}

// With more filters than bands, every filter that needs a band is listed by its peak
// effect, the largest ones that fit ticked; otherwise the list is not shown.
void FilterImportDialog::offerFiltersToKeep() {
    ImportRequest largest = baseRequest();
    largest.keep = KeepChoice::Largest;
    const ImportMapping probe = mapEqFile(file_, document_, largest);
    std::vector<const ImportRow*> candidates;
    for (const ImportRow& row : probe.rows)
        if (row.needsBand) candidates.push_back(&row);
    std::stable_sort(candidates.begin(), candidates.end(), [](const ImportRow* a, const ImportRow* b) {
        return a->peakEffectDb > b->peakEffectDb;
    });

    const QSignalBlocker quiet(keepList_);
    keepList_->clear();
    const bool choose = probe.canApply() && candidates.size() > probe.bands.size();
    keepLabel_->setVisible(choose);
    keepList_->setVisible(choose);
    if (!choose) return;
    for (const ImportRow* row : candidates) {
        auto* item = new QListWidgetItem(QStringLiteral("%1 dB   %2   (line %3)")
                                             .arg(row->peakEffectDb, 4, 'f', 1)
                                             .arg(textOf(row->requested))
                                             .arg(row->line),
                                         keepList_);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(row->status == RowStatus::Set ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, row->filter);
    }
}

std::vector<std::size_t> FilterImportDialog::keptFilters() const {
    std::vector<std::size_t> kept;
    for (int i = 0; i < keepList_->count(); ++i) {
        const QListWidgetItem* item = keepList_->item(i);
        if (item->checkState() == Qt::Checked)
            kept.push_back(static_cast<std::size_t>(item->data(Qt::UserRole).toInt()));
    }
    return kept;
}

void FilterImportDialog::recompute() {
    request_ = baseRequest();
    if (keepList_->count() > 0) {
        request_.keep = KeepChoice::Chosen;
        request_.chosen = keptFilters();
    }
    mapping_ = mapEqFile(file_, document_, request_);
    showMapping();
}

void FilterImportDialog::showMapping() {
    table_->showMapping(mapping_, file_, lines_);
    graph_->setCurves(mapping_.requested, mapping_.set);
    const bool anyFilter = !mapping_.rows.empty();
    QString worst = QStringLiteral("Worst difference from the requested response, 20 Hz to 20 kHz: %1 dB")
                        .arg(mapping_.worstDifferenceDb, 0, 'f', 2);
    if (mapping_.unmodelled > 0)
        worst +=
            QStringLiteral(" (%1 refused %2 not in this figure)")
                .arg(mapping_.unmodelled)
                .arg(mapping_.unmodelled == 1 ? QStringLiteral("filter is") : QStringLiteral("filters are"));
    worst_->setText(worst);
    worst_->setVisible(anyFilter);
    refusal_->setText(mapping_.canApply() ? QString() : sentenceOf(mapping_.refusal));
    refusal_->setVisible(!mapping_.canApply());
    ok_->setEnabled(mapping_.canApply());
}

void FilterImportDialog::applyAndClose() {
    if (!mapping_.canApply()) return;
    applyImportPlan(document_, mapping_.plan);
    accept();
}

}  // namespace kv
