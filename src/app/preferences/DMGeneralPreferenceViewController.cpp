#include "app/preferences/DMGeneralPreferenceViewController.h"

#include <QApplication>
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
                       parent) {
    finishLayout();
}

}  // namespace harbormind
