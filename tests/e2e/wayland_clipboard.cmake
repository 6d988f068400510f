# The Wayland clipboard and primary selection with other clients, under headless sway, with a
# pointer of its own (wayland_pointer, on the compositor's virtual pointer protocol) for the
# middle button. Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET kambolux_wayland)
	set(KAMBO_E2E_PROTOCOLS ${CMAKE_CURRENT_BINARY_DIR}/protocols)
	file(MAKE_DIRECTORY ${KAMBO_E2E_PROTOCOLS})
	set(pointer_xml ${CMAKE_CURRENT_LIST_DIR}/protocols/wlr-virtual-pointer-unstable-v1.xml)
	add_custom_command(
		OUTPUT ${KAMBO_E2E_PROTOCOLS}/wlr-virtual-pointer-client-protocol.h
			${KAMBO_E2E_PROTOCOLS}/wlr-virtual-pointer-protocol.c
		COMMAND ${WAYLAND_SCANNER} client-header ${pointer_xml}
			${KAMBO_E2E_PROTOCOLS}/wlr-virtual-pointer-client-protocol.h
		COMMAND ${WAYLAND_SCANNER} private-code ${pointer_xml}
			${KAMBO_E2E_PROTOCOLS}/wlr-virtual-pointer-protocol.c
		DEPENDS ${pointer_xml}
		VERBATIM)
	add_executable(wayland_pointer ${CMAKE_CURRENT_LIST_DIR}/wayland_pointer.cpp
		${KAMBO_E2E_PROTOCOLS}/wlr-virtual-pointer-protocol.c
		${KAMBO_E2E_PROTOCOLS}/wlr-virtual-pointer-client-protocol.h)
	target_include_directories(wayland_pointer PRIVATE ${KAMBO_E2E_PROTOCOLS})
	target_link_libraries(wayland_pointer PRIVATE PkgConfig::WAYLAND)
	kambo_add_e2e(e2e_wayland_clipboard wayland_clipboard_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:wayland_pointer>)
endif()
