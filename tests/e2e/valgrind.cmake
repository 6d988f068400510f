# The real program under valgrind's memcheck with a scripted session of every window and menu
# (scripts/valgrind_session.sh): about a minute, skipped when valgrind or the X tools are
# missing. Not in sanitised builds, whose programs cannot run under valgrind.
if(TARGET kambolux AND NOT KAMBO_SANITIZE)
	add_test(NAME e2e_valgrind
		COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/valgrind_session.sh $<TARGET_FILE:kambolux>)
	set_tests_properties(e2e_valgrind PROPERTIES
		SKIP_RETURN_CODE 77
		RUN_SERIAL TRUE
		TIMEOUT 900)
endif()
