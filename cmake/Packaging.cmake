# Install rules and the Debian package (CPack's DEB generator): `scripts/package` builds it.
#
#   /usr/lib/tillwise/Tillwise          the till (its name holds "Tillwise" for the single-instance
#                                       check), started through /usr/bin/tillwise
#   /usr/bin/tillwise                   the launcher: data in ~/.local/share/tillwise or --data DIR
#   /usr/bin/tillwise-admin             init, demo, doctor
#   menu entry, icon, udev rule for USB receipt printers, kiosk unit, README, copyright, changelog

set(TILLWISE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(TILLWISE_PACKAGE_MAINTAINER "Tillwise maintainers <maintainers@tillwise.example>"
    CACHE STRING "Maintainer field of the Debian package")

# The launcher knows the version for `tillwise --version`.
configure_file(${TILLWISE_PACKAGING_DIR}/tillwise.in ${PROJECT_BINARY_DIR}/packaging/tillwise
               @ONLY)

# Documentation ships compressed without a timestamp (gzip -9n), so equal sources give equal
# packages. Done when configuring; a change to a source file configures again.
function(tillwise_gzip source target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${target} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
endfunction()

# The Debian changelog's newest entry must name the version being built.
set(changelog ${TILLWISE_PACKAGING_DIR}/changelog)
file(STRINGS ${changelog} changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^tillwise \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with \"${changelog_head}\"; add an entry for "
                      "version ${PROJECT_VERSION} on top")
endif()
tillwise_gzip(${changelog} ${PROJECT_BINARY_DIR}/packaging/changelog.gz)

# Manual pages, with the version filled in.
foreach(page tillwise.1 tillwise-admin.1)
  configure_file(${TILLWISE_PACKAGING_DIR}/${page} ${PROJECT_BINARY_DIR}/packaging/${page} @ONLY)
  tillwise_gzip(${PROJECT_BINARY_DIR}/packaging/${page} ${PROJECT_BINARY_DIR}/packaging/${page}.gz)
endforeach()

install(TARGETS Tillwise RUNTIME DESTINATION lib/tillwise)
install(TARGETS tillwise-admin RUNTIME DESTINATION bin)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/tillwise DESTINATION bin)
install(FILES ${PROJECT_BINARY_DIR}/packaging/tillwise.1.gz
              ${PROJECT_BINARY_DIR}/packaging/tillwise-admin.1.gz
        DESTINATION share/man/man1)
install(FILES ${TILLWISE_PACKAGING_DIR}/tillwise.desktop DESTINATION share/applications)
install(FILES ${TILLWISE_PACKAGING_DIR}/tillwise.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${TILLWISE_PACKAGING_DIR}/60-tillwise.rules DESTINATION lib/udev/rules.d)
install(FILES ${TILLWISE_PACKAGING_DIR}/tillwise-kiosk@.service
        DESTINATION lib/systemd/system)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${TILLWISE_PACKAGING_DIR}/copyright
              ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION share/doc/tillwise)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tillwise)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TILLWISE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tillwise_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library packages come from dpkg-shlibdeps; these are what the program needs besides them:
# Qt's Chinese texts, the CJK fonts the screens and slips are drawn with, Qt's X11 platform,
# libpq, named although shlibdeps finds it: the link to the shop server needs it; and libsodium,
# named as well because no password can be checked without it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, fonts-noto-cjk, qt6-qpa-plugins, libpq5, libsodium23")
# Wayland (the kiosk's cage), and pkexec for the upgrade from the menu.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, pkexec")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cage, unattended-upgrades")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "point-of-sale till with back office for a small shop
Tillwise runs the till of a small shop: a cashier logs in, scans goods
(scale barcodes too), adjusts lines, attaches members and takes payment,
printing receipts and driving the cash drawer and the customer display. A
manager keeps goods, members, accounts, stock, settings and backups in the
same program. All data lives in one SQLite file in the user's folder.
.
The package holds the till, the tillwise-admin tool (new shop, demo shop,
set-up check), a menu entry, a udev rule giving USB receipt printers to
group lp, and a systemd unit that runs the till full-screen with cage.")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${TILLWISE_PACKAGING_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
