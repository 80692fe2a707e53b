#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <set>

#include "DiskToolsWindowFixture.h"
#include "app/details/DMLocalDriveViewController.h"
#include "app/widgets/DMKeyValueView.h"

namespace harbormind {
namespace {

class DriveHealthWindowTest : public test::DiskToolsWindowFixture {
protected:
    DMDriveHealthView* healthOf(const std::string& disk) {
        auto* view = dynamic_cast<DMLocalDriveViewController*>(select(disk));
        EXPECT_NE(view, nullptr) << disk;
        return view ? view->healthView() : nullptr;
    }
};

TEST_F(DriveHealthWindowTest, TheDiskViewShowsItsHealthAndWhatIsBehindIt) {
    start();
    DMDriveHealthView* failing = healthOf("disk6");
    ASSERT_NE(failing, nullptr);
    EXPECT_EQ(failing->assessmentText(), "Failing");
    EXPECT_EQ(failing->reasonText(), "the drive's own assessment is that it is failing");
    EXPECT_EQ(failing->health().reallocatedSectors, 3968);
    screenshot("disk-health-failing");
    failing->showDetails(true);
    EXPECT_TRUE(failing->detailsShown());
    if (const char* directory = std::getenv("HARBORMIND_SCREENSHOT_DIR")) {
        settle(0.1);
        failing->detailsWindow()->grab().save(QString::fromUtf8(directory) + "/disk-health-details.png");
    }
    failing->showDetails(false);

    DMDriveHealthView* good = healthOf("disk5");
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->assessmentText(), "Good");
    EXPECT_EQ(good->reasonText(), "");
    EXPECT_TRUE(good->shortTestButton()->isEnabled());
    screenshot("disk-health");
    good->shortTestButton()->click();
    settle();
    bool asked = false;
    for (const auto& call : daemon->calls()) {
        asked = asked || (call.method == "startSelfTestWithBsdname" &&
                          call.arguments == std::vector<std::string>{"disk5", "false"});
    }
    EXPECT_TRUE(asked);

    DMDriveHealthView* testing = healthOf("disk4");
    ASSERT_NE(testing, nullptr);
    EXPECT_EQ(testing->selfTestText(), "Self-test: running, 40% done");
    EXPECT_FALSE(testing->shortTestButton()->isEnabled());
    // The running test's progress is read again 30 seconds later, through the clock.
    daemon->clearCalls();
    settle(DMDriveHealthView::selfTestPollSeconds + 1);
    EXPECT_FALSE(daemon->calls().empty());
}

TEST_F(DriveHealthWindowTest, DisksThatCannotReportSayNotAvailableWithTheReasonAndNoAlert) {
    start();
    DMDriveHealthView* image = healthOf("disk8");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->assessmentText(), "Not available");
    EXPECT_EQ(image->reasonText(), "disk8 is a disk image: only real drives report their health");
    EXPECT_FALSE(image->shortTestButton()->isVisible());
    screenshot("disk-health-not-available");
    EXPECT_TRUE(presenter->shown.empty());
}

// The disk's facts and its health stand in one key column as wide as the widest key, so no key
// is cut and every value starts at the same place.
TEST_F(DriveHealthWindowTest, EveryKeyOfTheDiskViewFitsAndTheValuesStandInOneLine) {
    start();
    DMDriveHealthView* health = healthOf("disk5");
    ASSERT_NE(health, nullptr);
    QWidget* view = health->parentWidget();
    controller->window()->resize(1060, 760);
    controller->window()->show();
    settle();
    std::set<int> valueColumns;
    bool sawLongestKey = false;
    // The rows are no QObject classes of their own: they are told apart from other widgets by type.
    for (const QWidget* widget : view->findChildren<QWidget*>()) {
        const auto* row = dynamic_cast<const DMKeyValueView*>(widget);
        if (row == nullptr || !row->isVisible()) {
            continue;
        }
        const auto labels = row->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(labels.size(), 2) << row->key();
        EXPECT_GE(labels[0]->width(), labels[0]->sizeHint().width()) << row->key() << " is cut";
        valueColumns.insert(labels[1]->mapTo(view, QPoint()).x());
        sawLongestKey = sawLongestKey || row->key() == "Reallocated sectors";
    }
    EXPECT_TRUE(sawLongestKey);
    EXPECT_EQ(valueColumns.size(), 1u) << "the values do not start in one line";
}

}  // namespace
}  // namespace harbormind
