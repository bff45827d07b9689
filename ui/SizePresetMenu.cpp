#include "ui/SizePresetMenu.h"

#include "core/SizePresets.h"
#include "core/SplitSize.h"
#include "ui/UiTexts.h"

using texts::TextId;

QMenu* MakeSizePresetMenu(QWidget* parent,
                          std::function<void(int64_t bytes, const QString& name)> chosen) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("mnuPresets");
    for (const SizePreset& preset : SizePresets()) {
        const QString name =
            QString::fromUtf8(preset.name.data(), static_cast<qsizetype>(preset.name.size()));
        const std::string bytes = std::to_string(preset.bytes);
        const bool fits = preset.bytes <= kLargestPart;
        QAction* action =
            menu->addAction(UiText(fits ? TextId::PresetEntry : TextId::PresetNeedsPlainEntry,
                                   {std::string(preset.name), bytes}));
        action->setObjectName("preset_" + name);
        action->setEnabled(fits);
        QObject::connect(action, &QAction::triggered, menu,
                         [chosen, name, bytes = preset.bytes] { chosen(bytes, name); });
    }
    return menu;
}
