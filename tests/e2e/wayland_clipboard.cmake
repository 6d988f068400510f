# The Wayland clipboard and primary selection with other clients, under headless sway.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET kambolux_wayland)
	kambo_add_e2e(e2e_wayland_clipboard wayland_clipboard_e2e.sh $<TARGET_FILE:kambolux>)
endif()
