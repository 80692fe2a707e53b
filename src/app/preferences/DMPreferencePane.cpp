#include "app/preferences/DMPreferencePane.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace harbormind {

DMPreferencePane::DMPreferencePane(DMConfigurationManager& config, std::string identifier, std::string label,
                                   QIcon image, const std::vector<DMPreferenceCheckBoxes::Binding>& bindings,
                                   QWidget* parent)
    : QWidget(parent),
      config_(config),
      identifier_(std::move(identifier)),
      label_(std::move(label)),
      image_(std::move(image)),
      layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(24, 20, 24, 20);
    layout_->setSpacing(10);
    checkBoxes_ = std::make_unique<DMPreferenceCheckBoxes>(config_, this, layout_, bindings);
}

void DMPreferencePane::addButtonRow(QWidget* button) {
    addRow({button});
}

void DMPreferencePane::addRow(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) {
        row->addWidget(widget);
    }
    row->addStretch(1);
    layout_->addSpacing(6);
    layout_->addLayout(row);
}

void DMPreferencePane::finishLayout() {
    layout_->addStretch(1);
}

}  // namespace harbormind
