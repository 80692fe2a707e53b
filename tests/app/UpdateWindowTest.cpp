#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <cstdlib>

#include "AppTestSupport.h"
#include "ScreenshotLook.h"
#include "app/update/DMUpdatePresenter.h"
#include "app/update/MacUpdateWindowController.h"
#include "update/MacUpdateTexts.h"

namespace harbormind {
namespace {

MacUpdateUIConfiguration texts() {
    return {MacUpdateTexts::skip, MacUpdateTexts::updateNow, MacUpdateTexts::later, MacUpdateTexts::versionFormat,
            MacUpdateTexts::releaseNotes};
}

MacUpdateAppInfoObject offered(const std::string& version) {
    MacUpdateAppInfoObject record("Kestrane Harbormind", "harbormind", "3.9", "101");
    record.latestVersion = version;
    record.releaseNotes = "- Clones resume after an interruption.\n- Faster First Aid on large volumes.";
    return record;
}

// With HARBORMIND_SCREENSHOT_DIR set, saves the window there (docs/screenshots was made so).
void saveScreenshot(QWidget* window, const char* name) {
    const char* folder = std::getenv("HARBORMIND_SCREENSHOT_DIR");
    if (folder == nullptr) {
        return;
    }
    QDir().mkpath(QString::fromUtf8(folder));
    window->grab().save(QString::fromUtf8(folder) + "/" + QString::fromUtf8(name));
}

TEST(UpdateWindowTest, ShowsTheOfferAndAnswersWithTheChosenButton) {
    test::ensureApplication();
    int chosen = -1;
    std::string chosenVersion;
    MacUpdateWindowController controller(offered("3.10"), texts(), [&](int choice, const MacUpdateAppInfoObject& record) {
        chosen = choice;
        chosenVersion = record.latestVersion;
    });
    controller.showWindow();
    EXPECT_EQ(controller.lbVersion()->text(), QStringLiteral("Version 3.10"));
    EXPECT_EQ(controller.lbReleaseNotes()->text(), QStringLiteral("Release Notes:"));
    EXPECT_TRUE(controller.tvReleaseNotes()->toPlainText().startsWith(QStringLiteral("- Clones resume")));
    EXPECT_EQ(controller.btnSkip()->text(), QStringLiteral("Skip"));
    EXPECT_EQ(controller.btnLater()->text(), QStringLiteral("Later"));
    EXPECT_EQ(controller.btnUpdate()->text(), QStringLiteral("Update Now"));
    saveScreenshot(controller.window(), "update-window.png");
    {
        test::ScreenshotLook look;
        look.use(true);
        saveScreenshot(controller.window(), "update-window-dark.png");
    }

    controller.btnSkip()->click();
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(chosenVersion, "3.10");
}

TEST(UpdateWindowTest, ANewWindowReplacesTheOldOneWithoutAnsweringForIt) {
    test::ensureApplication();
    auto alerts = std::make_shared<test::RecordingPresenter>();
    DMUpdatePresenter presenter(alerts, nullptr);
    std::vector<int> first;
    std::vector<int> second;
    presenter.showUpdateWindow(offered("3.10"), texts(), [&](int choice, const MacUpdateAppInfoObject&) { first.push_back(choice); });
    presenter.showUpdateWindow(offered("3.11"), texts(), [&](int choice, const MacUpdateAppInfoObject&) { second.push_back(choice); });
    ASSERT_NE(presenter.updateWindow(), nullptr);
    EXPECT_EQ(presenter.updateWindow()->lbVersion()->text(), QStringLiteral("Version 3.11"));
    presenter.updateWindow()->btnUpdate()->click();
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(second, std::vector<int>{0});

    presenter.showAlert("", MacUpdateTexts::latestVersion, MacUpdateTexts::ok);
    ASSERT_EQ(alerts->shown.size(), 1U);
    EXPECT_EQ(alerts->shown[0].alert.text, "The current version is the latest version");
    EXPECT_EQ(alerts->shown[0].alert.buttons, std::vector<std::string>{"Ok"});
}

}  // namespace
}  // namespace harbormind
