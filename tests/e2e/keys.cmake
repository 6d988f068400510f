# The converter used with the keyboard alone. Included from tests/e2e/CMakeLists.txt after
# kambo_add_e2e is defined.
if(TARGET kambolux)
	kambo_add_e2e(e2e_keys keys_e2e.sh $<TARGET_FILE:kambolux>
		${CMAKE_CURRENT_BINARY_DIR}/screenshots)
endif()
