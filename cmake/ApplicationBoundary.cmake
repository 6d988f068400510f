# The libraries the kit keeps to itself. Their headers live in /usr/include, where every
# compiler finds them, so application targets get a folder searched first whose headers of the
# same names stop the build with a message; what slips past (a declaration written out by
# hand) is caught by the symbol check in tests/boundary/.
set(KAMBO_REFUSED_HEADERS
	X11/X.h X11/Xlib.h X11/Xutil.h X11/Xatom.h X11/Xresource.h X11/XKBlib.h X11/keysym.h
	X11/extensions/XShm.h
	fontconfig/fontconfig.h
	cairo.h cairo/cairo.h cairo/cairo-ft.h cairo/cairo-xlib.h
	wayland-client.h wayland-client-core.h wayland-cursor.h
	xkbcommon/xkbcommon.h xkbcommon/xkbcommon-compose.h)
set(KAMBO_REFUSED_HEADERS_DIR ${CMAKE_BINARY_DIR}/refused-headers)
foreach(header ${KAMBO_REFUSED_HEADERS})
	file(CONFIGURE OUTPUT ${KAMBO_REFUSED_HEADERS_DIR}/${header}
		CONTENT "#error \"${header} is the kit's own: application code uses the kit's public headers\"\n")
endforeach()

# Marks a target as application code: the refused headers above, and a place in the list of
# targets whose objects the symbol check reads.
function(kambo_application_code target)
	target_include_directories(${target} BEFORE PRIVATE ${KAMBO_REFUSED_HEADERS_DIR})
	set_property(GLOBAL APPEND PROPERTY KAMBO_APPLICATION_TARGETS ${target})
endfunction()
