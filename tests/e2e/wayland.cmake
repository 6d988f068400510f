# The Wayland backend under a real compositor: sway, headless, as an unprivileged user.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET converter_render AND TARGET kambolux_wayland)
	kambo_add_e2e(e2e_wayland wayland_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:converter_render> ${CMAKE_CURRENT_BINARY_DIR}/screenshots/wayland)
endif()
