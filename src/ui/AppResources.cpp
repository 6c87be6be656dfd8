#include "ui/AppResources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initialiseAppResources() { Q_INIT_RESOURCE(app); }

namespace kv {

void ensureAppResources() {
    static const bool done = [] {
        initialiseAppResources();
        return true;
    }();
    (void)done;
}

}  // namespace kv
