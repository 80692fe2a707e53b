#pragma once

#include <QWidget>
#include <string>

class QLabel;

namespace harbormind {

// One fact of a detail view: the key followed by ":" and its value.
class DMKeyValueView : public QWidget {
public:
    DMKeyValueView(const std::string& key, QWidget* parent = nullptr);

    const std::string& key() const { return key_; }
    std::string value() const;
    void setValue(const std::string& value);
    // The width the key needs, at least the least every key is given; and the width it is given
    // (a group of rows gives all its keys the widest one's, see DMKeyColumn).
    int keyWidthHint() const;
    void setKeyWidth(int width);

    static constexpr int leastKeyWidth = 110;

private:
    std::string key_;
    QLabel* lbKey_;
    QLabel* lbValue_;
};

}  // namespace harbormind
