#!/usr/bin/env python3
"""What a screen reader sees of the running program, read over AT-SPI.

  atspi_client.py ready                    exits 0 once the program's Mute
                                           button is on the accessibility bus
  atspi_client.py mute                     prints the Mute button's role,
                                           checked state and actions
  atspi_client.py press-mute               presses it through its action
                                           interface
  atspi_client.py slider NAME              prints the slider's role, current,
                                           minimum and maximum value, and the
                                           role and name of its label
  atspi_client.py set-slider NAME VALUE    sets its value through its value
                                           interface

The program is the application named "sinefold" on the accessibility bus
this process finds (DBUS_SESSION_BUS_ADDRESS, whose org.a11y.Bus names it).
Exits 1 with a message when something asked for is not there.
"""
import sys
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

PROGRAM = "sinefold"
MUTE = "Mute"


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def program():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == PROGRAM:
            return app
    fail("no application named %s on the accessibility bus" % PROGRAM)


def find(node, name):
    """The first accessible named `name` under `node`, depth first."""
    if node.get_name() == name:
        return node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        found = find(child, name) if child is not None else None
        if found is not None:
            return found
    return None


def control(name):
    found = find(program(), name)
    if found is None:
        fail("no accessible named %r in the program" % name)
    return found


def role_name(accessible):
    return accessible.get_role().value_nick


def action_names(accessible):
    # Marked deprecated in favour of a get_name that the binding does not
    # offer (it would clash with the accessible's own name).
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        return [Atspi.Action.get_action_name(accessible, i) for i in range(Atspi.Action.get_n_actions(accessible))]


def describe_mute():
    button = control(MUTE)
    states = button.get_state_set()
    print("role=%s checkable=%d checked=%d actions=%s" % (
        role_name(button), states.contains(Atspi.StateType.CHECKABLE), states.contains(Atspi.StateType.CHECKED),
        ",".join(action_names(button))))


def press_mute():
    button = control(MUTE)
    names = action_names(button)
    if "Press" not in names:
        fail("the Mute button has no Press action, only %s" % names)
    if not Atspi.Action.do_action(button, names.index("Press")):
        fail("the Mute button refused its Press action")


def label_of(accessible):
    for relation in accessible.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY and relation.get_n_targets() > 0:
            label = relation.get_target(0)
            return "%s:%s" % (role_name(label), label.get_name())
    return "none"


def describe_slider(name):
    slider = control(name)
    print("role=%s current=%g minimum=%g maximum=%g label=%s" % (
        role_name(slider), slider.get_current_value(), slider.get_minimum_value(), slider.get_maximum_value(),
        label_of(slider)))


def set_slider(name, value):
    if not control(name).set_current_value(float(value)):
        fail("the value interface of %r refused %s" % (name, value))


def main(args):
    commands = {
        ("ready", 0): lambda: control(MUTE),
        ("mute", 0): describe_mute,
        ("press-mute", 0): press_mute,
        ("slider", 1): lambda: describe_slider(args[1]),
        ("set-slider", 2): lambda: set_slider(args[1], args[2]),
    }
    command = commands.get((args[0], len(args) - 1)) if args else None
    if command is None:
        print(__doc__, file=sys.stderr)
        return 2
    command()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
