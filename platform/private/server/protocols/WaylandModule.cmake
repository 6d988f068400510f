# The Wayland backend: a module the kit opens with dlopen only in a Wayland session
# (BackendLoader.cpp), so that an X11 start maps none of its libraries. Included from
# platform/CMakeLists.txt when libwayland, xkbcommon and wayland-protocols are there.
#
# libdecor draws the title bars where the compositor does not (no xdg-decoration: weston,
# GNOME); the module is built against its header only.
pkg_check_modules(LIBDECOR libdecor-0)
if(NOT LIBDECOR_FOUND)
	message(WARNING "libdecor-0-dev is missing: building without the Wayland backend")
	return()
endif()

# The protocols' glue is generated from wayland-protocols' XML at build time.
set(KAMBO_WAYLAND_GENERATED ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
file(MAKE_DIRECTORY ${KAMBO_WAYLAND_GENERATED})
set(KAMBO_WAYLAND_PROTOCOLS
	"xdg-shell=${WAYLAND_PROTOCOLS_DIR}/stable/xdg-shell/xdg-shell.xml"
	"viewporter=${WAYLAND_PROTOCOLS_DIR}/stable/viewporter/viewporter.xml"
	"fractional-scale=${WAYLAND_PROTOCOLS_DIR}/staging/fractional-scale/fractional-scale-v1.xml"
	"primary-selection=${WAYLAND_PROTOCOLS_DIR}/unstable/primary-selection/primary-selection-unstable-v1.xml"
	"xdg-activation=${WAYLAND_PROTOCOLS_DIR}/staging/xdg-activation/xdg-activation-v1.xml"
	"xdg-decoration=${WAYLAND_PROTOCOLS_DIR}/unstable/xdg-decoration/xdg-decoration-unstable-v1.xml")
set(KAMBO_WAYLAND_PROTOCOL_SOURCES)
foreach(entry IN LISTS KAMBO_WAYLAND_PROTOCOLS)
	string(REPLACE "=" ";" parts ${entry})
	list(GET parts 0 name)
	list(GET parts 1 xml)
	add_custom_command(
		OUTPUT ${KAMBO_WAYLAND_GENERATED}/${name}-client-protocol.h
			${KAMBO_WAYLAND_GENERATED}/${name}-protocol.c
		COMMAND ${WAYLAND_SCANNER} client-header ${xml}
			${KAMBO_WAYLAND_GENERATED}/${name}-client-protocol.h
		COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${KAMBO_WAYLAND_GENERATED}/${name}-protocol.c
		DEPENDS ${xml}
		VERBATIM)
	list(APPEND KAMBO_WAYLAND_PROTOCOL_SOURCES ${KAMBO_WAYLAND_GENERATED}/${name}-protocol.c
		${KAMBO_WAYLAND_GENERATED}/${name}-client-protocol.h)
endforeach()

set(KAMBO_WAYLAND_DIR ${CMAKE_CURRENT_SOURCE_DIR}/private/server)
file(GLOB KAMBO_WAYLAND_SOURCES CONFIGURE_DEPENDS ${KAMBO_WAYLAND_DIR}/Wayland*.cpp)
list(REMOVE_ITEM KAMBO_WAYLAND_SOURCES ${KAMBO_WAYLAND_DIR}/WaylandEntry.cpp)

# Everything but the entry point, so that the tests can drive its pieces without a compositor.
# The key tables are the X11 backend's (Wayland's keymaps use X's key symbols); the scale type,
# the quit signals, the wake-up pipe and the clock are the kit's.
add_library(kit_wayland_objects STATIC ${KAMBO_WAYLAND_SOURCES}
	${KAMBO_WAYLAND_DIR}/X11Input.cpp ${KAMBO_WAYLAND_DIR}/DisplayScale.cpp
	${KAMBO_WAYLAND_DIR}/QuitSignals.cpp ${KAMBO_WAYLAND_DIR}/WaitSupport.cpp
	${CMAKE_CURRENT_SOURCE_DIR}/support/SystemTime.cpp
	${KAMBO_WAYLAND_PROTOCOL_SOURCES})
set_target_properties(kit_wayland_objects PROPERTIES
	POSITION_INDEPENDENT_CODE ON
	CXX_VISIBILITY_PRESET hidden
	C_VISIBILITY_PRESET hidden
	VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(kit_wayland_objects PUBLIC ${KAMBO_WAYLAND_DIR}
	${KAMBO_WAYLAND_GENERATED} ${CMAKE_CURRENT_SOURCE_DIR}/support
	${CMAKE_CURRENT_SOURCE_DIR}/interface ${CMAKE_CURRENT_SOURCE_DIR}/private/support)
target_link_libraries(kit_wayland_objects PUBLIC PkgConfig::WAYLAND ${CMAKE_DL_LIBS})
# libdecor is opened with dlopen, never linked: only its header.
target_include_directories(kit_wayland_objects PRIVATE ${LIBDECOR_INCLUDE_DIRS})

add_library(kambolux_wayland MODULE ${KAMBO_WAYLAND_DIR}/WaylandEntry.cpp)
target_compile_definitions(kambolux_wayland PRIVATE KAMBO_BACKEND_STAMP="${KAMBO_BACKEND_STAMP}")
set_target_properties(kambolux_wayland PROPERTIES
	PREFIX ""
	OUTPUT_NAME kambolux-wayland
	CXX_VISIBILITY_PRESET hidden
	VISIBILITY_INLINES_HIDDEN ON)
# Nothing unresolved may wait for the program: it exports no symbols.
target_link_options(kambolux_wayland PRIVATE -Wl,--no-undefined)
if(KAMBO_STATIC_RUNTIME)
	# As the program: its own copy of the C++ runtime, hidden, so none is mapped at start.
	target_link_options(kambolux_wayland PRIVATE -static-libstdc++ -static-libgcc
		-Wl,--exclude-libs,ALL)
endif()
target_link_libraries(kambolux_wayland PRIVATE kit_wayland_objects)
