# What a distribution needs beside the program: the AppStream metadata, the
# manual page, the package's copyright and changelog, and the Debian package
# CPack builds from the install rules (./scripts/package).

# The release this version is, for the metadata, the manual page and the
# changelog.
set(ZU_RELEASE_DATE "2026-12-08")
set(ZU_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 00:00:00 +0000")
# Where zu is published. The component id must be a reverse domain name the
# publisher controls, and the screenshots are the README's pictures under
# the home page: both are set by whoever publishes zu.
set(ZU_APP_ID "org.example.zu" CACHE STRING "AppStream component id (reverse domain name)")
set(ZU_HOMEPAGE "https://zu.example.org/" CACHE STRING
    "zu's home page, ending in /; the README's screenshots are below it in docs/")

set(package_folder ${CMAKE_CURRENT_BINARY_DIR}/package)
configure_file(${PROJECT_SOURCE_DIR}/res/package/zu.metainfo.xml.in
               ${package_folder}/${ZU_APP_ID}.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/package/zu.1.in ${package_folder}/zu.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/package/changelog.in ${package_folder}/changelog @ONLY)

# Compressed as Debian keeps them, without a time stamp, so that the same
# source gives the same bytes.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
foreach(name zu.1 changelog)
    add_custom_command(
        OUTPUT ${package_folder}/${name}.gz
        COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${package_folder}/${name} > ${package_folder}/${name}.gz
        DEPENDS ${package_folder}/${name}
        COMMENT "Compressing ${name}")
endforeach()
add_custom_target(zu_package_files ALL DEPENDS ${package_folder}/zu.1.gz ${package_folder}/changelog.gz)

install(FILES ${package_folder}/${ZU_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${package_folder}/zu.1.gz DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/res/package/copyright ${package_folder}/changelog.gz
        DESTINATION share/doc/zu)

# The Debian package. Its dependencies are those of the program's shared
# libraries (dpkg-shlibdeps), and what the program loads without linking
# it: Qt's platform plugins (the X11 and Wayland windows).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "zu maintainers <maintainers@users.noreply.c-seed-68490ba1.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZU_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Japanese glyphs on screen, and the Qt dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for writing HTML pages by hand")
# The summary is the first line of the control file's description; CPack
# indents the rest and marks the empty line between paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "zu edits the HTML source of web pages as plain text in a multiple-document
window and helps while you type: a Tag menu of 57 commands wraps the
selection in ready-made tags, 95 special symbols go in as character
references, tags can be coloured or removed, and assistants write page
skeletons, calendars, file lists, tables, colours and dates.

Shift_JIS (CP932), UTF-8, UTF-16, EUC-JP and ISO-2022-JP files are written
back byte for byte, except for the edits. The user interface is Japanese.")
# The control files with the permissions dpkg gives them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
