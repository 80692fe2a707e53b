#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/common/DMAlertPresenter.h"
#include "app/drives/DMDriveOperations.h"

namespace harbormind::test {

// The one QApplication of the test program, on the offscreen platform unless another was asked,
// with the English catalogue installed as the program installs it.
void ensureApplication();
// Installs the built catalogue of `language` ("en", "de"); any other word removes the installed
// one, so that windows show the texts of the code again. A test that changes it puts "en" back.
void installCatalogue(const char* language);

// The path of a scenario under tests/scenarios.
std::string scenarioPath(const std::string& name);

// Records every alert; answers with the queued button indexes, or leaves the reply pending.
class RecordingPresenter final : public DMAlertPresenter {
public:
    struct Shown {
        DMAlert alert;
        QWidget* window = nullptr;
        Reply reply;
    };

    void present(const DMAlert& alert, QWidget* window, Reply reply) override;

    std::vector<Shown> shown;
    // Answers given at once, in order; when empty the alert waits for answer().
    std::vector<int> answers;
    void answer(std::size_t index, int button);
    std::vector<std::string> titles() const;
};

}  // namespace harbormind::test
