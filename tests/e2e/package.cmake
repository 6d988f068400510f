# The Debian package end to end: packs this build tree with cpack, unpacks the package into a
# scratch root and runs the installed program from there. Needs the CPack configuration of
# cmake/Install.cmake. Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux)
	kambo_add_e2e(e2e_package package_e2e.sh --build-dir ${PROJECT_BINARY_DIR})
	# cpack runs the install of the whole tree first, which takes longer than a window test.
	set_tests_properties(e2e_package PROPERTIES TIMEOUT 300)
endif()
