#pragma once

#include <QPointer>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "drivemodel/DMCheckDiskWrapperDelegate.h"

class QDialog;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QAbstractScrollArea;
class QWidget;

namespace harbormind {

class DMAlertPresenter;
class DMCheckDiskWrapper;

// The First Aid sheet: a title, a tip, a bar and the checker's output as it streams in.
// It receives the stream on the daemon's thread and shows it on the main queue, many lines
// at a time when they come fast, so a long output never floods the window.
class DMFirstAidWindowController : public DMCheckDiskWrapperDelegate,
                                   public std::enable_shared_from_this<DMFirstAidWindowController> {
public:
    // `presenter`, when given, shows what the Help button could not open.
    static std::shared_ptr<DMFirstAidWindowController> create(std::shared_ptr<DMCheckDiskWrapper> mgr,
                                                              QWidget* parent,
                                                              std::shared_ptr<DMAlertPresenter> presenter = nullptr);
    ~DMFirstAidWindowController() override;

    // Opens the sheet on its parent (on its own without one).
    void present();
    void close();

    void updateUIWithChekcInfo(const std::string& info, std::int64_t checkStatus) override;

    QDialog* window() const { return mainView; }
    QLabel* titleLabel() const { return lbTitle; }
    QLabel* tipLabel() const { return lbTip; }
    QProgressBar* progressBar() const { return progress; }
    QPushButton* completeButton() const { return btnComplete; }
    QPushButton* helpButton() const { return btnHelp; }
    QPlainTextEdit* detailView() const { return tvDetailInfo; }
    const std::shared_ptr<DMCheckDiskWrapper>& wrapper() const { return mgr; }

    // The bar's range: 0 to 1.0 in thousandths.
    static constexpr int progressScale = 1000;

private:
    explicit DMFirstAidWindowController(std::shared_ptr<DMCheckDiskWrapper> wrapper);
    void build(QWidget* parent);
    void showPending();
    // Shows at most a turn's worth of `batch` from `from`, then the rest on later turns of the
    // main queue, so a checker's flood of lines never holds the window for long.
    void showBatch(std::shared_ptr<const std::vector<std::pair<std::int64_t, std::string>>> batch, std::size_t from);
    void show(std::int64_t checkStatus, const std::string& text);
    void append(const std::string& text);
    void openHelp();
    void showStopped(const std::string& reason);

    QPointer<QDialog> mainView;
    QLabel* imageView = nullptr;
    QLabel* lbTitle = nullptr;
    QLabel* lbTip = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* btnComplete = nullptr;
    QPlainTextEdit* tvDetailInfo = nullptr;
    QPushButton* btnHelp = nullptr;
    QAbstractScrollArea* scrollView = nullptr;
    std::shared_ptr<DMCheckDiskWrapper> mgr;
    std::shared_ptr<DMAlertPresenter> presenter_;

    std::mutex pendingMutex_;
    std::vector<std::pair<std::int64_t, std::string>> pending_;
    bool showScheduled_ = false;
};

}  // namespace harbormind
