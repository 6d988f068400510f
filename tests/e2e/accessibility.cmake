# The real program read through AT-SPI (pyatspi) on a private accessibility bus.
if(TARGET kambolux AND TARGET kambolux_atk)
	kambo_add_e2e(e2e_accessibility accessibility_e2e.sh $<TARGET_FILE:kambolux>
		$<TARGET_FILE:kambolux_atk>)
endif()
