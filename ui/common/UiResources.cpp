#include "ui/common/UiResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterResourcesOnce() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace mofeng::ui {

void InitUiResources() {
    RegisterResourcesOnce();
}

}  // namespace mofeng::ui
