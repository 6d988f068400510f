"""The real program on the accessibility bus, as a screen reader sees it: the application and
its frame, the amount field typed into through XTest and the two results read back, the
calculator pad opened through its button's action, the context menu from Shift+F10 with its
marks, the about window's text and links, and focus and text events in order.

    accessibility_check.py [--appear-only]"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from atspi_lib import (Events, check, find, find_all, find_app, log, pump, role, run,  # noqa: E402
                       states, text_of, wait_find, wait_text)

APP = "ZQ Kambo-Lux"


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def activate_main_window():
    # xdotool's search gives up when a window it walks vanishes under it (the pad that just
    # closed): it is asked again, for at most 5 s.
    deadline = time.monotonic() + 5
    while True:
        search = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % APP],
                                capture_output=True, text=True)
        found = search.stdout.split()
        if search.returncode == 0 and found:
            break
        check(time.monotonic() < deadline, "no main window to activate: %s" % search.stderr)
        time.sleep(0.05)
    xdotool("windowactivate", "--sync", found[0])


def starts(prefix):
    return lambda obj: obj.name.startswith(prefix)


def top_level_windows(app):
    return [app[i] for i in range(app.childCount)]


def main():
    app = find_app(APP)
    frame = wait_find(app, "frame", APP)
    check(frame.getIndexInParent() >= 0 and frame.parent == app, "the frame is the app's child")
    if "--appear-only" in sys.argv:
        log("the application and its frame are on the bus")
        return

    amount = wait_find(frame, "entry", where=starts("Betrag in "))
    euro = find(frame, name="Euro-Betrag")
    target = find(frame, where=lambda o: o.name.startswith("Ergebnis in ") and o != amount)
    check(euro is not None and target is not None, "the euro line and the target field")
    for obj in (euro, target):
        check("editable" not in states(obj), "%r is read-only: %s" % (obj.name, states(obj)))
        obj.queryText()
    log("fields: %r, %r, %r" % (amount.name, euro.name, target.name))

    for name in ("Taschenrechner", "Über ZQ Kambo-Lux"):
        button = find(frame, "push button", name)
        check(button is not None, "a push button %r" % name)
        check(button.queryAction().nActions >= 1, "%r has an action" % name)
    swap = find(frame, name="Währungen tauschen")
    check(swap is not None, "the swap arrow is named 'Währungen tauschen'")
    for prefix in ("Ausgangswährung: ", "Rundung: ", "Zielwährung: "):
        band = find(frame, where=starts(prefix))
        check(band is not None, "a band named %r…" % prefix)

    # Focus to the calculator button and back, then type: focus before the field's text.
    events = Events(APP, "object:state-changed:focused", "object:text-changed",
                    "window:activate", "object:state-changed:checked",
                    "object:state-changed:selected")
    activate_main_window()
    calculator = find(frame, "push button", "Taschenrechner")
    check(calculator.queryComponent().grabFocus(), "the calculator button takes the focus")
    events.wait(lambda log: events.has("object:state-changed:focused", "Taschenrechner"),
                what="focus on the calculator button")
    check(amount.queryComponent().grabFocus(), "the amount field takes the focus")
    events.wait(lambda log: events.index("object:state-changed:focused", amount.name,
                                         None, events.index("object:state-changed:focused",
                                                            "Taschenrechner")) >= 0,
                what="focus back on the amount field")
    amount.queryEditableText().setTextContents("")
    wait_text(amount, "")
    xdotool("type", "--delay", "60", "100")
    wait_text(amount, "100")
    wait_text(euro, "51.129188 . . .")
    wait_text(target, "100.00")
    events.wait(lambda log: events.has("object:text-changed:insert", target.name),
                what="the target's text events")
    focus = events.index("object:state-changed:focused", amount.name,
                         None, events.index("object:state-changed:focused", "Taschenrechner"))
    position = focus
    for digit in "100":
        position = events.index("object:text-changed:insert", amount.name, None, position + 1)
        check(position > focus, "the field's insertion of %r after its focus" % digit)
    check(events.index("object:text-changed", euro.name, None, focus) > focus,
          "the euro line changes after the focus")
    log("typing '100': the euro line reads %r, the target %r" % (text_of(euro), text_of(target)))

    # The pad through its button's action: a new window with 19 push buttons.
    before = len(top_level_windows(app))
    check(calculator.queryAction().doAction(0), "the calculator button's action runs")
    pump(lambda: len(top_level_windows(app)) > before, 5)
    pads = [w for w in top_level_windows(app)[1:]
            if len(find_all(w, "push button")) == 19]
    check(len(pads) == 1, "one window with the pad's 19 push buttons: %s" % [
        (role(w), w.name, len(find_all(w, "push button"))) for w in top_level_windows(app)])
    check(pads[0].name == "Taschenrechner", "the pad is named: %r" % pads[0].name)
    keys = find_all(pads[0], "push button")
    check(all(k.queryAction().nActions >= 1 for k in keys), "each key has an action")
    log("pad %r: %s" % (pads[0].name, " ".join(k.name for k in keys)))
    xdotool("key", "Escape")
    activate_main_window()
    pump(lambda: len(top_level_windows(app)) == before, 5)

    # The context menu from the keyboard: its items, their marks.
    check(amount.queryComponent().grabFocus(), "the amount field takes the focus again")
    pump(timeout=0.3)
    xdotool("key", "shift+F10")
    menu = wait_find(app, where=lambda o: role(o) in ("menu", "popup menu")
                     and o.childCount > 0 and "showing" in states(o))
    check(menu.name == "Kontextmenü", "the context menu is named: %r" % menu.name)
    items = [menu[i] for i in range(menu.childCount)]
    entries = [(role(i), i.name, "checked" in states(i)) for i in items]
    log("context menu: %s" % entries)
    names = [name for _, name, _ in entries]
    for wanted in ("Währungen tauschen", "immer sichtbar", "ohne Titel", "beenden"):
        check(any(name == wanted for name in names), "the menu has %r: %s" % (wanted, names))
    for item in items:
        if item.name in ("immer sichtbar", "ohne Titel"):
            check(role(item) == "check menu item", "%r is a check item" % item.name)
            check("checked" not in states(item), "%r starts unmarked" % item.name)
    # The keyboard's place in the menu is the focus: each ↓ focuses the next entry.
    def focused_items(log):
        return [e[2] for e in log if e[0] == "object:state-changed:focused" and e[3] == 1
                and e[1] in ("menu", "menu item", "check menu item", "radio menu item")]
    entered = len(focused_items(events.log))
    entries = [name for name in names if name]
    for step in range(2):
        xdotool("key", "Down")
        events.wait(lambda log: len(focused_items(log)) > entered + step,
                    what="focus on a menu entry after ↓ number %d" % (step + 1))
    moved = focused_items(events.log)
    check(len(moved) >= 2 and moved[-2] in entries and moved[-1] in entries
          and entries.index(moved[-1]) == entries.index(moved[-2]) + 1,
          "↓ moves to the next entry: %s" % moved)
    log("moving in the menu: %s" % " → ".join(moved))
    # → opens the target currency's list: its current choice is the one checked item.
    xdotool("key", "Right")
    choice = wait_find(app, where=lambda o: role(o) in ("radio menu item", "check menu item")
                       and o.name not in names and {"checked", "showing"} <= states(o))
    siblings = [choice.parent[i] for i in range(choice.parent.childCount)]
    # One separator sets the later currencies apart.
    check([role(o) for o in siblings].count("separator") == 1
          and all(role(o) in ("radio menu item", "separator") for o in siblings),
          "the list's entries are radio items: %s" % sorted({role(o) for o in siblings}))
    marked = [o.name for o in siblings if "checked" in states(o)]
    check(len(marked) == 1 and len(siblings) > 1,
          "one marked entry in the list %r: %s" % (moved[-1], marked))
    log("the list %r: %d entries, %r marked" % (moved[-1], len(siblings), marked[0]))
    xdotool("key", "Escape")
    xdotool("key", "Escape")
    pump(lambda: find(app, where=lambda o: o == menu and "showing" in states(o)) is None, 3)

    # The about window through its button: the text, its two links, OK.
    about = find(frame, "push button", "Über ZQ Kambo-Lux")
    check(about.queryAction().doAction(0), "the about button's action runs")
    dialog = wait_find(app, "dialog", timeout=5)
    check(dialog.name == "Über ZQ Kambo-Lux", "the about window is named: %r" % dialog.name)
    texts = [t for t in find_all(dialog, None) if "Hypertext" in t.get_interfaces()]
    check(len(texts) == 1, "the about window has one text with links")
    content = text_of(texts[0])
    hypertext = texts[0].queryHypertext()
    uris = [hypertext.getLink(i).getURI(0) for i in range(hypertext.getNLinks())]
    check(len(uris) == 2, "the about text has two links: %s" % uris)
    for i in range(2):
        anchor = hypertext.getLink(i).getObject(0)
        check(role(anchor) == "link" and anchor.queryAction().nActions == 1,
              "link %d is a link with an action" % i)
    log("about: %r, links %s" % (content, uris))
    check(find(dialog, "push button", "OK") is not None, "the about window's OK button")
    xdotool("key", "Return")
    events.close()


run(main)
