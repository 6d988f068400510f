# The screen-reader module on a private accessibility bus, in the stand-in program (no X).
if(TARGET atk_host AND TARGET kambolux_atk)
	kambo_add_e2e(e2e_atk_host atk_host_e2e.sh $<TARGET_FILE:atk_host>
		$<TARGET_FILE:kambolux_atk>)
endif()
