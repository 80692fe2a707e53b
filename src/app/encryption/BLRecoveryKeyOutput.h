#pragma once

#include <optional>
#include <string>

class QWidget;

namespace harbormind {

// Where the recovery key goes: a file the user picks in a save panel, or the printer.
class BLRecoveryKeyOutput {
public:
    virtual ~BLRecoveryKeyOutput() = default;
    // The path chosen in a save panel that opens in `folder`; none when cancelled.
    virtual std::optional<std::string> choosePath(QWidget* parent, const std::string& message,
                                                  const std::string& folder, const std::string& proposedName,
                                                  const std::string& type) = 0;
    // True when the text was sent to a printer.
    virtual bool print(QWidget* parent, const std::string& text) = 0;
};

// The system's save panel and print dialog.
class BLDialogRecoveryKeyOutput final : public BLRecoveryKeyOutput {
public:
    std::optional<std::string> choosePath(QWidget* parent, const std::string& message, const std::string& folder,
                                          const std::string& proposedName, const std::string& type) override;
    bool print(QWidget* parent, const std::string& text) override;
};

}  // namespace harbormind
