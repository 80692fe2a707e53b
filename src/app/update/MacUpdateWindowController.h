#pragma once

#include <QPointer>

#include "update/MacUpdateAppInfoObject.h"
#include "update/MacUpdatePresenter.h"
#include "update/MacUpdateUIConfiguration.h"

class QDialog;
class QLabel;
class QPushButton;
class QTextBrowser;

namespace harbormind {

// The update window: the application's icon and name, the offered version, its release notes
// and the buttons skip, later and update now, which answer 2, 1 and 0.
class MacUpdateWindowController {
public:
    MacUpdateWindowController(MacUpdateAppInfoObject record, const MacUpdateUIConfiguration& configuration,
                              MacUpdatePresenter::WindowCallback callback);
    ~MacUpdateWindowController();

    void showWindow();
    // Drops the callback so that closing the window answers nothing.
    void detachDelegate();
    void close();

    QDialog* window() const { return window_; }
    QPushButton* btnSkip() const { return btnSkip_; }
    QPushButton* btnLater() const { return btnLater_; }
    QPushButton* btnUpdate() const { return btnUpdate_; }
    QLabel* lbVersion() const { return lbVersion_; }
    QLabel* lbReleaseNotes() const { return lbReleaseNotes_; }
    QTextBrowser* tvReleaseNotes() const { return tvReleaseNotes_; }

private:
    void finish(int choice);

    MacUpdateAppInfoObject record_;
    MacUpdatePresenter::WindowCallback callback_;
    QPointer<QDialog> window_;
    QLabel* lbVersion_ = nullptr;
    QLabel* lbReleaseNotes_ = nullptr;
    QTextBrowser* tvReleaseNotes_ = nullptr;
    QPushButton* btnSkip_ = nullptr;
    QPushButton* btnLater_ = nullptr;
    QPushButton* btnUpdate_ = nullptr;
};

}  // namespace harbormind
