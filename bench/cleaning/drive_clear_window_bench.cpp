// How the drive clear window copes with a very large tree.
//
//   drive_clear_window_bench DIR [FILES]
//
// Makes FILES empty files (default 1,000,000) in folders of 100 under DIR (three levels), opens
// a drive clear window on it under the offscreen platform, and prints: the scan time (start to
// the scan's end), the time from the scan's end to a painted tree, and the times of marking and
// unmarking the top node (the mark, the recount, the status line and a repaint, then the steps
// that carry the mark to every entry). DIR is removed afterwards.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/cleaning/CDDriveClearFileTreeView.h"
#include "app/cleaning/CDDriveClearStatuBarView.h"
#include "app/cleaning/CDDriveClearTreeModel.h"
#include "app/cleaning/CDDriveClearViewController.h"
#include "app/common/DMAlertPresenter.h"
#include "cleaning/DMFileScanManager.h"
#include "cleaning/FolderTreeNode.h"
#include "platform/linux/files/LinuxDirectoryWalker.h"
#include "support/Dispatch.h"

using namespace harbormind;

namespace {

using Steady = std::chrono::steady_clock;

double msSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

class SilentPresenter final : public DMAlertPresenter {
public:
    void present(const DMAlert&, QWidget*, Reply) override {}
};

bool makeTree(const std::string& dir, long files) {
    constexpr long perFolder = 100;
    long folders = (files + perFolder - 1) / perFolder;
    long made = 0;
    for (long folder = 0; folder < folders; ++folder) {
        std::string path = dir + "/" + std::to_string(folder / 1000) + "/" + std::to_string(folder / 10 % 100) + "/" +
                           std::to_string(folder % 10);
        std::filesystem::create_directories(path);
        int handle = ::open(path.c_str(), O_DIRECTORY | O_RDONLY);
        if (handle < 0) {
            return false;
        }
        for (long i = 0; i < perFolder && made < files; ++i, ++made) {
            std::string name = "file" + std::to_string(i) + ".dat";
            int file = ::openat(handle, name.c_str(), O_CREAT | O_WRONLY, 0644);
            if (file < 0) {
                ::close(handle);
                return false;
            }
            ::close(file);
        }
        ::close(handle);
    }
    return true;
}

// Lets the window handle everything pending and paint itself.
void settle(QWidget& window) {
    QApplication::processEvents();
    window.repaint();
    (void)window.grab();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [FILES]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const long files = argc > 2 ? std::atol(argv[2]) : 1000000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    Dispatch::main().adoptCurrentThread();

    auto start = Steady::now();
    if (!makeTree(dir, files)) {
        std::perror("making the tree");
        return 1;
    }
    std::printf("made %ld files in %.1f s\n", files, msSince(start) / 1000);

    LinuxDirectoryWalker walker;
    DMFileScanManager manager(&walker);
    CDDriveClearViewController view(manager, std::make_shared<SilentPresenter>(), nullptr, nullptr);
    view.resize(980, 600);
    view.show();
    settle(view);

    start = Steady::now();
    view.start(dir);
    // The scan's end is when the window takes the tree; this waits for the report to arrive.
    Dispatch::main().runUntil([&] { return view.fileTreeOutlineView()->root() != nullptr; });
    const double scanAndShow = msSince(start);
    auto shown = Steady::now();
    settle(view);
    const double paint = msSince(shown);

    std::shared_ptr<FolderTreeNode> root = view.fileTreeOutlineView()->root();
    CDDriveClearTreeModel* model = view.fileTreeOutlineView()->treeModel();
    const QModelIndex top = model->index(0, 0, {});

    CDDriveClearFileTreeView* treeView = view.fileTreeOutlineView();
    auto mark = Steady::now();
    model->setData(top, Qt::Checked, Qt::CheckStateRole);
    const double markOnly = msSince(mark);
    settle(view);
    const double markPainted = msSince(mark);
    const std::string marked = view.statusBarView()->status().toStdString();
    // The longest turn of the event loop while the mark reaches every entry, and the whole time.
    double longestStep = 0;
    while (treeView->isSpreading()) {
        auto step = Steady::now();
        Dispatch::main().drain();
        longestStep = std::max(longestStep, msSince(step));
    }
    const double markSpread = msSince(mark);

    auto unmark = Steady::now();
    model->setData(top, Qt::Unchecked, Qt::CheckStateRole);
    const double unmarkOnly = msSince(unmark);
    settle(view);
    const double unmarkPainted = msSince(unmark);
    treeView->finishSpreading();
    const double unmarkSpread = msSince(unmark);

    std::printf("nodes: %lld files, %lld folders\n", static_cast<long long>(root->iFileCount),
                static_cast<long long>(root->iFolderCount));
    std::printf("scan (start to the window taking the tree): %.0f ms\n", scanAndShow);
    std::printf("scan end to a painted tree: %.1f ms\n", paint);
    std::printf("mark the top node: %.1f ms (%.1f ms with the count, status line and repaint); every entry "
                "marked after %.1f ms in steps of at most %.1f ms\n",
                markOnly, markPainted, markSpread, longestStep);
    std::printf("unmark the top node: %.1f ms (%.1f ms with the repaint); %.1f ms to every entry at once\n", unmarkOnly,
                unmarkPainted, unmarkSpread);
    std::printf("status line when marked: %s\n", marked.c_str());

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
