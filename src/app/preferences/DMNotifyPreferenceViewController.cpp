#include "app/preferences/DMNotifyPreferenceViewController.h"

#include <QPushButton>
#include <QApplication>
#include <QStyle>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTr.h"
#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"

namespace harbormind {

DMNotifyPreferenceViewController::DMNotifyPreferenceViewController(DMConfigurationManager& config,
                                                                   std::shared_ptr<DMAlertPresenter> presenter,
                                                                   QWidget* parent)
    : DMPreferencePane(config, DMPreferenceTexts::notificationIdentifier, DMTr::text(DMPreferenceTexts::notification),
                       QIcon::fromTheme(QStringLiteral("preferences-desktop-notification"),
                                        QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation)),
                       {
                           {DMTr::text(DMPreferenceTexts::notifyConnected), &DMConfigurationManager::notifyWhenConnectDrives,
                            &DMConfigurationManager::setNotifyWhenConnectDrives},
                           {DMTr::text(DMPreferenceTexts::notifyDisconnected), &DMConfigurationManager::notifyWhenDisconnectDrives,
                            &DMConfigurationManager::setNotifyWhenDisconnectDrives},
                           {DMTr::text(DMPreferenceTexts::notifyAppeared), &DMConfigurationManager::notifyWhenDrivesAppears,
                            &DMConfigurationManager::setNotifyWhenDrivesAppears},
                           {DMTr::text(DMPreferenceTexts::notifyDisappeared), &DMConfigurationManager::notifyWhenDrivesDisappears,
                            &DMConfigurationManager::setNotifyWhenDrivesDisappears},
                       },
                       parent),
      presenter_(std::move(presenter)),
      btnEnableNotification_(new QPushButton(QString::fromUtf8(DMTr::text(DMPreferenceTexts::turnOnNotifications)), this)) {
    QObject::connect(btnEnableNotification_, &QPushButton::clicked, this, [this] { enableNotification_click(); });
    addButtonRow(btnEnableNotification_);
    finishLayout();
}

void DMNotifyPreferenceViewController::enableNotification_click() {
    if (Platform::current().workspace().openNotificationSettings() || !presenter_) {
        return;
    }
    presenter_->present({DMTr::text(DMPreferenceTexts::noNotificationSettingsTitle), DMTr::text(DMPreferenceTexts::noNotificationSettingsText),
                         {DMTr::text(DMPreferenceTexts::okButton)}},
                        window(), nullptr);
}

}  // namespace harbormind
