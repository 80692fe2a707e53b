#include "app/preferences/DMAdvancedPreferenceViewController.h"

#include <QPushButton>
#include <QApplication>
#include <QStyle>

#include "app/common/DMTr.h"
#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"

namespace harbormind {

DMAdvancedPreferenceViewController::DMAdvancedPreferenceViewController(DMConfigurationManager& config,
                                                                       std::function<void()> installKext,
                                                                       QWidget* parent)
    : DMPreferencePane(config, DMPreferenceTexts::advancedIdentifier, DMTr::text(DMPreferenceTexts::advanced),
                       QIcon::fromTheme(QStringLiteral("preferences-other"),
                                        QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon)),
                       {
                           {DMTr::text(DMPreferenceTexts::disconnectOnSleep),
                            &DMConfigurationManager::automaticallyDisconnectNetworkDrivesOnSleep,
                            &DMConfigurationManager::setAutomaticallyDisconnectNetworkDrivesOnSleep},
                           {DMTr::text(DMPreferenceTexts::connectOnWake),
                            &DMConfigurationManager::automaticallyConnectNetworkDrivesOnWake,
                            &DMConfigurationManager::setAutomaticallyConnectNetworkDrivesOnWake},
                           {DMTr::text(DMPreferenceTexts::unmountOnSleep),
                            &DMConfigurationManager::automaticallyUnmountExternalDrivesOnSleep,
                            &DMConfigurationManager::setAutomaticallyUnmountExternalDrivesOnSleep},
                           {DMTr::text(DMPreferenceTexts::lockOnSleep),
                            &DMConfigurationManager::automaticallyLockEncryptedDrivesOnSleep,
                            &DMConfigurationManager::setAutomaticallyLockEncryptedDrivesOnSleep},
                           {DMTr::text(DMPreferenceTexts::ignoreHibernation),
                            &DMConfigurationManager::ignoreHibernationFileWhenMountingNtfsDrives,
                            &DMConfigurationManager::setIgnoreHibernationFileWhenMountingNtfsDrives},
                       },
                       parent),
      installKext_(std::move(installKext)),
      btnInstallDriver_(new QPushButton(QString::fromUtf8(DMTr::text(DMPreferenceTexts::installDriver)), this)) {
    if (!installKext_) {
        btnInstallDriver_->setEnabled(false);
        btnInstallDriver_->setToolTip(QString::fromUtf8(DMTr::text(DMPreferenceTexts::driverUnavailable)));
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
