# The X11 backend against a real X server: its own test program, run under Xvfb by
# x11_backend_e2e.sh, which then drives the real program through the X fault cases.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux)
	add_executable(x11_backend_tests ${CMAKE_CURRENT_LIST_DIR}/x11_backend_test.cpp
		${CMAKE_CURRENT_LIST_DIR}/x11_backend_clipboard_test.cpp
		${CMAKE_CURRENT_LIST_DIR}/x11_backend_wm_test.cpp
		${CMAKE_CURRENT_LIST_DIR}/x11_scale_test.cpp)
	target_link_libraries(x11_backend_tests PRIVATE kit_testing GTest::gtest GTest::gtest_main)
	target_include_directories(x11_backend_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../support)
	kambo_add_e2e(e2e_x11_backend x11_backend_e2e.sh $<TARGET_FILE:x11_backend_tests>
		$<TARGET_FILE:kambolux>)
	set_tests_properties(e2e_x11_backend PROPERTIES TIMEOUT 300)
endif()
