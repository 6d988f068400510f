# What the window manager is told about the program's windows, and startup notification.
# Included from tests/e2e/CMakeLists.txt after kambo_add_e2e is defined.
if(TARGET kambolux)
	add_executable(startup_watch ${CMAKE_CURRENT_LIST_DIR}/startup_watch.cpp)
	target_link_libraries(startup_watch PRIVATE PkgConfig::X11)
	kambo_add_e2e(e2e_dialogs dialogs_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:startup_watch>)
endif()
