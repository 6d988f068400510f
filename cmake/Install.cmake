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

install(TARGETS kambolux RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES "${KAMBO_PACKAGING_DIR}/${KAMBO_APP_ID}.desktop"
	DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${KAMBO_PACKAGING_DIR}/${KAMBO_APP_ID}.metainfo.xml"
	DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size IN LISTS KAMBO_ICON_SIZES)
	install(FILES "${PROJECT_SOURCE_DIR}/resources/icons/kambolux-${size}.png"
		DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
		RENAME kambolux.png)
endforeach()

# Debian wants manual pages compressed, without name or time stamp in the gzip header so that
# two builds give the same bytes.
find_program(KAMBO_GZIP gzip)
if(KAMBO_GZIP)
	set(manPage "${CMAKE_CURRENT_BINARY_DIR}/kambolux.1.gz")
	add_custom_command(OUTPUT "${manPage}"
		COMMAND "${KAMBO_GZIP}" -9 -n -c "${KAMBO_PACKAGING_DIR}/kambolux.1" > "${manPage}"
		DEPENDS "${KAMBO_PACKAGING_DIR}/kambolux.1"
		COMMENT "Compressing the manual page"
		VERBATIM)
	add_custom_target(kambo_man_page ALL DEPENDS "${manPage}")
else()
	set(manPage "${KAMBO_PACKAGING_DIR}/kambolux.1")
endif()
install(FILES "${manPage}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian looks for the licence under this name.
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION ${CMAKE_INSTALL_DOCDIR}
	RENAME copyright)

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

# Neither the fonts nor the browser hand-over are linked, so no tool can find them.
set(kamboRuntimeDepends "fonts-dejavu-core, xdg-utils")
# The project's own libraries are static; only system libraries are linked dynamically.
if(KAMBO_STATIC_RUNTIME)
	set(kamboLibraryDepends "libc6, libx11-6, libcairo2, libfontconfig1")
else()
	string(CONCAT kamboLibraryDepends "libc6, libstdc++6, libgcc-s1, libx11-6, "
		"libcairo2, libfontconfig1, libgmp10, libgmpxx4ldbl")
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
