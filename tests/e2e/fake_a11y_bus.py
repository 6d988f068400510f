#!/usr/bin/python3
"""A stand-in for the desktop's org.a11y.Bus on a private session bus: the org.a11y.Status
properties IsEnabled and ScreenReaderEnabled, readable with Get and changed with Set, which
announces the change with PropertiesChanged as the real service does. Each Get is noted on
standard output ("Get IsEnabled"), so that a test knows when it was asked.

Usage: fake_a11y_bus.py true|false [ready-file]
"""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

STATUS = "org.a11y.Status"
PROPERTIES = "org.freedesktop.DBus.Properties"


class Status(dbus.service.Object):
    def __init__(self, bus, enabled):
        super().__init__(bus, "/org/a11y/bus")
        self.values = {"IsEnabled": enabled, "ScreenReaderEnabled": False}

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface != STATUS or name not in self.values:
            raise dbus.exceptions.DBusException("no such property",
                                                name="org.freedesktop.DBus.Error.InvalidArgs")
        print("Get " + name, flush=True)
        return dbus.Boolean(self.values[name], variant_level=1)

    @dbus.service.method(PROPERTIES, in_signature="ssv")
    def Set(self, interface, name, value):
        self.values[name] = bool(value)
        self.PropertiesChanged(STATUS, {name: dbus.Boolean(value)}, [])

    @dbus.service.signal(PROPERTIES, signature="sa{sv}as")
    def PropertiesChanged(self, interface, changed, invalidated):
        pass


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName("org.a11y.Bus", bus)
    status = Status(bus, sys.argv[1] == "true")
    if len(sys.argv) > 2:
        with open(sys.argv[2], "w") as ready:
            ready.write("ready\n")
    GLib.MainLoop().run()
    del name, status


if __name__ == "__main__":
    main()
