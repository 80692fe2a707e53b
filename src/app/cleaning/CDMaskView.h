#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace harbormind {

// The progress window of the cleaning windows: it covers the window it belongs to while a scan
// or a deletion runs, so the lists cannot be used meanwhile, and shows a tip, the name last
// reported and the stop button.
class CDMaskView : public QWidget {
public:
    explicit CDMaskView(QWidget* covered);

    // Covers the window: "Stop the scan" shown, the tip given.
    void showScanning(const QString& tip);
    void showStopping();
    // Covers the window for a deletion: "Deleting...", no stop button.
    void showDeleting();
    void setFileName(const QString& name);
    void closeMask();

    QString tip() const;
    QString fileName() const;
    QPushButton* stopButton() const { return btnStopScan_; }

    // Called when the user presses "Stop the scan".
    std::function<void()> onStop;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void cover();

    QLabel* lbTip_;
    QLabel* lbFileName_;
    QProgressBar* progress_;
    QPushButton* btnStopScan_;
};

}  // namespace harbormind
