#include "app/preferences/BLPreferenceViewController.h"

#include "app/preferences/BLPreferencePanel.h"

namespace harbormind {

BLPreferenceViewController::BLPreferenceViewController(QWidget* parent) : QStackedWidget(parent) {}

void BLPreferenceViewController::addPanel(BLPreferencePanel* panel) {
    subViewControllerArray_.push_back(panel);
    addWidget(panel->view());
}

void BLPreferenceViewController::showPanel(BLPreferencePanel* panel) {
    currentPreferencePanel_ = panel;
    setCurrentWidget(panel->view());
}

}  // namespace harbormind
