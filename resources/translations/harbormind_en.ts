<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>Harbormind</name>
    <message>
        <source>The disk check feature will check and repair errors on the disk. If there are errors found, please back up the important data before repairing.</source>
        <translation>The disk check feature will check and repair errors on the disk. If there are errors found, please back up the important data before repairing.</translation>
    </message>
    <message>
        <source>Do you want to check and repair the disk &quot;%@&quot;?</source>
        <translation>Do you want to check and repair the disk &quot;%@&quot;?</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>Repair</source>
        <translation>Repair</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Checking the drive</source>
        <translation>Checking the drive</translation>
    </message>
    <message>
        <source>Prearing...</source>
        <translation>Preparing...</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Complete</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Start check drive</source>
        <translation>Checking the drive</translation>
    </message>
    <message>
        <source> Start check drive. Please wait...
</source>
        <translation>Checking the drive. Please wait...
</translation>
    </message>
    <message>
        <source>Check completes
</source>
        <translation>Check complete
</translation>
    </message>
    <message>
        <source>Add drive successfully.</source>
        <translation>Drive added</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been added successfully.</source>
        <translation>&quot;%@&quot; was added.</translation>
    </message>
    <message>
        <source>Remove drive successfully.</source>
        <translation>Drive removed</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been removed successfully.</source>
        <translation>&quot;%@&quot; was removed.</translation>
    </message>
    <message>
        <source>Mount drive successfully.</source>
        <translation>Drive mounted</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been mounted successfully.</source>
        <translation>&quot;%@&quot; was mounted.</translation>
    </message>
    <message>
        <source>Unmount drive successfully.</source>
        <translation>Drive unmounted</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been unmount successfully.</source>
        <translation>&quot;%@&quot; was unmounted.</translation>
    </message>
    <message>
        <source>Connect network drive successfully.</source>
        <translation>Network drive connected</translation>
    </message>
    <message>
        <source>Network drive: &quot;%@&quot; has been connected successfully.</source>
        <translation>The network drive &quot;%@&quot; was connected.</translation>
    </message>
    <message>
        <source>Disconnect network drive successfully.</source>
        <translation>Network drive disconnected</translation>
    </message>
    <message>
        <source>Network drive: &quot;%@&quot; has been disconnected successfully.</source>
        <translation>The network drive &quot;%@&quot; was disconnected.</translation>
    </message>
    <message>
        <source>Clean Junk</source>
        <translation>Clean Junk</translation>
    </message>
    <message>
        <source>Clean Drive</source>
        <translation>Clean Drive</translation>
    </message>
    <message>
        <source>Stop the scan</source>
        <translation>Stop the scan</translation>
    </message>
    <message>
        <source>Stopping...</source>
        <translation>Stopping...</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Deleting...</translation>
    </message>
    <message>
        <source>Scanning...</source>
        <translation>Scanning...</translation>
    </message>
    <message>
        <source>Searching for files in the directory of %@</source>
        <translation>Searching for files in the directory of %@</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Clean</source>
        <translation>Clean</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Modified time</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>Show in Finder</source>
        <translation>Show in File Manager</translation>
    </message>
    <message>
        <source>Files don&apos;t exist, please refresh.</source>
        <translation>The files no longer exist; refresh the list.</translation>
    </message>
    <message>
        <source>Folders don&apos;t exist, please refresh.</source>
        <translation>The folders no longer exist; refresh the list.</translation>
    </message>
    <message>
        <source>File names: %@</source>
        <translation>File names: %@</translation>
    </message>
    <message>
        <source>Size: %@</source>
        <translation>Size: %@</translation>
    </message>
    <message>
        <source>Path: %@</source>
        <translation>Path: %@</translation>
    </message>
    <message>
        <source>Created time: %@</source>
        <translation>Created: %@</translation>
    </message>
    <message>
        <source>Modified time: %@</source>
        <translation>Modified: %@</translation>
    </message>
    <message>
        <source>folders: %d</source>
        <translation>Folders: %d</translation>
    </message>
    <message>
        <source>files: %d</source>
        <translation>Files: %d</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>%@ folders, %@ files, %@ will be deleted.</source>
        <translation>%@ folders, %@ files, %@ will be deleted.</translation>
    </message>
    <message>
        <source>Kestrane Harbormind</source>
        <translation>Kestrane Harbormind</translation>
    </message>
    <message>
        <source>Local Drive</source>
        <translation>Local Drive</translation>
    </message>
    <message>
        <source>Network Drive</source>
        <translation>Network Drive</translation>
    </message>
    <message>
        <source>Loading Drive ...</source>
        <translation>Loading drives...</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Add whitelist</source>
        <translation>Add to White List</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Unlock</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>Mount</source>
        <translation>Mount</translation>
    </message>
    <message>
        <source>Unmount</source>
        <translation>Unmount</translation>
    </message>
    <message>
        <source>Eject</source>
        <translation>Eject</translation>
    </message>
    <message>
        <source>Encrypt</source>
        <translation>Encrypt</translation>
    </message>
    <message>
        <source>Export Header...</source>
        <translation>Export Header...</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Unmount All</source>
        <translation>Unmount All</translation>
    </message>
    <message>
        <source>Connect All</source>
        <translation>Connect All</translation>
    </message>
    <message>
        <source>Disconnect All</source>
        <translation>Disconnect All</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Preferences...</translation>
    </message>
    <message>
        <source>USB Warden</source>
        <translation>USB Warden</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>More</source>
        <translation>More</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Stop USB Warden</source>
        <translation>Stop USB Warden</translation>
    </message>
    <message>
        <source>USB Warden Preferences</source>
        <translation>USB Warden Preferences</translation>
    </message>
    <message>
        <source>Enable USB Warden</source>
        <translation>Enable USB Warden</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Check for Updates...</translation>
    </message>
    <message>
        <source>Enable Debug Logging</source>
        <translation>Enable Debug Logging</translation>
    </message>
    <message>
        <source>Uninstall</source>
        <translation>Uninstall</translation>
    </message>
    <message>
        <source>Attach Disk Image...</source>
        <translation>Attach Disk Image...</translation>
    </message>
    <message>
        <source>Attach Disk Image</source>
        <translation>Attach Disk Image</translation>
    </message>
    <message>
        <source>Disk images (*.img *.iso *.raw *.bin);;All files (*)</source>
        <translation>Disk images (*.img *.iso *.raw *.bin);;All files (*)</translation>
    </message>
    <message>
        <source>The disk image could not be attached</source>
        <translation>The disk image could not be attached</translation>
    </message>
    <message>
        <source>The disk image was attached read-only as %@</source>
        <translation>The disk image was attached read-only as %@</translation>
    </message>
    <message>
        <source>Mount Point</source>
        <translation>Mount Point</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Capacity</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Used</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Available</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Partition Map</source>
        <translation>Partition Map</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Not Mounted</source>
        <translation>Not Mounted</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Not Connected</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>not available</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>%@ Volume</source>
        <translation>%@ Volume</translation>
    </message>
    <message>
        <source>Used: </source>
        <translation>Used: </translation>
    </message>
    <message>
        <source>Available: </source>
        <translation>Available: </translation>
    </message>
    <message>
        <source>First Aid</source>
        <translation>First Aid</translation>
    </message>
    <message>
        <source>Clone</source>
        <translation>Clone</translation>
    </message>
    <message>
        <source>resumeClone</source>
        <translation>Resume Clone</translation>
    </message>
    <message>
        <source>The current drive is not mounted by the NTFS driver from Kestrane.To enjoy faster read/write speed and secure your data, please install the NTFS driver from Kestrane and then mount this drive again.</source>
        <translation>This drive is not mounted by the NTFS driver from Kestrane. For faster reading and writing and to keep your data safe, install the NTFS driver from Kestrane and mount this drive again.</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Install</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Failed to mount this drive,  please try again later. (error code: %d)</source>
        <translation>The drive could not be mounted (error code %d).</translation>
    </message>
    <message>
        <source>Error code: %d, please contact technical support.</source>
        <translation>The operation failed (error code %d). If this keeps happening, contact technical support.</translation>
    </message>
    <message>
        <source>Connection failed</source>
        <translation>Connection failed</translation>
    </message>
    <message>
        <source>Disconnection failed</source>
        <translation>Disconnection failed</translation>
    </message>
    <message>
        <source>The helper service is not running: </source>
        <translation>The helper service is not running: </translation>
    </message>
    <message>
        <source>The server has been connected.</source>
        <translation>The server has been connected.</translation>
    </message>
    <message>
        <source>Connection timeout.</source>
        <translation>The connection timed out.</translation>
    </message>
    <message>
        <source>Password of the server is incorrect.</source>
        <translation>The password for the server is incorrect.</translation>
    </message>
    <message>
        <source>User cancelled operation.</source>
        <translation>The operation was cancelled.</translation>
    </message>
    <message>
        <source>Host is down.</source>
        <translation>Host is down.</translation>
    </message>
    <message>
        <source>Permission denied.</source>
        <translation>Permission denied.</translation>
    </message>
    <message>
        <source>Install NTFS driver</source>
        <translation>Install NTFS driver</translation>
    </message>
    <message>
        <source>To read and write NTFS drive fast and stably, we highly recommend you install NTFS driver from Kestrane.</source>
        <translation>To read and write NTFS drives quickly and reliably, install the NTFS driver from Kestrane.</translation>
    </message>
    <message>
        <source>Need to install and allow system extension</source>
        <translation>The system extension must be installed and allowed</translation>
    </message>
    <message>
        <source>To mount this drive in read-write mode, you need to install and allow system extension.</source>
        <translation>To mount this drive in read-write mode, install and allow the system extension.</translation>
    </message>
    <message>
        <source>Failed to open &apos;%@&apos; in read-write mode</source>
        <translation>Failed to open &apos;%@&apos; in read-write mode</translation>
    </message>
    <message>
        <source>Problems were detected with the &apos;%@&apos; and it&apos;s been opened in read-only mode. Need to check the disk before continuing to open it in read-write mode</source>
        <translation>Problems were found on &apos;%@&apos;, so it was opened read-only. Check the disk before opening it in read-write mode.</translation>
    </message>
    <message>
        <source>View Details...</source>
        <translation>View Details...</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Not Now</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Are you sure you want to uninstall this software and all components?</source>
        <translation>Are you sure you want to uninstall this software and all components?</translation>
    </message>
    <message>
        <source>The USB Warden agent could not be stopped, so nothing was uninstalled. Stop USB Warden first, then try again.</source>
        <translation>The USB Warden agent could not be stopped, so nothing was uninstalled. Stop USB Warden first, then try again.</translation>
    </message>
    <message>
        <source>Your settings were removed, but the package manager did not remove the application. Remove its package with your package manager</source>
        <translation>Your settings were removed, but the package manager did not remove the application. Remove its package with your package manager</translation>
    </message>
    <message>
        <source>Install successfully</source>
        <translation>Installed</translation>
    </message>
    <message>
        <source>The driver has been installed successfully!</source>
        <translation>The driver was installed.</translation>
    </message>
    <message>
        <source>The system extension needs to be installed manually</source>
        <translation>The system extension needs to be installed manually</translation>
    </message>
    <message>
        <source>Failed to install the system extension automatically. Please try to install the system extension manually.</source>
        <translation>Failed to install the system extension automatically. Please try to install the system extension manually.</translation>
    </message>
    <message>
        <source>Install manually</source>
        <translation>Install manually</translation>
    </message>
    <message>
        <source>Delete the drive?</source>
        <translation>Delete the drive?</translation>
    </message>
    <message>
        <source>The device will not be saved locally after deletion</source>
        <translation>Once deleted, the drive is no longer saved on this computer.</translation>
    </message>
    <message>
        <source>Comfirm</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>&quot;%@&quot; is in use</source>
        <translation>&quot;%@&quot; is in use</translation>
    </message>
    <message>
        <source>The volume was not unmounted: %@. Close the files and programs that use it, then try again. Force Unmount takes it away even so; what those programs still write to it is lost.</source>
        <translation>The volume was not unmounted: %@. Close the files and programs that use it, then try again. Force Unmount takes it away even so; what those programs still write to it is lost.</translation>
    </message>
    <message>
        <source>Force Unmount</source>
        <translation>Force Unmount</translation>
    </message>
    <message>
        <source>&quot;%@&quot; could not be unmounted</source>
        <translation>&quot;%@&quot; could not be unmounted</translation>
    </message>
    <message>
        <source>&quot;%@&quot; could not be ejected</source>
        <translation>&quot;%@&quot; could not be ejected</translation>
    </message>
    <message>
        <source>&quot;%@&quot; could not be opened</source>
        <translation>&quot;%@&quot; could not be opened</translation>
    </message>
    <message>
        <source>The drive is not mounted, or no file manager could be started to show it.</source>
        <translation>The drive is not mounted, or no file manager could be started to show it.</translation>
    </message>
    <message>
        <source>The help page could not be opened</source>
        <translation>The help page could not be opened</translation>
    </message>
    <message>
        <source>No web browser could be started to show %@.</source>
        <translation>No web browser could be started to show %@.</translation>
    </message>
    <message>
        <source>not available for this drive</source>
        <translation>not available for this drive</translation>
    </message>
    <message>
        <source>needs the helper service (drivemanagerd), which is not running</source>
        <translation>needs the helper service (drivemanagerd), which is not running</translation>
    </message>
    <message>
        <source>not supported on Linux yet</source>
        <translation>not supported on Linux yet</translation>
    </message>
    <message>
        <source>No drives found</source>
        <translation>No drives found</translation>
    </message>
    <message>
        <source>No drive matches &quot;%@&quot;</source>
        <translation>No drive matches &quot;%@&quot;</translation>
    </message>
    <message>
        <source>Select a drive in the list</source>
        <translation>Select a drive in the list</translation>
    </message>
    <message>
        <source>harbormind is already running; its window was raised.</source>
        <translation>harbormind is already running; its window was raised.</translation>
    </message>
    <message>
        <source>Finish Setting Up</source>
        <translation>Finish Setting Up</translation>
    </message>
    <message>
        <source>Some drives need a piece this computer does not have yet:</source>
        <translation>Some drives need a piece this computer does not have yet:</translation>
    </message>
    <message>
        <source>Everything Kestrane Harbormind needs is in place.</source>
        <translation>Everything Kestrane Harbormind needs is in place.</translation>
    </message>
    <message>
        <source>NTFS driver (ntfs-3g)</source>
        <translation>NTFS driver (ntfs-3g)</translation>
    </message>
    <message>
        <source>Needed to write to NTFS drives and to open BitLocker drives. Click Install and confirm with your password, or run in a terminal:
    sudo apt install ntfs-3g</source>
        <translation>Needed to write to NTFS drives and to open BitLocker drives. Click Install and confirm with your password, or run in a terminal:
    sudo apt install ntfs-3g</translation>
    </message>
    <message>
        <source>Helper service (drivemanagerd)</source>
        <translation>Helper service (drivemanagerd)</translation>
    </message>
    <message>
        <source>Mounts drives for you, runs First Aid, clones and encrypts. It could not be reached (%@). Install the harbormind package, or run in a terminal:
    sudo systemctl enable --now drivemanagerd</source>
        <translation>Mounts drives for you, runs First Aid, clones and encrypts. It could not be reached (%@). Install the harbormind package, or run in a terminal:
    sudo systemctl enable --now drivemanagerd</translation>
    </message>
    <message>
        <source>Check Again</source>
        <translation>Check Again</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>New Network Drive</source>
        <translation>New Network Drive</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>Nickname:</source>
        <translation>Nickname:</translation>
    </message>
    <message>
        <source>Foo</source>
        <translation>My Network Drive</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Example: 192.168.0.100/documents</source>
        <translation>Example: 192.168.0.100/documents</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Username:</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Username</translation>
    </message>
    <message>
        <source>Anonymous Login</source>
        <translation>Anonymous Login</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Please fill in: %@</source>
        <translation>Please fill in: %@</translation>
    </message>
    <message>
        <source>Nickname</source>
        <translation>Nickname</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Username (or choose Anonymous Login)</source>
        <translation>Username (or choose Anonymous Login)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Drive encryption</source>
        <translation>Drive Encryption</translation>
    </message>
    <message>
        <source>This drive will be encrypted by BitLocker compatible method</source>
        <translation>This drive will be encrypted with a BitLocker-compatible method</translation>
    </message>
    <message>
        <source>This drive will be encrypted by LUKS2 compatible method</source>
        <translation>This drive will be encrypted with a LUKS2-compatible method</translation>
    </message>
    <message>
        <source>This drive will be encrypted by FileVault compatible method</source>
        <translation>This drive will be encrypted with a FileVault-compatible method</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>When encrypting APFS file system, the device needs to be connected to the power supply.</source>
        <translation>To encrypt an APFS file system, connect the computer to a power supply.</translation>
    </message>
    <message>
        <source>This drive cannot be encrypted</source>
        <translation>This drive cannot be encrypted</translation>
    </message>
    <message>
        <source>BitLocker encryption is not available on this system: the helper service can unlock and lock BitLocker drives here, but cannot encrypt them.</source>
        <translation>BitLocker encryption is not available on this system: the helper service can unlock and lock BitLocker drives here, but cannot encrypt them.</translation>
    </message>
    <message>
        <source>The drive could not be unmounted within 60 seconds. Close the files and programs that use it and try again.</source>
        <translation>The drive could not be unmounted within 60 seconds. Close the files and programs that use it and try again.</translation>
    </message>
    <message>
        <source>LUKS2 encryption is not available for this drive: the helper service could not be reached or cannot encrypt it.</source>
        <translation>LUKS2 encryption is not available for this drive: the helper service could not be reached or cannot encrypt it.</translation>
    </message>
    <message>
        <source>Drives with this file system cannot be encrypted.</source>
        <translation>Drives with this file system cannot be encrypted.</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Start encrypting</source>
        <translation>Start encrypting</translation>
    </message>
    <message>
        <source>Use a password to encrypt your drive</source>
        <translation>Use a password to encrypt your drive</translation>
    </message>
    <message>
        <source>Passwords should contain uppercase and lowercase letters, numbers, spaces, and symbols.</source>
        <translation>Passwords should contain uppercase and lowercase letters, numbers, spaces, and symbols.</translation>
    </message>
    <message>
        <source>Enter your password</source>
        <translation>Enter your password</translation>
    </message>
    <message>
        <source>Reenter your password</source>
        <translation>Re-enter your password</translation>
    </message>
    <message>
        <source>Please set your password for encryption</source>
        <translation>Please set your password for encryption</translation>
    </message>
    <message>
        <source>The passwords you entered don&apos;t match.</source>
        <translation>The passwords you entered don&apos;t match.</translation>
    </message>
    <message>
        <source>The password provided doesn&apos;t meet maximum length requirements.</source>
        <translation>The password is longer than allowed.</translation>
    </message>
    <message>
        <source>The password cannot contain some special characters such as &apos;\/ etc.</source>
        <translation>The password cannot contain special characters such as &apos; \ or /.</translation>
    </message>
    <message>
        <source>Starting to encrypt</source>
        <translation>Starting to encrypt</translation>
    </message>
    <message>
        <source>Please wait while initializing the drive.</source>
        <translation>Please wait while the drive is prepared.</translation>
    </message>
    <message>
        <source>{waring} Don&apos;t remove your drive during setup.</source>
        <translation>Warning: don&apos;t remove your drive during setup.</translation>
    </message>
    <message>
        <source>What are system requirments?</source>
        <translation>What are the system requirements?</translation>
    </message>
    <message>
        <source>How do you want to back up your recovery key?</source>
        <translation>How do you want to back up your recovery key?</translation>
    </message>
    <message>
        <source>If you forget your password, you can use your recovery key to access your drive.</source>
        <translation>If you forget your password, you can use your recovery key to access your drive.</translation>
    </message>
    <message>
        <source>Save to a file</source>
        <translation>Save to a file</translation>
    </message>
    <message>
        <source>Print the recovery key</source>
        <translation>Print the recovery key</translation>
    </message>
    <message>
        <source>How can I find my recovery key later?</source>
        <translation>How can I find my recovery key later?</translation>
    </message>
    <message>
        <source>Please save or print your recovery key to continue to the next step</source>
        <translation>Please save or print your recovery key to continue to the next step</translation>
    </message>
    <message>
        <source>Choose a path to save your recovery key</source>
        <translation>Choose a path to save your recovery key</translation>
    </message>
    <message>
        <source>BitLocker Recovery Key </source>
        <translation>BitLocker Recovery Key </translation>
    </message>
    <message>
        <source>The recovery key could not be saved there.</source>
        <translation>The recovery key could not be saved there.</translation>
    </message>
    <message>
        <source>Resuming adds a new recovery key. Keep this one: a key saved earlier for this drive may not open it.</source>
        <translation>Resuming adds a new recovery key. Keep this one: a key saved earlier for this drive may not open it.</translation>
    </message>
    <message>
        <source>The encryption could not be started: %1</source>
        <translation>The encryption could not be started: %1</translation>
    </message>
    <message>
        <source>Are you ready to encrypt this drive?</source>
        <translation>Are you ready to encrypt this drive?</translation>
    </message>
    <message>
        <source>You&apos;ll be able to unlock this drive using a password.</source>
        <translation>You&apos;ll be able to unlock this drive using a password.</translation>
    </message>
    <message>
        <source>Encryption might take a while depending on the size of the drive.</source>
        <translation>Encryption might take a while depending on the size of the drive.</translation>
    </message>
    <message>
        <source>Until encryption is complete, your files won&apos;t be protected.</source>
        <translation>Until encryption is complete, your files won&apos;t be protected.</translation>
    </message>
    <message>
        <source>Encrypting...</source>
        <translation>Encrypting...</translation>
    </message>
    <message>
        <source> Do not unplug the drive and power supply during the encryption process.</source>
        <translation> Do not unplug the drive or the power supply while it is encrypted.</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Completed</translation>
    </message>
    <message>
        <source>The drive has been encrypted!</source>
        <translation>The drive has been encrypted!</translation>
    </message>
    <message>
        <source>Encryption is interrupted, error code: %d</source>
        <translation>The encryption was interrupted (error code %d).</translation>
    </message>
    <message>
        <source>The drive&apos;s header was saved as &quot;%1&quot;. Keep it with the recovery key: the drive cannot be opened without its header.</source>
        <translation>The drive&apos;s header was saved as &quot;%1&quot;. Keep it with the recovery key: the drive cannot be opened without its header.</translation>
    </message>
    <message>
        <source>The drive&apos;s header was not saved (%1). Save it now: the drive cannot be opened without its header.</source>
        <translation>The drive&apos;s header was not saved (%1). Save it now: the drive cannot be opened without its header.</translation>
    </message>
    <message>
        <source>Save the drive&apos;s header and keep it with the recovery key: the drive cannot be opened without it.</source>
        <translation>Save the drive&apos;s header and keep it with the recovery key: the drive cannot be opened without it.</translation>
    </message>
    <message>
        <source>Save the Header...</source>
        <translation>Save the Header...</translation>
    </message>
    <message>
        <source>Choose where to save the drive&apos;s header</source>
        <translation>Choose where to save the drive&apos;s header</translation>
    </message>
    <message>
        <source>Drive Header</source>
        <translation>Drive Header</translation>
    </message>
    <message>
        <source>the helper service did not hand it over</source>
        <translation>the helper service did not hand it over</translation>
    </message>
    <message>
        <source>the helper service handed over an incomplete header</source>
        <translation>the helper service handed over an incomplete header</translation>
    </message>
    <message>
        <source>it could not be written there</source>
        <translation>it could not be written there</translation>
    </message>
    <message>
        <source>what was written there differs from the header</source>
        <translation>what was written there differs from the header</translation>
    </message>
    <message>
        <source>Export the drive&apos;s header</source>
        <translation>Export the drive&apos;s header</translation>
    </message>
    <message>
        <source>The header of &quot;%1&quot; was saved as &quot;%2&quot;. Keep it safe: the drive cannot be opened without it.</source>
        <translation>The header of &quot;%1&quot; was saved as &quot;%2&quot;. Keep it safe: the drive cannot be opened without it.</translation>
    </message>
    <message>
        <source>The header of &quot;%1&quot; was not saved: %2.</source>
        <translation>The header of &quot;%1&quot; was not saved: %2.</translation>
    </message>
    <message>
        <source>Continue encrypting your drive</source>
        <translation>Continue encrypting your drive</translation>
    </message>
    <message>
        <source>Enter the password you chose for this drive to continue its encryption:</source>
        <translation>Enter the password you chose for this drive to continue its encryption:</translation>
    </message>
    <message>
        <source>Unlock your encrypted drive</source>
        <translation>Unlock your encrypted drive</translation>
    </message>
    <message>
        <source>Enter the password of this encrypted drive:</source>
        <translation>Enter the password of this encrypted drive:</translation>
    </message>
    <message>
        <source>Remember this password in my keychain</source>
        <translation>Remember this password in my keyring</translation>
    </message>
    <message>
        <source>The password is incorrect</source>
        <translation>The password is incorrect</translation>
    </message>
    <message>
        <source>The drive could not be unlocked: %1</source>
        <translation>The drive could not be unlocked: %1</translation>
    </message>
    <message>
        <source>The drive was unlocked, but the USB blocker did not allow it to be mounted.</source>
        <translation>The drive was unlocked, but the USB blocker did not allow it to be mounted.</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Show password</translation>
    </message>
    <message>
        <source>General </source>
        <translation>General</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Notification</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Launch at login</translation>
    </message>
    <message>
        <source>Show dock icon </source>
        <translation>Show dock icon</translation>
    </message>
    <message>
        <source>Show menu bar icon </source>
        <translation>Show menu bar icon</translation>
    </message>
    <message>
        <source>Open encrypted drives after unlocking</source>
        <translation>Open encrypted drives after unlocking</translation>
    </message>
    <message>
        <source>Open network drives after connecting</source>
        <translation>Open network drives after connecting</translation>
    </message>
    <message>
        <source>Appearance:</source>
        <translation>Appearance:</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Disconnect network drives when the system goes to sleep</source>
        <translation>Disconnect network drives when the system goes to sleep</translation>
    </message>
    <message>
        <source>Connect network drives when the system wakes up</source>
        <translation>Connect network drives when the system wakes up</translation>
    </message>
    <message>
        <source>Unmount external drives when the system goes to sleep</source>
        <translation>Unmount external drives when the system goes to sleep</translation>
    </message>
    <message>
        <source>Lock BitLocker drives when the system goes to sleep</source>
        <translation>Lock BitLocker drives when the system goes to sleep</translation>
    </message>
    <message>
        <source>Ignore hibernation file when mounting NTFS drives</source>
        <translation>Ignore the hibernation file when mounting NTFS drives</translation>
    </message>
    <message>
        <source>Install driver</source>
        <translation>Install driver</translation>
    </message>
    <message>
        <source>This system cannot install the NTFS driver from here.</source>
        <translation>This system cannot install the NTFS driver from here.</translation>
    </message>
    <message>
        <source>Notify when connected drives</source>
        <translation>Notify when drives are connected</translation>
    </message>
    <message>
        <source>Notify when disconnected drives</source>
        <translation>Notify when drives are disconnected</translation>
    </message>
    <message>
        <source>Notify when drives appeared</source>
        <translation>Notify when drives appear</translation>
    </message>
    <message>
        <source>Notify when drives disappeared</source>
        <translation>Notify when drives disappear</translation>
    </message>
    <message>
        <source>Turn On System Notifications</source>
        <translation>Turn On System Notifications</translation>
    </message>
    <message>
        <source>Notification settings</source>
        <translation>Notification settings</translation>
    </message>
    <message>
        <source>No notification settings program was found for this desktop. Kestrane Harbormind shows its notifications through the desktop&apos;s notification service; allow them for Kestrane Harbormind in your desktop&apos;s settings, under Notifications.</source>
        <translation>No notification settings program was found for this desktop. Kestrane Harbormind shows its notifications through the desktop&apos;s notification service; allow them for Kestrane Harbormind in your desktop&apos;s settings, under Notifications.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Erase...</source>
        <translation>Erase...</translation>
    </message>
    <message>
        <source>New Partition...</source>
        <translation>New Partition...</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Delete...</translation>
    </message>
    <message>
        <source>Erase %@?</source>
        <translation>Erase %@?</translation>
    </message>
    <message>
        <source>Delete the partition %@?</source>
        <translation>Delete the partition %@?</translation>
    </message>
    <message>
        <source>%@ Everything on it will be lost; mounted volumes are unmounted first.</source>
        <translation>%@ Everything on it will be lost; mounted volumes are unmounted first.</translation>
    </message>
    <message>
        <source>Erase</source>
        <translation>Erase</translation>
    </message>
    <message>
        <source>This drive cannot be erased</source>
        <translation>This drive cannot be erased</translation>
    </message>
    <message>
        <source>The drive could not be erased</source>
        <translation>The drive could not be erased</translation>
    </message>
    <message>
        <source>The partition could not be created</source>
        <translation>The partition could not be created</translation>
    </message>
    <message>
        <source>The partition could not be deleted</source>
        <translation>The partition could not be deleted</translation>
    </message>
    <message>
        <source>The partitions of this disk cannot be read</source>
        <translation>The partitions of this disk cannot be read</translation>
    </message>
    <message>
        <source>There is no free space on this disk</source>
        <translation>There is no free space on this disk</translation>
    </message>
    <message>
        <source>A new partition needs free space on a disk with a GUID or MBR partition table (an MBR table holds at most four). Delete a partition, or erase the whole disk.</source>
        <translation>A new partition needs free space on a disk with a GUID or MBR partition table (an MBR table holds at most four). Delete a partition, or erase the whole disk.</translation>
    </message>
    <message>
        <source>Erase &quot;%@&quot;</source>
        <translation>Erase &quot;%@&quot;</translation>
    </message>
    <message>
        <source>Erasing %@ deletes everything on it and gives it a new GUID partition table with one volume.</source>
        <translation>Erasing %@ deletes everything on it and gives it a new GUID partition table with one volume.</translation>
    </message>
    <message>
        <source>Erasing the volume %@ deletes everything on it.</source>
        <translation>Erasing the volume %@ deletes everything on it.</translation>
    </message>
    <message>
        <source>No destination device can be selected.</source>
        <translation>No destination device can be selected.</translation>
    </message>
    <message>
        <source>Source device</source>
        <translation>Source device</translation>
    </message>
    <message>
        <source>Please select the destin device to clone</source>
        <translation>Select the destination device for the clone</translation>
    </message>
    <message>
        <source>The capacity of the destination device must be larger than or equal to that of source device.</source>
        <translation>The destination device must be at least as large as the source device.</translation>
    </message>
    <message>
        <source>startClone</source>
        <translation>Start Clone</translation>
    </message>
    <message>
        <source>Cloning the drive will overwrite the data on the target drive. Please make a backup of your target drive.</source>
        <translation>Cloning the drive will overwrite the data on the target drive. Please make a backup of your target drive.</translation>
    </message>
    <message>
        <source>The clone interrupted, please click Continue to start cloning again.</source>
        <translation>The clone was interrupted. Click Continue to start cloning again.</translation>
    </message>
    <message>
        <source>UUID of the source device is full.</source>
        <translation>The source device&apos;s UUID cannot be used.</translation>
    </message>
    <message>
        <source>No source device found, please insert your source device and clone again.</source>
        <translation>No source device was found. Insert the source device and clone again.</translation>
    </message>
    <message>
        <source>Failed to open the source device.</source>
        <translation>Failed to open the source device.</translation>
    </message>
    <message>
        <source>Failed to open the destination device.</source>
        <translation>Failed to open the destination device.</translation>
    </message>
    <message>
        <source>The sector size of the destination device is not same as the source device.</source>
        <translation>The destination device&apos;s sector size differs from the source device&apos;s.</translation>
    </message>
    <message>
        <source> Not enough space on destination device.</source>
        <translation> Not enough space on the destination device.</translation>
    </message>
    <message>
        <source>Cloning...</source>
        <translation>Cloning...</translation>
    </message>
    <message>
        <source>The clone has completed.</source>
        <translation>The clone has completed.</translation>
    </message>
    <message>
        <source>No source device found.</source>
        <translation>No source device found.</translation>
    </message>
    <message>
        <source>No destination device found.</source>
        <translation>No destination device found.</translation>
    </message>
    <message>
        <source>The clone has stopped, error code: %d</source>
        <translation>The clone stopped (error code %d).</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Update Now</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>Version %@</source>
        <translation>Version %@</translation>
    </message>
    <message>
        <source>Release Notes:</source>
        <translation>Release Notes:</translation>
    </message>
    <message>
        <source>The length of password must be less than 48-digit.</source>
        <translation>The password must be shorter than 48 characters.</translation>
    </message>
    <message>
        <source>Failed to enable USB Warden.</source>
        <translation>Failed to enable USB Warden.</translation>
    </message>
    <message>
        <source>Enable USB Warden successfully.</source>
        <translation>USB Warden is on.</translation>
    </message>
    <message>
        <source>Please enter a password to disable USB Warden</source>
        <translation>Please enter a password to disable USB Warden</translation>
    </message>
    <message>
        <source> Disable USB Warden successfully.</source>
        <translation>USB Warden is off.</translation>
    </message>
    <message>
        <source>Failed to disableUSB Warden.</source>
        <translation>Failed to disable USB Warden.</translation>
    </message>
    <message>
        <source>The agent that asks about new disks could not be stopped now; it stops at your next login.</source>
        <translation>The agent that asks about new disks could not be stopped now; it stops at your next login.</translation>
    </message>
    <message>
        <source>USB Warden is on, and disks that are not on the white list are refused. The agent that asks about new disks could not be started (no service manager for your session?); run harbormind-usbagent to be asked.</source>
        <translation>USB Warden is on, and disks that are not on the white list are refused. The agent that asks about new disks could not be started (no service manager for your session?); run harbormind-usbagent to be asked.</translation>
    </message>
    <message>
        <source>Please enter a password to set the preferences.</source>
        <translation>Please enter a password to set the preferences.</translation>
    </message>
    <message>
        <source>Add the password to the whitelist.</source>
        <translation>Enter the password to add this disk to the white list.</translation>
    </message>
    <message>
        <source>Add whitelist successfully.</source>
        <translation>Added to the white list.</translation>
    </message>
    <message>
        <source> USB Warden is currently enabled to prevent your drive from loading.</source>
        <translation>USB Warden is on and keeps this drive from being mounted.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Set password</source>
        <translation>Set password</translation>
    </message>
    <message>
        <source>DeviceWhiteList</source>
        <translation>White List</translation>
    </message>
    <message>
        <source>Select protection mode:</source>
        <translation>Select protection mode:</translation>
    </message>
    <message>
        <source>Every time ask for confirmation</source>
        <translation>Ask for confirmation every time</translation>
    </message>
    <message>
        <source>Only allow USB in white list</source>
        <translation>Only allow USB disks on the white list</translation>
    </message>
    <message>
        <source>Ask for confirmation every time: Every time a USB device is connected, a window asks for mounting</source>
        <translation>Ask for confirmation every time: each time a USB disk is connected, a window asks whether to mount it</translation>
    </message>
    <message>
        <source>Only allow USB in white list: Only allow whitelisted USB devices to mount</source>
        <translation>Only allow USB disks on the white list: only disks on the white list are mounted</translation>
    </message>
    <message>
        <source>Please set a password before using this function.</source>
        <translation>Please set a password before using this function.</translation>
    </message>
    <message>
        <source>A password is set. To change it, enter it and then the new one twice.</source>
        <translation>A password is set. To change it, enter it and then the new one twice.</translation>
    </message>
    <message>
        <source>Old passwor:</source>
        <translation>Old password:</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>New password:</translation>
    </message>
    <message>
        <source>Confirm password:</source>
        <translation>Confirm password:</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>The password has changed successfully.</source>
        <translation>The password has changed successfully.</translation>
    </message>
    <message>
        <source>disk Name</source>
        <translation>Disk Name</translation>
    </message>
    <message>
        <source>Remove whitelist</source>
        <translation>Remove from White List</translation>
    </message>
    <message>
        <source>White list: these disks always mount</source>
        <translation>White list: these disks always mount</translation>
    </message>
    <message>
        <source>Black list: these disks never mount</source>
        <translation>Black list: these disks never mount</translation>
    </message>
    <message>
        <source>Remove from black list</source>
        <translation>Remove from Black List</translation>
    </message>
    <message>
        <source>folers selected: %d   files selected: %d    Size of the selected files: %@</source>
        <translation>Folders selected: %d   Files selected: %d   Size of the selected files: %@</translation>
    </message>
    <message>
        <source>No folder or file is selected</source>
        <translation>No folder or file is selected</translation>
    </message>
    <message>
        <source>Please select the file or folder</source>
        <translation>Please select the file or folder</translation>
    </message>
    <message>
        <source> Do you want to delete the selected folders, including subfolders and subfiles?</source>
        <translation>Do you want to delete the selected folders and everything in them?</translation>
    </message>
    <message>
        <source>The selected files or folders will be deleted and won&apos;t be recovered.</source>
        <translation>The selected files and folders will be deleted and cannot be recovered.</translation>
    </message>
    <message>
        <source>Clean successfully</source>
        <translation>Cleaning finished</translation>
    </message>
    <message>
        <source>Insufficient permissions, cleanup failed.</source>
        <translation>Cleaning failed: permission denied.</translation>
    </message>
    <message>
        <source>less than a minute left</source>
        <translation>less than a minute left</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>about %1 min left</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>about %1 h %2 min left</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>%1/s, %2</source>
        <translation>%1/s, %2</translation>
    </message>
    <message>
        <source>%1 of the source (%2 bytes) could not be read; those parts were written as zeros.</source>
        <translation>%1 of the source (%2 bytes) could not be read; those parts were written as zeros.</translation>
    </message>
    <message>
        <source>What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on once the cause is fixed.</source>
        <translation>What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on once the cause is fixed.</translation>
    </message>
    <message>
        <source>The clone was stopped.</source>
        <translation>The clone was stopped.</translation>
    </message>
    <message>
        <source>What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on.</source>
        <translation>What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on.</translation>
    </message>
    <message>
        <source>The clone was interrupted.</source>
        <translation>The clone was interrupted.</translation>
    </message>
    <message>
        <source>The helper daemon stopped copying without a word (it may have ended or been restarted). What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on.</source>
        <translation>The helper daemon stopped copying without a word (it may have ended or been restarted). What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on.</translation>
    </message>
    <message>
        <source>Stop the clone?</source>
        <translation>Stop the clone?</translation>
    </message>
    <message>
        <source>“%1” keeps what has been copied so far. You can resume the clone later with Resume Clone in the destination&apos;s menu.</source>
        <translation>“%1” keeps what has been copied so far. You can resume the clone later with Resume Clone in the destination&apos;s menu.</translation>
    </message>
    <message>
        <source>Nothing has been written to “%1” yet.</source>
        <translation>Nothing has been written to “%1” yet.</translation>
    </message>
    <message>
        <source>Continue Cloning</source>
        <translation>Continue Cloning</translation>
    </message>
    <message>
        <source>Stop Cloning</source>
        <translation>Stop Cloning</translation>
    </message>
    <message>
        <source>Everything on “%1” (%2) will be replaced by a copy of “%3”.</source>
        <translation>Everything on “%1” (%2) will be replaced by a copy of “%3”.</translation>
    </message>
    <message>
        <source>Everything on “%1” (%2), with its volumes %3, will be replaced by a copy of “%4”.</source>
        <translation>Everything on “%1” (%2), with its volumes %3, will be replaced by a copy of “%4”.</translation>
    </message>
    <message>
        <source>Its mounted volumes are unmounted first.</source>
        <translation>Its mounted volumes are unmounted first.</translation>
    </message>
    <message>
        <source>The record of the interrupted clone does not name a source it can be resumed from. Clone the drive again and choose Continue to copy from the beginning.</source>
        <translation>The record of the interrupted clone does not name a source it can be resumed from. Clone the drive again and choose Continue to copy from the beginning.</translation>
    </message>
    <message>
        <source>The source “%1” is mounted</source>
        <translation>The source “%1” is mounted</translation>
    </message>
    <message>
        <source>Its volumes %1 must be unmounted while they are copied, so that nothing changes them midway. Unmount them and clone?</source>
        <translation>Its volumes %1 must be unmounted while they are copied, so that nothing changes them midway. Unmount them and clone?</translation>
    </message>
    <message>
        <source>Unmount and Clone</source>
        <translation>Unmount and Clone</translation>
    </message>
    <message>
        <source>Too small: the source holds %1.</source>
        <translation>Too small: the source holds %1.</translation>
    </message>
    <message>
        <source>Your settings, the passwords saved for your drives, and your saved network drives with their passwords are removed too.</source>
        <translation>Your settings, the passwords saved for your drives, and your saved network drives with their passwords are removed too.</translation>
    </message>
    <message>
        <source>Saved network drives: %1</source>
        <translation>Saved network drives: %1</translation>
    </message>
    <message>
        <source>Deleted %1 files and %2 folders (%3).</source>
        <translation>Deleted %1 files and %2 folders (%3).</translation>
    </message>
    <message>
        <source>The top folder %1 itself stays: %2.</source>
        <translation>The top folder %1 itself stays: %2.</translation>
    </message>
    <message>
        <source>Not deleted (%1):</source>
        <translation>Not deleted (%1):</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>...and %1 more.</source>
        <translation>...and %1 more.</translation>
    </message>
    <message>
        <source>Some items could not be deleted</source>
        <translation>Some items could not be deleted</translation>
    </message>
    <message>
        <source>Unmounting “%1”…</source>
        <translation>Unmounting “%1”…</translation>
    </message>
    <message>
        <source>Checking the two devices…</source>
        <translation>Checking the two devices…</translation>
    </message>
    <message>
        <source>The helper daemon did not answer the check of the two devices.</source>
        <translation>The helper daemon did not answer the check of the two devices.</translation>
    </message>
    <message>
        <source>Starting the copy…</source>
        <translation>Starting the copy…</translation>
    </message>
    <message>
        <source>The helper daemon did not answer the request to clone.</source>
        <translation>The helper daemon did not answer the request to clone.</translation>
    </message>
    <message>
        <source>The clone starts over from the beginning</source>
        <translation>The clone starts over from the beginning</translation>
    </message>
    <message>
        <source>The clone could not be started</source>
        <translation>The clone could not be started</translation>
    </message>
    <message>
        <source>The connection failed: %1</source>
        <translation>The connection failed: %1</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translation>Details: %1</translation>
    </message>
    <message>
        <source>HFS+</source>
        <translation>HFS+</translation>
    </message>
    <message>
        <source>HFS+ Encrypted</source>
        <translation>HFS+ Encrypted</translation>
    </message>
    <message>
        <source>NTFS</source>
        <translation>NTFS</translation>
    </message>
    <message>
        <source>APFS</source>
        <translation>APFS</translation>
    </message>
    <message>
        <source>APFS Encrypted</source>
        <translation>APFS Encrypted</translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation>exFAT</translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation>FAT32</translation>
    </message>
    <message>
        <source>BitLocker Encrypted</source>
        <translation>BitLocker Encrypted</translation>
    </message>
    <message>
        <source>CoreStorage</source>
        <translation>CoreStorage</translation>
    </message>
    <message>
        <source>ext2</source>
        <translation>ext2</translation>
    </message>
    <message>
        <source>ext3</source>
        <translation>ext3</translation>
    </message>
    <message>
        <source>ext4</source>
        <translation>ext4</translation>
    </message>
    <message>
        <source>Btrfs</source>
        <translation>Btrfs</translation>
    </message>
    <message>
        <source>XFS</source>
        <translation>XFS</translation>
    </message>
    <message>
        <source>F2FS</source>
        <translation>F2FS</translation>
    </message>
    <message>
        <source>Linux Swap</source>
        <translation>Linux Swap</translation>
    </message>
    <message>
        <source>LUKS Encrypted</source>
        <translation>LUKS Encrypted</translation>
    </message>
    <message>
        <source>Internal</source>
        <translation>Internal</translation>
    </message>
    <message>
        <source>External</source>
        <translation>External</translation>
    </message>
    <message>
        <source>GUID Partition Map</source>
        <translation>GUID Partition Map</translation>
    </message>
    <message>
        <source>Master Boot Record</source>
        <translation>Master Boot Record</translation>
    </message>
    <message>
        <source>Apple Partition Map</source>
        <translation>Apple Partition Map</translation>
    </message>
    <message>
        <source>PCI</source>
        <translation>PCI</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>ThunderBolt</source>
        <translation>Thunderbolt</translation>
    </message>
    <message>
        <source>Fire Wire</source>
        <translation>FireWire</translation>
    </message>
    <message>
        <source>SATA</source>
        <translation>SATA</translation>
    </message>
    <message>
        <source>Disk Image</source>
        <translation>Disk Image</translation>
    </message>
    <message>
        <source>Fusion Drive</source>
        <translation>Fusion Drive</translation>
    </message>
    <message>
        <source>Solid State Drive</source>
        <translation>Solid State Drive</translation>
    </message>
    <message>
        <source>Hard Disk Drive</source>
        <translation>Hard Disk Drive</translation>
    </message>
    <message>
        <source>Your account is not allowed to mount this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Your account is not allowed to mount this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</translation>
    </message>
    <message>
        <source>Your account is not allowed to unmount this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Your account is not allowed to unmount this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</translation>
    </message>
    <message>
        <source>Your account is not allowed to eject this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Your account is not allowed to eject this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</translation>
    </message>
    <message>
        <source>Your account is not allowed to check this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Your account is not allowed to check this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</translation>
    </message>
    <message>
        <source>The drive could not be mounted: %1</source>
        <translation>The drive could not be mounted: %1</translation>
    </message>
    <message>
        <source>The drive could not be unmounted: %1</source>
        <translation>The drive could not be unmounted: %1</translation>
    </message>
    <message>
        <source>The drive could not be ejected: %1</source>
        <translation>The drive could not be ejected: %1</translation>
    </message>
    <message>
        <source>The drive could not be checked: %1</source>
        <translation>The drive could not be checked: %1</translation>
    </message>
    <message>
        <source>the volume is not mounted</source>
        <translation>the volume is not mounted</translation>
    </message>
    <message>
        <source>mount the volume first</source>
        <translation>mount the volume first</translation>
    </message>
    <message>
        <source>needs the NTFS driver (ntfs-3g), which is not installed</source>
        <translation>needs the NTFS driver (ntfs-3g), which is not installed</translation>
    </message>
    <message>
        <source>the volume is already mounted</source>
        <translation>the volume is already mounted</translation>
    </message>
    <message>
        <source>the volume is locked: unlock it first</source>
        <translation>the volume is locked: unlock it first</translation>
    </message>
    <message>
        <source>the volume&apos;s encryption has not finished</source>
        <translation>the volume&apos;s encryption has not finished</translation>
    </message>
    <message>
        <source>it holds volumes of its own: mount those</source>
        <translation>it holds volumes of its own: mount those</translation>
    </message>
    <message>
        <source>it holds no file system that can be mounted</source>
        <translation>it holds no file system that can be mounted</translation>
    </message>
    <message>
        <source>First Aid does not know the volume&apos;s file system</source>
        <translation>First Aid does not know the volume&apos;s file system</translation>
    </message>
    <message>
        <source>First Aid checks external drives only</source>
        <translation>First Aid checks external drives only</translation>
    </message>
    <message>
        <source>the volume is not a locked encrypted volume</source>
        <translation>the volume is not a locked encrypted volume</translation>
    </message>
    <message>
        <source>the volume is not an unlocked encrypted volume</source>
        <translation>the volume is not an unlocked encrypted volume</translation>
    </message>
    <message>
        <source>this file system cannot be encrypted here</source>
        <translation>this file system cannot be encrypted here</translation>
    </message>
    <message>
        <source>the system volume and the one holding your home folder are not cleared</source>
        <translation>the system volume and the one holding your home folder are not cleared</translation>
    </message>
    <message>
        <source>junk is cleaned on the system volume only</source>
        <translation>junk is cleaned on the system volume only</translation>
    </message>
    <message>
        <source>none of its volumes is mounted</source>
        <translation>none of its volumes is mounted</translation>
    </message>
    <message>
        <source>this disk cannot be ejected</source>
        <translation>this disk cannot be ejected</translation>
    </message>
    <message>
        <source>where the disk is attached is not known</source>
        <translation>where the disk is attached is not known</translation>
    </message>
    <message>
        <source>the disk has no partitions to clone</source>
        <translation>the disk has no partitions to clone</translation>
    </message>
    <message>
        <source>the disk&apos;s partition map is not known</source>
        <translation>the disk&apos;s partition map is not known</translation>
    </message>
    <message>
        <source>no clone onto this disk was interrupted</source>
        <translation>no clone onto this disk was interrupted</translation>
    </message>
    <message>
        <source>the drive is not connected</source>
        <translation>the drive is not connected</translation>
    </message>
    <message>
        <source>the drive is already connected</source>
        <translation>the drive is already connected</translation>
    </message>
    <message>
        <source>disconnect the drive first</source>
        <translation>disconnect the drive first</translation>
    </message>
    <message>
        <source>the drive is not saved</source>
        <translation>the drive is not saved</translation>
    </message>
    <message>
        <source>Grant Full Disk Access</source>
        <translation>Grant Full Disk Access</translation>
    </message>
    <message>
        <source>To start managing your drives, you&apos;ll need to do this once.</source>
        <translation>To start managing your drives, you&apos;ll need to do this once.</translation>
    </message>
    <message>
        <source>Open System Preferences</source>
        <translation>Open System Preferences</translation>
    </message>
    <message>
        <source>Please complete all steps</source>
        <translation>Please complete all steps</translation>
    </message>
    <message>
        <source>Please follow the steps below to complete the authorization</source>
        <translation>Please follow the steps below to complete the authorization</translation>
    </message>
    <message>
        <source>The check did not complete</source>
        <translation>The check did not complete</translation>
    </message>
    <message>
        <source>Short Self-Test</source>
        <translation>Short Self-Test</translation>
    </message>
    <message>
        <source>Extended Self-Test</source>
        <translation>Extended Self-Test</translation>
    </message>
    <message>
        <source>Details...</source>
        <translation>Details...</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Worst</source>
        <translation>Worst</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>Raw</translation>
    </message>
    <message>
        <source>Drive Health Details</source>
        <translation>Drive Health Details</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Reading...</source>
        <translation>Reading...</translation>
    </message>
    <message>
        <source>Self-test: </source>
        <translation>Self-test: </translation>
    </message>
    <message>
        <source> (at %1 hours)</source>
        <translation> (at %1 hours)</translation>
    </message>
    <message>
        <source>Self-test log:</source>
        <translation>Self-test log:</translation>
    </message>
    <message>
        <source>The self-test could not be started: %1</source>
        <translation>The self-test could not be started: %1</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Create</translation>
    </message>
    <message>
        <source>New Partition</source>
        <translation>New Partition</translation>
    </message>
    <message>
        <source>New partition on %1</source>
        <translation>New partition on %1</translation>
    </message>
    <message>
        <source>%1 free, starting at %2</source>
        <translation>%1 free, starting at %2</translation>
    </message>
    <message>
        <source>Free space:</source>
        <translation>Free space:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Again</source>
        <translation>Again</translation>
    </message>
    <message>
        <source>An encrypted volume needs a password.</source>
        <translation>An encrypted volume needs a password.</translation>
    </message>
    <message>
        <source>The two passwords differ.</source>
        <translation>The two passwords differ.</translation>
    </message>
    <message>
        <source>Erasing...</source>
        <translation>Erasing...</translation>
    </message>
    <message>
        <source>Connected.</source>
        <translation>Connected.</translation>
    </message>
    <message>
        <source>The server cannot be reached.</source>
        <translation>The server cannot be reached.</translation>
    </message>
    <message>
        <source>The server has no such shared folder.</source>
        <translation>The server has no such shared folder.</translation>
    </message>
    <message>
        <source>The server refused access to the shared folder.</source>
        <translation>The server refused access to the shared folder.</translation>
    </message>
    <message>
        <source>The shared folder is already connected.</source>
        <translation>The shared folder is already connected.</translation>
    </message>
    <message>
        <source>This kind of network drive cannot be connected on this system.</source>
        <translation>This kind of network drive cannot be connected on this system.</translation>
    </message>
    <message>
        <source>The server did not answer in time.</source>
        <translation>The server did not answer in time.</translation>
    </message>
    <message>
        <source>The user name or password is incorrect.</source>
        <translation>The user name or password is incorrect.</translation>
    </message>
    <message>
        <source>The connection was cancelled.</source>
        <translation>The connection was cancelled.</translation>
    </message>
    <message>
        <source>The network drive is in use; close the files open on it and try again. It stays connected.</source>
        <translation>The network drive is in use; close the files open on it and try again. It stays connected.</translation>
    </message>
    <message>
        <source>Files written to the network drive have not all reached the server yet. It stays connected; try again when they have.</source>
        <translation>Files written to the network drive have not all reached the server yet. It stays connected; try again when they have.</translation>
    </message>
    <message>
        <source>Check the server&apos;s name or address, that the server is on, and that this computer is on its network.</source>
        <translation>Check the server&apos;s name or address, that the server is on, and that this computer is on its network.</translation>
    </message>
    <message>
        <source>Check the server&apos;s name or address and the network connection; the server may be busy.</source>
        <translation>Check the server&apos;s name or address and the network connection; the server may be busy.</translation>
    </message>
    <message>
        <source>Check the user name and the password, or connect as a guest if the server allows it.</source>
        <translation>Check the user name and the password, or connect as a guest if the server allows it.</translation>
    </message>
    <message>
        <source>Check the shared folder&apos;s name, the part of the address after the server.</source>
        <translation>Check the shared folder&apos;s name, the part of the address after the server.</translation>
    </message>
    <message>
        <source>Check that this account may use the shared folder, or ask the server&apos;s administrator.</source>
        <translation>Check that this account may use the shared folder, or ask the server&apos;s administrator.</translation>
    </message>
    <message>
        <source>Check the drive&apos;s type; another kind of connection to the same server may work.</source>
        <translation>Check the drive&apos;s type; another kind of connection to the same server may work.</translation>
    </message>
    <message>
        <source>Check the server&apos;s name or address, the user name and password, and the shared folder&apos;s name.</source>
        <translation>Check the server&apos;s name or address, the user name and password, and the shared folder&apos;s name.</translation>
    </message>
    <message>
        <source>Health</source>
        <translation>Health</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Good</translation>
    </message>
    <message>
        <source>Failing</source>
        <translation>Failing</translation>
    </message>
    <message>
        <source>Not available</source>
        <translation>Not available</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperature</translation>
    </message>
    <message>
        <source>Power-on hours</source>
        <translation>Power-on hours</translation>
    </message>
    <message>
        <source>Reallocated sectors</source>
        <translation>Reallocated sectors</translation>
    </message>
    <message>
        <source>Pending sectors</source>
        <translation>Pending sectors</translation>
    </message>
    <message>
        <source>Media errors</source>
        <translation>Media errors</translation>
    </message>
    <message>
        <source>Endurance used</source>
        <translation>Endurance used</translation>
    </message>
    <message>
        <source>Available spare</source>
        <translation>Available spare</translation>
    </message>
    <message>
        <source>Self-test</source>
        <translation>Self-test</translation>
    </message>
    <message>
        <source>Last self-test</source>
        <translation>Last self-test</translation>
    </message>
    <message>
        <source>%1 could not be read and were written as zeros.</source>
        <translation>%1 could not be read and were written as zeros.</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>Compress (zstd)</source>
        <translation>Compress (zstd)</translation>
    </message>
    <message>
        <source>Create Disk Image</source>
        <translation>Create Disk Image</translation>
    </message>
    <message>
        <source>Create Disk Image...</source>
        <translation>Create Disk Image...</translation>
    </message>
    <message>
        <source>Disk images (*.img *.img.zst)</source>
        <translation>Disk images (*.img *.img.zst)</translation>
    </message>
    <message>
        <source>Disk images (*.img *.iso *.img.zst *.img.xz);;All files (*)</source>
        <translation>Disk images (*.img *.iso *.img.zst *.img.xz);;All files (*)</translation>
    </message>
    <message>
        <source>Image file:</source>
        <translation>Image file:</translation>
    </message>
    <message>
        <source>It failed: %1</source>
        <translation>It failed: %1</translation>
    </message>
    <message>
        <source>Making the image...</source>
        <translation>Making the image...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Restore Disk Image</source>
        <translation>Restore Disk Image</translation>
    </message>
    <message>
        <source>Restore Disk Image...</source>
        <translation>Restore Disk Image...</translation>
    </message>
    <message>
        <source>Restore the image onto %@?</source>
        <translation>Restore the image onto %@?</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Stopped after %1.</source>
        <translation>Stopped after %1.</translation>
    </message>
    <message>
        <source>The daemon has no record of the copy.</source>
        <translation>The daemon has no record of the copy.</translation>
    </message>
    <message>
        <source>The disk image could not be made</source>
        <translation>The disk image could not be made</translation>
    </message>
    <message>
        <source>The disk image could not be restored</source>
        <translation>The disk image could not be restored</translation>
    </message>
    <message>
        <source>The image is made; it takes %1.</source>
        <translation>The image is made; it takes %1.</translation>
    </message>
    <message>
        <source>The image is written.</source>
        <translation>The image is written.</translation>
    </message>
    <message>
        <source>Writing the image...</source>
        <translation>Writing the image...</translation>
    </message>
    <message>
        <source>Applications keep caches in your cache folder (~/.cache) to start faster. They grow over time and are rebuilt when needed, so deleting them frees space at the cost of a slower first start.</source>
        <translation>Applications keep caches in your cache folder (~/.cache) to start faster. They grow over time and are rebuilt when needed, so deleting them frees space at the cost of a slower first start.</translation>
    </message>
    <message>
        <source>Build tools and package managers keep downloaded packages and intermediate build results. They are downloaded or rebuilt again when a project needs them.</source>
        <translation>Build tools and package managers keep downloaded packages and intermediate build results. They are downloaded or rebuilt again when a project needs them.</translation>
    </message>
    <message>
        <source>DeveloperCaches</source>
        <translation>Developer Caches</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Files you delete in your file manager are kept in the trash, where they still occupy disk space. Emptying the trash removes them for good.</source>
        <translation>Files you delete in your file manager are kept in the trash, where they still occupy disk space. Emptying the trash removes them for good.</translation>
    </message>
    <message>
        <source>Files you download are kept in your Downloads folder. Over time they accumulate; deleting incomplete downloads and files you no longer need frees disk space.</source>
        <translation>Files you download are kept in your Downloads folder. Over time they accumulate; deleting incomplete downloads and files you no longer need frees disk space.</translation>
    </message>
    <message>
        <source>Programs leave temporary files in /tmp and /var/tmp. Deleting the ones you own frees disk space; files of other users and of running services are left alone.</source>
        <translation>Programs leave temporary files in /tmp and /var/tmp. Deleting the ones you own frees disk space; files of other users and of running services are left alone.</translation>
    </message>
    <message>
        <source>Sandboxed (Flatpak) applications keep their own caches. They are rebuilt when needed.</source>
        <translation>Sandboxed (Flatpak) applications keep their own caches. They are rebuilt when needed.</translation>
    </message>
    <message>
        <source>Temp</source>
        <translation>Temporary Files</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Trash</translation>
    </message>
    <message>
        <source>UserAppCache</source>
        <translation>App Caches</translation>
    </message>
    <message>
        <source>UserCache</source>
        <translation>User Caches</translation>
    </message>
    <message>
        <source>UserLog</source>
        <translation>User Logs</translation>
    </message>
    <message>
        <source>Your graphical sessions write log files that are rarely read once the session has ended.</source>
        <translation>Your graphical sessions write log files that are rarely read once the session has ended.</translation>
    </message>
</context>
</TS>
