#include "app/preferences/DMNotifyPreferenceViewController.h"

#include <QPushButton>
#include <QApplication>
#include <QStyle>

#include "app/DMAlertPresenter.h"
#include "app/preferences/DMPreferenceTexts.h"
#include "config/DMConfigurationManager.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"

namespace harbormind {

DMNotifyPreferenceViewController::DMNotifyPreferenceViewController(DMConfigurationManager& config,
                                                                   std::shared_ptr<DMAlertPresenter> presenter,
                                                                   QWidget* parent)
    : DMPreferencePane(config, DMPreferenceTexts::notificationIdentifier, DMPreferenceTexts::notification,
                       QIcon::fromTheme(QStringLiteral("preferences-desktop-notification"),
                                        QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation)),
                       {
                           {DMPreferenceTexts::notifyConnected, &DMConfigurationManager::notifyWhenConnectDrives,
                            &DMConfigurationManager::setNotifyWhenConnectDrives},
                           {DMPreferenceTexts::notifyDisconnected, &DMConfigurationManager::notifyWhenDisconnectDrives,
                            &DMConfigurationManager::setNotifyWhenDisconnectDrives},
                           {DMPreferenceTexts::notifyAppeared, &DMConfigurationManager::notifyWhenDrivesAppears,
                            &DMConfigurationManager::setNotifyWhenDrivesAppears},
                           {DMPreferenceTexts::notifyDisappeared, &DMConfigurationManager::notifyWhenDrivesDisappears,
                            &DMConfigurationManager::setNotifyWhenDrivesDisappears},
                       },
                       parent),
      presenter_(std::move(presenter)),
      btnEnableNotification_(new QPushButton(QString::fromUtf8(DMPreferenceTexts::turnOnNotifications), this)) {
    QObject::connect(btnEnableNotification_, &QPushButton::clicked, this, [this] { enableNotification_click(); });
    addButtonRow(btnEnableNotification_);
    finishLayout();
}

void DMNotifyPreferenceViewController::enableNotification_click() {
    if (Platform::current().workspace().openNotificationSettings() || !presenter_) {
        return;
    }
    presenter_->present({DMPreferenceTexts::noNotificationSettingsTitle, DMPreferenceTexts::noNotificationSettingsText,
                         {DMPreferenceTexts::okButton}},
                        window(), nullptr);
}

}  // namespace harbormind
