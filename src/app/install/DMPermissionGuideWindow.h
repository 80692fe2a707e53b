#pragma once

#include <QDialog>
#include <functional>

#include "app/install/DMMissingPieces.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace harbormind {

// The one guide for what is missing: a section per missing piece that says what it is for
// and how to get it, an "Install" button for the driver, "Check Again" and "Finish".
class DMPermissionGuideWindow final : public QDialog {
public:
    DMPermissionGuideWindow(std::function<DMMissingPieces()> check, std::function<void()> install,
                            QWidget* parent = nullptr);

    // Asks again what is missing and redraws.
    void refresh();
    const DMMissingPieces& shown() const { return shown_; }
    // The section headings on show, in order.
    QStringList headings() const;
    QPushButton* btnInstall() const { return btnInstall_; }
    QPushButton* btnCheckAgain() const { return btnCheckAgain_; }
    QPushButton* btnFinish() const { return btnFinish_; }

private:
    void addSection(const QString& heading, const QString& text);

    std::function<DMMissingPieces()> check_;
    DMMissingPieces shown_;
    QLabel* lbSubtitle_;
    QVBoxLayout* sections_;
    QPushButton* btnInstall_;
    QPushButton* btnCheckAgain_;
    QPushButton* btnFinish_;
};

}  // namespace harbormind
