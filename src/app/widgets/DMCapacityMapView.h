#pragma once

#include <QWidget>
#include <string>

class QLabel;

namespace harbormind {

class DMProgressView;

// A capacity bar with a title and a subtitle; when the figures are not available the bar
// gives way to the "not available" label.
class DMCapacityMapView : public QWidget {
public:
    explicit DMCapacityMapView(QWidget* parent = nullptr);

    void setTitle(const std::string& title);
    void setSubtitle(const std::string& subtitle);
    // The used share, between 0 and 1, drawn in the capacity colour.
    void setUsedShare(double share);
    void setAvailable(bool available);

    std::string title() const;
    std::string subtitle() const;
    bool isAvailable() const { return isAvailable_; }
    DMProgressView* pvCapacity() const { return pvCapacity_; }

private:
    QLabel* lbTitle_;
    QLabel* lbSubtitle_;
    QLabel* lbNotAvailable_;
    DMProgressView* pvCapacity_;
    bool isAvailable_ = true;
};

}  // namespace harbormind
