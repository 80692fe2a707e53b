#pragma once

#include <QStackedWidget>
#include <vector>

namespace harbormind {

class BLPreferencePanel;

// Holds the panes and shows one of them.
class BLPreferenceViewController final : public QStackedWidget {
public:
    explicit BLPreferenceViewController(QWidget* parent);

    void addPanel(BLPreferencePanel* panel);
    void showPanel(BLPreferencePanel* panel);

    const std::vector<BLPreferencePanel*>& subViewControllerArray() const { return subViewControllerArray_; }
    BLPreferencePanel* currentPreferencePanel() const { return currentPreferencePanel_; }

private:
    std::vector<BLPreferencePanel*> subViewControllerArray_;
    BLPreferencePanel* currentPreferencePanel_ = nullptr;
};

}  // namespace harbormind
