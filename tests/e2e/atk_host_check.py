"""The screen-reader module on a real accessibility bus, in the stand-in program atk_host:
the tree, texts, actions, links and events as a screen reader reads them through pyatspi."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from atspi_lib import (Events, check, find, find_all, find_app, log, pump, role, run,  # noqa: E402
                       states, text_of, wait_find, wait_text)

APP = "ZQ Kambo-Lux"


def main():
    app = find_app(APP)
    check(app.get_toolkit_name() == "Kambo-Lux kit", "toolkit %r" % app.get_toolkit_name())
    check(app.childCount == 1 and role(app[0]) == "frame" and app[0].name == APP,
          "the application's one child is the frame %r" % APP)
    frame = app[0]
    check("active" in states(frame), "the frame is active")

    amount = find(frame, "entry", "Betrag in DEM")
    check(amount is not None, "the amount field is an entry named 'Betrag in DEM'")
    check({"editable", "focusable", "single line", "enabled", "sensitive"} <= states(amount),
          "the amount field's states: %s" % states(amount))
    check(text_of(amount) == "0", "the amount field reads %r" % text_of(amount))
    euro = find(frame, "text", "Euro-Betrag")
    result = find(frame, "text", "Ergebnis in EUR")
    check(euro is not None and result is not None, "the two result lines are texts")
    check("read only" in states(euro), "the euro line is read-only: %s" % states(euro))
    attributes = euro.getAttributes()
    check("container-live:polite" in attributes, "the euro line is live: %s" % attributes)

    button = find(frame, "push button", "Taschenrechner")
    check(button is not None, "a push button 'Taschenrechner'")
    try:
        button.queryText()
        check(False, "a button has no text interface")
    except NotImplementedError:
        pass
    action = button.queryAction()
    check(action.nActions == 1 and action.getName(0) == "press", "the button's action is press")

    # Focus, then typing: the field's insertions in order, each followed by the results.
    events = Events(APP, "object:state-changed:focused", "object:text-changed",
                    "window:activate", "window:create", "object:children-changed")
    check(amount.queryComponent().grabFocus(), "the amount field takes the focus")
    events.wait(lambda log: any(e[0] == "object:state-changed:focused" and e[2] == amount.name
                                and e[3] == 1 for e in log), what="focus on the amount field")
    editable = amount.queryEditableText()
    editable.setTextContents("")
    for position, digit in enumerate("100"):
        editable.insertText(position, digit, 1)
    wait_text(amount, "100")
    wait_text(euro, "51.129188 . . .")
    wait_text(result, "100.00")
    events.wait(lambda log: any(e[2] == "Ergebnis in EUR" and e[4] == "100.00" for e in log),
                what="the result's insertion")

    focus = events.index("object:state-changed:focused", amount.name)
    typed = []
    start = focus
    for digit in "100":
        start = events.index("object:text-changed:insert", amount.name, digit, start + 1)
        check(start > focus, "the field's insertion of %r after its focus" % digit)
        typed.append(start)
    check(events.index("object:text-changed:delete", amount.name, "0", focus) < typed[0],
          "the old '0' removed before the first digit went in")
    euro_insert = events.index("object:text-changed:insert", "Euro-Betrag", "51.129188 . . .")
    check(euro_insert > typed[-1], "the euro line's new text after the last digit")
    check(events.index("object:text-changed:delete", "Euro-Betrag", None, typed[-1])
          < euro_insert, "the euro line's old text removed before the new one")
    log("typing: %d events in order" % len(events.log))

    # The pad: a new frame, activated, its first key focused; 19 keys with a press action.
    check(action.doAction(0), "the calculator button's action runs")
    events.wait(lambda log: any(e[0] == "window:activate" and e[2] == "Taschenrechner"
                                for e in log), what="the pad's activation")
    pad = wait_find(app, "frame", "Taschenrechner")
    keys = find_all(pad, "push button")
    check(len(keys) == 19, "the pad has %d push buttons, not 19" % len(keys))
    check(all(k.queryAction().getName(0) == "press" for k in keys), "each key has press")
    activated = events.index("window:activate", "Taschenrechner")
    focused = events.index("object:state-changed:focused", "C", None, activated)
    check(focused > activated, "the focus on the first key after the window's activation")
    check(events.index("object:children-changed:add") >= 0, "the application told its new child")

    # The about window: its text's two links, opened through the link's own action.
    about_button = find(frame, "push button", "Über ZQ Kambo-Lux")
    check(about_button.queryAction().doAction(0), "the about button's action runs")
    dialog = wait_find(app, "dialog", "Über ZQ Kambo-Lux")
    text = find(dialog, "text")
    check("Kurse:" in text_of(text), "the about text reads %r" % text_of(text))
    hypertext = text.queryHypertext()
    check(hypertext.getNLinks() == 2, "two links")
    uris = []
    for i in range(2):
        link = hypertext.getLink(i)
        uris.append(link.getURI(0))
        anchor = link.getObject(0)
        check(role(anchor) == "link", "the link's object is a link, not %s" % role(anchor))
        check(anchor.queryAction().doAction(0), "the link's action runs")
    check(uris == ["https://www.euro.example/", "https://www.kambo.example/"], "links %s" % uris)
    ok = find(dialog, "push button", "OK")
    check(ok is not None and "is default" in states(ok), "the dialog's OK button is the default")
    pump(timeout=0.3)
    events.close()


run(main)
