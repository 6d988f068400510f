# The Wayland backend's scale and pointer under sway: a test client that clicks through
# wlroots' virtual pointer, built from the protocol's description beside this file.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
set(KAMBO_WL_CLICK_XML ${CMAKE_CURRENT_SOURCE_DIR}/protocols/wlr-virtual-pointer-unstable-v1.xml)
if(TARGET kambolux AND TARGET converter_render AND TARGET kambolux_wayland
	AND EXISTS ${KAMBO_WL_CLICK_XML})
	set(generated ${CMAKE_CURRENT_BINARY_DIR}/wl-click-protocol)
	file(MAKE_DIRECTORY ${generated})
	add_custom_command(
		OUTPUT ${generated}/wlr-virtual-pointer-unstable-v1-client-protocol.h
			${generated}/wlr-virtual-pointer-unstable-v1-protocol.c
		COMMAND ${WAYLAND_SCANNER} client-header ${KAMBO_WL_CLICK_XML}
			${generated}/wlr-virtual-pointer-unstable-v1-client-protocol.h
		COMMAND ${WAYLAND_SCANNER} private-code ${KAMBO_WL_CLICK_XML}
			${generated}/wlr-virtual-pointer-unstable-v1-protocol.c
		DEPENDS ${KAMBO_WL_CLICK_XML}
		VERBATIM)
	add_executable(wl_click wl_click.c ${generated}/wlr-virtual-pointer-unstable-v1-protocol.c
		${generated}/wlr-virtual-pointer-unstable-v1-client-protocol.h)
	target_include_directories(wl_click PRIVATE ${generated})
	target_link_libraries(wl_click PRIVATE PkgConfig::WAYLAND)
	kambo_add_e2e(e2e_wayland_scale wayland_scale_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:converter_render> $<TARGET_FILE:wl_click>
		${CMAKE_CURRENT_BINARY_DIR}/screenshots/wayland-scale)
endif()
