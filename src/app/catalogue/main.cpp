// Writes every text the window shows as a C++ file of QT_TRANSLATE_NOOP entries, the form the
// catalogue tool reads; the "translations-update" build target hands it on to refresh the .ts files.
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

#include "app/common/DMTr.h"
#include "app/catalogue/DMWindowTexts.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: %s SOURCE_FOLDER OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    const std::set<QString> texts = harbormind::DMWindowTexts(arguments[1]).collect();
    QString code = QStringLiteral("// Generated from the window's sources; not compiled.\n");
    for (const QString& text : texts) {
        code += QStringLiteral("QT_TRANSLATE_NOOP(\"%1\", %2)\n")
                    .arg(QString::fromLatin1(harbormind::DMTr::context), harbormind::DMWindowTexts::literal(text));
    }
    QSaveFile output(arguments[2]);
    if (!output.open(QIODevice::WriteOnly) || output.write(code.toUtf8()) < 0 || !output.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(arguments[2]));
        return 1;
    }
    std::printf("%zu texts\n", texts.size());
    return 0;
}
