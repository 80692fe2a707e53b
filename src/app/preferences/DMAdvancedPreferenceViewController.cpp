#include "app/preferences/DMAdvancedPreferenceViewController.h"

#include <QPushButton>
#include <QApplication>
#include <QStyle>

#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"

namespace harbormind {

DMAdvancedPreferenceViewController::DMAdvancedPreferenceViewController(DMConfigurationManager& config,
                                                                       std::function<void()> installKext,
                                                                       QWidget* parent)
    : DMPreferencePane(config, DMPreferenceTexts::advancedIdentifier, DMPreferenceTexts::advanced,
                       QIcon::fromTheme(QStringLiteral("preferences-other"),
                                        QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon)),
                       {
                           {DMPreferenceTexts::disconnectOnSleep,
                            &DMConfigurationManager::automaticallyDisconnectNetworkDrivesOnSleep,
                            &DMConfigurationManager::setAutomaticallyDisconnectNetworkDrivesOnSleep},
                           {DMPreferenceTexts::connectOnWake,
                            &DMConfigurationManager::automaticallyConnectNetworkDrivesOnWake,
                            &DMConfigurationManager::setAutomaticallyConnectNetworkDrivesOnWake},
                           {DMPreferenceTexts::unmountOnSleep,
                            &DMConfigurationManager::automaticallyUnmountExternalDrivesOnSleep,
                            &DMConfigurationManager::setAutomaticallyUnmountExternalDrivesOnSleep},
                           {DMPreferenceTexts::lockOnSleep,
                            &DMConfigurationManager::automaticallyLockEncryptedDrivesOnSleep,
                            &DMConfigurationManager::setAutomaticallyLockEncryptedDrivesOnSleep},
                           {DMPreferenceTexts::ignoreHibernation,
                            &DMConfigurationManager::ignoreHibernationFileWhenMountingNtfsDrives,
                            &DMConfigurationManager::setIgnoreHibernationFileWhenMountingNtfsDrives},
                       },
                       parent),
      installKext_(std::move(installKext)),
      btnInstallDriver_(new QPushButton(QString::fromUtf8(DMPreferenceTexts::installDriver), this)) {
    if (!installKext_) {
        btnInstallDriver_->setEnabled(false);
        btnInstallDriver_->setToolTip(QString::fromUtf8(DMPreferenceTexts::driverUnavailable));
    }
    QObject::connect(btnInstallDriver_, &QPushButton::clicked, this, [this] { installKext_click(); });
    addButtonRow(btnInstallDriver_);
    finishLayout();
}

void DMAdvancedPreferenceViewController::installKext_click() {
    if (installKext_) {
        installKext_();
    }
}

}  // namespace harbormind
