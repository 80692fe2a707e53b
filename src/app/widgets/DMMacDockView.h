#pragma once

#include <QWidget>
#include <vector>

#include "app/widgets/DMMacDockViewBaseItem.h"

class QLabel;
class QToolButton;

namespace harbormind {

class DMMacDockViewDelegate;

// A row of named icons on a translucent background. Hovering magnifies the icon under the
// pointer and, less, its neighbours, and shows the hovered item's name; clicking (or Space
// and Enter on the focused item) tells the delegate. Disabled items are drawn disabled.
class DMMacDockView : public QWidget {
public:
    explicit DMMacDockView(QWidget* parent = nullptr);

    void setDelegate(DMMacDockViewDelegate* delegate) { delegate_ = delegate; }
    void setItems(std::vector<DMMacDockViewBaseItem> items);
    const std::vector<DMMacDockViewBaseItem>& items() const { return items_; }
    // Asks the delegate again which items are disabled.
    void reloadEnabledState();

    // For tests and keyboard users: the button of an item, by its name.
    QToolButton* button(const std::string& name) const;
    bool isEnabled(const std::string& name) const;

    static constexpr double minRate = 1.0;
    static constexpr double maxRate = 1.3;

    // Wide enough for every name under its icon; narrower, the names go (hovering or focusing
    // an item still shows its name under the row) rather than overlap.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool isCompact() const { return compact_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void magnify(int hovered);
    void setCompact(bool compact);
    int rowWidth(bool compact) const;

    DMMacDockViewDelegate* delegate_ = nullptr;
    std::vector<DMMacDockViewBaseItem> items_;
    std::vector<QToolButton*> buttons_;
    QWidget* row_;
    QLabel* lbItemName_;
    bool compact_ = false;
};

}  // namespace harbormind
