#include "app/disktools/DMAttachDiskImageFlow.h"

#include <QFileDialog>
#include <QPointer>

#include "app/common/DMAlertPresenter.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"
#include "platform/DiskImages.h"
#include "platform/Platform.h"
#include "support/Dispatch.h"

namespace harbormind {
namespace {

std::optional<std::string> askForImage(QWidget* window) {
    QString path = QFileDialog::getOpenFileName(window, QString::fromUtf8(DMTr::text(DMTexts::attachDiskImageTitle)), QString(),
                                                QString::fromUtf8(DMTr::text(DMTexts::diskImageFilter)));
    return path.isEmpty() ? std::nullopt : std::optional<std::string>(path.toStdString());
}

}  // namespace

DMAttachDiskImageFlow::DMAttachDiskImageFlow(std::shared_ptr<DMAlertPresenter> presenter, FileChooser chooser)
    : presenter_(std::move(presenter)), chooser_(chooser ? std::move(chooser) : FileChooser(askForImage)) {}

void DMAttachDiskImageFlow::run(QWidget* window) {
    DiskImages* images = Platform::current().diskImages();
    std::optional<std::string> path = chooser_(window);
    if (!images || !path) {
        return;
    }
    QPointer<QWidget> parent(window);
    Dispatch::global()->async([this, alive = std::weak_ptr<bool>(alive_), images, path = *path, parent] {
        DiskImages::Answer answer = images->attach(path, false);
        bool readOnly = false;
        if (answer.code == DiskImages::notWritable) {
            answer = images->attach(path, true);
            readOnly = true;
        }
        Dispatch::mainQueue()->async([this, alive, path, answer, readOnly, parent] {
            if (alive.lock()) {
                report(parent, path, answer.code, answer.message, readOnly);
            }
        });
    });
}

void DMAttachDiskImageFlow::report(QWidget* window, const std::string& path, std::int64_t code,
                                   const std::string& message, bool readOnly) {
    if (code != 0) {
        presenter_->present({DMTr::text(DMTexts::attachDiskImageFailed), path, {DMTr::text(DMTexts::okButton)}, std::nullopt, message}, window, {});
    } else if (readOnly) {
        presenter_->present({DMTextFormat::withText(DMTr::text(DMTexts::attachedReadOnlyFormat), message), path, {DMTr::text(DMTexts::okButton)}},
                            window, {});
    }
}

}  // namespace harbormind
