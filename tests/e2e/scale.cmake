# The real program at scale 2, from each source of the scale. Included from
# tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET converter_render)
	kambo_add_e2e(e2e_scale scale_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:converter_render> ${CMAKE_CURRENT_BINARY_DIR}/screenshots)
endif()
