#pragma once

namespace mofeng::ui {

// Registers the pictures of ui/resources (":/home.jpg", ":/index_banner.gif",
// ":/mining_banner.jpg", ":/icon.png"); they live in a static library, so
// nothing registers them by itself. Any number of calls; UI thread.
void InitUiResources();

}  // namespace mofeng::ui
