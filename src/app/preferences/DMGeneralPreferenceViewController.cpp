#include "app/preferences/DMGeneralPreferenceViewController.h"

#include <QApplication>
#include <QStyle>

#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"

namespace harbormind {

DMGeneralPreferenceViewController::DMGeneralPreferenceViewController(DMConfigurationManager& config, QWidget* parent)
    : DMPreferencePane(config, DMPreferenceTexts::generalIdentifier, DMPreferenceTexts::general,
                       QIcon::fromTheme(QStringLiteral("preferences-system"),
                                        QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)),
                       {
                           {DMPreferenceTexts::launchAtLogin, &DMConfigurationManager::launchAtLogin,
                            &DMConfigurationManager::setLaunchAtLogin},
                           {DMPreferenceTexts::showDockIcon, &DMConfigurationManager::dockIcon,
                            &DMConfigurationManager::setDockIcon},
                           {DMPreferenceTexts::showMenuBarIcon, &DMConfigurationManager::statusBarIcon,
                            &DMConfigurationManager::setStatusBarIcon},
                           {DMPreferenceTexts::openEncryptedDrives,
                            &DMConfigurationManager::automaticallyOpenDrivesAfterUnlocking,
                            &DMConfigurationManager::setAutomaticallyOpenDrivesAfterUnlocking},
                           {DMPreferenceTexts::openNetworkDrives,
                            &DMConfigurationManager::automaticallyOpenDrivesAfterConnecting,
                            &DMConfigurationManager::setAutomaticallyOpenDrivesAfterConnecting},
                       },
                       parent) {
    finishLayout();
}

}  // namespace harbormind
