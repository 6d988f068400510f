# The resource tests read the build-generated table, which only an OBJECT library keeps
# in the binary. Included from tests/platform/CMakeLists.txt after kit_tests is defined.
if(TARGET kit_tests AND TARGET kambo_resources)
	target_link_libraries(kit_tests PRIVATE kambo_resources)
endif()
