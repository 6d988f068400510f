# The user's guide's pictures (docs/images) against what the program draws now. Included from
# tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux)
	kambo_add_e2e(e2e_screenshots screenshots_e2e.sh $<TARGET_FILE:kambolux>
		${PROJECT_SOURCE_DIR}/docs/images ${CMAKE_CURRENT_BINARY_DIR}/screenshots/guide)
endif()
