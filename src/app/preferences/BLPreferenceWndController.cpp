#include "app/preferences/BLPreferenceWndController.h"

#include <QAction>
#include <QActionGroup>
#include <QToolBar>

#include "app/preferences/BLPreferenceViewController.h"
#include "app/preferences/DMAdvancedPreferenceViewController.h"
#include "app/preferences/DMGeneralPreferenceViewController.h"
#include "app/preferences/DMNotifyPreferenceViewController.h"
#include "config/DMConfigurationManager.h"

namespace harbormind {

BLPreferenceWndController::BLPreferenceWndController(Services services, QWidget* parent)
    : QMainWindow(parent), tableViewController_(new BLPreferenceViewController(this)), toolbar_(new QToolBar(this)) {
    DMConfigurationManager& config = services.config != nullptr ? *services.config : DMConfigurationManager::shared();
    general_ = new DMGeneralPreferenceViewController(config, tableViewController_);
    advanced_ = new DMAdvancedPreferenceViewController(config, std::move(services.installKext), tableViewController_);
    notification_ = new DMNotifyPreferenceViewController(config, std::move(services.presenter), tableViewController_);

    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar_->setIconSize(QSize(28, 28));
    toolbar_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    setCentralWidget(tableViewController_);
    setUnifiedTitleAndToolBarOnMac(true);

    for (BLPreferencePanel* panel : std::vector<BLPreferencePanel*>{general_, advanced_, notification_}) {
        addTab(panel);
    }
    selectTab(toolbarTabsIdentifierArray_.front());
    setMinimumWidth(520);
}

void BLPreferenceWndController::addTab(BLPreferencePanel* panel) {
    preferencePanelArray_.push_back(panel);
    toolbarTabsIdentifierArray_.push_back(panel->toolbarItemIdentifier());
    tableViewController_->addPanel(panel);
    // The label as given ("General " ends with a blank); the toolbar shows it as it is.
    QAction* tab = toolbar_->addAction(panel->toolbarItemImage(), QString::fromStdString(panel->toolbarItemLabel()));
    tab->setCheckable(true);
    tab->setObjectName(QString::fromStdString(panel->toolbarItemIdentifier()));
    tabs_.push_back(tab);
    const std::string identifier = panel->toolbarItemIdentifier();
    QObject::connect(tab, &QAction::triggered, this, [this, identifier] { selectTab(identifier); });
}

bool BLPreferenceWndController::selectTab(const std::string& identifier) {
    for (std::size_t i = 0; i < preferencePanelArray_.size(); ++i) {
        if (toolbarTabsIdentifierArray_[i] != identifier) {
            continue;
        }
        for (std::size_t j = 0; j < tabs_.size(); ++j) {
            tabs_[j]->setChecked(j == i);
        }
        tableViewController_->showPanel(preferencePanelArray_[i]);
        setWindowTitle(QString::fromStdString(preferencePanelArray_[i]->toolbarItemLabel()));
        return true;
    }
    return false;
}

void BLPreferenceWndController::showWindow() {
    for (BLPreferencePanel* panel : preferencePanelArray_) {
        panel->reloadSettings();
    }
    show();
    raise();
    activateWindow();
}

}  // namespace harbormind
