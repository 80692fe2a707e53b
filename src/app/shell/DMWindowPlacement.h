#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>

class QWidget;

namespace harbormind {

// Places every window, when it is first shown, centred on the window it belongs to (its
// parent's window, else the anchor: the main window) and wholly on that window's screen, so
// that no window opens partly off-screen or in a corner far from where the user works.
class DMWindowPlacement final : public QObject {
public:
    // Watches every window of the application until the returned object goes; `anchor` names
    // the window of windows without a parent.
    static std::unique_ptr<DMWindowPlacement> install(std::function<QWidget*()> anchor);

    // The top-left corner of a window of `size` centred on `over` and moved wholly onto `screen`
    // (its top-left corner stays on the screen when it is larger).
    static QPoint centred(const QSize& size, const QRect& over, const QRect& screen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DMWindowPlacement(std::function<QWidget*()> anchor);
    void place(QWidget* window) const;

    std::function<QWidget*()> anchor_;
};

}  // namespace harbormind
