# Title bars under a Wayland compositor, as an unprivileged user: sway draws its own through
# xdg-decoration. Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET kambolux_wayland)
	kambo_add_e2e(e2e_sway_decoration sway_decoration_e2e.sh $<TARGET_FILE:kambolux>)
endif()
