#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "app/preferences/BLPreferencePanel.h"
#include "app/preferences/DMPreferenceCheckBoxes.h"

class QVBoxLayout;

namespace harbormind {

// What the three panes share: their tab, a column of bound check boxes, and room under it.
class DMPreferencePane : public QWidget, public BLPreferencePanel {
public:
    std::string toolbarItemIdentifier() const override { return identifier_; }
    std::string toolbarItemLabel() const override { return label_; }
    QIcon toolbarItemImage() const override { return image_; }
    QWidget* view() override { return this; }
    void reloadSettings() override { checkBoxes_->reload(); }

    DMConfigurationManager& config() const { return config_; }
    const DMPreferenceCheckBoxes& checkBoxes() const { return *checkBoxes_; }

protected:
    DMPreferencePane(DMConfigurationManager& config, std::string identifier, std::string label, QIcon image,
                     const std::vector<DMPreferenceCheckBoxes::Binding>& bindings, QWidget* parent);
    // Adds a button at the end of the column.
    void addButtonRow(QWidget* button);
    // Adds a row of widgets, side by side, at the end of the column.
    void addRow(std::initializer_list<QWidget*> widgets);
    void finishLayout();

private:
    DMConfigurationManager& config_;
    std::string identifier_;
    std::string label_;
    QIcon image_;
    QVBoxLayout* layout_;
    std::unique_ptr<DMPreferenceCheckBoxes> checkBoxes_;
};

}  // namespace harbormind
