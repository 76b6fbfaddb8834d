"""Fields: a labelled edit or drop-down list named like its catalogue row."""

from nodes import FIELD_W, LABEL_W, Node, cell, combo, edit, label
from texts import tip


def E(name, caption, about, domain=None, cell_name=None, visible=None, **extra):
    """A labelled text field."""
    return cell(caption, edit(name, tip(name, about, domain), **extra), cell_name, visible)


def C(name, caption, about, items, cell_name=None, visible=None, label_w=LABEL_W,
      field_w=FIELD_W):
    """A labelled drop-down list; nothing is selected until values are read."""
    return cell(caption, combo(name, tip(name, about), items, width=field_w), cell_name,
                visible, label_w, field_w)


# --- routing arrows ---------------------------------------------------------------------

ARROW_W = 72
NODE_W = 96
ROUTE_SPACING = 6


def arrow(name, direction, about, width=ARROW_W):
    """A routing arrow: its image name carries "enable" (on) or "disable" (off)."""
    return Node("ImageButton", {"name": name, "bkimage": f"arrow_{direction}_disable.png",
                                "tooltip": about, "width": width, "height": 22})


def arrow_pair(forward, backward, width=ARROW_W):
    return Node("VerticalLayout", {"spacing": 2, "width": width},
                [Node("Stretch"), forward, backward, Node("Stretch")])


def node_box(text):
    return label(text, width=NODE_W, cls="routenode", align="center", height=40)


def routing(name, module, forward_to_module, back_from_module, to_gprs, from_gprs, extra=()):
    """Serial port <-> module <-> GPRS: the device's one routing mask as switchable arrows."""
    on_off = ("\nClick to switch this direction on or off.", "\n点击开启或关闭此方向。")

    def about(en, zh):
        return (en + on_off[0], zh + on_off[1])

    mod = module
    return Node("VerticalLayout", {"spacing": 8}, [
        Node("HorizontalLayout", {"name": name, "spacing": ROUTE_SPACING, "height": 52}, [
            node_box(("Serial port", "串口")),
            arrow_pair(arrow(forward_to_module, "right", about(f"Serial port → {mod}",
                                                                 f"串口 → {mod}")),
                       arrow(back_from_module, "left", about(f"{mod} → serial port",
                                                             f"{mod} → 串口"))),
            node_box(mod),
            arrow_pair(arrow(to_gprs, "right", about(f"{mod} → GPRS", f"{mod} → GPRS")),
                       arrow(from_gprs, "left", about(f"GPRS → {mod}", f"GPRS → {mod}"))),
            node_box("GPRS"),
            Node("Stretch"),
        ]),
    ] + list(extra))
