#include "app/common/DMFailureText.h"
#include "app/common/DMTextFormat.h"
#include "app/common/DMTexts.h"
#include "app/common/DMTr.h"

#include <QCoreApplication>
#include <QString>

namespace harbormind {
namespace {

std::string translated(const char* text) {
    return QCoreApplication::translate(DMTr::context, text).toStdString();
}

}  // namespace

std::string DMFailureText::sentence(const std::string& reason) {
    QString text = QString::fromStdString(reason).trimmed();
    if (text.isEmpty()) {
        return {};
    }
    text[0] = text[0].toUpper();
    if (!text.endsWith('.') && !text.endsWith('!') && !text.endsWith('?')) {
        text += '.';
    }
    return text.toStdString();
}

bool DMFailureText::isNotAuthorized(const std::string& reason) {
    return reason.find("not authorized") != std::string::npos;
}

std::string DMFailureText::notAllowed(Action action) {
    switch (action) {
    case Action::mount:
        return translated("Your account is not allowed to mount this drive. Ask an administrator, or see "
                          "\"man harbormindctl\" (ACCESS).");
    case Action::unmount:
        return translated("Your account is not allowed to unmount this drive. Ask an administrator, or see "
                          "\"man harbormindctl\" (ACCESS).");
    case Action::eject:
        return translated("Your account is not allowed to eject this drive. Ask an administrator, or see "
                          "\"man harbormindctl\" (ACCESS).");
    case Action::check:
        return translated("Your account is not allowed to check this drive. Ask an administrator, or see "
                          "\"man harbormindctl\" (ACCESS).");
    }
    return {};
}

std::string DMFailureText::explain(Action action, const std::string& reason) {
    if (reason.empty()) {
        return {};
    }
    if (isNotAuthorized(reason)) {
        return notAllowed(action);
    }
    QString format;
    switch (action) {
    case Action::mount: format = QCoreApplication::translate(DMTr::context, "The drive could not be mounted: %1"); break;
    case Action::unmount:
        format = QCoreApplication::translate(DMTr::context, "The drive could not be unmounted: %1");
        break;
    case Action::eject: format = QCoreApplication::translate(DMTr::context, "The drive could not be ejected: %1"); break;
    case Action::check: format = QCoreApplication::translate(DMTr::context, "The drive could not be checked: %1"); break;
    }
    return sentence(format.arg(QString::fromStdString(reason)).toStdString());
}

std::string DMFailureText::mountFailure(int code, const std::string& reason) {
    if (std::string text = explain(Action::mount, reason); !text.empty()) {
        return text;
    }
    return DMTextFormat::withInteger(
        DMTr::text(code == -1 ? DMTexts::mountFailedMinusOne : DMTexts::errorCodeContactSupport), code);
}

}  // namespace harbormind
