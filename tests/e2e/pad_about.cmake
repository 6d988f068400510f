# The calculator pad and the about window in the real program. Included from
# tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux)
	kambo_add_e2e(e2e_pad_about pad_about_e2e.sh $<TARGET_FILE:kambolux>
		${CMAKE_CURRENT_BINARY_DIR}/screenshots)
endif()
