#pragma once

// Every text the encryption and unlock windows show, in one place.
namespace harbormind::BLEncryptionTexts {

// The dispatcher's alerts.
inline constexpr const char* alertTitle = "Drive encryption";
inline constexpr const char* alertBitLocker = "This drive will be encrypted by BitLocker compatible method";
inline constexpr const char* alertLuks = "This drive will be encrypted by LUKS2 compatible method";
inline constexpr const char* alertFileVault = "This drive will be encrypted by FileVault compatible method";
inline constexpr const char* alertContinue = "Continue";
inline constexpr const char* apfsNeedsPower =
    "When encrypting APFS file system, the device needs to be connected to the power supply.";
inline constexpr const char* ok = "Ok";
// Shown when no encryption job could be made (this system's own addition).
inline constexpr const char* cannotEncryptTitle = "This drive cannot be encrypted";
inline constexpr const char* bitLockerNotAvailable =
    "BitLocker encryption is not available on this system: the helper service can unlock and lock "
    "BitLocker drives here, but cannot encrypt them.";
inline constexpr const char* stillMounted =
    "The drive could not be unmounted within 60 seconds. Close the files and programs that use it and try again.";
inline constexpr const char* luksNotAvailable =
    "LUKS2 encryption is not available for this drive: the helper service could not be reached or "
    "cannot encrypt it.";
inline constexpr const char* unsupportedFileSystem = "Drives with this file system cannot be encrypted.";

// The wizard.
inline constexpr const char* cancel = "Cancel";
inline constexpr const char* previous = "Previous";
inline constexpr const char* next = "Next";
inline constexpr const char* startEncrypting = "Start encrypting";
inline constexpr const char* help = "Help";
inline constexpr const char* helpURL = "https://www.kestrane.com/harbormind/help/bitlocker-encryption";

inline constexpr const char* passwordTitle = "Use a password to encrypt your drive";
inline constexpr const char* passwordHint =
    "Passwords should contain uppercase and lowercase letters, numbers, spaces, and symbols.";
inline constexpr const char* enterPassword = "Enter your password";
inline constexpr const char* reenterPassword = "Reenter your password";
inline constexpr const char* passwordEmpty = "Please set your password for encryption";
inline constexpr const char* passwordMismatch = "The passwords you entered don't match.";
inline constexpr const char* passwordTooLong = "The password provided doesn't meet maximum length requirements.";
inline constexpr const char* passwordSpecialCharacters =
    "The password cannot contain some special characters such as '\\/ etc.";

inline constexpr const char* loadingTitle = "Starting to encrypt";
inline constexpr const char* loadingWait = "Please wait while initializing the drive.";
inline constexpr const char* loadingWarning = "{waring} Don't remove your drive during setup.";
inline constexpr const char* loadingRequirements = "What are system requirments?";
inline constexpr const char* requirementsURL = "https://www.kestrane.com/harbormind/help/encryption-requirements";

inline constexpr const char* saveTitle = "How do you want to back up your recovery key?";
inline constexpr const char* saveExplanation =
    "If you forget your password, you can use your recovery key to access your drive.";
inline constexpr const char* saveToFile = "Save to a file";
inline constexpr const char* printKey = "Print the recovery key";
inline constexpr const char* findKeyLater = "How can I find my recovery key later?";
inline constexpr const char* findKeyURL = "https://www.kestrane.com/harbormind/help/recovery-key";
inline constexpr const char* saveFirst = "Please save or print your recovery key to continue to the next step";
inline constexpr const char* savePanelMessage = "Choose a path to save your recovery key";
inline constexpr const char* savePanelType = "txt";
inline constexpr const char* proposedNamePrefix = "BitLocker Recovery Key ";
inline constexpr const char* saveFailed = "The recovery key could not be saved there.";
inline constexpr const char* headerSuffix = ".header";
// A resumed encryption makes a recovery key of its own.
inline constexpr const char* resumeNewKey =
    "Resuming adds a new recovery key. Keep this one: a key saved earlier for this drive may not open it.";
// A job that failed or was refused while the wizard was open.
inline constexpr const char* setupFailedFormat = "The encryption could not be started: %1";

inline constexpr const char* queryTitle = "Are you ready to encrypt this drive?";
inline constexpr const char* queryUnlock = "You'll be able to unlock this drive using a password.";
inline constexpr const char* queryDuration = "Encryption might take a while depending on the size of the drive.";
inline constexpr const char* queryUnprotected = "Until encryption is complete, your files won't be protected.";

// The progress window.
inline constexpr const char* encrypting = "Encrypting...";
inline constexpr const char* progressTip = " Do not unplug the drive and power supply during the encryption process.";
inline constexpr const char* completed = "Completed";
inline constexpr const char* encrypted = "The drive has been encrypted!";
inline constexpr const char* interruptedFormat = "Encryption is interrupted, error code: %d";
// The detached header, handed over once the job has finished.
inline constexpr const char* headerSavedFormat =
    "The drive's header was saved as \"%1\". Keep it with the recovery key: the drive cannot be opened without "
    "its header.";
inline constexpr const char* headerNotSavedFormat =
    "The drive's header was not saved (%1). Save it now: the drive cannot be opened without its header.";
inline constexpr const char* headerUnsaved =
    "Save the drive's header and keep it with the recovery key: the drive cannot be opened without it.";
inline constexpr const char* saveHeader = "Save the Header...";
inline constexpr const char* headerPanelMessage = "Choose where to save the drive's header";
inline constexpr const char* headerPanelType = "header";
inline constexpr const char* headerProposedName = "Drive Header";
inline constexpr const char* headerUnavailable = "the helper service did not hand it over";
inline constexpr const char* headerIncomplete = "the helper service handed over an incomplete header";
inline constexpr const char* headerNotWritten = "it could not be written there";
inline constexpr const char* headerDiffers = "what was written there differs from the header";
// Exporting the header of an encrypted volume later.
inline constexpr const char* exportTitle = "Export the drive's header";
inline constexpr const char* exportSavedFormat =
    "The header of \"%1\" was saved as \"%2\". Keep it safe: the drive cannot be opened without it.";
inline constexpr const char* exportFailedFormat = "The header of \"%1\" was not saved: %2.";

// The password window before an interrupted encryption resumes.
inline constexpr const char* resumeTitle = "Continue encrypting your drive";
inline constexpr const char* resumePrompt = "Enter the password you chose for this drive to continue its encryption:";

// The unlock window.
inline constexpr const char* unlockTitle = "Unlock your encrypted drive";
inline constexpr const char* unlockPrompt = "Enter the password of this encrypted drive:";
inline constexpr const char* rememberPassword = "Remember this password in my keychain";
inline constexpr const char* unlock = "Unlock";
inline constexpr const char* passwordIncorrect = "The password is incorrect";
// A failure the daemon explained (no device-mapper, a half-encrypted volume...).
inline constexpr const char* unlockFailedFormat = "The drive could not be unlocked: %1";
// Result 20 while the USB blocker is on (this system's own choice of text).
inline constexpr const char* blockedByUSBBlocker =
    "The drive was unlocked, but the USB blocker did not allow it to be mounted.";
inline constexpr const char* showPassword = "Show password";

}  // namespace harbormind::BLEncryptionTexts
