#pragma once
// Outcome of reading or writing a file: the error text names the file and the problem
// and is shown to the user as it is (message box in the GUI, standard error in the CLI).

#include <string>

namespace kv {

struct FileResult {
    bool ok = false;
    std::string error;
    // Set when a failed load has reset the document as for New (its content could not
    // be kept); the host then gives it the default title instead of the old path.
    bool documentReset = false;
};

}  // namespace kv
