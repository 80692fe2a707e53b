#!/usr/bin/env python3
"""Writes the application's own icons (small SVG files) into resources/images.

Run it after changing a drawing; the SVG files are committed so builds need no Python.
"""
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")


def svg(body, size=64):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 64 64">{body}</svg>\n')


def drive(body_colour, accent, badge=""):
    # A drive seen from the front: a rounded box, a darker lower band and an activity light.
    return svg(f'<rect x="6" y="14" width="52" height="36" rx="7" fill="{body_colour}"/>'
               f'<rect x="6" y="36" width="52" height="14" rx="7" fill="{accent}"/>'
               f'<rect x="6" y="36" width="52" height="4" fill="{accent}"/>'
               f'<circle cx="49" cy="43" r="3" fill="#e9f5d0"/>'
               f'<rect x="12" y="42" width="22" height="3" rx="1.5" fill="#ffffff" opacity="0.6"/>{badge}')


def badge(colour, glyph):
    return (f'<circle cx="46" cy="18" r="13" fill="{colour}" stroke="#ffffff" stroke-width="2.5"/>'
            f'{glyph}')


LOCK_GLYPH = ('<rect x="40" y="17" width="12" height="9" rx="1.5" fill="#ffffff"/>'
              '<path d="M42.5 17v-3a3.5 3.5 0 0 1 7 0v3" stroke="#ffffff" stroke-width="2.2" fill="none"/>')


def text_badge(colour, text):
    return badge(colour, f'<text x="46" y="22.5" font-family="DejaVu Sans" font-weight="bold" '
                         f'font-size="11" text-anchor="middle" fill="#ffffff">{text}</text>')


def action(glyph):
    # Action-bar icons: a glyph on a soft rounded tile.
    return svg('<rect x="4" y="4" width="56" height="56" rx="14" fill="#f4f6f0" stroke="#c9d1bd" '
               'stroke-width="1.5"/>' + glyph)


STROKE = 'stroke="#4a5a2a" stroke-width="4" fill="none" stroke-linecap="round" stroke-linejoin="round"'
FILL = 'fill="#4a5a2a"'

ICONS = {
    # Drive images named by the drive objects.
    "partition": drive("#9fb2c8", "#6f86a3"),
    "internal_drive": drive("#a9b4bf", "#66727f"),
    "external_drive": drive("#f0b45a", "#c98520"),
    "encrypted_drive": drive("#a9b4bf", "#66727f", badge("#d9822b", LOCK_GLYPH)),
    "ntfs_drive": drive("#8cb6e3", "#3f79b5", text_badge("#3f79b5", "N")),
    "bitlocker_drive": drive("#8cb6e3", "#3f79b5", badge("#b03a2e", LOCK_GLYPH)),
    "os_partition": drive("#c6d88a", "#8aa33a", text_badge("#6d8a1f", "OS")),
    "external": svg(f'<path d="M20 8h24v14l6 6v28H14V28l6-6z" fill="#f0b45a"/>'
                    f'<rect x="24" y="12" width="6" height="6" fill="#ffffff"/>'
                    f'<rect x="34" y="12" width="6" height="6" fill="#ffffff"/>'),
    "internal": drive("#a9b4bf", "#66727f"),
    "internal_system": drive("#c6d88a", "#8aa33a", text_badge("#6d8a1f", "S")),
    "internal_home": drive("#c6d88a", "#8aa33a", text_badge("#6d8a1f", "H")),
    "cloud_drive": svg('<path d="M18 46a11 11 0 0 1-1-22 15 15 0 0 1 29-3 12 12 0 0 1 2 25z" '
                       'fill="#7fb2e5"/><path d="M32 28v14m-6-6 6 6 6-6" stroke="#ffffff" '
                       'stroke-width="4" fill="none" stroke-linecap="round" stroke-linejoin="round"/>'),
    "status_icon": svg('<rect x="8" y="18" width="48" height="28" rx="6" fill="none" stroke="#2b2b2b" '
                       'stroke-width="5"/><circle cx="45" cy="37" r="4" fill="#2b2b2b"/>'),
    "harbormind": svg('<rect x="4" y="4" width="56" height="56" rx="14" fill="#b7cc41"/>'
                      '<rect x="12" y="20" width="40" height="26" rx="5" fill="#ffffff"/>'
                      '<rect x="12" y="36" width="40" height="10" rx="5" fill="#4a5a2a"/>'
                      '<circle cx="45" cy="41" r="2.5" fill="#b7cc41"/>'),
    "kext_tip": svg('<circle cx="32" cy="32" r="26" fill="#f0b45a"/><rect x="29" y="16" width="6" '
                    'height="22" rx="3" fill="#ffffff"/><circle cx="32" cy="46" r="3.5" fill="#ffffff"/>'),
    # Action-bar icons.
    "menu_open": action(f'<path d="M14 22h14l4 5h18v21H14z" {STROKE}/>'),
    "menu_unlock": action(f'<rect x="18" y="30" width="28" height="20" rx="3" {FILL}/>'
                          f'<path d="M24 30v-7a8 8 0 0 1 16-1" {STROKE}/>'),
    "menu_lock": action(f'<rect x="18" y="30" width="28" height="20" rx="3" {FILL}/>'
                        f'<path d="M24 30v-7a8 8 0 0 1 16 0v7" {STROKE}/>'),
    "menu_mount": action(f'<path d="M32 14v24m-10-10 10 10 10-10" {STROKE}/>'
                         f'<path d="M16 46h32" {STROKE}/>'),
    "menu_unmount": action(f'<path d="M32 40V16m-10 10 10-10 10 10" {STROKE}/>'
                           f'<path d="M16 48h32" {STROKE}/>'),
    "menu_eject": action(f'<path d="M32 16 48 36H16z" {FILL}/><rect x="16" y="42" width="32" height="6" '
                         f'rx="2" {FILL}/>'),
    "menu_encrypt": action(f'<path d="M32 12l16 6v12c0 11-7 18-16 22-9-4-16-11-16-22V18z" {STROKE}/>'
                           f'<path d="M25 32l5 5 9-10" {STROKE}/>'),
    "menu_driveclean": action(f'<path d="M20 22h24l-2 28H22z" {STROKE}/><path d="M16 22h32M27 16h10" '
                              f'{STROKE}/>'),
    "menu_cleanup": action(f'<path d="M40 12 28 34" {STROKE}/><path d="M18 34h20l4 16H14z" {FILL}/>'),
    "menu_firstAid": action(f'<rect x="14" y="20" width="36" height="28" rx="4" {STROKE}/>'
                            f'<path d="M32 27v14M25 34h14" {STROKE}/><path d="M26 20v-4h12v4" {STROKE}/>'),
    "menu_clone": action(f'<rect x="14" y="14" width="24" height="24" rx="4" {STROKE}/>'
                         f'<rect x="26" y="26" width="24" height="24" rx="4" {FILL}/>'),
    "menu_recoverClone": action(f'<path d="M46 32a14 14 0 1 1-5-10.7" {STROKE}/>'
                                f'<path d="M42 12v10H32" {STROKE}/>'),
    "menu_connect": action(f'<path d="M26 38l12-12" {STROKE}/><path d="M22 30l-4 4a7 7 0 0 0 10 10l4-4" '
                           f'{STROKE}/><path d="M42 34l4-4a7 7 0 0 0-10-10l-4 4" {STROKE}/>'),
    "menu_disconnect": action(f'<path d="M22 30l-4 4a7 7 0 0 0 10 10l4-4" {STROKE}/>'
                              f'<path d="M42 34l4-4a7 7 0 0 0-10-10l-4 4" {STROKE}/>'
                              f'<path d="M20 20l4 4M44 44l-4-4" {STROKE}/>'),
    "menu_edit": action(f'<path d="M18 46l4-12 18-18 8 8-18 18z" {STROKE}/>'),
    "menu_remove": action(f'<path d="M20 20l24 24M44 20 20 44" {STROKE}/>'),
}

os.makedirs(HERE, exist_ok=True)
for name, content in ICONS.items():
    with open(os.path.join(HERE, name + ".svg"), "w") as out:
        out.write(content)
print(f"{len(ICONS)} icons written to {HERE}")
