# wayland_pointer, the Wayland end-to-end tests' pointer on wlroots' virtual pointer protocol,
# its glue generated from the protocol's description beside this file. Included by the parts
# that use it (and by the glob in tests/e2e/CMakeLists.txt); the target is defined once.
include_guard(GLOBAL)
set(KAMBO_POINTER_XML ${CMAKE_CURRENT_LIST_DIR}/protocols/wlr-virtual-pointer-unstable-v1.xml)
if(TARGET kambolux_wayland AND EXISTS ${KAMBO_POINTER_XML})
	set(generated ${CMAKE_CURRENT_BINARY_DIR}/wayland-pointer-protocol)
	file(MAKE_DIRECTORY ${generated})
	add_custom_command(
		OUTPUT ${generated}/wlr-virtual-pointer-unstable-v1-client-protocol.h
			${generated}/wlr-virtual-pointer-unstable-v1-protocol.c
		COMMAND ${WAYLAND_SCANNER} client-header ${KAMBO_POINTER_XML}
			${generated}/wlr-virtual-pointer-unstable-v1-client-protocol.h
		COMMAND ${WAYLAND_SCANNER} private-code ${KAMBO_POINTER_XML}
			${generated}/wlr-virtual-pointer-unstable-v1-protocol.c
		DEPENDS ${KAMBO_POINTER_XML}
		VERBATIM)
	add_executable(wayland_pointer ${CMAKE_CURRENT_LIST_DIR}/wayland_pointer.cpp
		${generated}/wlr-virtual-pointer-unstable-v1-protocol.c
		${generated}/wlr-virtual-pointer-unstable-v1-client-protocol.h)
	target_include_directories(wayland_pointer PRIVATE ${generated})
	target_link_libraries(wayland_pointer PRIVATE PkgConfig::WAYLAND)
endif()
