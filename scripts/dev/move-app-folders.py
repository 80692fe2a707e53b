#!/usr/bin/env python3
"""Moves the window's classes out of the flat src/app into one folder per feature.

Run it from anywhere in the checkout: it `git mv`s every header and source named in FOLDERS from
src/app into src/app/<folder>/, rewrites every `#include "app/..."` of a moved header in src/,
tests/ and bench/, and every path to a moved source in a CMakeLists.txt. Files already in their
folder are left alone, so it can run again on a newer tree; a header or source left in the top of
src/app that the table does not name stops it before anything moves (add it to the table).
"""

import pathlib
import re
import subprocess
import sys

# Top to bottom: a folder's classes may include those of the folders below it.
FOLDERS = {
    "shell": [
        "AppDelegate", "DMShellEffects", "DMWindowController", "DMSidebarViewController",
        "DMSidebarViewControllerDelegate", "DMApplicationActions", "DMLaunchOptions", "DMPlatformSetup",
        "DMDisplayCheck", "DMTranslationLoader", "DMDarkPalette", "DMWindowPlacement", "DMDriveRowObserver",
        "DMAppearanceController",
    ],
    "install": ["DMDriverInstaller", "DMPermissionGuideWindow", "DMMissingPieces", "DMUninstaller"],
    "update": ["DMUpdatePresenter", "MacUpdateWindowController"],
    "details": [
        "DMBaseViewController", "DMLocalDriveViewController", "DMLocalPartitionViewController",
        "DMNetworkDriveViewController", "DMViewControllerManager", "DMCapacityText", "DMDisplayNames",
    ],
    "clone": [
        "DMDeviceCloneAttempt", "DMDeviceCloneFlow", "DMDeviceCloneOutlineRowViewItem",
        "DMDeviceCloneProgressReceiver", "DMDeviceCloneProgressWndController", "DMDeviceCloneStart",
        "DMDeviceCloneWndController",
    ],
    "firstaid": ["DMFirstAidTexts", "DMFirstAidWindowController"],
    "cleaning": [
        "CDCheckState", "CDCleanAlerts", "CDCleaningServices", "CDDriveClearFileTreeView",
        "CDDriveClearStatuBarView", "CDDriveClearTreeModel", "CDDriveClearViewController",
        "CDDriveClearWindowController", "CDDriveMaskWindowController", "CDFileDates", "CDFileMessageShowView",
        "CDJunkClearItemView", "CDJunkClearViewController", "CDJunkClearWindowController", "CDJunkFileView",
        "CDJunkMaskWindowController", "CDMaskView", "CDScanDelegate", "CDSelectionCount", "CDTexts",
    ],
    "disktools": ["DMAttachDiskImageFlow"],
    "drives": [
        "DMDriveActionManager", "DMDriveAction", "DMDriveOperations", "DMDriveManagerOperations",
        "DMOperationResult", "DMDrivePredicates", "DMDriveRules", "DMDriveRuleReasons", "DMDriveSnapshot",
        "DMDriveSnapshotLoader", "DMDriveSnapshotReader", "DMEventMonitor", "DMEventMonitorDelegate",
        "DMPowerStateActions", "DMCloneDrive",
    ],
    "notifications": [
        "DMNotifyManager", "DMUserNotifier", "DMUserNotifierDelegate", "DMNotificationTexts", "DMDriveEventKind",
    ],
    "widgets": [
        "DMProgressView", "DMKeyValueView", "DMSearchField", "DMMacDockView", "DMMacDockViewBaseItem",
        "DMMacDockViewDelegate", "DMCapacityMapView", "DMCapacityMapSplitterView", "DMCapacityMapSplittedItem",
    ],
    "common": [
        "DMAlert", "DMAlertPresenter", "DMMessageBoxPresenter", "DMTextFormat", "DMTexts", "DMTr", "DMImages",
        "DMFailureText", "DMMainQueueBridge", "DMShellTexts",
    ],
}

# What stays in the top of src/app: the program's entry point.
STAYS = {"main"}

# The library's sources before the move, and after it: every folder below src/app but those
# of their own targets: the single-instance library, which only the executable links, and the
# reader of the window's texts for the translation catalogues.
OLD_GLOB = re.compile(r"file\(GLOB app_sources CONFIGURE_DEPENDS [^)]*\)", re.S)
NEW_GLOB = ("file(GLOB_RECURSE app_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)\n"
            "file(GLOB app_own_targets CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/instance/*.cpp\n"
            "     ${CMAKE_CURRENT_SOURCE_DIR}/catalogue/*.cpp)\n"
            "list(REMOVE_ITEM app_sources ${app_own_targets})")


def git(root, *args):
    subprocess.run(["git", "-C", str(root), *args], check=True)


def folder_of(stem):
    for folder, stems in FOLDERS.items():
        if stem in stems:
            return folder
    return None


def check_table(app):
    seen = set()
    for stems in FOLDERS.values():
        doubled = seen.intersection(stems)
        if doubled:
            sys.exit(f"named twice: {sorted(doubled)}")
        seen.update(stems)
    present = {p.stem for p in app.glob("*.h")} | {p.stem for p in app.glob("*.cpp")}
    unknown = sorted(present - seen - STAYS)
    if unknown:
        sys.exit("not in the table (add each to a folder): " + ", ".join(unknown))


def move_files(root, app):
    moved = 0
    for folder, stems in FOLDERS.items():
        for stem in stems:
            for suffix in (".h", ".cpp"):
                source = app / (stem + suffix)
                if source.exists():
                    (app / folder).mkdir(exist_ok=True)
                    git(root, "mv", str(source.relative_to(root)), f"src/app/{folder}/{stem}{suffix}")
                    moved += 1
    return moved


def rewrite(path, pattern, replace):
    text = path.read_text()
    changed = pattern.sub(replace, text)
    if changed != text:
        path.write_text(changed)
        return 1
    return 0


def tracked(root, *patterns):
    listed = subprocess.run(["git", "-C", str(root), "ls-files", "--", *patterns], check=True,
                            capture_output=True, text=True).stdout.split()
    return [root / name for name in listed if (root / name).is_file()]


def rewrite_includes(root):
    pattern = re.compile(r'(#include\s+")app/([A-Za-z0-9_]+)\.h"')

    def replace(match):
        folder = folder_of(match.group(2))
        return f'{match.group(1)}app/{folder}/{match.group(2)}.h"' if folder else match.group(0)

    count = 0
    for path in tracked(root, "src/*.h", "src/*.cpp", "tests/*.h", "tests/*.cpp", "bench/*.h", "bench/*.cpp"):
        count += rewrite(path, pattern, replace)
    return count


def rewrite_build_files(root):
    pattern = re.compile(r"src/app/([A-Za-z0-9_]+)\.cpp")

    def replace(match):
        folder = folder_of(match.group(1))
        return f"src/app/{folder}/{match.group(1)}.cpp" if folder else match.group(0)

    count = 0
    for path in tracked(root, "CMakeLists.txt", "*/CMakeLists.txt"):
        count += rewrite(path, pattern, replace)
    count += rewrite(root / "src/app/CMakeLists.txt", OLD_GLOB, lambda _: NEW_GLOB)
    return count


def main():
    root = pathlib.Path(subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True,
                                       capture_output=True, text=True).stdout.strip())
    app = root / "src/app"
    check_table(app)
    moved = move_files(root, app)
    includes = rewrite_includes(root)
    build_files = rewrite_build_files(root)
    print(f"moved {moved} files; rewrote includes in {includes} files and {build_files} build files")


if __name__ == "__main__":
    main()
