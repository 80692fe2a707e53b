#include "app/preferences/DMPreferenceCheckBoxes.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "config/DMConfigurationManager.h"

namespace harbormind {

DMPreferenceCheckBoxes::DMPreferenceCheckBoxes(DMConfigurationManager& config, QWidget* parent, QVBoxLayout* layout,
                                               const std::vector<Binding>& bindings)
    : config_(config), bindings_(bindings) {
    for (const Binding& binding : bindings_) {
        auto* box = new QCheckBox(QString::fromUtf8(binding.label), parent);
        layout->addWidget(box);
        boxes_.push_back(box);
        DMConfigurationManager* settings = &config_;
        auto write = binding.write;
        QObject::connect(box, &QCheckBox::clicked, box, [settings, write, box] {
            const Qt::CheckState state = box->checkState();
            if (state != Qt::PartiallyChecked) {
                (settings->*write)(state == Qt::Checked);
            }
        });
    }
    reload();
}

void DMPreferenceCheckBoxes::reload() {
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        boxes_[i]->setChecked((config_.*bindings_[i].read)());
    }
}

}  // namespace harbormind
