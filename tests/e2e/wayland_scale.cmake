# The Wayland backend's scale and pointer under sway, clicking through wayland_pointer.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
include(${CMAKE_CURRENT_LIST_DIR}/wayland_pointer.cmake)
if(TARGET kambolux AND TARGET converter_render AND TARGET wayland_pointer)
	kambo_add_e2e(e2e_wayland_scale wayland_scale_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:converter_render> $<TARGET_FILE:wayland_pointer>
		${CMAKE_CURRENT_BINARY_DIR}/screenshots/wayland-scale)
endif()
