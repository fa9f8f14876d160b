#include "app/AppResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace.
static void initAppQrc() {
    Q_INIT_RESOURCE(app);
}

namespace cibrano {

void loadAppResources() {
    static const bool loaded = (initAppQrc(), true);
    (void)loaded;
}

} // namespace cibrano
