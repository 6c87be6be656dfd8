#pragma once
// The import preview's table: one row per filter of the chosen channel (requested / set /
// note) and one per line the file ignored or could not read, in the file's line order, so
// nothing the file holds is left out of sight. Refused and unreadable lines stand out.

#include <QTableWidget>
#include <string>
#include <vector>

#include "exchange/FilterImport.h"

namespace kv {

class MappingTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column { LineColumn, RequestedColumn, SetColumn, NoteColumn, ColumnCount };

    explicit MappingTable(QWidget* parent = nullptr);

    // lines: the file's lines, so a message row can show what the line says.
    void showMapping(const ImportMapping& mapping, const EqFile& file, const std::vector<std::string>& lines);

    // The row of a file line (the first one), or -1.
    int rowOfLine(int line) const;
};

}  // namespace kv
