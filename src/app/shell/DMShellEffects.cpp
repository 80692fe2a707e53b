#include "app/shell/DMShellEffects.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QWidget>

#include "app/shell/AppDelegate.h"
#include "app/shell/DMAppearanceController.h"
#include "app/shell/DMWindowController.h"
#include "drivemodel/DMDriveManager.h"
#include "drivemodel/DMLocalDriveManager.h"

namespace harbormind {
namespace {

class WidgetWindowHandle final : public DMWindowHandle {
public:
    explicit WidgetWindowHandle(QWidget* widget) : widget_(widget) {}
    void makeKeyAndOrderFront() override {
        if (widget_) {
            widget_->show();
            widget_->raise();
            widget_->activateWindow();
        }
    }

private:
    QPointer<QWidget> widget_;
};

std::shared_ptr<DMLocalDriveManager> registeredLocalManager() {
    return DMDriveManager::shared().manager<DMLocalDriveManager>("");
}

}  // namespace

DMShellEffects::DMShellEffects(AppDelegate& application) : application_(application) {}

std::vector<std::shared_ptr<DMWindowHandle>> DMShellEffects::visibleWindows() {
    std::vector<std::shared_ptr<DMWindowHandle>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isWindow()) {
            windows.push_back(std::make_shared<WidgetWindowHandle>(widget));
        }
    }
    return windows;
}

void DMShellEffects::setActivationPolicy(DMActivationPolicy policy) {
    policy_ = policy;
    QMainWindow* window = application_.mainWindowController()->window();
    const bool visible = window->isVisible();
    // Changing the flags hides the window; the configuration brings visible windows back.
    window->setWindowFlag(Qt::Tool, policy == DMActivationPolicy::Accessory);
    if (visible) {
        window->show();
    }
}

void DMShellEffects::activateIgnoringOtherApps() {
    QMainWindow* window = application_.mainWindowController()->window();
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

void DMShellEffects::createStatusItem() {
    application_.createStatusItem();
}

void DMShellEffects::removeStatusItem() {
    application_.removeStatusItem();
}

void DMShellEffects::setIgnoreHibernateFile(bool flag) {
    if (auto manager = registeredLocalManager()) {
        manager->setIgnoreHibernateFile(flag);
    }
}

void DMShellEffects::setNtfsDebugLogging(bool flag) {
    if (auto manager = registeredLocalManager()) {
        manager->setNtfsDebugLogging(flag);
    }
}

void DMShellEffects::setAppearance(DMAppearance appearance) {
    if (DMAppearanceController* controller = application_.appearance()) {
        controller->choose(appearance);
    }
}

}  // namespace harbormind
