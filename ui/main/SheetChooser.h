#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include <QStringList>

#include "app/KeywordImport.h"

class QWidget;

namespace mofeng::ui {

class UiThreadBridge;

// Asks the seller which of the named sheets to import (the dialog
// "选择工作表", the first name selected): its position in names, nullopt when
// cancelled. UI thread.
std::optional<int> AskForSheet(QWidget* parent, const QStringList& names);

// A chooser for app::SheetChoice that asks on the bridge's target (a widget)
// and waits; nothing is imported once the bridge is detached.
app::SheetChoice SheetChoiceAskingOn(std::shared_ptr<UiThreadBridge> bridge);

}  // namespace mofeng::ui
