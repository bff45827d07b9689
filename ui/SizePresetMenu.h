// The menu of the size field: the part sizes named after a medium
// (core/SizePresets.h). A preset too large for a native set is shown but
// cannot be chosen, and says that pcw's plain sets take it.
#pragma once

#include <QMenu>
#include <cstdint>
#include <functional>

// A menu named "mnuPresets", one action "preset_<name>" per preset; `chosen`
// receives the preset's bytes and name.
QMenu* MakeSizePresetMenu(QWidget* parent,
                          std::function<void(int64_t bytes, const QString& name)> chosen);
