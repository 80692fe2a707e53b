#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

namespace harbormind {

// A bar made of coloured sections laid end to end, each with a value between `minValue` and
// `maxValue`; the rest of the bar stays in the track colour.
class DMProgressView : public QWidget {
public:
    struct Section {
        QColor colour;
        double value = 0;
    };

    explicit DMProgressView(QWidget* parent = nullptr);

    void setSections(std::vector<Section> sections);
    const std::vector<Section>& sections() const { return sections_; }
    double minValue = 0;
    double maxValue = 1;

    QSize sizeHint() const override { return {200, 14}; }
    QSize minimumSizeHint() const override { return {40, 14}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Section> sections_;
};

}  // namespace harbormind
