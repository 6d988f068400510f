"""Helpers for the AT-SPI end-to-end checks: finding the application and its objects on the
accessibility bus, and recording events with a deadline, so that a missing event fails the
check instead of hanging it. Run with the system's python3 (pyatspi comes from Debian)."""

import sys
import time

import pyatspi
from gi.repository import GLib


class CheckFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


def log(message):
    print("[atspi] " + message, file=sys.stderr, flush=True)


def pump(until=None, timeout=5.0):
    """Runs GLib's default context (which delivers AT-SPI events) until `until()` holds or the
    time is up; returns whether it held."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + timeout
    while True:
        while context.pending():
            context.iteration(False)
        if until is not None and until():
            return True
        if time.monotonic() >= deadline:
            return until is None
        time.sleep(0.02)


def find_app(name, timeout=15.0):
    found = []

    def look():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            try:
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == name:
                    found.append(app)
                    return True
            except Exception:  # an application that left while we looked
                pass
        return False

    check(pump(look, timeout), "no application named %r on the bus" % name)
    return found[0]


def role(obj):
    return obj.getRoleName()


def find(root, role_name=None, name=None, where=None):
    """The first descendant with the role and name (None: any), or None."""
    def match(obj):
        return (obj is not None and (role_name is None or role(obj) == role_name)
                and (name is None or obj.name == name) and (where is None or where(obj)))
    return pyatspi.findDescendant(root, match)


def find_all(root, role_name=None, name=None):
    return pyatspi.findAllDescendants(
        root, lambda o: o is not None and (role_name is None or role(o) == role_name)
        and (name is None or o.name == name))


def wait_find(root, role_name=None, name=None, timeout=5.0, where=None):
    found = []

    def look():
        obj = find(root, role_name, name, where)
        if obj is not None:
            found.append(obj)
        return obj is not None

    check(pump(look, timeout), "no %s %r appeared" % (role_name or "object", name))
    return found[0]


def states(obj):
    state_set = obj.getState()
    return {pyatspi.stateToString(s) for s in state_set.getStates()}


def text_of(obj):
    text = obj.queryText()
    return text.getText(0, -1)


def wait_text(obj, expected, timeout=5.0):
    seen = []

    def same():
        seen.append(text_of(obj))
        return seen[-1] == expected

    check(pump(same, timeout), "%s %r reads %r, not %r" % (
        role(obj), obj.name, seen[-1] if seen else None, expected))


class Events:
    """Records the application's events as tuples (type, role, name, detail1, any_data)."""

    def __init__(self, app_name, *event_types):
        self.app_name = app_name
        self.log = []
        self._types = event_types
        pyatspi.Registry.registerEventListener(self._on_event, *event_types)
        # The registry tells the bridge about new listeners asynchronously.
        pump(timeout=0.5)

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._on_event, *self._types)

    def _on_event(self, event):
        try:
            app = event.host_application.name if event.host_application else None
            if app != self.app_name:
                return
            source = event.source
            data = event.any_data
            if not isinstance(data, (str, int, bool, type(None))):
                data = getattr(data, "name", None)
            self.log.append((event.type, role(source), source.name, event.detail1, data))
        except Exception as error:  # an object gone while we looked at it
            self.log.append((event.type, "gone", str(error), 0, None))

    def wait(self, predicate, timeout=5.0, what="event"):
        if not pump(lambda: predicate(self.log), timeout):
            raise CheckFailed("no %s within %.0f s; events seen:\n  %s" % (
                what, timeout, "\n  ".join(map(str, self.log[-40:]))))

    def index(self, event_type, name=None, data=None, start=0):
        """Position of the first matching event at or after start, or -1."""
        for i in range(start, len(self.log)):
            entry = self.log[i]
            if (entry[0].startswith(event_type) and (name is None or entry[2] == name)
                    and (data is None or entry[4] == data)):
                return i
        return -1

    def has(self, event_type, name=None, data=None):
        return self.index(event_type, name, data) >= 0


def run(main):
    try:
        main()
    except CheckFailed as failure:
        log("FAIL: %s" % failure)
        sys.exit(1)
    log("all checks passed")
