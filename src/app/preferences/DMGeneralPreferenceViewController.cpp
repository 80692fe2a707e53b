#include "app/preferences/DMGeneralPreferenceViewController.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QStyle>

#include "app/common/DMTr.h"
#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"

namespace harbormind {

DMGeneralPreferenceViewController::DMGeneralPreferenceViewController(DMConfigurationManager& config, QWidget* parent)
    : DMPreferencePane(config, DMPreferenceTexts::generalIdentifier, DMTr::text(DMPreferenceTexts::general),
                       QIcon::fromTheme(QStringLiteral("preferences-system"),
                                        QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)),
                       {
                           {DMTr::text(DMPreferenceTexts::launchAtLogin), &DMConfigurationManager::launchAtLogin,
                            &DMConfigurationManager::setLaunchAtLogin},
                           {DMTr::text(DMPreferenceTexts::showDockIcon), &DMConfigurationManager::dockIcon,
                            &DMConfigurationManager::setDockIcon},
                           {DMTr::text(DMPreferenceTexts::showMenuBarIcon), &DMConfigurationManager::statusBarIcon,
                            &DMConfigurationManager::setStatusBarIcon},
                           {DMTr::text(DMPreferenceTexts::openEncryptedDrives),
                            &DMConfigurationManager::automaticallyOpenDrivesAfterUnlocking,
                            &DMConfigurationManager::setAutomaticallyOpenDrivesAfterUnlocking},
                           {DMTr::text(DMPreferenceTexts::openNetworkDrives),
                            &DMConfigurationManager::automaticallyOpenDrivesAfterConnecting,
                            &DMConfigurationManager::setAutomaticallyOpenDrivesAfterConnecting},
                       },
                       parent),
      appearanceChoice_(new QComboBox(this)) {
    const std::pair<const char*, DMAppearance> looks[] = {{DMPreferenceTexts::appearanceLight, DMAppearance::light},
                                                          {DMPreferenceTexts::appearanceDark, DMAppearance::dark},
                                                          {DMPreferenceTexts::appearanceSystem, DMAppearance::system}};
    for (const auto& [text, appearance] : looks) {
        appearanceChoice_->addItem(DMTr::qtext(text), static_cast<int>(appearance));
    }
    auto* label = new QLabel(DMTr::qtext(DMPreferenceTexts::appearance), this);
    label->setBuddy(appearanceChoice_);
    addRow({label, appearanceChoice_});
    QObject::connect(appearanceChoice_, &QComboBox::activated, this, [this](int index) {
        this->config().setAppearance(static_cast<DMAppearance>(appearanceChoice_->itemData(index).toInt()));
    });
    reloadSettings();
    finishLayout();
}

void DMGeneralPreferenceViewController::reloadSettings() {
    DMPreferencePane::reloadSettings();
    appearanceChoice_->setCurrentIndex(appearanceChoice_->findData(static_cast<int>(config().appearance())));
}

}  // namespace harbormind
