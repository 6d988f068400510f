# Title bars under both kinds of Wayland compositor, as an unprivileged user: weston (headless)
# has no xdg-decoration, so libdecor draws them; sway draws its own through xdg-decoration.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET kambolux_wayland)
	kambo_add_e2e(e2e_weston weston_e2e.sh $<TARGET_FILE:kambolux>
		${CMAKE_CURRENT_BINARY_DIR}/screenshots/weston)
	kambo_add_e2e(e2e_sway_decoration sway_decoration_e2e.sh $<TARGET_FILE:kambolux>)
endif()
