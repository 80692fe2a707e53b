# Where `cmake --install` puts the programs and the desktop files, and the Debian package
# made from that (CPack, DEB generator). scripts/package builds it.
include(GNUInstallDirs)

# The date of the version in project(); they change together.
set(HARBORMIND_RELEASE_DATE "2026-12-06")
set(HARBORMIND_RELEASE_DATE_RFC2822 "Sun, 06 Dec 2026 00:00:00 +0000")
set(HARBORMIND_PACKAGE_NAME kestrane-harbormind)
set(package_sources ${PROJECT_SOURCE_DIR}/resources/package)
set(package_build ${PROJECT_BINARY_DIR}/package)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Manual pages, compressed as Debian wants them.
function(harbormind_manual_page name)
  configure_file(${package_sources}/${name}.1.in ${package_build}/${name}.1 @ONLY)
  execute_process(COMMAND gzip -9nc ${package_build}/${name}.1 OUTPUT_FILE ${package_build}/${name}.1.gz)
  install(FILES ${package_build}/${name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# Programs. The helper programs live in libexec/harbormind, where the platform looks for them.
if(TARGET harbormind)
  harbormind_install_program(harbormind RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  harbormind_manual_page(harbormind)
endif()
harbormind_install_program(harbormindctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
harbormind_manual_page(harbormindctl)
harbormind_install_program(harbormind-mount RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/harbormind)
# The daemon and the USB blocker agent install themselves (their folders' own rules: program,
# bus policy, activation files, systemd unit, polkit actions, configuration).

# The desktop: entry, icons, AppStream metadata.
if(TARGET harbormind)
  install(FILES ${package_sources}/com.kestrane.harbormind.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/images/harbormind.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME com.kestrane.harbormind.svg)
  foreach(size 48x48 128x128 256x256)
    install(FILES ${package_sources}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps RENAME com.kestrane.harbormind.png)
  endforeach()
  configure_file(${package_sources}/com.kestrane.harbormind.metainfo.xml.in
                 ${package_build}/com.kestrane.harbormind.metainfo.xml @ONLY)
  install(FILES ${package_build}/com.kestrane.harbormind.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The package's own documents.
configure_file(${package_sources}/changelog.in ${package_build}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${package_build}/changelog OUTPUT_FILE ${package_build}/changelog.gz)
install(FILES ${package_sources}/copyright ${package_build}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${HARBORMIND_PACKAGE_NAME})

# Maintainer scripts, told which systemd units the daemon's folder ships (its *.service[.in]
# files with a [Service] section; bus activation files have none).
file(GLOB daemon_unit_files ${PROJECT_SOURCE_DIR}/resources/daemon/*.service ${PROJECT_SOURCE_DIR}/resources/daemon/*.service.in)
set(HARBORMIND_DAEMON_UNITS "")
foreach(unit_file IN LISTS daemon_unit_files)
  file(STRINGS ${unit_file} service_section REGEX "^\\[Service\\]")
  if(service_section)
    get_filename_component(unit ${unit_file} NAME)
    string(REGEX REPLACE "\\.in$" "" unit ${unit})
    string(APPEND HARBORMIND_DAEMON_UNITS " ${unit}")
  endif()
endforeach()
string(STRIP "${HARBORMIND_DAEMON_UNITS}" HARBORMIND_DAEMON_UNITS)
# Files the daemon installs under /etc are the administrator's: dpkg keeps their changes.
set(conffiles "")
if(TARGET drivemanagerd)
  string(APPEND conffiles "/etc/kestrane/drivemanagerd.conf\n")
endif()
file(WRITE ${package_build}/conffiles "${conffiles}")
foreach(script postinst prerm postrm)
  configure_file(${package_sources}/${script}.in ${package_build}/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${HARBORMIND_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Kestrane)
set(CPACK_PACKAGE_CONTACT "Kestrane <support@kestrane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "disk manager for local and network drives")
# CPack indents the long description itself and turns the empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kestrane Harbormind shows every local drive (disks, partitions, encrypted
volumes, disk images) and every network drive in one window and acts on them:
mount, unmount and eject; unlock, lock and encrypt; check and repair; clone
with resume; saved network drives; a USB storage blocker; junk clean.

The command-line program harbormindctl offers the same actions.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kestrane.com/harbormind")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Programs the Linux platform runs, and Qt's plugins that no library links to.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "mount, fuse3, ntfs-3g, exfat-fuse, fusefat, cryptsetup-bin, rclone, libqt6svg6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec, xdg-utils, e2fsprogs, dosfstools, exfatprogs, cifs-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "nfs-common")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${package_build}/postinst ${package_build}/prerm ${package_build}/postrm)
if(conffiles)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${package_build}/conffiles)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
