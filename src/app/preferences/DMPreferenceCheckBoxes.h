#pragma once

#include <QString>
#include <vector>

class QCheckBox;
class QVBoxLayout;
class QWidget;

namespace harbormind {

class DMConfigurationManager;

// The check boxes of a pane, each bound to one setting of the configuration: it shows the
// setting's value and writes it when clicked on or off (never for the mixed state).
class DMPreferenceCheckBoxes {
public:
    struct Binding {
        const char* label;
        bool (DMConfigurationManager::*read)() const;
        void (DMConfigurationManager::*write)(bool);
    };

    DMPreferenceCheckBoxes(DMConfigurationManager& config, QWidget* parent, QVBoxLayout* layout,
                           const std::vector<Binding>& bindings);

    // The box of the binding at `index`, in the order given.
    QCheckBox* box(std::size_t index) const { return boxes_.at(index); }
    void reload();

private:
    DMConfigurationManager& config_;
    std::vector<Binding> bindings_;
    std::vector<QCheckBox*> boxes_;
};

}  // namespace harbormind
