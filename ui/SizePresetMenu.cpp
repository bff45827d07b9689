#include "ui/SizePresetMenu.h"

#include "core/SizePresets.h"
#include "core/SplitSize.h"
#include "ui/UiTexts.h"

using texts::TextId;

namespace {

QString NameOf(const SizePreset& preset) {
    return QString::fromUtf8(preset.name.data(), static_cast<qsizetype>(preset.name.size()));
}

}  // namespace

QMenu* MakeSizePresetMenu(QWidget* parent,
                          std::function<void(int64_t bytes, const QString& name)> chosen) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("mnuPresets");
    for (const SizePreset& preset : SizePresets()) {
        const QString name = NameOf(preset);
        QAction* action = menu->addAction(name);
        action->setObjectName("preset_" + name);
        QObject::connect(action, &QAction::triggered, menu,
                         [chosen, name, bytes = preset.bytes] { chosen(bytes, name); });
    }
    FitSizePresets(menu, kLargestPart);
    return menu;
}

void FitSizePresets(QMenu* menu, int64_t largestPart) {
    for (const SizePreset& preset : SizePresets()) {
        auto* action = menu->findChild<QAction*>("preset_" + NameOf(preset));
        if (action == nullptr) continue;
        const bool fits = preset.bytes <= largestPart;
        action->setText(UiText(fits ? TextId::PresetEntry : TextId::PresetNeedsPlainEntry,
                               {std::string(preset.name), std::to_string(preset.bytes)}));
        action->setEnabled(fits);
    }
}
