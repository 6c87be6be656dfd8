#include "ui/exchange/MappingTable.h"

#include <QHeaderView>
#include <algorithm>
#include <array>

#include "exchange/EqTokens.h"

namespace kv {

namespace {

constexpr std::size_t kShownLineBytes = 80;

enum class Tone { Plain, Quiet, Refused, Error };

struct ShownRow {
    int line = 0;
    QString requested;
    QString set;
    QString note;
    Tone tone = Tone::Plain;
};

QString textOf(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

ShownRow rowOfFilter(const ImportRow& row) {
    ShownRow shown{row.line, textOf(row.requested), textOf(row.set), textOf(row.note), Tone::Plain};
    switch (row.status) {
        case RowStatus::Refused:
            shown.note = QStringLiteral("refused: ") + shown.note;
            shown.tone = Tone::Refused;
            break;
        case RowStatus::NotKept: shown.tone = Tone::Quiet; break;
        case RowStatus::Set:
        case RowStatus::Preamp: break;
    }
    return shown;
}

// What the line says, when it is text that can be shown.
QString lineText(int line, const std::vector<std::string>& lines) {
    if (line < 1 || static_cast<std::size_t>(line) > lines.size()) return {};
    const std::string& text = lines[static_cast<std::size_t>(line - 1)];
    if (!isPlainText(text)) return {};
    return textOf(shortened(text, kShownLineBytes)).trimmed();
}

ShownRow rowOfMessage(const EqMessage& message, const std::vector<std::string>& lines) {
    const bool error = message.kind == EqMessageKind::Error;
    return {message.line, lineText(message.line, lines), QString(),
            (error ? QStringLiteral("cannot be read: ") : QString()) + textOf(message.text),
            error ? Tone::Error : Tone::Quiet};
}

QBrush brushOf(Tone tone) {
    switch (tone) {
        case Tone::Quiet: return QBrush(QColor(110, 110, 110));
        case Tone::Refused: return QBrush(QColor(150, 60, 0));
        case Tone::Error: return QBrush(QColor(200, 0, 0));
        case Tone::Plain: break;
    }
    return {};
}

}  // namespace

MappingTable::MappingTable(QWidget* parent) : QTableWidget(0, ColumnCount, parent) {
    setObjectName(QStringLiteral("mappingTable"));
    setHorizontalHeaderLabels(
        {QStringLiteral("Line"), QStringLiteral("Requested"), QStringLiteral("Set"), QStringLiteral("Note")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(LineColumn, QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(RequestedColumn, QHeaderView::Interactive);
    horizontalHeader()->setSectionResizeMode(SetColumn, QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
}

void MappingTable::showMapping(const ImportMapping& mapping, const EqFile& file,
                               const std::vector<std::string>& lines) {
    std::vector<ShownRow> shown;
    shown.reserve(mapping.rows.size() + file.messages.size() + 1);
    for (const ImportRow& row : mapping.rows) shown.push_back(rowOfFilter(row));
    for (const EqMessage& message : file.messages) shown.push_back(rowOfMessage(message, lines));
    // Stable: the summed Preamp row stays after the filters of its line.
    std::stable_sort(shown.begin(), shown.end(),
                     [](const ShownRow& a, const ShownRow& b) { return a.line < b.line; });
    if (file.messagesLeftOut > 0)
        shown.push_back(
            {0, QString(), QString(),
             QStringLiteral("%1 more lines with messages are not shown").arg(file.messagesLeftOut),
             Tone::Quiet});

    setRowCount(static_cast<int>(shown.size()));
    for (int r = 0; r < rowCount(); ++r) {
        const ShownRow& row = shown[static_cast<std::size_t>(r)];
        const std::array<QString, ColumnCount> texts{row.line > 0 ? QString::number(row.line) : QString(),
                                                     row.requested, row.set, row.note};
        for (int c = 0; c < ColumnCount; ++c) {
            const QString& text = texts[static_cast<std::size_t>(c)];
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            if (row.tone != Tone::Plain) item->setForeground(brushOf(row.tone));
            if (c == LineColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, item);
        }
    }
    resizeColumnToContents(RequestedColumn);
    resizeColumnToContents(SetColumn);
}

int MappingTable::rowOfLine(int line) const {
    const QString wanted = QString::number(line);
    for (int r = 0; r < rowCount(); ++r)
        if (item(r, LineColumn)->text() == wanted) return r;
    return -1;
}

}  // namespace kv
