#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "disktools/DMDriveHealth.h"

class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;
class QToolButton;
class QVBoxLayout;

namespace harbormind {

class DMKeyColumn;
class DMKeyValueView;
class Timer;

// The health part of a whole disk's detail view: "Health: Good / Failing / Unknown", or "Not
// available" with the reason (never an error dialog), the counts behind it, the drive's
// attributes and self-test log on request, and the two self-tests with their progress.
// Reading the health waits for the helper daemon, so it happens away from the window's
// thread; while a self-test runs the health is read again every 30 seconds.
class DMDriveHealthView : public QWidget {
public:
    static constexpr double selfTestPollSeconds = 30;

    explicit DMDriveHealthView(QWidget* parent = nullptr);
    ~DMDriveHealthView() override;

    // Reads the health of the whole disk `identifier` (again, when it is the same disk).
    void load(const std::string& identifier);
    const std::string& identifier() const { return identifier_; }
    const DMDriveHealth& health() const { return health_; }
    bool isLoading() const { return loading_; }

    std::string assessmentText() const;
    std::string reasonText() const;
    std::string selfTestText() const;
    // The drive's attributes and self-test log, in a window of their own.
    bool detailsShown() const;
    void showDetails(bool shown);
    QDialog* detailsWindow() const { return dlgDetails_; }
    QPushButton* shortTestButton() const { return btnShortTest_; }
    QPushButton* extendedTestButton() const { return btnExtendedTest_; }

    // The key column the health's rows join (by default one of their own).
    void setKeyColumn(std::shared_ptr<DMKeyColumn> column);

    // Reads in progress in every view; tests wait for none.
    static int pending();

private:
    void show(const DMDriveHealth& health);
    void fillDetails(const DMDriveHealth& health);
    void startSelfTest(bool extended);
    void pollWhileTesting();

    std::string identifier_;
    DMDriveHealth health_;
    bool loading_ = false;
    std::uint64_t generation_ = 0;
    DMKeyValueView* kvHealth_;
    QLabel* lbReason_;
    QWidget* factsArea_;
    QVBoxLayout* factsLayout_;
    QLabel* lbSelfTest_;
    QPushButton* btnShortTest_;
    QPushButton* btnExtendedTest_;
    QToolButton* btnDetails_;
    QDialog* dlgDetails_;
    QTableWidget* tvAttributes_;
    QLabel* lbSelfTestLog_;
    std::shared_ptr<Timer> poll_;
    std::shared_ptr<DMKeyColumn> keyColumn_;
};

}  // namespace harbormind
