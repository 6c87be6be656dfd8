#pragma once
// The mapping report of import-eq as text: one row per filter (line, requested, set,
// note), the worst difference from the requested response, and the lines of the file that
// were ignored or could not be read.

#include <iosfwd>
#include <string>

#include "exchange/EqFile.h"
#include "exchange/FilterImport.h"

namespace kv {

// The table and the figure, then the ignored lines; nothing when the mapping has no rows.
void writeImportReport(std::ostream& out, const ImportMapping& mapping, const EqFile& file);

// The lines that could not be read, as "PATH:LINE: problem", one per line.
void writeEqFileErrors(std::ostream& err, const EqFile& file, const std::string& path);

}  // namespace kv
