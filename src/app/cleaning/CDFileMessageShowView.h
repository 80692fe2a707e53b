#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace harbormind {

class FolderTreeNode;

// The details pane of the drive clear window: name, size, path, creation and modification
// times and, for folders, the folder and file counts of the selected entry, with "Open" and
// "Delete".
class CDFileMessageShowView : public QWidget {
public:
    explicit CDFileMessageShowView(QWidget* parent);

    void setData(FolderTreeNode* node);
    FolderTreeNode* data() const { return data_; }
    void setActionsEnabled(bool enabled);
    // The lines shown, top to bottom (empty lines left out).
    QStringList lines() const;

    QPushButton* btnOpenFinder() const { return btnOpenFinder_; }
    QPushButton* btnRemove() const { return btnRemove_; }

    std::function<void(FolderTreeNode* node)> onOpen;
    std::function<void(FolderTreeNode* node)> onRemove;

private:
    QLabel* ivIcon_;
    QLabel* lbName_;
    QLabel* lbSize_;
    QLabel* lbPath_;
    QLabel* lbCreated_;
    QLabel* lbModified_;
    QLabel* lbFolders_;
    QLabel* lbFiles_;
    QPushButton* btnOpenFinder_;
    QPushButton* btnRemove_;
    FolderTreeNode* data_ = nullptr;
};

}  // namespace harbormind
