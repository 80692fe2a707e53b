#pragma once

#include <QIcon>
#include <string>

class QWidget;

namespace harbormind {

// One pane of the preference window: its toolbar identifier, the tab's label and image.
class BLPreferencePanel {
public:
    virtual ~BLPreferencePanel() = default;
    virtual std::string toolbarItemIdentifier() const = 0;
    virtual std::string toolbarItemLabel() const = 0;
    virtual QIcon toolbarItemImage() const = 0;
    virtual QWidget* view() = 0;
    // Shows the settings as they are stored now.
    virtual void reloadSettings() = 0;
};

}  // namespace harbormind
