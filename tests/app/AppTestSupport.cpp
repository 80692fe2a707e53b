#include "AppTestSupport.h"

#include <QApplication>
#include <cstdlib>

#include "app/shell/DMTranslationLoader.h"

namespace harbormind::test {

void ensureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    // Kept for the whole test program.
    static QApplication* application = new QApplication(argc, argv);
    (void)application;
    // The windows show what the installed program shows: the English catalogue's words.
    installCatalogue("en");
}

void installCatalogue(const char* language) {
    DMTranslationLoader::install(QString::fromLatin1(language), {QStringLiteral(HARBORMIND_TEST_TRANSLATIONS_DIR)});
}

std::string scenarioPath(const std::string& name) {
    const char* source = std::getenv("HARBORMIND_SOURCE_DIR");
    std::string root = source != nullptr ? source : HARBORMIND_TEST_SOURCE_DIR;
    return root + "/tests/scenarios/" + name;
}

void RecordingPresenter::present(const DMAlert& alert, QWidget* window, Reply reply) {
    shown.push_back({alert, window, reply});
    if (!answers.empty()) {
        int button = answers.front();
        answers.erase(answers.begin());
        if (reply) {
            reply(button);
        }
    }
}

void RecordingPresenter::answer(std::size_t index, int button) {
    if (index < shown.size() && shown[index].reply) {
        auto reply = shown[index].reply;
        shown[index].reply = nullptr;
        reply(button);
    }
}

std::vector<std::string> RecordingPresenter::titles() const {
    std::vector<std::string> result;
    for (const Shown& entry : shown) {
        result.push_back(entry.alert.title);
    }
    return result;
}

}  // namespace harbormind::test
