<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Harbormind</name>
    <message>
        <source>The disk check feature will check and repair errors on the disk. If there are errors found, please back up the important data before repairing.</source>
        <translation>Die Datenträgerprüfung sucht Fehler auf dem Datenträger und behebt sie. Werden Fehler gefunden, sichern Sie bitte Ihre wichtigen Daten, bevor Sie reparieren.</translation>
    </message>
    <message>
        <source>Do you want to check and repair the disk &quot;%@&quot;?</source>
        <translation>Möchten Sie den Datenträger „%@“ prüfen und reparieren?</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>Repair</source>
        <translation>Reparieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Checking the drive</source>
        <translation>Laufwerk wird geprüft</translation>
    </message>
    <message>
        <source>Prearing...</source>
        <translation>Wird vorbereitet …</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Start check drive</source>
        <translation>Laufwerk wird geprüft</translation>
    </message>
    <message>
        <source> Start check drive. Please wait...
</source>
        <translation>Das Laufwerk wird geprüft. Bitte warten …
</translation>
    </message>
    <message>
        <source>Check completes
</source>
        <translation>Prüfung abgeschlossen
</translation>
    </message>
    <message>
        <source>Add drive successfully.</source>
        <translation>Laufwerk hinzugefügt</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been added successfully.</source>
        <translation>„%@“ wurde hinzugefügt.</translation>
    </message>
    <message>
        <source>Remove drive successfully.</source>
        <translation>Laufwerk entfernt</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been removed successfully.</source>
        <translation>„%@“ wurde entfernt.</translation>
    </message>
    <message>
        <source>Mount drive successfully.</source>
        <translation>Laufwerk eingebunden</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been mounted successfully.</source>
        <translation>„%@“ wurde eingebunden.</translation>
    </message>
    <message>
        <source>Unmount drive successfully.</source>
        <translation>Laufwerk ausgehängt</translation>
    </message>
    <message>
        <source>Drive: &quot;%@&quot; has been unmount successfully.</source>
        <translation>„%@“ wurde ausgehängt.</translation>
    </message>
    <message>
        <source>Connect network drive successfully.</source>
        <translation>Netzlaufwerk verbunden</translation>
    </message>
    <message>
        <source>Network drive: &quot;%@&quot; has been connected successfully.</source>
        <translation>Das Netzlaufwerk „%@“ wurde verbunden.</translation>
    </message>
    <message>
        <source>Disconnect network drive successfully.</source>
        <translation>Netzlaufwerk getrennt</translation>
    </message>
    <message>
        <source>Network drive: &quot;%@&quot; has been disconnected successfully.</source>
        <translation>Das Netzlaufwerk „%@“ wurde getrennt.</translation>
    </message>
    <message>
        <source>Clean Junk</source>
        <translation>Datenmüll entfernen</translation>
    </message>
    <message>
        <source>Clean Drive</source>
        <translation>Laufwerk bereinigen</translation>
    </message>
    <message>
        <source>Stop the scan</source>
        <translation>Suche anhalten</translation>
    </message>
    <message>
        <source>Stopping...</source>
        <translation>Wird angehalten …</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Wird gelöscht …</translation>
    </message>
    <message>
        <source>Scanning...</source>
        <translation>Wird durchsucht …</translation>
    </message>
    <message>
        <source>Searching for files in the directory of %@</source>
        <translation>Dateien im Ordner %@ werden gesucht</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Clean</source>
        <translation>Bereinigen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Modified time</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Show in Finder</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Files don&apos;t exist, please refresh.</source>
        <translation>Die Dateien gibt es nicht mehr; bitte aktualisieren Sie die Liste.</translation>
    </message>
    <message>
        <source>Folders don&apos;t exist, please refresh.</source>
        <translation>Die Ordner gibt es nicht mehr; bitte aktualisieren Sie die Liste.</translation>
    </message>
    <message>
        <source>File names: %@</source>
        <translation>Dateinamen: %@</translation>
    </message>
    <message>
        <source>Size: %@</source>
        <translation>Größe: %@</translation>
    </message>
    <message>
        <source>Path: %@</source>
        <translation>Pfad: %@</translation>
    </message>
    <message>
        <source>Created time: %@</source>
        <translation>Erstellt: %@</translation>
    </message>
    <message>
        <source>Modified time: %@</source>
        <translation>Geändert: %@</translation>
    </message>
    <message>
        <source>folders: %d</source>
        <translation>Ordner: %d</translation>
    </message>
    <message>
        <source>files: %d</source>
        <translation>Dateien: %d</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>%@ folders, %@ files, %@ will be deleted.</source>
        <translation>%@ Ordner, %@ Dateien, %@ werden gelöscht.</translation>
    </message>
    <message>
        <source>Kestrane Harbormind</source>
        <translation>Kestrane Harbormind</translation>
    </message>
    <message>
        <source>Local Drive</source>
        <translation>Lokale Laufwerke</translation>
    </message>
    <message>
        <source>Network Drive</source>
        <translation>Netzlaufwerke</translation>
    </message>
    <message>
        <source>Loading Drive ...</source>
        <translation>Laufwerke werden geladen …</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Add whitelist</source>
        <translation>Zur weißen Liste hinzufügen</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Entsperren</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>Sperren</translation>
    </message>
    <message>
        <source>Mount</source>
        <translation>Einbinden</translation>
    </message>
    <message>
        <source>Unmount</source>
        <translation>Aushängen</translation>
    </message>
    <message>
        <source>Eject</source>
        <translation>Auswerfen</translation>
    </message>
    <message>
        <source>Encrypt</source>
        <translation>Verschlüsseln</translation>
    </message>
    <message>
        <source>Export Header...</source>
        <translation>Header exportieren …</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Unmount All</source>
        <translation>Alle aushängen</translation>
    </message>
    <message>
        <source>Connect All</source>
        <translation>Alle verbinden</translation>
    </message>
    <message>
        <source>Disconnect All</source>
        <translation>Alle trennen</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>USB Warden</source>
        <translation>USB-Wächter</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>More</source>
        <translation>Mehr</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Stop USB Warden</source>
        <translation>USB-Wächter ausschalten</translation>
    </message>
    <message>
        <source>USB Warden Preferences</source>
        <translation>Einstellungen des USB-Wächters</translation>
    </message>
    <message>
        <source>Enable USB Warden</source>
        <translation>USB-Wächter einschalten</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Nach Aktualisierungen suchen …</translation>
    </message>
    <message>
        <source>Enable Debug Logging</source>
        <translation>Fehlerprotokoll einschalten</translation>
    </message>
    <message>
        <source>Uninstall</source>
        <translation>Deinstallieren</translation>
    </message>
    <message>
        <source>Attach Disk Image...</source>
        <translation>Abbild einbinden …</translation>
    </message>
    <message>
        <source>Attach Disk Image</source>
        <translation>Abbild einbinden</translation>
    </message>
    <message>
        <source>Disk images (*.img *.iso *.raw *.bin);;All files (*)</source>
        <translation>Abbilder (*.img *.iso *.raw *.bin);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>The disk image could not be attached</source>
        <translation>Das Abbild konnte nicht eingebunden werden</translation>
    </message>
    <message>
        <source>The disk image was attached read-only as %@</source>
        <translation>Das Abbild wurde schreibgeschützt als %@ eingebunden</translation>
    </message>
    <message>
        <source>Mount Point</source>
        <translation>Einhängepunkt</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Capacity</source>
        <translation>Kapazität</translation>
    </message>
    <message>
        <source>Used</source>
        <translation>Belegt</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Verfügbar</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Partition Map</source>
        <translation>Partitionstabelle</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Not Mounted</source>
        <translation>Nicht eingebunden</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Wird verbunden …</translation>
    </message>
    <message>
        <source>%@ Volume</source>
        <translation>Volume %@</translation>
    </message>
    <message>
        <source>Used: </source>
        <translation>Belegt: </translation>
    </message>
    <message>
        <source>Available: </source>
        <translation>Verfügbar: </translation>
    </message>
    <message>
        <source>First Aid</source>
        <translation>Erste Hilfe</translation>
    </message>
    <message>
        <source>Clone</source>
        <translation>Klonen</translation>
    </message>
    <message>
        <source>resumeClone</source>
        <translation>Klonen fortsetzen</translation>
    </message>
    <message>
        <source>The current drive is not mounted by the NTFS driver from Kestrane.To enjoy faster read/write speed and secure your data, please install the NTFS driver from Kestrane and then mount this drive again.</source>
        <translation>Dieses Laufwerk ist nicht mit dem NTFS-Treiber von Kestrane eingebunden. Für schnelleres Lesen und Schreiben und zum Schutz Ihrer Daten installieren Sie den NTFS-Treiber von Kestrane und binden das Laufwerk erneut ein.</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Failed to mount this drive,  please try again later. (error code: %d)</source>
        <translation>Das Laufwerk konnte nicht eingebunden werden (Fehlercode %d).</translation>
    </message>
    <message>
        <source>Error code: %d, please contact technical support.</source>
        <translation>Der Vorgang ist fehlgeschlagen (Fehlercode %d). Wenn das wiederholt geschieht, wenden Sie sich an den technischen Support.</translation>
    </message>
    <message>
        <source>Connection failed</source>
        <translation>Verbindung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Disconnection failed</source>
        <translation>Trennen fehlgeschlagen</translation>
    </message>
    <message>
        <source>The helper service is not running: </source>
        <translation>Der Hilfsdienst läuft nicht: </translation>
    </message>
    <message>
        <source>The server has been connected.</source>
        <translation>Der Server ist bereits verbunden.</translation>
    </message>
    <message>
        <source>Connection timeout.</source>
        <translation>Zeitüberschreitung der Verbindung.</translation>
    </message>
    <message>
        <source>Password of the server is incorrect.</source>
        <translation>Das Passwort für den Server ist falsch.</translation>
    </message>
    <message>
        <source>User cancelled operation.</source>
        <translation>Der Vorgang wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Host is down.</source>
        <translation>Der Server ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>Permission denied.</source>
        <translation>Zugriff verweigert.</translation>
    </message>
    <message>
        <source>Install NTFS driver</source>
        <translation>NTFS-Treiber installieren</translation>
    </message>
    <message>
        <source>To read and write NTFS drive fast and stably, we highly recommend you install NTFS driver from Kestrane.</source>
        <translation>Um NTFS-Laufwerke schnell und zuverlässig zu lesen und zu beschreiben, installieren Sie den NTFS-Treiber von Kestrane.</translation>
    </message>
    <message>
        <source>Need to install and allow system extension</source>
        <translation>Die Systemerweiterung muss installiert und erlaubt werden</translation>
    </message>
    <message>
        <source>To mount this drive in read-write mode, you need to install and allow system extension.</source>
        <translation>Um dieses Laufwerk beschreibbar einzubinden, installieren und erlauben Sie die Systemerweiterung.</translation>
    </message>
    <message>
        <source>Failed to open &apos;%@&apos; in read-write mode</source>
        <translation>„%@“ konnte nicht beschreibbar geöffnet werden</translation>
    </message>
    <message>
        <source>Problems were detected with the &apos;%@&apos; and it&apos;s been opened in read-only mode. Need to check the disk before continuing to open it in read-write mode</source>
        <translation>Auf „%@“ wurden Probleme gefunden, daher wurde es schreibgeschützt geöffnet. Prüfen Sie den Datenträger, bevor Sie es beschreibbar öffnen.</translation>
    </message>
    <message>
        <source>View Details...</source>
        <translation>Details anzeigen …</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Are you sure you want to uninstall this software and all components?</source>
        <translation>Möchten Sie dieses Programm mit allen Bestandteilen wirklich deinstallieren?</translation>
    </message>
    <message>
        <source>The USB Warden agent could not be stopped, so nothing was uninstalled. Stop USB Warden first, then try again.</source>
        <translation>Der Agent des USB-Wächters konnte nicht beendet werden, daher wurde nichts deinstalliert. Schalten Sie zuerst den USB-Wächter aus und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Your settings were removed, but the package manager did not remove the application. Remove its package with your package manager</source>
        <translation>Ihre Einstellungen wurden entfernt, aber die Paketverwaltung hat das Programm nicht entfernt. Entfernen Sie sein Paket mit Ihrer Paketverwaltung</translation>
    </message>
    <message>
        <source>Install successfully</source>
        <translation>Installiert</translation>
    </message>
    <message>
        <source>The driver has been installed successfully!</source>
        <translation>Der Treiber wurde installiert.</translation>
    </message>
    <message>
        <source>The system extension needs to be installed manually</source>
        <translation>Die Systemerweiterung muss von Hand installiert werden</translation>
    </message>
    <message>
        <source>Failed to install the system extension automatically. Please try to install the system extension manually.</source>
        <translation>Die Systemerweiterung konnte nicht selbsttätig installiert werden. Bitte installieren Sie sie von Hand.</translation>
    </message>
    <message>
        <source>Install manually</source>
        <translation>Von Hand installieren</translation>
    </message>
    <message>
        <source>Delete the drive?</source>
        <translation>Laufwerk löschen?</translation>
    </message>
    <message>
        <source>The device will not be saved locally after deletion</source>
        <translation>Nach dem Löschen ist das Laufwerk nicht mehr auf diesem Rechner gespeichert.</translation>
    </message>
    <message>
        <source>Comfirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>&quot;%@&quot; is in use</source>
        <translation>„%@“ wird verwendet</translation>
    </message>
    <message>
        <source>The volume was not unmounted: %@. Close the files and programs that use it, then try again. Force Unmount takes it away even so; what those programs still write to it is lost.</source>
        <translation>Das Volume wurde nicht ausgehängt: %@. Schließen Sie die Dateien und Programme, die es verwenden, und versuchen Sie es erneut. „Aushängen erzwingen“ hängt es trotzdem aus; was diese Programme noch darauf schreiben, geht verloren.</translation>
    </message>
    <message>
        <source>Force Unmount</source>
        <translation>Aushängen erzwingen</translation>
    </message>
    <message>
        <source>&quot;%@&quot; could not be unmounted</source>
        <translation>„%@“ konnte nicht ausgehängt werden</translation>
    </message>
    <message>
        <source>&quot;%@&quot; could not be ejected</source>
        <translation>„%@“ konnte nicht ausgeworfen werden</translation>
    </message>
    <message>
        <source>&quot;%@&quot; could not be opened</source>
        <translation>„%@“ konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>The drive is not mounted, or no file manager could be started to show it.</source>
        <translation>Das Laufwerk ist nicht eingebunden, oder es konnte kein Dateimanager gestartet werden, um es zu zeigen.</translation>
    </message>
    <message>
        <source>The help page could not be opened</source>
        <translation>Die Hilfeseite konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>No web browser could be started to show %@.</source>
        <translation>Es konnte kein Webbrowser gestartet werden, um %@ zu zeigen.</translation>
    </message>
    <message>
        <source>not available for this drive</source>
        <translation>für dieses Laufwerk nicht verfügbar</translation>
    </message>
    <message>
        <source>needs the helper service (drivemanagerd), which is not running</source>
        <translation>braucht den Hilfsdienst (drivemanagerd), der nicht läuft</translation>
    </message>
    <message>
        <source>not supported on Linux yet</source>
        <translation>unter Linux noch nicht unterstützt</translation>
    </message>
    <message>
        <source>No drives found</source>
        <translation>Keine Laufwerke gefunden</translation>
    </message>
    <message>
        <source>No drive matches &quot;%@&quot;</source>
        <translation>Kein Laufwerk passt zu „%@“</translation>
    </message>
    <message>
        <source>Select a drive in the list</source>
        <translation>Wählen Sie ein Laufwerk in der Liste</translation>
    </message>
    <message>
        <source>harbormind is already running; its window was raised.</source>
        <translation>harbormind läuft bereits; sein Fenster wurde nach vorn geholt.</translation>
    </message>
    <message>
        <source>Finish Setting Up</source>
        <translation>Einrichtung abschließen</translation>
    </message>
    <message>
        <source>Some drives need a piece this computer does not have yet:</source>
        <translation>Manche Laufwerke brauchen einen Bestandteil, der auf diesem Rechner noch fehlt:</translation>
    </message>
    <message>
        <source>Everything Kestrane Harbormind needs is in place.</source>
        <translation>Alles, was Kestrane Harbormind braucht, ist vorhanden.</translation>
    </message>
    <message>
        <source>NTFS driver (ntfs-3g)</source>
        <translation>NTFS-Treiber (ntfs-3g)</translation>
    </message>
    <message>
        <source>Needed to write to NTFS drives and to open BitLocker drives. Click Install and confirm with your password, or run in a terminal:
    sudo apt install ntfs-3g</source>
        <translation>Wird gebraucht, um NTFS-Laufwerke zu beschreiben und BitLocker-Laufwerke zu öffnen. Klicken Sie auf „Installieren“ und bestätigen Sie mit Ihrem Passwort, oder führen Sie in einem Terminal aus:
    sudo apt install ntfs-3g</translation>
    </message>
    <message>
        <source>Helper service (drivemanagerd)</source>
        <translation>Hilfsdienst (drivemanagerd)</translation>
    </message>
    <message>
        <source>Mounts drives for you, runs First Aid, clones and encrypts. It could not be reached (%@). Install the harbormind package, or run in a terminal:
    sudo systemctl enable --now drivemanagerd</source>
        <translation>Bindet Laufwerke für Sie ein, führt die Erste Hilfe aus, klont und verschlüsselt. Er war nicht erreichbar (%@). Installieren Sie das Paket harbormind, oder führen Sie in einem Terminal aus:
    sudo systemctl enable --now drivemanagerd</translation>
    </message>
    <message>
        <source>Check Again</source>
        <translation>Erneut prüfen</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Fertigstellen</translation>
    </message>
    <message>
        <source>New Network Drive</source>
        <translation>Neues Netzlaufwerk</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Nickname:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Foo</source>
        <translation>Mein Netzlaufwerk</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Ordner:</translation>
    </message>
    <message>
        <source>Example: 192.168.0.100/documents</source>
        <translation>Beispiel: 192.168.0.100/dokumente</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Anonymous Login</source>
        <translation>Anonym anmelden</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Please fill in: %@</source>
        <translation>Bitte ausfüllen: %@</translation>
    </message>
    <message>
        <source>Nickname</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Username (or choose Anonymous Login)</source>
        <translation>Benutzername (oder „Anonym anmelden“ wählen)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Drive encryption</source>
        <translation>Laufwerksverschlüsselung</translation>
    </message>
    <message>
        <source>This drive will be encrypted by BitLocker compatible method</source>
        <translation>Dieses Laufwerk wird BitLocker-kompatibel verschlüsselt</translation>
    </message>
    <message>
        <source>This drive will be encrypted by LUKS2 compatible method</source>
        <translation>Dieses Laufwerk wird LUKS2-kompatibel verschlüsselt</translation>
    </message>
    <message>
        <source>This drive will be encrypted by FileVault compatible method</source>
        <translation>Dieses Laufwerk wird FileVault-kompatibel verschlüsselt</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Fortfahren</translation>
    </message>
    <message>
        <source>When encrypting APFS file system, the device needs to be connected to the power supply.</source>
        <translation>Zum Verschlüsseln eines APFS-Dateisystems muss der Rechner am Stromnetz hängen.</translation>
    </message>
    <message>
        <source>This drive cannot be encrypted</source>
        <translation>Dieses Laufwerk kann nicht verschlüsselt werden</translation>
    </message>
    <message>
        <source>BitLocker encryption is not available on this system: the helper service can unlock and lock BitLocker drives here, but cannot encrypt them.</source>
        <translation>BitLocker-Verschlüsselung ist auf diesem System nicht verfügbar: Der Hilfsdienst kann BitLocker-Laufwerke hier entsperren und sperren, aber nicht verschlüsseln.</translation>
    </message>
    <message>
        <source>The drive could not be unmounted within 60 seconds. Close the files and programs that use it and try again.</source>
        <translation>Das Laufwerk konnte nicht innerhalb von 60 Sekunden ausgehängt werden. Schließen Sie die Dateien und Programme, die es verwenden, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>LUKS2 encryption is not available for this drive: the helper service could not be reached or cannot encrypt it.</source>
        <translation>LUKS2-Verschlüsselung ist für dieses Laufwerk nicht verfügbar: Der Hilfsdienst war nicht erreichbar oder kann es nicht verschlüsseln.</translation>
    </message>
    <message>
        <source>Drives with this file system cannot be encrypted.</source>
        <translation>Laufwerke mit diesem Dateisystem können nicht verschlüsselt werden.</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Start encrypting</source>
        <translation>Verschlüsselung starten</translation>
    </message>
    <message>
        <source>Use a password to encrypt your drive</source>
        <translation>Laufwerk mit einem Passwort verschlüsseln</translation>
    </message>
    <message>
        <source>Passwords should contain uppercase and lowercase letters, numbers, spaces, and symbols.</source>
        <translation>Passwörter sollten Groß- und Kleinbuchstaben, Ziffern, Leerzeichen und Sonderzeichen enthalten.</translation>
    </message>
    <message>
        <source>Enter your password</source>
        <translation>Passwort eingeben</translation>
    </message>
    <message>
        <source>Reenter your password</source>
        <translation>Passwort wiederholen</translation>
    </message>
    <message>
        <source>Please set your password for encryption</source>
        <translation>Bitte legen Sie das Passwort für die Verschlüsselung fest</translation>
    </message>
    <message>
        <source>The passwords you entered don&apos;t match.</source>
        <translation>Die eingegebenen Passwörter stimmen nicht überein.</translation>
    </message>
    <message>
        <source>The password provided doesn&apos;t meet maximum length requirements.</source>
        <translation>Das Passwort ist länger als erlaubt.</translation>
    </message>
    <message>
        <source>The password cannot contain some special characters such as &apos;\/ etc.</source>
        <translation>Das Passwort darf keine Sonderzeichen wie &apos; \ oder / enthalten.</translation>
    </message>
    <message>
        <source>Starting to encrypt</source>
        <translation>Verschlüsselung beginnt</translation>
    </message>
    <message>
        <source>Please wait while initializing the drive.</source>
        <translation>Bitte warten Sie, während das Laufwerk vorbereitet wird.</translation>
    </message>
    <message>
        <source>{waring} Don&apos;t remove your drive during setup.</source>
        <translation>Achtung: Entfernen Sie das Laufwerk nicht während der Einrichtung.</translation>
    </message>
    <message>
        <source>What are system requirments?</source>
        <translation>Welche Systemvoraussetzungen gibt es?</translation>
    </message>
    <message>
        <source>How do you want to back up your recovery key?</source>
        <translation>Wie möchten Sie Ihren Wiederherstellungsschlüssel sichern?</translation>
    </message>
    <message>
        <source>If you forget your password, you can use your recovery key to access your drive.</source>
        <translation>Wenn Sie Ihr Passwort vergessen, öffnen Sie das Laufwerk mit dem Wiederherstellungsschlüssel.</translation>
    </message>
    <message>
        <source>Save to a file</source>
        <translation>In einer Datei sichern</translation>
    </message>
    <message>
        <source>Print the recovery key</source>
        <translation>Wiederherstellungsschlüssel drucken</translation>
    </message>
    <message>
        <source>How can I find my recovery key later?</source>
        <translation>Wie finde ich meinen Wiederherstellungsschlüssel später?</translation>
    </message>
    <message>
        <source>Please save or print your recovery key to continue to the next step</source>
        <translation>Bitte sichern oder drucken Sie Ihren Wiederherstellungsschlüssel, um fortzufahren</translation>
    </message>
    <message>
        <source>Choose a path to save your recovery key</source>
        <translation>Wählen Sie, wo der Wiederherstellungsschlüssel gesichert wird</translation>
    </message>
    <message>
        <source>BitLocker Recovery Key </source>
        <translation>BitLocker-Wiederherstellungsschlüssel </translation>
    </message>
    <message>
        <source>The recovery key could not be saved there.</source>
        <translation>Der Wiederherstellungsschlüssel konnte dort nicht gesichert werden.</translation>
    </message>
    <message>
        <source>Resuming adds a new recovery key. Keep this one: a key saved earlier for this drive may not open it.</source>
        <translation>Das Fortsetzen fügt einen neuen Wiederherstellungsschlüssel hinzu. Bewahren Sie diesen auf: Ein früher gesicherter Schlüssel öffnet das Laufwerk womöglich nicht.</translation>
    </message>
    <message>
        <source>The encryption could not be started: %1</source>
        <translation>Die Verschlüsselung konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Are you ready to encrypt this drive?</source>
        <translation>Möchten Sie dieses Laufwerk jetzt verschlüsseln?</translation>
    </message>
    <message>
        <source>You&apos;ll be able to unlock this drive using a password.</source>
        <translation>Sie können das Laufwerk mit einem Passwort entsperren.</translation>
    </message>
    <message>
        <source>Encryption might take a while depending on the size of the drive.</source>
        <translation>Je nach Größe des Laufwerks kann die Verschlüsselung eine Weile dauern.</translation>
    </message>
    <message>
        <source>Until encryption is complete, your files won&apos;t be protected.</source>
        <translation>Bis die Verschlüsselung abgeschlossen ist, sind Ihre Dateien nicht geschützt.</translation>
    </message>
    <message>
        <source>Encrypting...</source>
        <translation>Wird verschlüsselt …</translation>
    </message>
    <message>
        <source> Do not unplug the drive and power supply during the encryption process.</source>
        <translation> Trennen Sie Laufwerk und Stromversorgung nicht, während verschlüsselt wird.</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>The drive has been encrypted!</source>
        <translation>Das Laufwerk wurde verschlüsselt.</translation>
    </message>
    <message>
        <source>Encryption is interrupted, error code: %d</source>
        <translation>Die Verschlüsselung wurde unterbrochen (Fehlercode %d).</translation>
    </message>
    <message>
        <source>The drive&apos;s header was saved as &quot;%1&quot;. Keep it with the recovery key: the drive cannot be opened without its header.</source>
        <translation>Der Header des Laufwerks wurde als „%1“ gesichert. Bewahren Sie ihn beim Wiederherstellungsschlüssel auf: Ohne seinen Header lässt sich das Laufwerk nicht öffnen.</translation>
    </message>
    <message>
        <source>The drive&apos;s header was not saved (%1). Save it now: the drive cannot be opened without its header.</source>
        <translation>Der Header des Laufwerks wurde nicht gesichert (%1). Sichern Sie ihn jetzt: Ohne seinen Header lässt sich das Laufwerk nicht öffnen.</translation>
    </message>
    <message>
        <source>Save the drive&apos;s header and keep it with the recovery key: the drive cannot be opened without it.</source>
        <translation>Sichern Sie den Header des Laufwerks und bewahren Sie ihn beim Wiederherstellungsschlüssel auf: Ohne ihn lässt sich das Laufwerk nicht öffnen.</translation>
    </message>
    <message>
        <source>Save the Header...</source>
        <translation>Header sichern …</translation>
    </message>
    <message>
        <source>Choose where to save the drive&apos;s header</source>
        <translation>Wählen Sie, wo der Header des Laufwerks gesichert wird</translation>
    </message>
    <message>
        <source>Drive Header</source>
        <translation>Laufwerks-Header</translation>
    </message>
    <message>
        <source>the helper service did not hand it over</source>
        <translation>der Hilfsdienst hat ihn nicht übergeben</translation>
    </message>
    <message>
        <source>the helper service handed over an incomplete header</source>
        <translation>der Hilfsdienst hat einen unvollständigen Header übergeben</translation>
    </message>
    <message>
        <source>it could not be written there</source>
        <translation>er konnte dort nicht geschrieben werden</translation>
    </message>
    <message>
        <source>what was written there differs from the header</source>
        <translation>das dort Geschriebene weicht vom Header ab</translation>
    </message>
    <message>
        <source>Export the drive&apos;s header</source>
        <translation>Header des Laufwerks exportieren</translation>
    </message>
    <message>
        <source>The header of &quot;%1&quot; was saved as &quot;%2&quot;. Keep it safe: the drive cannot be opened without it.</source>
        <translation>Der Header von „%1“ wurde als „%2“ gesichert. Bewahren Sie ihn sicher auf: Ohne ihn lässt sich das Laufwerk nicht öffnen.</translation>
    </message>
    <message>
        <source>The header of &quot;%1&quot; was not saved: %2.</source>
        <translation>Der Header von „%1“ wurde nicht gesichert: %2.</translation>
    </message>
    <message>
        <source>Continue encrypting your drive</source>
        <translation>Verschlüsselung des Laufwerks fortsetzen</translation>
    </message>
    <message>
        <source>Enter the password you chose for this drive to continue its encryption:</source>
        <translation>Geben Sie das Passwort ein, das Sie für dieses Laufwerk gewählt haben, um die Verschlüsselung fortzusetzen:</translation>
    </message>
    <message>
        <source>Unlock your encrypted drive</source>
        <translation>Verschlüsseltes Laufwerk entsperren</translation>
    </message>
    <message>
        <source>Enter the password of this encrypted drive:</source>
        <translation>Geben Sie das Passwort dieses verschlüsselten Laufwerks ein:</translation>
    </message>
    <message>
        <source>Remember this password in my keychain</source>
        <translation>Passwort im Schlüsselbund merken</translation>
    </message>
    <message>
        <source>The password is incorrect</source>
        <translation>Das Passwort ist falsch</translation>
    </message>
    <message>
        <source>The drive could not be unlocked: %1</source>
        <translation>Das Laufwerk konnte nicht entsperrt werden: %1</translation>
    </message>
    <message>
        <source>The drive was unlocked, but the USB blocker did not allow it to be mounted.</source>
        <translation>Das Laufwerk wurde entsperrt, aber der USB-Wächter hat das Einbinden nicht erlaubt.</translation>
    </message>
    <message>
        <source>Show password</source>
        <translation>Passwort zeigen</translation>
    </message>
    <message>
        <source>General </source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Benachrichtigungen</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Show dock icon </source>
        <translation>Symbol im Dock zeigen</translation>
    </message>
    <message>
        <source>Show menu bar icon </source>
        <translation>Symbol in der Menüleiste zeigen</translation>
    </message>
    <message>
        <source>Open encrypted drives after unlocking</source>
        <translation>Verschlüsselte Laufwerke nach dem Entsperren öffnen</translation>
    </message>
    <message>
        <source>Open network drives after connecting</source>
        <translation>Netzlaufwerke nach dem Verbinden öffnen</translation>
    </message>
    <message>
        <source>Appearance:</source>
        <translation>Erscheinungsbild:</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Hell</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dunkel</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Disconnect network drives when the system goes to sleep</source>
        <translation>Netzlaufwerke trennen, wenn das System in den Ruhezustand geht</translation>
    </message>
    <message>
        <source>Connect network drives when the system wakes up</source>
        <translation>Netzlaufwerke verbinden, wenn das System aufwacht</translation>
    </message>
    <message>
        <source>Unmount external drives when the system goes to sleep</source>
        <translation>Externe Laufwerke aushängen, wenn das System in den Ruhezustand geht</translation>
    </message>
    <message>
        <source>Lock BitLocker drives when the system goes to sleep</source>
        <translation>BitLocker-Laufwerke sperren, wenn das System in den Ruhezustand geht</translation>
    </message>
    <message>
        <source>Ignore hibernation file when mounting NTFS drives</source>
        <translation>Ruhezustandsdatei beim Einbinden von NTFS-Laufwerken übergehen</translation>
    </message>
    <message>
        <source>Install driver</source>
        <translation>Treiber installieren</translation>
    </message>
    <message>
        <source>This system cannot install the NTFS driver from here.</source>
        <translation>Dieses System kann den NTFS-Treiber nicht von hier aus installieren.</translation>
    </message>
    <message>
        <source>Notify when connected drives</source>
        <translation>Benachrichtigen, wenn Laufwerke verbunden werden</translation>
    </message>
    <message>
        <source>Notify when disconnected drives</source>
        <translation>Benachrichtigen, wenn Laufwerke getrennt werden</translation>
    </message>
    <message>
        <source>Notify when drives appeared</source>
        <translation>Benachrichtigen, wenn Laufwerke erscheinen</translation>
    </message>
    <message>
        <source>Notify when drives disappeared</source>
        <translation>Benachrichtigen, wenn Laufwerke verschwinden</translation>
    </message>
    <message>
        <source>Turn On System Notifications</source>
        <translation>Systembenachrichtigungen einschalten</translation>
    </message>
    <message>
        <source>Notification settings</source>
        <translation>Benachrichtigungseinstellungen</translation>
    </message>
    <message>
        <source>No notification settings program was found for this desktop. Kestrane Harbormind shows its notifications through the desktop&apos;s notification service; allow them for Kestrane Harbormind in your desktop&apos;s settings, under Notifications.</source>
        <translation>Für diese Arbeitsumgebung wurde kein Programm für Benachrichtigungseinstellungen gefunden. Kestrane Harbormind zeigt seine Benachrichtigungen über den Benachrichtigungsdienst der Arbeitsumgebung; erlauben Sie sie für Kestrane Harbormind in den Einstellungen Ihrer Arbeitsumgebung unter „Benachrichtigungen“.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Erase...</source>
        <translation>Löschen …</translation>
    </message>
    <message>
        <source>New Partition...</source>
        <translation>Neue Partition …</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Entfernen …</translation>
    </message>
    <message>
        <source>Erase %@?</source>
        <translation>%@ löschen?</translation>
    </message>
    <message>
        <source>Delete the partition %@?</source>
        <translation>Partition %@ entfernen?</translation>
    </message>
    <message>
        <source>%@ Everything on it will be lost; mounted volumes are unmounted first.</source>
        <translation>%@ Alles darauf geht verloren; eingebundene Volumes werden zuerst ausgehängt.</translation>
    </message>
    <message>
        <source>Erase</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>This drive cannot be erased</source>
        <translation>Dieses Laufwerk kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>The drive could not be erased</source>
        <translation>Das Laufwerk konnte nicht gelöscht werden</translation>
    </message>
    <message>
        <source>The partition could not be created</source>
        <translation>Die Partition konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>The partition could not be deleted</source>
        <translation>Die Partition konnte nicht entfernt werden</translation>
    </message>
    <message>
        <source>The partitions of this disk cannot be read</source>
        <translation>Die Partitionen dieses Datenträgers können nicht gelesen werden</translation>
    </message>
    <message>
        <source>There is no free space on this disk</source>
        <translation>Auf diesem Datenträger ist kein freier Platz</translation>
    </message>
    <message>
        <source>A new partition needs free space on a disk with a GUID or MBR partition table (an MBR table holds at most four). Delete a partition, or erase the whole disk.</source>
        <translation>Eine neue Partition braucht freien Platz auf einem Datenträger mit GUID- oder MBR-Partitionstabelle (eine MBR-Tabelle fasst höchstens vier). Entfernen Sie eine Partition oder löschen Sie den ganzen Datenträger.</translation>
    </message>
    <message>
        <source>Erase &quot;%@&quot;</source>
        <translation>„%@“ löschen</translation>
    </message>
    <message>
        <source>Erasing %@ deletes everything on it and gives it a new GUID partition table with one volume.</source>
        <translation>Beim Löschen von %@ wird alles darauf entfernt, und es erhält eine neue GUID-Partitionstabelle mit einem Volume.</translation>
    </message>
    <message>
        <source>Erasing the volume %@ deletes everything on it.</source>
        <translation>Beim Löschen des Volumes %@ wird alles darauf entfernt.</translation>
    </message>
    <message>
        <source>No destination device can be selected.</source>
        <translation>Es kann kein Zielgerät gewählt werden.</translation>
    </message>
    <message>
        <source>Source device</source>
        <translation>Quellgerät</translation>
    </message>
    <message>
        <source>Please select the destin device to clone</source>
        <translation>Wählen Sie das Zielgerät für den Klon</translation>
    </message>
    <message>
        <source>The capacity of the destination device must be larger than or equal to that of source device.</source>
        <translation>Das Zielgerät muss mindestens so groß sein wie das Quellgerät.</translation>
    </message>
    <message>
        <source>startClone</source>
        <translation>Klonen starten</translation>
    </message>
    <message>
        <source>Cloning the drive will overwrite the data on the target drive. Please make a backup of your target drive.</source>
        <translation>Das Klonen überschreibt die Daten auf dem Ziellaufwerk. Bitte sichern Sie das Ziellaufwerk vorher.</translation>
    </message>
    <message>
        <source>The clone interrupted, please click Continue to start cloning again.</source>
        <translation>Das Klonen wurde unterbrochen. Klicken Sie auf „Fortfahren“, um erneut zu klonen.</translation>
    </message>
    <message>
        <source>UUID of the source device is full.</source>
        <translation>Die UUID des Quellgeräts ist nicht verwendbar.</translation>
    </message>
    <message>
        <source>No source device found, please insert your source device and clone again.</source>
        <translation>Kein Quellgerät gefunden. Schließen Sie das Quellgerät an und klonen Sie erneut.</translation>
    </message>
    <message>
        <source>Failed to open the source device.</source>
        <translation>Das Quellgerät konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Failed to open the destination device.</source>
        <translation>Das Zielgerät konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The sector size of the destination device is not same as the source device.</source>
        <translation>Die Sektorgröße des Zielgeräts weicht von der des Quellgeräts ab.</translation>
    </message>
    <message>
        <source> Not enough space on destination device.</source>
        <translation> Nicht genug Platz auf dem Zielgerät.</translation>
    </message>
    <message>
        <source>Cloning...</source>
        <translation>Wird geklont …</translation>
    </message>
    <message>
        <source>The clone has completed.</source>
        <translation>Das Klonen ist abgeschlossen.</translation>
    </message>
    <message>
        <source>No source device found.</source>
        <translation>Kein Quellgerät gefunden.</translation>
    </message>
    <message>
        <source>No destination device found.</source>
        <translation>Kein Zielgerät gefunden.</translation>
    </message>
    <message>
        <source>The clone has stopped, error code: %d</source>
        <translation>Das Klonen wurde beendet (Fehlercode %d).</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Update Now</source>
        <translation>Jetzt aktualisieren</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>Version %@</source>
        <translation>Version %@</translation>
    </message>
    <message>
        <source>Release Notes:</source>
        <translation>Versionshinweise:</translation>
    </message>
    <message>
        <source>The length of password must be less than 48-digit.</source>
        <translation>Das Passwort muss kürzer als 48 Zeichen sein.</translation>
    </message>
    <message>
        <source>Failed to enable USB Warden.</source>
        <translation>Der USB-Wächter konnte nicht eingeschaltet werden.</translation>
    </message>
    <message>
        <source>Enable USB Warden successfully.</source>
        <translation>Der USB-Wächter ist eingeschaltet.</translation>
    </message>
    <message>
        <source>Please enter a password to disable USB Warden</source>
        <translation>Bitte geben Sie das Passwort ein, um den USB-Wächter auszuschalten</translation>
    </message>
    <message>
        <source> Disable USB Warden successfully.</source>
        <translation>Der USB-Wächter ist ausgeschaltet.</translation>
    </message>
    <message>
        <source>Failed to disableUSB Warden.</source>
        <translation>Der USB-Wächter konnte nicht ausgeschaltet werden.</translation>
    </message>
    <message>
        <source>The agent that asks about new disks could not be stopped now; it stops at your next login.</source>
        <translation>Der Agent, der bei neuen Datenträgern nachfragt, konnte jetzt nicht beendet werden; er endet bei Ihrer nächsten Anmeldung.</translation>
    </message>
    <message>
        <source>USB Warden is on, and disks that are not on the white list are refused. The agent that asks about new disks could not be started (no service manager for your session?); run harbormind-usbagent to be asked.</source>
        <translation>Der USB-Wächter ist eingeschaltet, und Datenträger, die nicht auf der weißen Liste stehen, werden abgewiesen. Der Agent, der bei neuen Datenträgern nachfragt, konnte nicht gestartet werden (kein Dienstverwalter für Ihre Sitzung?); starten Sie harbormind-usbagent, um gefragt zu werden.</translation>
    </message>
    <message>
        <source>Please enter a password to set the preferences.</source>
        <translation>Bitte geben Sie das Passwort ein, um die Einstellungen zu ändern.</translation>
    </message>
    <message>
        <source>Add the password to the whitelist.</source>
        <translation>Geben Sie das Passwort ein, um diesen Datenträger zur weißen Liste hinzuzufügen.</translation>
    </message>
    <message>
        <source>Add whitelist successfully.</source>
        <translation>Zur weißen Liste hinzugefügt.</translation>
    </message>
    <message>
        <source> USB Warden is currently enabled to prevent your drive from loading.</source>
        <translation>Der USB-Wächter ist eingeschaltet und verhindert, dass dieses Laufwerk eingebunden wird.</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Set password</source>
        <translation>Passwort festlegen</translation>
    </message>
    <message>
        <source>DeviceWhiteList</source>
        <translation>Weiße Liste</translation>
    </message>
    <message>
        <source>Select protection mode:</source>
        <translation>Schutzart wählen:</translation>
    </message>
    <message>
        <source>Every time ask for confirmation</source>
        <translation>Jedes Mal nachfragen</translation>
    </message>
    <message>
        <source>Only allow USB in white list</source>
        <translation>Nur USB-Datenträger der weißen Liste erlauben</translation>
    </message>
    <message>
        <source>Ask for confirmation every time: Every time a USB device is connected, a window asks for mounting</source>
        <translation>Jedes Mal nachfragen: Bei jedem angeschlossenen USB-Datenträger fragt ein Fenster, ob er eingebunden werden soll</translation>
    </message>
    <message>
        <source>Only allow USB in white list: Only allow whitelisted USB devices to mount</source>
        <translation>Nur USB-Datenträger der weißen Liste erlauben: Nur Datenträger auf der weißen Liste werden eingebunden</translation>
    </message>
    <message>
        <source>Please set a password before using this function.</source>
        <translation>Bitte legen Sie ein Passwort fest, bevor Sie diese Funktion verwenden.</translation>
    </message>
    <message>
        <source>A password is set. To change it, enter it and then the new one twice.</source>
        <translation>Ein Passwort ist festgelegt. Um es zu ändern, geben Sie es ein und danach zweimal das neue.</translation>
    </message>
    <message>
        <source>Old passwor:</source>
        <translation>Altes Passwort:</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>Neues Passwort:</translation>
    </message>
    <message>
        <source>Confirm password:</source>
        <translation>Passwort bestätigen:</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>The password has changed successfully.</source>
        <translation>Das Passwort wurde geändert.</translation>
    </message>
    <message>
        <source>disk Name</source>
        <translation>Datenträgername</translation>
    </message>
    <message>
        <source>Remove whitelist</source>
        <translation>Von der weißen Liste entfernen</translation>
    </message>
    <message>
        <source>White list: these disks always mount</source>
        <translation>Weiße Liste: Diese Datenträger werden immer eingebunden</translation>
    </message>
    <message>
        <source>Black list: these disks never mount</source>
        <translation>Schwarze Liste: Diese Datenträger werden nie eingebunden</translation>
    </message>
    <message>
        <source>Remove from black list</source>
        <translation>Von der schwarzen Liste entfernen</translation>
    </message>
    <message>
        <source>folers selected: %d   files selected: %d    Size of the selected files: %@</source>
        <translation>Ordner ausgewählt: %d   Dateien ausgewählt: %d   Größe der ausgewählten Dateien: %@</translation>
    </message>
    <message>
        <source>No folder or file is selected</source>
        <translation>Kein Ordner und keine Datei ausgewählt</translation>
    </message>
    <message>
        <source>Please select the file or folder</source>
        <translation>Bitte wählen Sie Dateien oder Ordner aus</translation>
    </message>
    <message>
        <source> Do you want to delete the selected folders, including subfolders and subfiles?</source>
        <translation>Möchten Sie die ausgewählten Ordner mit allem, was sie enthalten, löschen?</translation>
    </message>
    <message>
        <source>The selected files or folders will be deleted and won&apos;t be recovered.</source>
        <translation>Die ausgewählten Dateien und Ordner werden gelöscht und können nicht wiederhergestellt werden.</translation>
    </message>
    <message>
        <source>Clean successfully</source>
        <translation>Bereinigung abgeschlossen</translation>
    </message>
    <message>
        <source>Insufficient permissions, cleanup failed.</source>
        <translation>Bereinigung fehlgeschlagen: Zugriff verweigert.</translation>
    </message>
    <message>
        <source>less than a minute left</source>
        <translation>weniger als eine Minute übrig</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>etwa %1 min übrig</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>etwa %1 h %2 min übrig</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1/s, %2</source>
        <translation>%1/s, %2</translation>
    </message>
    <message>
        <source>%1 of the source (%2 bytes) could not be read; those parts were written as zeros.</source>
        <translation>%1 der Quelle (%2 Bytes) konnten nicht gelesen werden; diese Teile wurden als Nullen geschrieben.</translation>
    </message>
    <message>
        <source>What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on once the cause is fixed.</source>
        <translation>Was kopiert wurde, bleibt erhalten: Wählen Sie „Klonen fortsetzen“ im Menü des Ziels, sobald die Ursache behoben ist.</translation>
    </message>
    <message>
        <source>The clone was stopped.</source>
        <translation>Das Klonen wurde angehalten.</translation>
    </message>
    <message>
        <source>What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on.</source>
        <translation>Was kopiert wurde, bleibt erhalten: Wählen Sie „Klonen fortsetzen“ im Menü des Ziels, um weiterzumachen.</translation>
    </message>
    <message>
        <source>The clone was interrupted.</source>
        <translation>Das Klonen wurde unterbrochen.</translation>
    </message>
    <message>
        <source>The helper daemon stopped copying without a word (it may have ended or been restarted). What was copied is kept: choose Resume Clone in the destination&apos;s menu to go on.</source>
        <translation>Der Hilfsdienst hat das Kopieren ohne Meldung beendet (er wurde womöglich beendet oder neu gestartet). Was kopiert wurde, bleibt erhalten: Wählen Sie „Klonen fortsetzen“ im Menü des Ziels, um weiterzumachen.</translation>
    </message>
    <message>
        <source>Stop the clone?</source>
        <translation>Klonen anhalten?</translation>
    </message>
    <message>
        <source>“%1” keeps what has been copied so far. You can resume the clone later with Resume Clone in the destination&apos;s menu.</source>
        <translation>„%1“ behält, was bisher kopiert wurde. Sie können das Klonen später mit „Klonen fortsetzen“ im Menü des Ziels fortsetzen.</translation>
    </message>
    <message>
        <source>Nothing has been written to “%1” yet.</source>
        <translation>Auf „%1“ wurde noch nichts geschrieben.</translation>
    </message>
    <message>
        <source>Continue Cloning</source>
        <translation>Weiter klonen</translation>
    </message>
    <message>
        <source>Stop Cloning</source>
        <translation>Klonen anhalten</translation>
    </message>
    <message>
        <source>Everything on “%1” (%2) will be replaced by a copy of “%3”.</source>
        <translation>Alles auf „%1“ (%2) wird durch eine Kopie von „%3“ ersetzt.</translation>
    </message>
    <message>
        <source>Everything on “%1” (%2), with its volumes %3, will be replaced by a copy of “%4”.</source>
        <translation>Alles auf „%1“ (%2) samt seinen Volumes %3 wird durch eine Kopie von „%4“ ersetzt.</translation>
    </message>
    <message>
        <source>Its mounted volumes are unmounted first.</source>
        <translation>Seine eingebundenen Volumes werden zuerst ausgehängt.</translation>
    </message>
    <message>
        <source>The record of the interrupted clone does not name a source it can be resumed from. Clone the drive again and choose Continue to copy from the beginning.</source>
        <translation>Der Eintrag zum unterbrochenen Klonen nennt keine Quelle, von der es fortgesetzt werden kann. Klonen Sie das Laufwerk erneut und wählen Sie „Fortfahren“, um von vorn zu kopieren.</translation>
    </message>
    <message>
        <source>The source “%1” is mounted</source>
        <translation>Die Quelle „%1“ ist eingebunden</translation>
    </message>
    <message>
        <source>Its volumes %1 must be unmounted while they are copied, so that nothing changes them midway. Unmount them and clone?</source>
        <translation>Ihre Volumes %1 müssen während des Kopierens ausgehängt sein, damit nichts sie zwischendurch ändert. Aushängen und klonen?</translation>
    </message>
    <message>
        <source>Unmount and Clone</source>
        <translation>Aushängen und klonen</translation>
    </message>
    <message>
        <source>Too small: the source holds %1.</source>
        <translation>Zu klein: Die Quelle umfasst %1.</translation>
    </message>
    <message>
        <source>Your settings, the passwords saved for your drives, and your saved network drives with their passwords are removed too.</source>
        <translation>Ihre Einstellungen, die für Ihre Laufwerke gespeicherten Passwörter und Ihre gespeicherten Netzlaufwerke samt Passwörtern werden ebenfalls entfernt.</translation>
    </message>
    <message>
        <source>Saved network drives: %1</source>
        <translation>Gespeicherte Netzlaufwerke: %1</translation>
    </message>
    <message>
        <source>Deleted %1 files and %2 folders (%3).</source>
        <translation>%1 Dateien und %2 Ordner gelöscht (%3).</translation>
    </message>
    <message>
        <source>The top folder %1 itself stays: %2.</source>
        <translation>Der oberste Ordner %1 selbst bleibt: %2.</translation>
    </message>
    <message>
        <source>Not deleted (%1):</source>
        <translation>Nicht gelöscht (%1):</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>...and %1 more.</source>
        <translation>… und %1 weitere.</translation>
    </message>
    <message>
        <source>Some items could not be deleted</source>
        <translation>Manches konnte nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Unmounting “%1”…</source>
        <translation>„%1“ wird ausgehängt …</translation>
    </message>
    <message>
        <source>Checking the two devices…</source>
        <translation>Die beiden Geräte werden geprüft …</translation>
    </message>
    <message>
        <source>The helper daemon did not answer the check of the two devices.</source>
        <translation>Der Hilfsdienst hat auf die Prüfung der beiden Geräte nicht geantwortet.</translation>
    </message>
    <message>
        <source>Starting the copy…</source>
        <translation>Das Kopieren beginnt …</translation>
    </message>
    <message>
        <source>The helper daemon did not answer the request to clone.</source>
        <translation>Der Hilfsdienst hat auf die Anfrage zum Klonen nicht geantwortet.</translation>
    </message>
    <message>
        <source>The clone starts over from the beginning</source>
        <translation>Das Klonen beginnt von vorn</translation>
    </message>
    <message>
        <source>The clone could not be started</source>
        <translation>Das Klonen konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>The connection failed: %1</source>
        <translation>Die Verbindung ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translation>Einzelheiten: %1</translation>
    </message>
    <message>
        <source>HFS+</source>
        <translation>HFS+</translation>
    </message>
    <message>
        <source>HFS+ Encrypted</source>
        <translation>HFS+ verschlüsselt</translation>
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
        <translation>APFS verschlüsselt</translation>
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
        <translation>BitLocker-verschlüsselt</translation>
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
        <translation>Linux-Auslagerung</translation>
    </message>
    <message>
        <source>LUKS Encrypted</source>
        <translation>LUKS-verschlüsselt</translation>
    </message>
    <message>
        <source>Internal</source>
        <translation>Intern</translation>
    </message>
    <message>
        <source>External</source>
        <translation>Extern</translation>
    </message>
    <message>
        <source>GUID Partition Map</source>
        <translation>GUID-Partitionstabelle</translation>
    </message>
    <message>
        <source>Master Boot Record</source>
        <translation>Master Boot Record</translation>
    </message>
    <message>
        <source>Apple Partition Map</source>
        <translation>Apple-Partitionstabelle</translation>
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
        <translation>Abbild</translation>
    </message>
    <message>
        <source>Fusion Drive</source>
        <translation>Fusion Drive</translation>
    </message>
    <message>
        <source>Solid State Drive</source>
        <translation>SSD</translation>
    </message>
    <message>
        <source>Hard Disk Drive</source>
        <translation>Festplatte</translation>
    </message>
    <message>
        <source>Your account is not allowed to mount this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Ihr Konto darf dieses Laufwerk nicht einbinden. Fragen Sie einen Administrator, oder lesen Sie „man harbormindctl“ (ACCESS).</translation>
    </message>
    <message>
        <source>Your account is not allowed to unmount this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Ihr Konto darf dieses Laufwerk nicht aushängen. Fragen Sie einen Administrator, oder lesen Sie „man harbormindctl“ (ACCESS).</translation>
    </message>
    <message>
        <source>Your account is not allowed to eject this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Ihr Konto darf dieses Laufwerk nicht auswerfen. Fragen Sie einen Administrator, oder lesen Sie „man harbormindctl“ (ACCESS).</translation>
    </message>
    <message>
        <source>Your account is not allowed to check this drive. Ask an administrator, or see &quot;man harbormindctl&quot; (ACCESS).</source>
        <translation>Ihr Konto darf dieses Laufwerk nicht prüfen. Fragen Sie einen Administrator, oder lesen Sie „man harbormindctl“ (ACCESS).</translation>
    </message>
    <message>
        <source>The drive could not be mounted: %1</source>
        <translation>Das Laufwerk konnte nicht eingebunden werden: %1</translation>
    </message>
    <message>
        <source>The drive could not be unmounted: %1</source>
        <translation>Das Laufwerk konnte nicht ausgehängt werden: %1</translation>
    </message>
    <message>
        <source>The drive could not be ejected: %1</source>
        <translation>Das Laufwerk konnte nicht ausgeworfen werden: %1</translation>
    </message>
    <message>
        <source>The drive could not be checked: %1</source>
        <translation>Das Laufwerk konnte nicht geprüft werden: %1</translation>
    </message>
    <message>
        <source>the volume is not mounted</source>
        <translation>das Volume ist nicht eingebunden</translation>
    </message>
    <message>
        <source>mount the volume first</source>
        <translation>binden Sie das Volume zuerst ein</translation>
    </message>
    <message>
        <source>needs the NTFS driver (ntfs-3g), which is not installed</source>
        <translation>braucht den NTFS-Treiber (ntfs-3g), der nicht installiert ist</translation>
    </message>
    <message>
        <source>the volume is already mounted</source>
        <translation>das Volume ist bereits eingebunden</translation>
    </message>
    <message>
        <source>the volume is locked: unlock it first</source>
        <translation>das Volume ist gesperrt: entsperren Sie es zuerst</translation>
    </message>
    <message>
        <source>the volume&apos;s encryption has not finished</source>
        <translation>die Verschlüsselung des Volumes ist nicht abgeschlossen</translation>
    </message>
    <message>
        <source>it holds volumes of its own: mount those</source>
        <translation>es enthält eigene Volumes: binden Sie diese ein</translation>
    </message>
    <message>
        <source>it holds no file system that can be mounted</source>
        <translation>es enthält kein Dateisystem, das eingebunden werden kann</translation>
    </message>
    <message>
        <source>First Aid does not know the volume&apos;s file system</source>
        <translation>Die Erste Hilfe kennt das Dateisystem des Volumes nicht</translation>
    </message>
    <message>
        <source>First Aid checks external drives only</source>
        <translation>Die Erste Hilfe prüft nur externe Laufwerke</translation>
    </message>
    <message>
        <source>the volume is not a locked encrypted volume</source>
        <translation>das Volume ist kein gesperrtes verschlüsseltes Volume</translation>
    </message>
    <message>
        <source>the volume is not an unlocked encrypted volume</source>
        <translation>das Volume ist kein entsperrtes verschlüsseltes Volume</translation>
    </message>
    <message>
        <source>this file system cannot be encrypted here</source>
        <translation>dieses Dateisystem kann hier nicht verschlüsselt werden</translation>
    </message>
    <message>
        <source>the system volume and the one holding your home folder are not cleared</source>
        <translation>das Systemvolume und das Volume mit Ihrem Benutzerordner werden nicht bereinigt</translation>
    </message>
    <message>
        <source>junk is cleaned on the system volume only</source>
        <translation>Datenmüll wird nur auf dem Systemvolume entfernt</translation>
    </message>
    <message>
        <source>none of its volumes is mounted</source>
        <translation>keines seiner Volumes ist eingebunden</translation>
    </message>
    <message>
        <source>this disk cannot be ejected</source>
        <translation>dieser Datenträger kann nicht ausgeworfen werden</translation>
    </message>
    <message>
        <source>where the disk is attached is not known</source>
        <translation>wo der Datenträger angeschlossen ist, ist unbekannt</translation>
    </message>
    <message>
        <source>the disk has no partitions to clone</source>
        <translation>der Datenträger hat keine Partitionen zum Klonen</translation>
    </message>
    <message>
        <source>the disk&apos;s partition map is not known</source>
        <translation>die Partitionstabelle des Datenträgers ist unbekannt</translation>
    </message>
    <message>
        <source>no clone onto this disk was interrupted</source>
        <translation>kein Klonen auf diesen Datenträger wurde unterbrochen</translation>
    </message>
    <message>
        <source>the drive is not connected</source>
        <translation>das Laufwerk ist nicht verbunden</translation>
    </message>
    <message>
        <source>the drive is already connected</source>
        <translation>das Laufwerk ist bereits verbunden</translation>
    </message>
    <message>
        <source>disconnect the drive first</source>
        <translation>trennen Sie das Laufwerk zuerst</translation>
    </message>
    <message>
        <source>the drive is not saved</source>
        <translation>das Laufwerk ist nicht gespeichert</translation>
    </message>
    <message>
        <source>Grant Full Disk Access</source>
        <translation>Vollen Datenträgerzugriff gewähren</translation>
    </message>
    <message>
        <source>To start managing your drives, you&apos;ll need to do this once.</source>
        <translation>Um Ihre Laufwerke zu verwalten, ist das einmal nötig.</translation>
    </message>
    <message>
        <source>Open System Preferences</source>
        <translation>Systemeinstellungen öffnen</translation>
    </message>
    <message>
        <source>Please complete all steps</source>
        <translation>Bitte schließen Sie alle Schritte ab</translation>
    </message>
    <message>
        <source>Please follow the steps below to complete the authorization</source>
        <translation>Bitte folgen Sie den Schritten unten, um die Berechtigung zu erteilen</translation>
    </message>
    <message>
        <source>The check did not complete</source>
        <translation>Die Prüfung wurde nicht abgeschlossen</translation>
    </message>
    <message>
        <source>Short Self-Test</source>
        <translation>Kurzer Selbsttest</translation>
    </message>
    <message>
        <source>Extended Self-Test</source>
        <translation>Erweiterter Selbsttest</translation>
    </message>
    <message>
        <source>Details...</source>
        <translation>Details …</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>Attribut</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Worst</source>
        <translation>Schlechtester</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Schwelle</translation>
    </message>
    <message>
        <source>Raw</source>
        <translation>Rohwert</translation>
    </message>
    <message>
        <source>Drive Health Details</source>
        <translation>Laufwerkszustand im Einzelnen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Reading...</source>
        <translation>Wird gelesen …</translation>
    </message>
    <message>
        <source>Self-test: </source>
        <translation>Selbsttest: </translation>
    </message>
    <message>
        <source> (at %1 hours)</source>
        <translation> (bei %1 Stunden)</translation>
    </message>
    <message>
        <source>Self-test log:</source>
        <translation>Selbsttest-Protokoll:</translation>
    </message>
    <message>
        <source>The self-test could not be started: %1</source>
        <translation>Der Selbsttest konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Anlegen</translation>
    </message>
    <message>
        <source>New Partition</source>
        <translation>Neue Partition</translation>
    </message>
    <message>
        <source>New partition on %1</source>
        <translation>Neue Partition auf %1</translation>
    </message>
    <message>
        <source>%1 free, starting at %2</source>
        <translation>%1 frei, ab %2</translation>
    </message>
    <message>
        <source>Free space:</source>
        <translation>Freier Platz:</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
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
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>An encrypted volume needs a password.</source>
        <translation>Ein verschlüsseltes Volume braucht ein Passwort.</translation>
    </message>
    <message>
        <source>The two passwords differ.</source>
        <translation>Die beiden Passwörter unterscheiden sich.</translation>
    </message>
    <message>
        <source>Erasing...</source>
        <translation>Wird gelöscht …</translation>
    </message>
    <message>
        <source>Connected.</source>
        <translation>Verbunden.</translation>
    </message>
    <message>
        <source>The server cannot be reached.</source>
        <translation>Der Server ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>The server has no such shared folder.</source>
        <translation>Der Server hat keinen solchen freigegebenen Ordner.</translation>
    </message>
    <message>
        <source>The server refused access to the shared folder.</source>
        <translation>Der Server hat den Zugriff auf den freigegebenen Ordner verweigert.</translation>
    </message>
    <message>
        <source>The shared folder is already connected.</source>
        <translation>Der freigegebene Ordner ist bereits verbunden.</translation>
    </message>
    <message>
        <source>This kind of network drive cannot be connected on this system.</source>
        <translation>Diese Art Netzlaufwerk kann auf diesem System nicht verbunden werden.</translation>
    </message>
    <message>
        <source>The server did not answer in time.</source>
        <translation>Der Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The user name or password is incorrect.</source>
        <translation>Benutzername oder Passwort ist falsch.</translation>
    </message>
    <message>
        <source>The connection was cancelled.</source>
        <translation>Die Verbindung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The network drive is in use; close the files open on it and try again. It stays connected.</source>
        <translation>Das Netzlaufwerk wird verwendet; schließen Sie die darauf geöffneten Dateien und versuchen Sie es erneut. Es bleibt verbunden.</translation>
    </message>
    <message>
        <source>Files written to the network drive have not all reached the server yet. It stays connected; try again when they have.</source>
        <translation>Noch nicht alle auf das Netzlaufwerk geschriebenen Dateien sind beim Server angekommen. Es bleibt verbunden; versuchen Sie es erneut, wenn sie angekommen sind.</translation>
    </message>
    <message>
        <source>Check the server&apos;s name or address, that the server is on, and that this computer is on its network.</source>
        <translation>Prüfen Sie den Namen oder die Adresse des Servers, ob der Server läuft und ob dieser Rechner in seinem Netz ist.</translation>
    </message>
    <message>
        <source>Check the server&apos;s name or address and the network connection; the server may be busy.</source>
        <translation>Prüfen Sie den Namen oder die Adresse des Servers und die Netzverbindung; der Server ist womöglich ausgelastet.</translation>
    </message>
    <message>
        <source>Check the user name and the password, or connect as a guest if the server allows it.</source>
        <translation>Prüfen Sie Benutzername und Passwort, oder verbinden Sie sich als Gast, wenn der Server das erlaubt.</translation>
    </message>
    <message>
        <source>Check the shared folder&apos;s name, the part of the address after the server.</source>
        <translation>Prüfen Sie den Namen des freigegebenen Ordners, den Teil der Adresse nach dem Server.</translation>
    </message>
    <message>
        <source>Check that this account may use the shared folder, or ask the server&apos;s administrator.</source>
        <translation>Prüfen Sie, ob dieses Konto den freigegebenen Ordner verwenden darf, oder fragen Sie den Administrator des Servers.</translation>
    </message>
    <message>
        <source>Check the drive&apos;s type; another kind of connection to the same server may work.</source>
        <translation>Prüfen Sie den Typ des Laufwerks; eine andere Verbindungsart zum selben Server funktioniert womöglich.</translation>
    </message>
    <message>
        <source>Check the server&apos;s name or address, the user name and password, and the shared folder&apos;s name.</source>
        <translation>Prüfen Sie den Namen oder die Adresse des Servers, Benutzername und Passwort sowie den Namen des freigegebenen Ordners.</translation>
    </message>
    <message>
        <source>Health</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Gut</translation>
    </message>
    <message>
        <source>Failing</source>
        <translation>Versagt</translation>
    </message>
    <message>
        <source>Not available</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatur</translation>
    </message>
    <message>
        <source>Power-on hours</source>
        <translation>Betriebsstunden</translation>
    </message>
    <message>
        <source>Reallocated sectors</source>
        <translation>Neu zugewiesene Sektoren</translation>
    </message>
    <message>
        <source>Pending sectors</source>
        <translation>Ausstehende Sektoren</translation>
    </message>
    <message>
        <source>Media errors</source>
        <translation>Medienfehler</translation>
    </message>
    <message>
        <source>Endurance used</source>
        <translation>Verbrauchte Lebensdauer</translation>
    </message>
    <message>
        <source>Available spare</source>
        <translation>Verfügbare Reserve</translation>
    </message>
    <message>
        <source>Self-test</source>
        <translation>Selbsttest</translation>
    </message>
    <message>
        <source>Last self-test</source>
        <translation>Letzter Selbsttest</translation>
    </message>
    <message>
        <source>%1 could not be read and were written as zeros.</source>
        <translation>%1 konnten nicht gelesen werden und wurden als Nullen geschrieben.</translation>
    </message>
    <message>
        <source>Choose...</source>
        <translation>Wählen …</translation>
    </message>
    <message>
        <source>Compress (zstd)</source>
        <translation>Komprimieren (zstd)</translation>
    </message>
    <message>
        <source>Create Disk Image</source>
        <translation>Abbild erstellen</translation>
    </message>
    <message>
        <source>Create Disk Image...</source>
        <translation>Abbild erstellen …</translation>
    </message>
    <message>
        <source>Disk images (*.img *.img.zst)</source>
        <translation>Abbilder (*.img *.img.zst)</translation>
    </message>
    <message>
        <source>Disk images (*.img *.iso *.img.zst *.img.xz);;All files (*)</source>
        <translation>Abbilder (*.img *.iso *.img.zst *.img.xz);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Image file:</source>
        <translation>Abbilddatei:</translation>
    </message>
    <message>
        <source>It failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Making the image...</source>
        <translation>Abbild wird erstellt …</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Restore Disk Image</source>
        <translation>Abbild zurückspielen</translation>
    </message>
    <message>
        <source>Restore Disk Image...</source>
        <translation>Abbild zurückspielen …</translation>
    </message>
    <message>
        <source>Restore the image onto %@?</source>
        <translation>Abbild auf %@ zurückspielen?</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Stopped after %1.</source>
        <translation>Angehalten nach %1.</translation>
    </message>
    <message>
        <source>The daemon has no record of the copy.</source>
        <translation>Der Hilfsdienst hat keinen Eintrag zu dieser Kopie.</translation>
    </message>
    <message>
        <source>The disk image could not be made</source>
        <translation>Das Abbild konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>The disk image could not be restored</source>
        <translation>Das Abbild konnte nicht zurückgespielt werden</translation>
    </message>
    <message>
        <source>The image is made; it takes %1.</source>
        <translation>Das Abbild ist erstellt; es belegt %1.</translation>
    </message>
    <message>
        <source>The image is written.</source>
        <translation>Das Abbild ist geschrieben.</translation>
    </message>
    <message>
        <source>Writing the image...</source>
        <translation>Abbild wird geschrieben …</translation>
    </message>
    <message>
        <source>Applications keep caches in your cache folder (~/.cache) to start faster. They grow over time and are rebuilt when needed, so deleting them frees space at the cost of a slower first start.</source>
        <translation>Programme legen in Ihrem Cache-Ordner (~/.cache) Zwischenspeicher an, um schneller zu starten. Sie wachsen mit der Zeit und werden bei Bedarf neu erstellt; Löschen schafft Platz, der nächste Start dauert dafür etwas länger.</translation>
    </message>
    <message>
        <source>Build tools and package managers keep downloaded packages and intermediate build results. They are downloaded or rebuilt again when a project needs them.</source>
        <translation>Build-Werkzeuge und Paketverwaltungen behalten heruntergeladene Pakete und Zwischenergebnisse. Sie werden erneut geladen oder erstellt, wenn ein Projekt sie braucht.</translation>
    </message>
    <message>
        <source>DeveloperCaches</source>
        <translation>Entwickler-Caches</translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Files you delete in your file manager are kept in the trash, where they still occupy disk space. Emptying the trash removes them for good.</source>
        <translation>Dateien, die Sie im Dateimanager löschen, landen im Papierkorb und belegen dort weiter Speicherplatz. Leeren des Papierkorbs entfernt sie endgültig.</translation>
    </message>
    <message>
        <source>Files you download are kept in your Downloads folder. Over time they accumulate; deleting incomplete downloads and files you no longer need frees disk space.</source>
        <translation>Heruntergeladene Dateien liegen in Ihrem Ordner „Downloads“. Mit der Zeit sammeln sie sich an; Löschen unvollständiger Downloads und nicht mehr benötigter Dateien schafft Speicherplatz.</translation>
    </message>
    <message>
        <source>Programs leave temporary files in /tmp and /var/tmp. Deleting the ones you own frees disk space; files of other users and of running services are left alone.</source>
        <translation>Programme hinterlassen temporäre Dateien in /tmp und /var/tmp. Löschen Ihrer eigenen schafft Speicherplatz; Dateien anderer Benutzer und laufender Dienste bleiben unberührt.</translation>
    </message>
    <message>
        <source>Sandboxed (Flatpak) applications keep their own caches. They are rebuilt when needed.</source>
        <translation>Abgeschottete (Flatpak-)Anwendungen haben eigene Zwischenspeicher. Sie werden bei Bedarf neu erstellt.</translation>
    </message>
    <message>
        <source>Temp</source>
        <translation>Temporäre Dateien</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
    <message>
        <source>UserAppCache</source>
        <translation>App-Caches</translation>
    </message>
    <message>
        <source>UserCache</source>
        <translation>Benutzer-Caches</translation>
    </message>
    <message>
        <source>UserLog</source>
        <translation>Benutzerprotokolle</translation>
    </message>
    <message>
        <source>Your graphical sessions write log files that are rarely read once the session has ended.</source>
        <translation>Ihre grafischen Sitzungen schreiben Protokolldateien, die nach dem Ende der Sitzung kaum noch gelesen werden.</translation>
    </message>
</context>
</TS>
