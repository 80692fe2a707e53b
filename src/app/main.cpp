#include <QApplication>

#include "app/AppDelegate.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    harbormind::AppDelegate delegate;
    int status = delegate.applicationDidFinishLaunching(application.arguments());
    if (status >= 0) {
        return status;
    }
    return QApplication::exec();
}
