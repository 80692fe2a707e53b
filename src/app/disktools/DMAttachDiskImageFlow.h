#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace harbormind {

class DMAlertPresenter;

// "Attach Disk Image...": the user picks an image file, which becomes a disk of the user's own
// (it then appears in the drive list). A file the user may only read is attached read-only,
// and the user is told so; a failure is shown with its reason.
class DMAttachDiskImageFlow {
public:
    // Asks the user for the image; none when they cancelled.
    using FileChooser = std::function<std::optional<std::string>(QWidget* window)>;

    explicit DMAttachDiskImageFlow(std::shared_ptr<DMAlertPresenter> presenter, FileChooser chooser = {});

    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    // Attaching runs away from the main thread; its outcome is shown on the main queue.
    void run(QWidget* window);

private:
    void report(QWidget* window, const std::string& path, std::int64_t code, const std::string& message,
                bool readOnly);

    std::shared_ptr<DMAlertPresenter> presenter_;
    FileChooser chooser_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace harbormind
