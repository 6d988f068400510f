# The converter's end-to-end test under Xvfb and its headless reference renderer.
# Included from tests/e2e/CMakeLists.txt, after kambo_add_e2e is defined.
add_executable(converter_render ${CMAKE_CURRENT_LIST_DIR}/converter_render.cpp)
target_link_libraries(converter_render PRIVATE kambo_app kambo_resources kit_testing)

kambo_add_e2e(e2e_converter converter_e2e.sh $<TARGET_FILE:kambolux>
	$<TARGET_FILE:converter_render> ${CMAKE_CURRENT_BINARY_DIR}/screenshots/converter)
# The same without a window manager: the program must place, focus and draw on its own.
kambo_add_e2e(e2e_converter_bare converter_e2e.sh $<TARGET_FILE:kambolux>
	$<TARGET_FILE:converter_render> ${CMAKE_CURRENT_BINARY_DIR}/screenshots/converter-bare)
set_property(TEST e2e_converter_bare APPEND PROPERTY ENVIRONMENT E2E_NO_WM=1)
