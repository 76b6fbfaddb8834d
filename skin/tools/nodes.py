"""Building blocks of the page files: one layout, texts in both languages.

A text is either a plain string (the same in both skins) or a pair (English, Chinese).
Every field sits in a cell of a fixed label column and a fixed input column, so the labels of
a page line up; rows are 25 pixels high because the visibility rules size the group boxes
for rows of that height (35 pixels of frame and title plus 25 per row).
"""

from xml.sax.saxutils import quoteattr

EN, ZH = 0, 1
LABEL_W = 160  # label column
FIELD_W = 190  # input column
CELL_GAP = 24  # between the two columns of a row
ROW_H = 25


class Node:
    def __init__(self, tag, attrs=None, children=()):
        self.tag = tag
        self.attrs = dict(attrs or {})
        self.children = [c for c in children if c is not None]


def pick(text, lang):
    return text[lang] if isinstance(text, tuple) else text


def render(node, lang, depth=0):
    pad = "  " * depth
    attrs = "".join(
        f" {key}={quoteattr(str(pick(value, lang)), {chr(10): '&#10;'})}"
        for key, value in node.attrs.items() if value is not None)
    if not node.children:
        return f"{pad}<{node.tag}{attrs}/>\n"
    inner = "".join(render(c, lang, depth + 1) for c in node.children)
    return f"{pad}<{node.tag}{attrs}>\n{inner}{pad}</{node.tag}>\n"


def _merge(base, extra):
    base.update({k: v for k, v in extra.items() if v is not None})
    return base


# --- controls ---------------------------------------------------------------------------

def label(text, width=LABEL_W, name=None, cls="fieldlabel", **extra):
    return Node("Label", _merge({"name": name, "class": cls, "text": text, "width": width}, extra))


def edit(name, tip, width=FIELD_W, **extra):
    return Node("Edit", _merge({"name": name, "tooltip": tip, "width": width}, extra))


def combo(name, tip, items, width=FIELD_W, **extra):
    attrs = _merge({"name": name, "tooltip": tip, "width": width}, extra)
    return Node("Combo", attrs, [Node("item", {"text": t}) for t in items])


def cell(caption, control, name=None, visible=None, label_w=LABEL_W, field_w=FIELD_W):
    """A label and its input; named when a rule shows or hides it on its own."""
    head = caption if isinstance(caption, Node) else label(caption, label_w)
    return Node("HorizontalLayout", {"name": name, "width": label_w + 8 + field_w,
                                     "spacing": 8, "visible": visible}, [head, control])


def empty_cell(name, visible="false"):
    return Node("HorizontalLayout", {"name": name, "width": 0, "visible": visible})


def row(*cells, name=None, visible=None, fixed=True):
    """One line of a form: up to two cells, left aligned. A row that is not fixed takes no
    room while every cell in it is hidden."""
    return Node("HorizontalLayout", {"name": name, "class": "row",
                                     "height": ROW_H if fixed else None,
                                     "spacing": CELL_GAP, "visible": visible},
                list(cells) + [Node("Stretch")])


def rows(name, *lines, visible=None):
    """Several lines that a rule shows or hides together."""
    return Node("VerticalLayout", {"name": name, "spacing": 0, "visible": visible}, lines)


# --- containers -------------------------------------------------------------------------

GROUP_PADDING = "8,4,8,4"


def group(name, title, children, height=None, visible=None):
    """A titled card. With a height, the rules resize it and its rows are 25 pixels each."""
    return Node("GroupBox", {"name": name, "text": title, "height": height, "visible": visible,
                             "padding": GROUP_PADDING, "spacing": 0},
                list(children) + [Node("Stretch")])


def titled_group(name, title_name, title, children, height, visible=None):
    """A card whose title is a control of its own (a rule changes the title text): the
    outer box carries the height the rules set, the inner one the title."""
    inner = group(title_name, title, children)
    inner.attrs["stretch"] = 1
    return Node("VerticalLayout", {"name": name, "height": height, "visible": visible,
                                   "spacing": 0}, [inner])


def page(name, children):
    return Node("VerticalLayout", {"name": name, "class": "page", "padding": "16,12,16,12",
                                   "spacing": 10}, list(children) + [Node("Stretch")])


# From this window width on, a page's card columns stand side by side (1920 x 1080 screens);
# below it they stack, as one column.
WIDE_WINDOW = 1800


def page_columns(name, *columns):
    """A page whose cards form columns: side by side in a wide window, else one under another."""
    stacks = [Node("VerticalLayout", {"spacing": 10}, list(cards)) for cards in columns]
    return page(name, [Node("VerticalLayout", {"sidebysidefrom": WIDE_WINDOW, "spacing": 10},
                            stacks)])


def column(*children):
    """Stacks cards at the top of a column of a side-by-side layout."""
    return Node("VerticalLayout", {"spacing": 10}, list(children) + [Node("Stretch")])


def side_by_side(*columns):
    return Node("HorizontalLayout", {"spacing": 12}, columns)


def hint(text, **extra):
    return Node("Text", _merge({"class": "hint", "text": text}, extra))
