#pragma once

#include <QWidget>

namespace harbormind {

// The row of dots under the wizard: one per page, the current one filled.
class BLPageController : public QWidget {
public:
    BLPageController(int pages, QWidget* parent = nullptr);
    void setCurrentPage(int page);
    int currentPage() const { return current_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int pages_;
    int current_ = 0;
};

}  // namespace harbormind
