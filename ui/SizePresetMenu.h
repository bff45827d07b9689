// The menu of the size field: the part sizes named after a medium
// (core/SizePresets.h). A preset too large for the set being made is shown
// but cannot be chosen, and says that plain sets take it.
#pragma once

#include <QMenu>
#include <cstdint>
#include <functional>

// A menu named "mnuPresets", one action "preset_<name>" per preset, fitted to
// native sets; `chosen` receives the preset's bytes and name.
QMenu* MakeSizePresetMenu(QWidget* parent,
                          std::function<void(int64_t bytes, const QString& name)> chosen);
// Lets the menu's presets of `largestPart` bytes at most be chosen.
void FitSizePresets(QMenu* menu, int64_t largestPart);
