# Install layout and the Debian package. Included at the end of the top-level CMakeLists.txt,
# after every target exists.
#
#   cmake --install build --prefix /usr/local     # a plain install
#   cd build && cpack -G DEB                       # kambolux_<version>_<arch>.deb
#
# The desktop entry, the AppStream file and the component id share one name, derived from the
# application signature, so that software centres tie them together.

include_guard(GLOBAL)
include(GNUInstallDirs)

set(KAMBO_APP_ID "com.qxt.KamboLux")
set(KAMBO_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(KAMBO_ICON_SIZES 16 32 48 64 128)

# Install rules.

# The source build may link the C++ runtime and GMP in; what is installed takes them from the
# system (app/CMakeLists.txt builds that program beside the other).
if(TARGET kambolux_packaged)
	install(TARGETS kambolux_packaged RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
else()
	install(TARGETS kambolux RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The screen-reader module, opened only when the desktop's accessibility is on; the program
# finds it relative to itself. GNUInstallDirs names the multiarch folder only for a /usr
# prefix, but the package is always for /usr: a private folder directly in /usr/lib would make
# CPack add ldconfig calls to the maintainer scripts, which lintian rightly rejects.
set(KAMBO_MODULE_LIBDIR ${CMAKE_INSTALL_LIBDIR})
if(CMAKE_INSTALL_LIBDIR STREQUAL "lib" AND CMAKE_LIBRARY_ARCHITECTURE)
	set(KAMBO_MODULE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
if(TARGET kambolux_atk)
	install(TARGETS kambolux_atk LIBRARY DESTINATION ${KAMBO_MODULE_LIBDIR}/kambolux)
endif()
# The Wayland backend, opened only in a Wayland session.
if(TARGET kambolux_wayland)
	install(TARGETS kambolux_wayland LIBRARY DESTINATION ${KAMBO_MODULE_LIBDIR}/kambolux)
endif()

# The fonts resolved once for every user (ResolvedFonts): the package's postinst runs the tool,
# and again by trigger whenever fonts, fontconfig's files or its or cairo's library change.
install(TARGETS kambolux_fonts RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kambolux)
set(KAMBO_FONT_TOOL "/usr/${CMAKE_INSTALL_LIBEXECDIR}/kambolux/kambolux-fonts")
set(KAMBO_ARCH_DIR "${CMAKE_LIBRARY_ARCHITECTURE}")
foreach(script postinst postrm triggers)
	configure_file("${KAMBO_PACKAGING_DIR}/${script}.in" "${PROJECT_BINARY_DIR}/debian/${script}"
		@ONLY)
	list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_BINARY_DIR}/debian/${script}")
endforeach()

install(FILES "${KAMBO_PACKAGING_DIR}/${KAMBO_APP_ID}.desktop"
	DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${KAMBO_PACKAGING_DIR}/${KAMBO_APP_ID}.metainfo.xml"
	DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size IN LISTS KAMBO_ICON_SIZES)
	install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/kambolux-${size}.png"
		DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
		RENAME kambolux.png)
endforeach()
install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/kambolux.svg"
	DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian wants manual pages and changelogs compressed, without name or time stamp in the gzip
# header so that two builds give the same bytes.
find_program(KAMBO_GZIP gzip)
set(manPage "${KAMBO_PACKAGING_DIR}/kambolux.1")
set(changelog "${KAMBO_PACKAGING_DIR}/changelog")
if(KAMBO_GZIP)
	foreach(file IN ITEMS manPage changelog)
		get_filename_component(name "${${file}}" NAME)
		set(compressed "${CMAKE_CURRENT_BINARY_DIR}/${name}.gz")
		add_custom_command(OUTPUT "${compressed}"
			COMMAND "${KAMBO_GZIP}" -9 -n -c "${${file}}" > "${compressed}"
			DEPENDS "${${file}}"
			COMMENT "Compressing ${name}"
			VERBATIM)
		add_custom_target(kambo_gzip_${name} ALL DEPENDS "${compressed}")
		set(${file} "${compressed}")
	endforeach()
endif()
install(FILES "${manPage}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES "${changelog}" DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The licence in Debian's machine-readable form, under the name Debian looks for.
install(FILES "${KAMBO_PACKAGING_DIR}/copyright" DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package.

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kambolux")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Dorvanix Software")
set(CPACK_PACKAGE_CONTACT "Dorvanix Software <kambolux@dorvanix.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "euro converter for the currencies the euro replaced")
# Debian shows the long description as it stands, so it is broken into short lines here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
	"ZQ Kambo-Lux converts amounts between the euro and the twelve national"
	"currencies that the euro replaced at fixed, irrevocable rates, live with"
	"every keystroke. It always converts by way of the euro, whose amount can be"
	"rounded to three or four decimal places, and computes with exact decimals."
	"A calculator pad edits the amount in place. The user interface is German.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.dorvanix.example/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The fonts are not linked, so no tool can find them. The browser hand-over is only wanted:
# without xdg-utils the program tries other openers and says when there is none, and a hard
# dependency would pull in a terminal emulator on a lean desktop.
set(kamboRuntimeDepends "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# libdecor draws the title bars under a Wayland compositor that does not (GNOME, weston). The
# Wayland module opens it with dlopen only there and does without it (windows without title
# bar, and a message), so it is wanted, not needed; its plugin does the drawing.
if(TARGET kambolux_wayland)
	string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS
		", libdecor-0-0, libdecor-0-plugin-1-cairo | libdecor-0-plugin-1")
endif()
# The project's own libraries are static; the installed program links system libraries only.
string(CONCAT kamboLibraryDepends "libc6, libstdc++6, libgcc-s1, libx11-6, "
	"libcairo2, libfontconfig1, libgmp10, libgmpxx4ldbl")
# The screen-reader module's libraries: the program starts without them, but a package that
# ships the module ships what it needs, as dpkg-shlibdeps finds it too.
if(TARGET kambolux_atk)
	string(APPEND kamboLibraryDepends ", libatk1.0-0, libatk-bridge2.0-0, libglib2.0-0")
endif()
if(TARGET kambolux_wayland)
	string(APPEND kamboLibraryDepends ", libwayland-client0, libwayland-cursor0, libxkbcommon0")
endif()
# CPack needs file(1) as well to find the binaries that dpkg-shlibdeps should look at.
find_program(KAMBO_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(KAMBO_FILE file)
if(KAMBO_DPKG_SHLIBDEPS AND KAMBO_FILE)
	# Gives the library packages with the versions the binary was really built against;
	# CPack adds our own list to them.
	set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
	set(CPACK_DEBIAN_PACKAGE_DEPENDS "${kamboRuntimeDepends}")
else()
	set(CPACK_DEBIAN_PACKAGE_DEPENDS "${kamboLibraryDepends}, ${kamboRuntimeDepends}")
endif()

include(CPack)
