# The Wayland clipboard and primary selection with other clients, under headless sway, with a
# pointer of its own (wayland_pointer) for the middle button.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
include(${CMAKE_CURRENT_LIST_DIR}/wayland_pointer.cmake)
if(TARGET kambolux AND TARGET wayland_pointer)
	kambo_add_e2e(e2e_wayland_clipboard wayland_clipboard_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:wayland_pointer>)
endif()
