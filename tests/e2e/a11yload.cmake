# Turning accessibility on and off in the real program on a private session bus, with the kit
# tests' stand-in module (it notes its stops, so every way of quitting can be checked).
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux AND TARGET kit_test_a11y_module)
	kambo_add_e2e(e2e_a11yload a11yload_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:kit_test_a11y_module>)
endif()
